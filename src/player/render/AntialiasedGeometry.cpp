#include "AntialiasedGeometry.h"

#include <cmath>

namespace player::render {

namespace {

constexpr double SamplesPerPixel = 4.0;

double snapToSampleGrid(double deviceCoordinate)
{
    if (!std::isfinite(deviceCoordinate))
        return deviceCoordinate;
    return std::round(deviceCoordinate * SamplesPerPixel) / SamplesPerPixel;
}

} // namespace

QPainterPath AntialiasedGeometry::fillToDevice(const QPainterPath& path, const QTransform& toDevice)
{
    QPainterPath device = toDevice.map(path);
    for (int index = 0; index < device.elementCount(); ++index) {
        const QPainterPath::Element element = device.elementAt(index);
        device.setElementPositionAt(index, snapToSampleGrid(element.x), snapToSampleGrid(element.y));
    }
    device.setFillRule(path.fillRule());
    return device;
}

} // namespace player::render
