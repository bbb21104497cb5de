// The five pictures: loaded once and kept, retried while they cannot be had.
#include "AboutWnd.h"
#include "ControlWnd.h"
#include "Files.h"
#include "Pictures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace {

const struct {
    const char* file;
    std::shared_ptr<fw::Picture> (*accessor)();
    int width, height;
} kPictures[] = {
    {"ImageSmall.png", &ImageSmall, 132, 133}, {"Tembrisk.png", &Tembrisk, 145, 27}, {"Info.png", &Info, 72, 70},
    {"Compute2.png", &Compute2, 106, 38},      {"Clear2.png", &Clear2, 106, 39},
};

// A program tree of the test's own: bin/tolvane, and Resources/ on request.
struct OwnTree {
    QTemporaryDir dir;
    explicit OwnTree(bool withResources)
    {
        if (withResources)
            QDir(dir.path()).mkpath(QStringLiteral("Resources"));
        fw::SetExecutableFileForTesting(dir.path() + QStringLiteral("/bin/tolvane"));
    }
    QString Resource(const char* file) const { return dir.path() + QStringLiteral("/Resources/") + file; }
    bool PutInPlace(const char* file) const
    {
        return QFile::copy(QStringLiteral(TOLVANE_TREE_DIR "/Resources/") + file, Resource(file));
    }
};

}  // namespace

// Nothing is cached on failure: each call tries the file again. Nothing is logged either.
TEST(Pictures, MissingOrBrokenFileIsNilUntilPutInPlace)
{
    OwnTree tree(true);
    for (const auto& p : kPictures) {
        SCOPED_TRACE(p.file);
        const int reads = fw::OpenAsPictureCount();
        testing::internal::CaptureStderr();
        EXPECT_EQ(p.accessor(), nullptr);
        // A file of that name that is not a picture, or a picture cut short, counts as missing.
        ASSERT_TRUE(tree.PutInPlace(p.file));
        QFile broken(tree.Resource(p.file));
        ASSERT_TRUE(broken.open(QIODevice::ReadWrite) && broken.resize(broken.size() / 2));
        broken.close();
        EXPECT_EQ(p.accessor(), nullptr);
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate) && broken.write("not a picture") > 0);
        broken.close();
        EXPECT_EQ(p.accessor(), nullptr);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(fw::OpenAsPictureCount(), reads + 3);
        ASSERT_TRUE(broken.remove() && tree.PutInPlace(p.file));
        const auto pic = p.accessor();
        ASSERT_NE(pic, nullptr);
        EXPECT_EQ(std::pair(pic->Width(), pic->Height()), std::pair(p.width, p.height));
    }
}

TEST(Pictures, NoResourcesFolderGivesNilForAll)
{
    OwnTree tree(false);
    for (const auto& p : kPictures)
        EXPECT_EQ(p.accessor(), nullptr) << p.file;
    EXPECT_EQ(fw::OpenAsPictureCount(), 0);
}

// Windows built afterwards show the same pictures without reading a file again.
TEST(Pictures, LoadedPictureStaysWhenItsFileIsDeleted)
{
    OwnTree tree(true);
    for (const auto& p : kPictures) {
        ASSERT_TRUE(tree.PutInPlace(p.file));
        const auto first = p.accessor();
        ASSERT_NE(first, nullptr) << p.file;
        ASSERT_TRUE(QFile::remove(tree.Resource(p.file)));
        EXPECT_EQ(p.accessor(), first) << p.file;
    }
    EXPECT_EQ(ControlWnd().ControlNamed<fw::Canvas>("ComputeCanvas").Backdrop(), Compute2());
    EXPECT_EQ(AboutWnd().ControlNamed<fw::Canvas>("Canvas2").Backdrop(), Tembrisk());
    EXPECT_EQ(fw::OpenAsPictureCount(), 5);
}
