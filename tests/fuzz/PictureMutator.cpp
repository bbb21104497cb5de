// fuzz_picture's own mutations. libFuzzer's, on the bytes of the file, break
// the deflate stream of the image data wherever they touch it, so the rows
// hardly ever decode, and a byte put into a chunk makes its length wrong. So
// a third of the inputs have one chunk's data mutated, the chunk rebuilt
// around it; a third have their image data inflated, the rows mutated and
// deflated again; the rest are mutated as bytes. The target puts the CRCs
// right in every case.
#include "PngBytes.h"

#include <cstdint>
#include <cstring>
#include <random>
#include <utility>

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

namespace {

using png_bytes::Chunk;

// Rows of more than this are left to the byte mutations.
constexpr qsizetype kRowsLimit = 4 << 20;

// libFuzzer's mutations of the bytes, with room to grow by half.
QByteArray Mutated(QByteArray bytes)
{
    const std::size_t size = std::size_t(bytes.size());
    bytes.resize(bytes.size() + bytes.size() / 2 + 16);
    const std::size_t mutated =
        LLVMFuzzerMutate(reinterpret_cast<std::uint8_t*>(bytes.data()), size, std::size_t(bytes.size()));
    bytes.truncate(qsizetype(mutated));
    return bytes;
}

QByteArray MutateChunk(QList<Chunk> chunks, qsizetype which)
{
    chunks[which].data = Mutated(chunks[which].data);
    return png_bytes::File(chunks);
}

// The image data, split over any number of chunks, becomes one chunk in the
// place of the first.
QByteArray MutateRows(const QList<Chunk>& chunks)
{
    QByteArray stream;
    for (const Chunk& c : chunks)
        if (c.type == "IDAT")
            stream += c.data;
    const std::optional<QByteArray> rows = png_bytes::Inflate(stream, kRowsLimit);
    if (!rows)
        return {};
    QList<Chunk> mutated;
    bool placed = false;
    for (const Chunk& c : chunks) {
        if (c.type != "IDAT")
            mutated.append(c);
        else if (!std::exchange(placed, true))
            mutated.append(Chunk{"IDAT", png_bytes::Deflate(Mutated(*rows))});
    }
    return png_bytes::File(mutated);
}

}  // namespace

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int seed)
{
    std::minstd_rand random(seed);
    const QList<Chunk> chunks = png_bytes::Chunks(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    QByteArray mutated;
    switch (random() % 3) {
    case 0:
        if (!chunks.isEmpty())
            mutated = MutateChunk(chunks, qsizetype(random() % std::size_t(chunks.size())));
        break;
    case 1:
        mutated = MutateRows(chunks);
        break;
    }
    if (mutated.isEmpty() || std::size_t(mutated.size()) > maxSize)
        return LLVMFuzzerMutate(data, size, maxSize);
    std::memcpy(data, mutated.constData(), std::size_t(mutated.size()));
    return std::size_t(mutated.size());
}
