#include "tools/TwoColourGradient.h"

#include "tools/GradientModel.h"

namespace tools {

ColourReference gradientCanvasBackground()
{
    return systemColour(15);
}

QImage renderTwoColourGradient(ColourReference colour0, ColourReference colour1, int direction, QSize size)
{
    if (size.width() <= 1 || size.height() <= 1)
        return {};
    QImage picture(size, QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    picture.fill(toColour(gradientCanvasBackground()));
    GradientModel model;
    model.setFailureHandler([](const GradientFailure&) {});
    model.setColour1(colour0);
    model.setColour2(colour1);
    model.setAngle(float(360.0 - direction));
    if (!model.draw(picture))
        return {};
    return picture;
}

} // namespace tools
