#include "PictureDecoding.h"

#include <QIODevice>
#include <QImageReader>

#include <png.h>

#include <csetjmp>
#include <limits>

namespace fw {

namespace {

// libpng reports through these instead of writing to standard error.
[[noreturn]] void PngGiveUp(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void PngIgnore(png_structp, png_const_charp) {}

// The most memory a decoded picture may take, as Qt's own image reader
// allows it (0: no limit).
qint64 AllocationLimit()
{
    return qint64(QImageReader::allocationLimit()) * 1024 * 1024;
}

// The file as libpng reads it, and how far the rows have come.
struct Reading {
    QIODevice* source;
    png_uint_32 height = 0;
    int passes = 0;  // 0 until the rows are read: 1, or 7 when interlaced
};

// Every row of every pass has been read (libpng counts them as it goes).
bool RowsRead(png_structp png, const Reading& r)
{
    if (r.passes == 0)
        return false;
    return r.passes > 1 ? png_get_current_pass_number(png) >= r.passes : png_get_current_row_number(png) >= r.height;
}

void PngRead(png_structp png, png_bytep out, png_size_t count)
{
    auto* r = static_cast<Reading*>(png_get_io_ptr(png));
    // After the last row libpng would inflate the rest of the image data only
    // to check it, and a few MB of it can hold gigabytes of zeros: the rows
    // are all there is to have, so reading ends with them.
    if (RowsRead(png, *r))
        png_error(png, "rows read");
    if (count > std::size_t(std::numeric_limits<qint64>::max()) ||
        r->source->read(reinterpret_cast<char*>(out), qint64(count)) != qint64(count))
        png_error(png, "cut short");
}

// Fills *image with 8-bit RGBA rows. libpng leaves by longjmp on a broken
// file, so nothing with a destructor may live in this frame.
bool ReadPng(png_structp png, png_infop info, Reading* r, QImage* image)
{
    if (setjmp(png_jmpbuf(png)))
        return RowsRead(png, *r);  // what fails after the last row does not matter
    // Text, colour profiles and the like are skipped unread into memory; only
    // transparency changes the pixels drawn.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    // Image data is read a kilobyte at a time (not eight): what has been read
    // when the last row is done is still inflated, up to a megabyte from a
    // kilobyte of zeros.
    png_set_compression_buffer_size(png, 1024);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const qint64 limit = AllocationLimit();
    if (width == 0 || height == 0 || width > 32767 || height > 32767 ||
        (limit > 0 && qint64(width) * qint64(height) * 4 > limit))
        return false;
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    *image = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGBA8888);
    if (image->isNull())
        return false;
    r->height = height;
    r->passes = passes;
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < image->height(); ++y)
            png_read_row(png, image->scanLine(y), nullptr);
    return true;
}

QImage DecodePng(QIODevice& source)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngGiveUp, PngIgnore);
    if (!png)
        return {};
    png_infop info = png_create_info_struct(png);
    QImage image;
    Reading reading{&source};
    bool ok = false;
    if (info) {
        png_set_read_fn(png, &reading, PngRead);
        ok = ReadPng(png, info, &reading, &image);
    }
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (!ok)
        return {};
    image.convertTo(QImage::Format_ARGB32_Premultiplied);  // in place: no second copy
    return image;
}

// Qt's other decoders complain through Qt's log; silenced while one runs.
class QuietLog {
public:
    QuietLog() : previous_(qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {})) {}
    ~QuietLog() { qInstallMessageHandler(previous_); }
    QuietLog(const QuietLog&) = delete;
    QuietLog& operator=(const QuietLog&) = delete;

private:
    QtMessageHandler previous_;
};

}  // namespace

QImage DecodePicture(QIODevice& source)
{
    const qint64 limit = AllocationLimit();
    if (!source.isSequential() && limit > 0 && source.size() > limit)
        return {};
    static constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";
    if (source.peek(8) == QByteArray::fromRawData(kPngSignature, 8))
        return DecodePng(source);
    QuietLog quiet;
    QImageReader reader(&source);
    return reader.read();
}

}  // namespace fw
