#include "PixelVectors.h"

#include <atomic>

namespace player::render {

namespace {

std::atomic<bool> vectorsEnabled { SKRV_PIXEL_VECTORS != 0 };
std::atomic<bool> wideEnabled { true };

bool processorHasAvx2()
{
#if SKRV_WIDE_PIXELS
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

} // namespace

int PixelVectors::update()
{
    int level = Scalar;
    if (vectorsEnabled.load(std::memory_order_relaxed))
        level = wideEnabled.load(std::memory_order_relaxed) && wideSupported() ? Wide : Narrow;
    s_level.store(level, std::memory_order_relaxed);
    return level;
}

void PixelVectors::setEnabled(bool enabled)
{
    vectorsEnabled.store(enabled && SKRV_PIXEL_VECTORS != 0, std::memory_order_relaxed);
    update();
}

bool PixelVectors::wideSupported()
{
    static const bool supported = processorHasAvx2();
    return supported;
}

void PixelVectors::setWide(bool wide)
{
    wideEnabled.store(wide, std::memory_order_relaxed);
    update();
}

} // namespace player::render
