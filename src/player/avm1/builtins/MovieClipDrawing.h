#pragma once

#include "player/avm1/FunctionObject.h"
#include "player/swf/Shape.h"

#include <optional>

namespace player::avm1 {

class Machine;
class Object;

namespace builtins {

// The drawing API of clips: moveTo, lineTo, curveTo, lineStyle, lineGradientStyle, beginFill,
// beginGradientFill, endFill and clear, recorded into the clip's drawing.
void installMovieClipDrawing(Machine& machine, Object* prototype);

// The matrix of a gradient box ({matrixType: "box", x, y, w, h, r}), in twips.
swf::Matrix gradientBoxMatrix(double x, double y, double width, double height, double rotation);

// The fill that beginGradientFill's arguments (type, colours, alphas, ratios, matrix, spread,
// interpolation, focal point) describe, or nothing where Flash would draw no fill.
std::optional<swf::FillStyle> gradientFillFromScript(Machine& machine, const Arguments& arguments);

} // namespace builtins

} // namespace player::avm1
