#include "Files.h"

#include "Exceptions.h"
#include "PictureDecoding.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFile>

namespace fw {

namespace {

QString& ExecutableOverride()
{
    static QString path;
    return path;
}

int& PictureOpens()
{
    static int n = 0;
    return n;
}

}  // namespace

FolderItem::FolderItem(QString absolutePath) : path_(QDir::cleanPath(std::move(absolutePath))) {}

bool FolderItem::Exists() const
{
    return QFileInfo::exists(path_);
}

bool FolderItem::Directory() const
{
    return QFileInfo(path_).isDir();
}

FileStamp FolderItem::Stamp() const
{
    const QFileInfo info(path_);
    if (!info.exists())
        return {};
    return {true, info.size(), info.lastModified().toMSecsSinceEpoch(),
            info.fileTime(QFileDevice::FileMetadataChangeTime).toMSecsSinceEpoch()};
}

FolderItemRef FolderItem::Parent() const
{
    QDir dir = QFileInfo(path_).dir();
    const QString parent = dir.absolutePath();
    if (parent == path_ || path_ == QLatin1String("/"))
        return nullptr;
    return std::make_shared<FolderItem>(parent);
}

FolderItemRef FolderItem::Child(const QString& name) const
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String(".") ||
        name == QLatin1String(".."))
        return nullptr;
    if (!Directory())
        return nullptr;
    return std::make_shared<FolderItem>(path_ + QLatin1Char('/') + name);
}

std::shared_ptr<Picture> FolderItem::OpenAsPicture() const
{
    ++PictureOpens();
    QFileInfo info(path_);
    if (!info.isFile())
        return nullptr;
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    QImage image = DecodePicture(file);
    if (image.isNull())
        return nullptr;
    return std::make_shared<Picture>(std::move(image));
}

FolderItemRef ExecutableFile()
{
    QString path = ExecutableOverride();
    if (path.isEmpty())
        path = QCoreApplication::applicationFilePath();
    if (path.isEmpty())
        return nullptr;
    return std::make_shared<FolderItem>(QFileInfo(path).absoluteFilePath());
}

void SetExecutableFileForTesting(const QString& path)
{
    ExecutableOverride() = path;
}

FolderItemRef GetApplicationBundleResources()
{
    FolderItemRef exe = ExecutableFile();
    if (!exe)
        RaiseNilObjectException("NilObjectException: the program's own file cannot be found");
    FolderItemRef bin = exe->Parent();
    if (!bin)
        RaiseNilObjectException("NilObjectException: the program's folder cannot be found");
    FolderItemRef top = bin->Parent();
    if (!top)
        RaiseNilObjectException("NilObjectException: the folder above the program cannot be found");
    FolderItemRef resources = top->Child(QStringLiteral("Resources"));
    if (!resources || !resources->Directory())
        return nullptr;
    return resources;
}

int OpenAsPictureCount()
{
    return PictureOpens();
}

}  // namespace fw
