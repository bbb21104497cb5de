#pragma once
// File items and pictures.

#include <QImage>
#include <QString>

#include <memory>

namespace fw {

class Picture {
public:
    explicit Picture(QImage image) : image_(std::move(image)) {}
    const QImage& Image() const { return image_; }
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }

private:
    QImage image_;
};

// What tells one state of a file from another without reading it. Equal
// stamps: the same file, as far as the file system tells.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modified = 0;  // milliseconds since the epoch
    qint64 changed = 0;   // the last change of content or attributes
    bool operator==(const FileStamp&) const = default;
};

class FolderItem;
using FolderItemRef = std::shared_ptr<FolderItem>;

class FolderItem {
public:
    explicit FolderItem(QString absolutePath);
    const QString& NativePath() const { return path_; }
    bool Exists() const;
    bool Directory() const;
    FileStamp Stamp() const;
    // The folder holding this item, or nil at the root.
    FolderItemRef Parent() const;
    // The item of that name inside this folder, existing or not; nil when
    // this item is not a folder or the name is not a plain file name.
    FolderItemRef Child(const QString& name) const;
    // The item's content as a picture, or nil when it is missing, unreadable
    // or not a picture.
    std::shared_ptr<Picture> OpenAsPicture() const;

private:
    QString path_;
};

// The running program's own executable file.
FolderItemRef ExecutableFile();
// Lets tests place the executable inside a tree of their own.
void SetExecutableFileForTesting(const QString& path);
// The "Resources" folder two levels above the executable file, or nil when
// there is none. Raises NilObjectException when a folder above is missing.
FolderItemRef GetApplicationBundleResources();
// How many times a file was opened as a picture (so tests can tell a cached
// picture from a reload).
int OpenAsPictureCount();

}  // namespace fw
