#pragma once

#include <QColor>
#include <QImage>
#include <functional>

namespace texture {

// Draws the 256 x 256 picture of a two-colour gradient at an angle in degrees, as the gradient
// window shows it. The gradient tools install it; until they do none is set, and the batch
// command refuses gradient values.
using GradientPainter = std::function<QImage(const QColor& from, const QColor& to, double angle)>;

void setGradientPainter(GradientPainter painter);
const GradientPainter& gradientPainter();

} // namespace texture
