// Reading a SWF file: the header, decompression and every tag the reader knows.
#include "player/swf/MovieReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const player::swf::MovieReadResult result = player::swf::readMovie(data, size);
    // Walk what was read, so that nothing of it can be optimised away.
    volatile size_t seen = result.error.size();
    if (result.movie)
        seen = seen + result.movie->header.frameCount;
    (void)seen;
    return 0;
}
