#include "PixelVectors.h"

#include <atomic>

namespace player::render {

namespace {

std::atomic<bool> vectorsEnabled { SKRV_PIXEL_VECTORS != 0 };

} // namespace

bool PixelVectors::enabled()
{
    return vectorsEnabled.load(std::memory_order_relaxed);
}

void PixelVectors::setEnabled(bool enabled)
{
    vectorsEnabled.store(enabled && SKRV_PIXEL_VECTORS != 0, std::memory_order_relaxed);
}

} // namespace player::render
