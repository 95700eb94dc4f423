#include "AlphaPlane.h"

#include "BoxBlur.h"

#include <algorithm>
#include <cmath>

namespace player::render {

AlphaPlane AlphaPlane::fromImage(const QImage& image)
{
    AlphaPlane plane;
    plane.m_alpha = QImage(image.size(), QImage::Format_Alpha8);
    const QImage source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < source.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        uint8_t* alpha = plane.m_alpha.scanLine(y);
        for (int x = 0; x < source.width(); ++x) {
            alpha[x] = static_cast<uint8_t>(qAlpha(line[x]));
        }
    }
    return plane;
}

void AlphaPlane::blur(double blurX, double blurY, int passes)
{
    BoxBlur::blur(m_alpha, blurX, blurY, passes);
}

QPoint filterOffset(double distance, double angle, double scale)
{
    if (!std::isfinite(distance) || !std::isfinite(angle) || !std::isfinite(scale))
        return {};
    // Far beyond any layer: keeps the conversion to int defined for absurd values.
    const double reach = std::clamp(distance * scale, -4096.0, 4096.0);
    return QPoint(static_cast<int>(std::lround(reach * std::cos(angle))),
                  static_cast<int>(std::lround(reach * std::sin(angle))));
}

} // namespace player::render
