#include "DeviceGrid.h"

#include <cmath>

namespace player::render {

QPainterPath DeviceGrid::mapToGrid(const QPainterPath& path, const QTransform& toDevice, double cellsPerPixel, double shift)
{
    auto snap = [cellsPerPixel](double coordinate) {
        return std::isfinite(coordinate) ? std::round(coordinate * cellsPerPixel) / cellsPerPixel : coordinate;
    };
    QPainterPath device = toDevice.map(path);
    for (int index = 0; index < device.elementCount(); ++index) {
        const QPainterPath::Element element = device.elementAt(index);
        device.setElementPositionAt(index, snap(element.x) + shift, snap(element.y) + shift);
    }
    device.setFillRule(path.fillRule());
    return device;
}

} // namespace player::render
