// The image header reader on any bytes.
#include "imaging/ImageHeader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        const imaging::ImageHeader header = imaging::readImageHeader(data, size);
        volatile int32_t seen = header.width + header.height + header.depth + int32_t(header.type);
        (void)seen;
    } catch (...) {
        // A refused header (a depth beyond eight bits) is an answer, not a fault.
    }
    return 0;
}
