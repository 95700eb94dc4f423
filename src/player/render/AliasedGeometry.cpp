#include "AliasedGeometry.h"

#include "DeviceGrid.h"

namespace player::render {

namespace {

constexpr double TwipsPerPixel = 20.0;
constexpr double HalfTwip = 0.5 / TwipsPerPixel;

} // namespace

QPainterPath AliasedGeometry::fillToDevice(const QPainterPath& path, const QTransform& toDevice)
{
    return DeviceGrid::mapToGrid(path, toDevice, TwipsPerPixel);
}

QPainterPath AliasedGeometry::lineOutlineToDevice(const QPainterPath& outline, const QTransform& toDevice)
{
    return DeviceGrid::mapToGrid(outline, toDevice, TwipsPerPixel, -HalfTwip);
}

} // namespace player::render
