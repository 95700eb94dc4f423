#include "Decompressor.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdint>

namespace player::swf {

namespace {
constexpr size_t ChunkSize = 64 * 1024;

// The most output a compressed stream of this size may give.
size_t expansionLimit(size_t compressedSize)
{
    const size_t ratioLimit = compressedSize > SIZE_MAX / MaximumExpansion ? SIZE_MAX : compressedSize * MaximumExpansion;
    return std::max(ExpansionAllowance, ratioLimit);
}

std::string expansionError(size_t compressedSize)
{
    return "the compressed data expands more than " + std::to_string(MaximumExpansion) + " times its "
        + std::to_string(compressedSize) + " bytes (a decompression bomb)";
}
}

DecompressResult inflateZlib(const uint8_t* data, size_t size, size_t outputLimit)
{
    DecompressResult result;
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        result.error = "zlib could not start";
        return result;
    }
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(std::min<size_t>(size, UINT_MAX));
    int status = Z_OK;
    const size_t expansion = expansionLimit(size);
    while (result.data.size() < outputLimit) {
        if (result.data.size() >= expansion) {
            inflateEnd(&stream);
            return {{}, expansionError(size), {}};
        }
        const size_t before = result.data.size();
        const size_t grow = std::min(ChunkSize, outputLimit - before);
        result.data.resize(before + grow);
        stream.next_out = result.data.data() + before;
        stream.avail_out = static_cast<uInt>(grow);
        status = inflate(&stream, Z_NO_FLUSH);
        result.data.resize(before + (grow - stream.avail_out));
        if (status == Z_STREAM_END)
            break;
        if (status != Z_OK) {
            // Z_BUF_ERROR with input left means no progress is possible: the data ended early.
            break;
        }
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END && result.data.size() < outputLimit) {
        if (result.data.empty())
            result.error = "the compressed data is damaged";
        else
            result.warning = "the compressed data ends early or is damaged after "
                + std::to_string(result.data.size()) + " bytes";
    }
    return result;
}

DecompressResult inflateSwfLzma(const uint8_t* data, size_t size, size_t expectedLength)
{
    DecompressResult result;
    if (size < 5) {
        result.error = "the LZMA properties are missing";
        return result;
    }
    // liblzma's "alone" format is the SWF layout with the uncompressed size after the properties.
    Bytes alone(data, data + 5);
    uint64_t length = expectedLength;
    for (int i = 0; i < 8; ++i)
        alone.push_back(static_cast<uint8_t>(length >> (8 * i)));
    alone.insert(alone.end(), data + 5, data + size);

    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_alone_decoder(&stream, 256ull * 1024 * 1024) != LZMA_OK) {
        result.error = "LZMA could not start";
        return result;
    }
    stream.next_in = alone.data();
    stream.avail_in = alone.size();
    lzma_ret status = LZMA_OK;
    const size_t expansion = expansionLimit(size);
    while (result.data.size() < expectedLength) {
        if (result.data.size() >= expansion) {
            lzma_end(&stream);
            return {{}, expansionError(size), {}};
        }
        const size_t before = result.data.size();
        const size_t grow = std::min(ChunkSize, expectedLength - before);
        result.data.resize(before + grow);
        stream.next_out = result.data.data() + before;
        stream.avail_out = grow;
        status = lzma_code(&stream, LZMA_FINISH);
        result.data.resize(before + (grow - stream.avail_out));
        if (status != LZMA_OK)
            break;
    }
    lzma_end(&stream);
    if (result.data.size() < expectedLength && status != LZMA_STREAM_END) {
        if (result.data.empty())
            result.error = "the LZMA data is damaged";
        else
            result.warning = "the LZMA data ends early or is damaged after " + std::to_string(result.data.size())
                + " bytes";
    }
    return result;
}

} // namespace player::swf
