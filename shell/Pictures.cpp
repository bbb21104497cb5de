#include "Pictures.h"

#include "Exceptions.h"

#include <optional>

namespace {

// The picture once it has loaded; until then, the state of the file that
// last failed to load.
struct Cache {
    std::shared_ptr<fw::Picture> pic;
    std::optional<fw::FileStamp> failed;
};

std::shared_ptr<fw::Picture> Load(Cache& cache, const char* fileName)
{
    if (cache.pic)
        return cache.pic;
    fw::FolderItemRef resources = fw::GetApplicationBundleResources();
    if (!resources)
        return nullptr;
    fw::FolderItemRef file = resources->Child(QString::fromLatin1(fileName));
    if (!file)
        fw::RaiseNilObjectException("NilObjectException: no item for " + std::string(fileName));
    // A file that failed and has not changed fails again; decoding it again
    // would only cost the time again, which a hostile file makes long. The
    // stamp is taken first, so that a change made while decoding counts.
    const fw::FileStamp stamp = file->Stamp();
    if (cache.failed == stamp)
        return nullptr;
    cache.pic = file->OpenAsPicture();
    if (!cache.pic)
        cache.failed = stamp;
    return cache.pic;
}

}  // namespace

std::shared_ptr<fw::Picture> ImageSmall()
{
    static Cache pic;
    return Load(pic, "ImageSmall.png");
}

std::shared_ptr<fw::Picture> Tembrisk()
{
    static Cache pic;
    return Load(pic, "Tembrisk.png");
}

std::shared_ptr<fw::Picture> Info()
{
    static Cache pic;
    return Load(pic, "Info.png");
}

std::shared_ptr<fw::Picture> Compute2()
{
    static Cache pic;
    return Load(pic, "Compute2.png");
}

std::shared_ptr<fw::Picture> Clear2()
{
    static Cache pic;
    return Load(pic, "Clear2.png");
}
