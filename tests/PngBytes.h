#pragma once
// PNG files put together chunk by chunk, for the pictures no encoder writes:
// the picture tests and the benchmarks.

#include <QByteArray>
#include <QList>

class QImage;

namespace png_bytes {

struct Chunk {
    QByteArray type;  // four letters
    QByteArray data;
};

// The signature and the chunks, each with its length and CRC.
QByteArray File(const QList<Chunk>& chunks);

// A zlib stream of the bytes followed by that many MiB of zeros. The zeros
// cost 1 kB a MiB here and take as long to inflate as any other zeros.
QByteArray Deflate(const QByteArray& bytes, qint64 zeroMebibytes = 0);

// A PNG file of 8-bit RGBA pixels (unpremultiplied, Format_RGBA8888),
// Adam7-interlaced on request; its image data goes on with zeros after the
// last row when asked.
QByteArray RgbaPng(const QImage& rgba, bool interlaced, qint64 zeroMebibytesAfterRows = 0);

}  // namespace png_bytes
