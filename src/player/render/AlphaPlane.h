#pragma once

#include <QImage>
#include <QPoint>

namespace player::render {

// The alpha channel of an object's layer on its own, the raw material of the shadow, glow and
// bevel filters: they blur it, move it and colour it.
class AlphaPlane {
public:
    // The alpha of a premultiplied image.
    static AlphaPlane fromImage(const QImage& image);

    void blur(double blurX, double blurY, int passes);

    // The value at `point`, or `outside` beyond the plane.
    int at(int x, int y, int outside) const
    {
        if (x < 0 || y < 0 || x >= m_alpha.width() || y >= m_alpha.height())
            return outside;
        return m_alpha.constScanLine(y)[x];
    }

    int width() const { return m_alpha.width(); }
    int height() const { return m_alpha.height(); }

private:
    QImage m_alpha; // Format_Alpha8
};

// A filter's distance and angle as a whole-pixel offset (Flash moves shadows by whole pixels).
QPoint filterOffset(double distance, double angle, double scale);

} // namespace player::render
