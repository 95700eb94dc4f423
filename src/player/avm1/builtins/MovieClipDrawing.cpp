#include "MovieClipDrawing.h"

#include "BitmapDataObject.h"
#include "Builtins.h"
#include "Declaration.h"
#include "Matrix.h"

#include "player/avm1/ClipObject.h"
#include "player/avm1/Machine.h"
#include "player/display/MovieClip.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace player::avm1::builtins {

namespace {

display::Drawing* drawingOf(Object* self)
{
    display::MovieClip* clip = movieClipOf(self);
    return clip ? &clip->drawing() : nullptr;
}

// Drawing coordinates are pixels; shapes count twips. Out-of-range and NaN values are pinned
// so that a wild script cannot overflow the shape's integers.
int32_t toTwips(Machine& machine, const Value& value)
{
    const double pixels = machine.toNumber(value);
    if (!std::isfinite(pixels))
        return 0;
    return static_cast<int32_t>(std::clamp(pixels * 20.0, -1.0e8, 1.0e8));
}

double numberOr(Machine& machine, const Arguments& arguments, size_t index, double fallback)
{
    if (index >= arguments.size() || arguments[index].isUndefined())
        return fallback;
    const double number = machine.toNumber(arguments[index]);
    return std::isnan(number) ? fallback : number;
}

// Alphas are percentages, 0 to 100.
uint8_t alphaByte(double percent)
{
    return static_cast<uint8_t>(std::clamp(percent, 0.0, 100.0) * 255.0 / 100.0);
}

swf::Rgba colorOf(uint32_t rgb, uint8_t alpha)
{
    return swf::Rgba { static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb), alpha };
}

// A script's matrix may hold anything; terms that are no finite number count as 0.
void zeroNonFiniteTerms(swf::Matrix& matrix)
{
    for (double* term : { &matrix.a, &matrix.b, &matrix.c, &matrix.d, &matrix.tx, &matrix.ty }) {
        if (!std::isfinite(*term))
            *term = 0.0;
    }
}

// Flash keeps a gradient's matrix as a shape file does: its scale and rotation terms in 16.16
// fixed point, the fraction beyond cut towards zero.
void cutToFixedPoint(swf::Matrix& matrix)
{
    for (double* term : { &matrix.a, &matrix.b, &matrix.c, &matrix.d })
        *term = std::trunc(std::clamp(*term, -32768.0, 32767.0) * 65536.0) / 65536.0;
}

// The elements of an array-like object, read through "length" and the indices.
std::vector<Value> elementsOf(Machine& machine, const Value& value)
{
    std::vector<Value> result;
    if (!value.asObject())
        return result;
    const double length = machine.toNumber(machine.getMember(value, QStringLiteral("length")));
    if (!std::isfinite(length) || length <= 0)
        return result;
    const int count = static_cast<int>(std::min(length, 256.0));
    for (int index = 0; index < count; ++index)
        result.push_back(machine.getMember(value, QString::number(index)));
    return result;
}

} // namespace

swf::Matrix gradientBoxMatrix(double x, double y, double width, double height, double rotation)
{
    // The gradient square is 1638.4 pixels wide; Flash scales the sine terms by the box's other
    // side, which makes rotated boxes shear when width and height differ.
    swf::Matrix matrix;
    matrix.a = std::cos(rotation) * width / 1638.4;
    matrix.b = std::sin(rotation) * height / 1638.4;
    matrix.c = -std::sin(rotation) * width / 1638.4;
    matrix.d = std::cos(rotation) * height / 1638.4;
    matrix.tx = (x + width / 2.0) * 20.0;
    matrix.ty = (y + height / 2.0) * 20.0;
    return matrix;
}

std::optional<swf::FillStyle> gradientFillFromScript(Machine& machine, const Arguments& arguments)
{
    const QString type = machine.toString(argument(arguments, 0));
    swf::FillStyle fill;
    if (type == QLatin1String("linear"))
        fill.type = swf::FillType::LinearGradient;
    else if (type == QLatin1String("radial"))
        fill.type = swf::FillType::RadialGradient;
    else
        return std::nullopt;

    // Flash takes no gradient from more than eight arguments.
    if (arguments.size() > 8)
        return std::nullopt;
    const std::vector<Value> colors = elementsOf(machine, argument(arguments, 1));
    const std::vector<Value> alphas = elementsOf(machine, argument(arguments, 2));
    const std::vector<Value> ratios = elementsOf(machine, argument(arguments, 3));
    Object* matrixObject = argument(arguments, 4).asObject();
    // Flash draws nothing when the three lists disagree in length or a matrix is missing.
    if (colors.empty() || colors.size() != alphas.size() || colors.size() != ratios.size() || !matrixObject)
        return std::nullopt;
    // Gradients hold at most fifteen stops; Flash drops the rest.
    const size_t count = std::min<size_t>(colors.size(), 15);
    for (size_t index = 0; index < count; ++index) {
        // A ratio is cut to a whole number; one that would not fit a byte refuses the gradient
        // (so -0.5 counts as 0 but -1 and 256 refuse). NaN counts as 0.
        double ratio = machine.toNumber(ratios[index]);
        if (std::isnan(ratio))
            ratio = 0.0;
        if (ratio <= -1.0 || ratio >= 256.0)
            return std::nullopt;
        swf::GradientRecord record;
        record.ratio = static_cast<uint8_t>(std::max(ratio, 0.0));
        // Scripted gradients keep their ratios rising: one that does not rise above the ratio
        // before it is moved one past it (as far as 255), so that its colour gets an entry.
        if (!fill.gradient.records.empty() && record.ratio <= fill.gradient.records.back().ratio)
            record.ratio = static_cast<uint8_t>(std::min(fill.gradient.records.back().ratio + 1, 255));
        const double alpha = machine.toNumber(alphas[index]);
        record.color = colorOf(static_cast<uint32_t>(machine.toInt32(colors[index])), alphaByte(std::isnan(alpha) ? 100.0 : alpha));
        fill.gradient.records.push_back(record);
    }

    const Value matrixValue(matrixObject);
    auto member = [&](const char* name) { return machine.toNumber(machine.getMember(matrixValue, QString::fromLatin1(name))); };
    if (machine.toString(machine.getMember(matrixValue, QStringLiteral("matrixType"))) == QLatin1String("box")) {
        fill.gradient.matrix = gradientBoxMatrix(member("x"), member("y"), member("w"), member("h"), member("r"));
    } else {
        fill.gradient.matrix = matrixFromObject(machine, matrixObject);
    }
    zeroNonFiniteTerms(fill.gradient.matrix);
    cutToFixedPoint(fill.gradient.matrix);

    const QString spread = machine.toString(argument(arguments, 5));
    if (spread == QLatin1String("reflect"))
        fill.gradient.spread = swf::SpreadMode::Reflect;
    else if (spread == QLatin1String("repeat"))
        fill.gradient.spread = swf::SpreadMode::Repeat;
    if (machine.toString(argument(arguments, 6)) == QLatin1String("linearRGB"))
        fill.gradient.interpolation = swf::InterpolationMode::LinearRgb;
    const double focal = numberOr(machine, arguments, 7, 0.0);
    if (fill.type == swf::FillType::RadialGradient && focal != 0.0) {
        fill.type = swf::FillType::FocalGradient;
        // Flash keeps the focal point as a shape file does, in 8.8 fixed point with the
        // fraction cut: 0.8 becomes 204/256.
        fill.gradient.focalPoint = std::trunc(std::clamp(focal, -1.0, 1.0) * 256.0) / 256.0;
    }
    return fill;
}

void installMovieClipDrawing(Machine& machine, Object* prototype)
{
    const Declaration methods[] = {
        deletableMethod("clear", [](Machine&, Object* self, const Arguments&) {
             if (display::Drawing* drawing = drawingOf(self))
                 drawing->clear();
             return Value();
         }).from(6),
        deletableMethod("moveTo", [](Machine& machine, Object* self, const Arguments& arguments) {
             // Flash ignores a move with fewer than two arguments.
             if (display::Drawing* drawing = drawingOf(self); drawing && arguments.size() >= 2)
                 drawing->moveTo(toTwips(machine, arguments[0]), toTwips(machine, arguments[1]));
             return Value();
         }).from(6),
        deletableMethod("lineTo", [](Machine& machine, Object* self, const Arguments& arguments) {
             if (display::Drawing* drawing = drawingOf(self); drawing && arguments.size() >= 2)
                 drawing->lineTo(toTwips(machine, arguments[0]), toTwips(machine, arguments[1]));
             return Value();
         }).from(6),
        deletableMethod("curveTo", [](Machine& machine, Object* self, const Arguments& arguments) {
             if (display::Drawing* drawing = drawingOf(self); drawing && arguments.size() >= 4)
                 drawing->curveTo(toTwips(machine, arguments[0]), toTwips(machine, arguments[1]),
                                  toTwips(machine, arguments[2]), toTwips(machine, arguments[3]));
             return Value();
         }).from(6),
        deletableMethod("beginFill", [](Machine& machine, Object* self, const Arguments& arguments) {
             display::Drawing* drawing = drawingOf(self);
             if (!drawing)
                 return Value();
             // Without a colour the shape being drawn gets no fill.
             if (arguments.empty() || arguments[0].isUndefined()) {
                 drawing->endFill();
                 return Value();
             }
             swf::FillStyle fill;
             fill.color = colorOf(static_cast<uint32_t>(machine.toInt32(arguments[0])), alphaByte(numberOr(machine, arguments, 1, 100.0)));
             drawing->beginFill(fill);
             return Value();
         }).from(6),
        deletableMethod("beginGradientFill", [](Machine& machine, Object* self, const Arguments& arguments) {
             display::Drawing* drawing = drawingOf(self);
             if (!drawing)
                 return Value();
             if (const std::optional<swf::FillStyle> fill = gradientFillFromScript(machine, arguments))
                 drawing->beginFill(*fill);
             else
                 drawing->endFill();
             return Value();
         }).from(6),
        deletableMethod("beginBitmapFill", [](Machine& machine, Object* self, const Arguments& arguments) {
             // beginBitmapFill(bitmap, matrix, repeat = true, smoothing = false): without a
             // bitmap the shape being drawn gets no fill.
             display::Drawing* drawing = drawingOf(self);
             if (!drawing)
                 return Value();
             auto* bitmap = dynamic_cast<BitmapDataObject*>(argument(arguments, 0).asObject());
             const uint16_t id = bitmap && bitmap->pixels() ? drawing->addBitmap(bitmap->pixels()) : 0xFFFF;
             if (id == 0xFFFF) {
                 drawing->endFill();
                 return Value();
             }
             const bool repeat = arguments.size() < 3 || machine.toBoolean(arguments[2]);
             const bool smooth = machine.toBoolean(argument(arguments, 3));
             swf::FillStyle fill;
             fill.type = repeat ? (smooth ? swf::FillType::RepeatingBitmap : swf::FillType::NonSmoothedRepeatingBitmap)
                                : (smooth ? swf::FillType::ClippedBitmap : swf::FillType::NonSmoothedClippedBitmap);
             fill.bitmapId = id;
             // The script's matrix maps bitmap pixels to the clip's pixels (its translation
             // comes in twips); a bitmap fill's matrix maps them to twips, so it scales by 20.
             swf::Matrix matrix = matrixFromObject(machine, argument(arguments, 1).asObject());
             zeroNonFiniteTerms(matrix);
             matrix.a *= 20.0;
             matrix.b *= 20.0;
             matrix.c *= 20.0;
             matrix.d *= 20.0;
             fill.bitmapMatrix = matrix;
             drawing->beginFill(fill);
             return Value();
         }).from(8),
        deletableMethod("endFill", [](Machine&, Object* self, const Arguments&) {
             if (display::Drawing* drawing = drawingOf(self))
                 drawing->endFill();
             return Value();
         }).from(6),
        deletableMethod("lineStyle", [](Machine& machine, Object* self, const Arguments& arguments) {
             display::Drawing* drawing = drawingOf(self);
             if (!drawing)
                 return Value();
             // No thickness means no line from here on.
             if (arguments.empty() || arguments[0].isUndefined()) {
                 drawing->lineStyle(std::nullopt);
                 return Value();
             }
             swf::LineStyle style;
             const double thickness = numberOr(machine, arguments, 0, 0.0);
             style.width = static_cast<uint16_t>(std::clamp(thickness, 0.0, 255.0) * 20.0);
             const double rgb = numberOr(machine, arguments, 1, 0.0);
             style.color = colorOf(static_cast<uint32_t>(machine.toInt32(Value(rgb))), alphaByte(numberOr(machine, arguments, 2, 100.0)));
             style.pixelHinting = machine.toBoolean(argument(arguments, 3));
             // The scale mode names the directions in which the line keeps its width.
             const QString scaleMode = arguments.size() > 4 ? machine.toString(arguments[4]) : QStringLiteral("normal");
             style.noHScale = scaleMode == QLatin1String("none") || scaleMode == QLatin1String("horizontal");
             style.noVScale = scaleMode == QLatin1String("none") || scaleMode == QLatin1String("vertical");
             const QString caps = arguments.size() > 5 ? machine.toString(arguments[5]) : QString();
             if (caps == QLatin1String("none"))
                 style.startCap = style.endCap = swf::CapStyle::None;
             else if (caps == QLatin1String("square"))
                 style.startCap = style.endCap = swf::CapStyle::Square;
             const QString joints = arguments.size() > 6 ? machine.toString(arguments[6]) : QString();
             if (joints == QLatin1String("miter"))
                 style.join = swf::JoinStyle::Miter;
             else if (joints == QLatin1String("bevel"))
                 style.join = swf::JoinStyle::Bevel;
             style.miterLimit = std::clamp(numberOr(machine, arguments, 7, 3.0), 1.0, 255.0);
             drawing->lineStyle(style);
             return Value();
         }).from(6),
        deletableMethod("lineGradientStyle", [](Machine& machine, Object* self, const Arguments& arguments) {
             // Gives the current line a gradient instead of its colour; without a line it does
             // nothing.
             display::Drawing* drawing = drawingOf(self);
             if (!drawing)
                 return Value();
             // Arguments Flash cannot read leave the line as it was.
             std::optional<swf::LineStyle> style = drawing->currentLineStyle();
             if (!style)
                 return Value();
             const std::optional<swf::FillStyle> fill = gradientFillFromScript(machine, arguments);
             if (!fill)
                 return Value();
             style->hasFill = true;
             style->fill = *fill;
             drawing->lineStyle(style);
             return Value();
         }).from(8),
    };
    installDeclarations(machine, prototype, methods);
}

} // namespace player::avm1::builtins
