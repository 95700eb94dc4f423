#pragma once

#include "GradientRamp.h"

#include <QBrush>
#include <QImage>
#include <QRgb>
#include <QTransform>

#include <memory>
#include <optional>

namespace player::render {

// The colour a fill gives each device pixel: one solid colour, a linear or radial gradient
// looked up in a GradientRamp, or the pixels of a bitmap, repeated or with its edges carried on
// beyond it, nearest or smoothed between the four texels around the point.
//
// Every pixel is coloured from its centre mapped back through the inverse of the fill's
// matrix, computed from the pixel's own position alone, so a pixel gets the same colour however
// the runs it is drawn in are cut (by coverage, by rows, by bands of the stage). A shader made
// with a mapping that cannot be inverted gives transparent pixels.
class FillShader {
public:
    enum class Kind { Solid, Linear, Radial, Bitmap };

    static FillShader solid(QRgb premultiplied);
    // A gradient running from `start` to `end` in the coordinates `toDevice` maps from.
    static FillShader linear(std::shared_ptr<const GradientRamp> ramp, const QPointF& start, const QPointF& end,
                             const QTransform& toDevice);
    // A radial gradient over the circle at `center` of `radius`, seen from `focus` (inside it).
    static FillShader radial(std::shared_ptr<const GradientRamp> ramp, const QPointF& center, double radius,
                             const QPointF& focus, const QTransform& toDevice);
    // `image`'s pixels placed by `toDevice`; `clamped` carries the edge pixels on outside it
    // instead of repeating the image.
    static FillShader bitmap(const QImage& image, const QTransform& toDevice, bool clamped, bool smooth);

    // The shader for a Qt brush in device coordinates (solid, linear or radial gradient in
    // logical coordinates, texture), or nothing for what it does not draw.
    static std::optional<FillShader> fromBrush(const QBrush& brush, bool smoothTextures);

    // The same fill with its coordinates mapped further by `transform` (for instance shape
    // coordinates to device pixels), or nothing when the result cannot be inverted.
    std::optional<FillShader> mapped(const QTransform& transform) const;

    Kind kind() const { return m_kind; }
    QRgb solidColor() const { return m_solid; }
    // Whether every colour it gives is opaque.
    bool opaque() const { return m_opaque; }

    // The premultiplied colours of `length` pixels of row `y` from column `x` on.
    void shade(int x, int y, int length, QRgb* out) const;

private:
    // Sets the fill to device mapping and its inverse; false when it cannot be inverted (the
    // shader then gives transparent pixels).
    bool setMapping(const QTransform& toDevice);
    void shadeLinear(int x, int y, int length, QRgb* out) const;
    void shadeRadial(int x, int y, int length, QRgb* out) const;
    void shadeBitmap(int x, int y, int length, QRgb* out) const;
    void shadeSmoothBitmap(int x, int y, int length, QRgb* out) const;

    Kind m_kind = Kind::Solid;
    QRgb m_solid = 0;
    bool m_opaque = true;
    bool m_inverted = false;
    std::shared_ptr<const GradientRamp> m_ramp;
    // Gradients: the mapped-from coordinates where the gradient is the unit interval (linear,
    // along x) or the unit circle (radial); bitmaps: image pixels.
    QTransform m_toFill;
    QTransform m_toDevice;
    double m_focusX = 0.0;
    double m_focusY = 0.0;
    QImage m_image;
    bool m_clamped = false;
    bool m_smooth = false;
};

} // namespace player::render
