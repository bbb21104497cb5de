#include "PngBytes.h"

#include <QImage>
#include <QtEndian>

#include <zlib.h>

#include <array>
#include <span>

namespace png_bytes {

namespace {

constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
constexpr qsizetype kSignatureSize = 8;

bool HasSignature(const QByteArray& file)
{
    return file.startsWith(QByteArray::fromRawData(kSignature, kSignatureSize));
}

void AppendBig(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

quint32 Crc(const char* from, qsizetype size)
{
    return quint32(crc32_z(crc32_z(0, nullptr, 0), reinterpret_cast<const Bytef*>(from), std::size_t(size)));
}

// Each whole chunk, as the offset of its length and the size of its data.
template <typename Visit>
void EachChunk(const QByteArray& file, Visit visit)
{
    if (!HasSignature(file))
        return;
    for (qsizetype at = kSignatureSize; file.size() - at >= 12;) {
        const quint32 size = qFromBigEndian<quint32>(file.constData() + at);
        if (size > quint64(file.size() - at - 12))
            return;
        visit(at, qsizetype(size));
        at += 12 + qsizetype(size);
    }
}

// The pixels as the rows of a PNG file, without filters.
QByteArray Scanlines(const QImage& rgba, bool interlaced)
{
    // Adam7: where each pass starts and how far it steps, across and down.
    struct Pass { int x, y, dx, dy; };
    static constexpr Pass kAdam7[] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                      {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    static constexpr Pass kWhole[] = {{0, 0, 1, 1}};
    QByteArray rows;
    for (const Pass& p : interlaced ? std::span<const Pass>(kAdam7) : std::span<const Pass>(kWhole)) {
        if (p.x >= rgba.width())
            continue;  // a pass without columns has no rows either
        for (int y = p.y; y < rgba.height(); y += p.dy) {
            rows += '\0';
            const char* line = reinterpret_cast<const char*>(rgba.constScanLine(y));
            for (int x = p.x; x < rgba.width(); x += p.dx)
                rows.append(line + 4 * x, 4);
        }
    }
    return rows;
}

}  // namespace

QList<Chunk> Chunks(const QByteArray& file)
{
    QList<Chunk> chunks;
    EachChunk(file, [&](qsizetype at, qsizetype size) { chunks.append(Chunk{file.mid(at + 4, 4), file.mid(at + 8, size)}); });
    return chunks;
}

QByteArray File(const QList<Chunk>& chunks)
{
    QByteArray file(kSignature, kSignatureSize);
    for (const Chunk& c : chunks) {
        AppendBig(file, quint32(c.data.size()));
        const qsizetype typeAt = file.size();
        file += c.type;
        file += c.data;
        AppendBig(file, Crc(file.constData() + typeAt, file.size() - typeAt));
    }
    return file;
}

void PutCrcsRight(QByteArray& file)
{
    EachChunk(file, [&](qsizetype at, qsizetype size) {
        qToBigEndian(Crc(file.constData() + at + 4, size + 4), file.data() + at + 8 + size);
    });
}

QByteArray Deflate(const QByteArray& bytes, qint64 zeroMebibytes)
{
    z_stream z{};
    if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK)
        return {};
    QByteArray out;
    // Each piece ends in a full flush, which also forgets what came before:
    // the compressed MiB of zeros decodes the same wherever it is repeated.
    const auto compress = [&](const char* from, qsizetype size) {
        const qsizetype start = out.size();
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(from));
        z.avail_in = uInt(size);
        do {
            std::array<char, 1 << 16> buffer;
            z.next_out = reinterpret_cast<Bytef*>(buffer.data());
            z.avail_out = uInt(buffer.size());
            deflate(&z, Z_FULL_FLUSH);
            out.append(buffer.data(), qsizetype(buffer.size() - z.avail_out));
        } while (z.avail_out == 0);
        return out.mid(start);
    };
    compress(bytes.constData(), bytes.size());
    if (zeroMebibytes > 0) {
        const QByteArray zeros(1 << 20, '\0');
        const QByteArray mebibyte = compress(zeros.constData(), zeros.size());
        out.reserve(out.size() + mebibyte.size() * (zeroMebibytes - 1) + 16);
        for (qint64 i = 1; i < zeroMebibytes; ++i)
            out += mebibyte;
    }
    deflateEnd(&z);
    // The stream ends by hand, with an empty last block and the checksum of
    // everything it holds.
    out.append("\x01\x00\x00\xff\xff", 5);
    const qint64 zeros = zeroMebibytes << 20;
    uLong adler = adler32_z(adler32_z(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes.constData()), std::size_t(bytes.size()));
    adler = adler32_combine64(adler, (uLong(zeros % 65521) << 16) | 1, zeros);
    AppendBig(out, quint32(adler));
    return out;
}

std::optional<QByteArray> Inflate(const QByteArray& stream, qsizetype limit)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return std::nullopt;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.constData()));
    z.avail_in = uInt(stream.size());
    QByteArray out;
    int status = Z_OK;
    while (status == Z_OK && out.size() <= limit) {
        std::array<char, 1 << 16> buffer;
        z.next_out = reinterpret_cast<Bytef*>(buffer.data());
        z.avail_out = uInt(buffer.size());
        status = inflate(&z, Z_NO_FLUSH);
        out.append(buffer.data(), qsizetype(buffer.size() - z.avail_out));
    }
    inflateEnd(&z);
    if (status != Z_STREAM_END || out.size() > limit)
        return std::nullopt;
    return out;
}

QByteArray RgbaPng(const QImage& rgba, bool interlaced, qint64 zeroMebibytesAfterRows)
{
    QByteArray header;
    AppendBig(header, quint32(rgba.width()));
    AppendBig(header, quint32(rgba.height()));
    header.append("\x08\x06\x00\x00", 4).append(char(interlaced));
    QList<Chunk> chunks = {{"IHDR", header}};
    // Image data in pieces of 64 kB, as encoders write it.
    const QByteArray stream = Deflate(Scanlines(rgba, interlaced), zeroMebibytesAfterRows);
    for (qsizetype at = 0; at < stream.size(); at += 1 << 16)
        chunks.append(Chunk{"IDAT", stream.mid(at, 1 << 16)});
    chunks.append(Chunk{"IEND", {}});
    return File(chunks);
}

}  // namespace png_bytes
