#pragma once

#include "Button.h"

#include <cstddef>
#include <string>

namespace player::swf {

// Decompresses a movie body. Output stops at outputLimit bytes, so a length field can never make
// us allocate more than the caller allows. A stream that ends early gives what it had plus a
// warning; corrupt data from the start gives an error.
//
// A stream that expands more than MaximumExpansion times its compressed size, once past
// ExpansionAllowance bytes, is refused with an error: real movies compress a few times at
// most, and a "bomb" of a few hundred kilobytes must not make us allocate the whole limit.
struct DecompressResult {
    Bytes data;
    std::string error;   // set when nothing usable came out
    std::string warning; // set when the stream ended early or was damaged part way
};

constexpr size_t MaximumExpansion = 100;
constexpr size_t ExpansionAllowance = 1024 * 1024;

DecompressResult inflateZlib(const uint8_t* data, size_t size, size_t outputLimit);
// SWF's LZMA layout: 5 property bytes then the raw stream, expected to produce expectedLength bytes.
DecompressResult inflateSwfLzma(const uint8_t* data, size_t size, size_t expectedLength);

} // namespace player::swf
