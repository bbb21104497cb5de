#pragma once
// PNG files taken apart and put together chunk by chunk, for the pictures no
// encoder writes: the picture tests, the picture fuzzer and the benchmarks.

#include <QByteArray>
#include <QList>

#include <optional>

class QImage;

namespace png_bytes {

struct Chunk {
    QByteArray type;  // four letters
    QByteArray data;
};

// The whole chunks after the signature, in order; none without the signature.
QList<Chunk> Chunks(const QByteArray& file);
// The signature and the chunks, each with its length and CRC.
QByteArray File(const QList<Chunk>& chunks);
// Rewrites the CRC of every whole chunk of a PNG file to match its content.
void PutCrcsRight(QByteArray& file);

// A zlib stream of the bytes followed by that many MiB of zeros. The zeros
// cost 1 kB a MiB here and take as long to inflate as any other zeros.
QByteArray Deflate(const QByteArray& bytes, qint64 zeroMebibytes = 0);
// The bytes of a zlib stream, or nothing when it is broken or would inflate
// past the limit.
std::optional<QByteArray> Inflate(const QByteArray& stream, qsizetype limit);

// A PNG file of 8-bit RGBA pixels (unpremultiplied, Format_RGBA8888),
// Adam7-interlaced on request; its image data goes on with zeros after the
// last row when asked.
QByteArray RgbaPng(const QImage& rgba, bool interlaced, qint64 zeroMebibytesAfterRows = 0);

}  // namespace png_bytes
