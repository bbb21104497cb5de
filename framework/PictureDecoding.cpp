#include "PictureDecoding.h"

#include <QBuffer>
#include <QImageReader>

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace fw {

namespace {

// libpng reports through these instead of writing to standard error.
[[noreturn]] void PngGiveUp(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void PngIgnore(png_structp, png_const_charp) {}

struct PngSource {
    const QByteArray& bytes;
    std::size_t at = 0;
};

void PngRead(png_structp png, png_bytep out, png_size_t count)
{
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    const auto left = static_cast<std::size_t>(source->bytes.size()) - source->at;
    if (count > left)
        png_error(png, "cut short");
    std::memcpy(out, source->bytes.constData() + source->at, count);
    source->at += count;
}

// Fills *image with 8-bit RGBA rows. libpng leaves by longjmp on a broken
// file, so nothing with a destructor may live in this frame.
bool ReadPng(png_structp png, png_infop info, QImage* image)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (width == 0 || height == 0 || width > 32767 || height > 32767)
        return false;
    *image = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGBA8888);
    if (image->isNull())
        return false;
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < image->height(); ++y)
            png_read_row(png, image->scanLine(y), nullptr);
    png_read_end(png, nullptr);
    return true;
}

QImage DecodePng(const QByteArray& bytes)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngGiveUp, PngIgnore);
    if (!png)
        return {};
    png_infop info = png_create_info_struct(png);
    PngSource source{bytes};
    QImage image;
    bool ok = false;
    if (info) {
        png_set_read_fn(png, &source, PngRead);
        ok = ReadPng(png, info, &image);
    }
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (!ok)
        return {};
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
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

QImage DecodePicture(const QByteArray& bytes)
{
    static constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";
    if (bytes.startsWith(QByteArray::fromRawData(kPngSignature, 8)))
        return DecodePng(bytes);
    QuietLog quiet;
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    return reader.read();
}

}  // namespace fw
