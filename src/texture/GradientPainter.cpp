#include "texture/GradientPainter.h"

namespace texture {

namespace {

GradientPainter& installedPainter()
{
    static GradientPainter painter;
    return painter;
}

} // namespace

void setGradientPainter(GradientPainter painter)
{
    installedPainter() = std::move(painter);
}

const GradientPainter& gradientPainter()
{
    return installedPainter();
}

} // namespace texture
