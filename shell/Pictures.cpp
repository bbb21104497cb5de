#include "Pictures.h"

#include "Exceptions.h"

namespace {

std::shared_ptr<fw::Picture> Load(std::shared_ptr<fw::Picture>& pic, const char* fileName)
{
    if (pic)
        return pic;
    fw::FolderItemRef resources = fw::GetApplicationBundleResources();
    if (!resources)
        return nullptr;
    fw::FolderItemRef file = resources->Child(QString::fromLatin1(fileName));
    if (!file)
        fw::RaiseNilObjectException("NilObjectException: no item for " + std::string(fileName));
    pic = file->OpenAsPicture();
    return pic;
}

}  // namespace

std::shared_ptr<fw::Picture> ImageSmall()
{
    static std::shared_ptr<fw::Picture> pic;
    return Load(pic, "ImageSmall.png");
}

std::shared_ptr<fw::Picture> Tembrisk()
{
    static std::shared_ptr<fw::Picture> pic;
    return Load(pic, "Tembrisk.png");
}

std::shared_ptr<fw::Picture> Info()
{
    static std::shared_ptr<fw::Picture> pic;
    return Load(pic, "Info.png");
}

std::shared_ptr<fw::Picture> Compute2()
{
    static std::shared_ptr<fw::Picture> pic;
    return Load(pic, "Compute2.png");
}

std::shared_ptr<fw::Picture> Clear2()
{
    static std::shared_ptr<fw::Picture> pic;
    return Load(pic, "Clear2.png");
}
