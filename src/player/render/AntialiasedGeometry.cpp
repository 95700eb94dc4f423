#include "AntialiasedGeometry.h"

#include "DeviceGrid.h"

namespace player::render {

namespace {

constexpr double SamplesPerPixel = 4.0;

} // namespace

QPainterPath AntialiasedGeometry::fillToDevice(const QPainterPath& path, const QTransform& toDevice)
{
    return DeviceGrid::mapToGrid(path, toDevice, SamplesPerPixel);
}

} // namespace player::render
