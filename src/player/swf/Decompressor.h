#pragma once

#include "Button.h"

#include <cstddef>
#include <string>

namespace player::swf {

// Decompresses a movie body. Output stops at outputLimit bytes, so a length field can never make
// us allocate more than the caller allows. A stream that ends early gives what it had plus a
// warning; corrupt data from the start gives an error.
struct DecompressResult {
    Bytes data;
    std::string error;   // set when nothing usable came out
    std::string warning; // set when the stream ended early or was damaged part way
};

DecompressResult inflateZlib(const uint8_t* data, size_t size, size_t outputLimit);
// SWF's LZMA layout: 5 property bytes then the raw stream, expected to produce expectedLength bytes.
DecompressResult inflateSwfLzma(const uint8_t* data, size_t size, size_t expectedLength);

} // namespace player::swf
