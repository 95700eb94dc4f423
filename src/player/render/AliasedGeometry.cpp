#include "AliasedGeometry.h"

#include <cmath>

namespace player::render {

namespace {

constexpr double TwipsPerPixel = 20.0;
constexpr double HalfTwip = 0.5 / TwipsPerPixel;

QPainterPath mapAndSnap(const QPainterPath& path, const QTransform& toDevice, double shift)
{
    QPainterPath device = toDevice.map(path);
    for (int index = 0; index < device.elementCount(); ++index) {
        const QPainterPath::Element element = device.elementAt(index);
        device.setElementPositionAt(index, AliasedGeometry::snapToTwips(element.x) + shift,
                                    AliasedGeometry::snapToTwips(element.y) + shift);
    }
    device.setFillRule(path.fillRule());
    return device;
}

} // namespace

double AliasedGeometry::snapToTwips(double deviceCoordinate)
{
    if (!std::isfinite(deviceCoordinate))
        return deviceCoordinate;
    return std::round(deviceCoordinate * TwipsPerPixel) / TwipsPerPixel;
}

QPainterPath AliasedGeometry::fillToDevice(const QPainterPath& path, const QTransform& toDevice)
{
    return mapAndSnap(path, toDevice, 0.0);
}

QPainterPath AliasedGeometry::lineOutlineToDevice(const QPainterPath& outline, const QTransform& toDevice)
{
    return mapAndSnap(outline, toDevice, -HalfTwip);
}

} // namespace player::render
