// The five pictures: loaded once and kept, retried while they cannot be had.
#include "AboutWnd.h"
#include "ControlWnd.h"
#include "Files.h"
#include "PictureDecoding.h"
#include "Pictures.h"
#include "PngBytes.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImageReader>
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
    bool Put(const char* file, const QByteArray& bytes, const QDateTime& modified = {}) const
    {
        QFile f(Resource(file));
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size() &&
               (!modified.isValid() || (f.flush() && f.setFileTime(modified, QFileDevice::FileModificationTime)));
    }
};

// A file's bytes: one of the program's own pictures, or one of the given folder.
QByteArray Installed(const char* file, const char* folder = TOLVANE_TREE_DIR "/Resources/")
{
    QFile f(QString::fromUtf8(folder) + file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Colours and transparency that differ from pixel to pixel.
QImage Sample(int width, int height)
{
    QImage sample(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < sample.height(); ++y)
        for (int x = 0; x < sample.width(); ++x)
            sample.setPixel(x, y, qRgba(28 * x, 255 - 60 * y, 17 * x * y % 256, y == 3 ? 255 : 40 + 70 * y));
    return sample;
}

QByteArray Png(const QImage& image)
{
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    image.save(&out, "PNG");
    return bytes;
}

}  // namespace

// Nothing is cached on failure: each call tries the file again once it has been put in place or replaced, but
// does not decode again a file that is as it was. Nothing is logged either.
TEST(Pictures, MissingOrBrokenFileIsNilUntilPutInPlace)
{
    OwnTree tree(true);
    for (const auto& p : kPictures) {
        SCOPED_TRACE(p.file);
        const int reads = fw::OpenAsPictureCount();
        testing::internal::CaptureStderr();
        EXPECT_EQ(p.accessor(), nullptr);
        EXPECT_EQ(p.accessor(), nullptr);
        // A file of that name that is not a picture, or a picture cut short (PNG or JPEG), counts as missing. A
        // text replaced by one of the same size is told apart by its modification time.
        const QByteArray png = Installed(p.file);
        QByteArray jpeg;
        QBuffer out(&jpeg);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly) && QImage::fromData(png).save(&out, "JPG"));
        const struct { QByteArray bytes; QDateTime modified; } files[] = {
            {png.left(png.size() / 2), {}},
            {"not a picture", {}},
            {"not a pixture", QDateTime::fromSecsSinceEpoch(1'000'000'000)},
            {jpeg.left(200), {}}};
        for (const auto& f : files) {
            ASSERT_TRUE(tree.Put(p.file, f.bytes, f.modified));
            EXPECT_EQ(p.accessor(), nullptr);
            EXPECT_EQ(p.accessor(), nullptr);
        }
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(fw::OpenAsPictureCount(), reads + 5);
        ASSERT_TRUE(tree.Put(p.file, png));
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
        ASSERT_TRUE(tree.Put(p.file, Installed(p.file)));
        const auto first = p.accessor();
        ASSERT_NE(first, nullptr) << p.file;
        ASSERT_TRUE(QFile::remove(tree.Resource(p.file)));
        EXPECT_EQ(p.accessor(), first) << p.file;
    }
    const std::pair<fw::Canvas&, std::shared_ptr<fw::Picture>> canvases[] = {
        {ControlWnd().ControlNamed<fw::Canvas>("Canvas1"), ImageSmall()},
        {ControlWnd().ControlNamed<fw::Canvas>("Help"), Info()},
        {ControlWnd().ControlNamed<fw::Canvas>("ComputeCanvas"), Compute2()},
        {ControlWnd().ControlNamed<fw::Canvas>("ClearCanvas"), Clear2()},
        {AboutWnd().ControlNamed<fw::Canvas>("Canvas2"), Tembrisk()},
        {AboutWnd().ControlNamed<fw::Canvas>("Canvas1"), ImageSmall()}};
    for (const auto& [canvas, picture] : canvases)
        EXPECT_EQ(canvas.Backdrop(), picture) << canvas.Name().toStdString();
    EXPECT_EQ(fw::OpenAsPictureCount(), 5);
}

// Whatever the kind of PNG (palette with transparency, grey, 16 bits a channel, one bit a pixel), the pixels
// are the ones Qt's own PNG reader gives.
TEST(Pictures, DecodeToThePixelsOfAnotherReader)
{
    QList<QByteArray> files;
    for (const auto& p : kPictures)
        files << Installed(p.file);
    const QImage sample = Sample(9, 4);
    for (const auto format : {QImage::Format_Indexed8, QImage::Format_Grayscale8, QImage::Format_Grayscale16,
                              QImage::Format_RGBX64, QImage::Format_Mono, QImage::Format_RGB32, QImage::Format_ARGB32})
        files << Png(sample.convertToFormat(format));
    // Interlaced, at sizes where some of the seven passes are empty.
    for (const auto& [width, height] : {std::pair(1, 1), std::pair(2, 1), std::pair(1, 2), std::pair(3, 2), std::pair(4, 4),
                                       std::pair(5, 1), std::pair(9, 4), std::pair(8, 9), std::pair(17, 10)})
        files << png_bytes::RgbaPng(Sample(width, height).convertToFormat(QImage::Format_RGBA8888), true);
    for (const QByteArray& bytes : files) {
        SCOPED_TRACE(files.indexOf(bytes));
        const QImage theirs = QImage::fromData(bytes, "PNG").convertToFormat(QImage::Format_ARGB32_Premultiplied);
        ASSERT_FALSE(theirs.isNull());
        QBuffer file;
        file.setData(bytes);
        file.open(QIODevice::ReadOnly);
        EXPECT_EQ(fw::DecodePicture(file), theirs);
    }
}

// Image data that goes on inflating after the last row (256 MiB of zeros in a 260 kB file) is read only as far
// as the rows need: the picture is its rows, and the rest is neither read nor inflated.
TEST(Pictures, ImageDataAfterTheLastRowIsNotInflated)
{
    const struct { int width, height; bool interlaced; } rows[] = {
        {1, 1, false}, {1, 1, true}, {9, 4, true}, {132, 133, false}, {132, 133, true}};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.width << "x" << r.height << (r.interlaced ? " interlaced" : ""));
        const QImage sample = Sample(r.width, r.height).convertToFormat(QImage::Format_RGBA8888);
        const QByteArray bytes = png_bytes::RgbaPng(sample, r.interlaced, 256);
        QBuffer file;
        file.setData(bytes);
        file.open(QIODevice::ReadOnly);
        EXPECT_EQ(fw::DecodePicture(file), sample.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        EXPECT_LT(file.pos(), png_bytes::RgbaPng(sample, r.interlaced).size() + (64 << 10)) << "of " << bytes.size();
    }
}

// A file built to exhaust memory is no picture, whether a chunk claims 2 GB, the pixels would fill more than
// Qt's reader allows, or the file itself is huge; it is refused without reading it whole.
TEST(Pictures, HostileFilesAreNoPicture)
{
    OwnTree tree(true);
    for (const char* file : {"chunk-claims-2GB.png", "16384-square.png"}) {
        ASSERT_TRUE(tree.Put("Info.png", Installed(file, TOLVANE_FUZZ_DIR "/regressions/picture/")));
        EXPECT_EQ(Info(), nullptr) << file;
    }
    ASSERT_TRUE(tree.Put("Info.png", Installed("Info.png")));
    QFile padded(tree.Resource("Info.png"));
    ASSERT_TRUE(padded.resize(qint64(5) << 29));  // 2.5 GB, sparse
    EXPECT_EQ(Info(), nullptr);

    // Where Qt's reader stops, with its limit at 1 MB: pixels of 4 bytes, and a file padded to a size.
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1);
    const struct { int width, height, fileSize; bool loads; } rows[] = {
        {512, 512, 0, true}, {512, 513, 0, false}, {16, 16, 1 << 20, true}, {16, 16, (1 << 20) + 1, false}};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.width << "x" << r.height << " in " << r.fileSize << " bytes");
        QImage sample(r.width, r.height, QImage::Format_ARGB32);
        sample.fill(Qt::transparent);
        QByteArray bytes = Png(sample);
        if (r.fileSize == 0)
            EXPECT_EQ(QImage::fromData(bytes).isNull(), !r.loads);  // as Qt's reader sees the pixels
        else
            bytes.resize(r.fileSize, '\0');
        ASSERT_TRUE(tree.Put("Info.png", bytes));
        EXPECT_EQ(fw::FolderItem(tree.Resource("Info.png")).OpenAsPicture() != nullptr, r.loads);
    }
    QImageReader::setAllocationLimit(limit);
}
