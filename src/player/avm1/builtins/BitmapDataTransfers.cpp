#include "BitmapDataTransfers.h"

#include "BitmapDataArguments.h"
#include "BitmapDataObject.h"
#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/Machine.h"
#include "player/display/BitmapPixels.h"

#include <algorithm>

namespace player::avm1::builtins {

namespace {

using display::BitmapPixels;
using namespace bitmap_arguments;

// What a method copying from a second bitmap needs before it can start: this bitmap, the
// source, its area and the destination point; or the number Flash answers with instead.
struct CopyRequest {
    BitmapPixels* target = nullptr;
    BitmapPixels* source = nullptr;
    QRect area;
    QPoint destination;
    std::optional<double> refusal;
};

CopyRequest copyRequest(Machine& machine, Object* self, const Arguments& arguments, size_t fewestArguments)
{
    CopyRequest request;
    request.target = pixelsOf(self);
    if (!request.target || arguments.size() < fewestArguments) {
        request.refusal = MissingArguments;
        return request;
    }
    const auto source = sourceOf(arguments[0]);
    if (const double* refusal = std::get_if<double>(&source)) {
        request.refusal = *refusal;
        return request;
    }
    request.source = std::get<BitmapPixels*>(source);
    const std::optional<QRect> area = rectangleOf(machine, arguments[1]);
    if (!area) {
        request.refusal = BadSourceRectangle;
        return request;
    }
    request.area = *area;
    request.destination = pointOf(machine, arguments[2]).value_or(QPoint());
    return request;
}

// A number argument clamped to 0–255, as the hit tests take their alpha thresholds.
int alphaThreshold(Machine& machine, const Value& value)
{
    return std::clamp(machine.toInt32(value), 0, 255);
}

// A point given by the object's own x and y; null when it lacks one.
std::optional<QPoint> ownPointOf(Machine& machine, const Value& value)
{
    Object* object = value.asObject();
    if (!object || !object->hasOwnProperty(machine, QStringLiteral("x")) || !object->hasOwnProperty(machine, QStringLiteral("y")))
        return std::nullopt;
    return pointOf(machine, value);
}

std::optional<BitmapPixels::ThresholdTest> thresholdTest(const QString& name)
{
    using Test = BitmapPixels::ThresholdTest;
    static const std::pair<const char*, Test> tests[] = {{"<", Test::Less}, {"<=", Test::LessOrEqual}, {">", Test::Greater},
                                                         {">=", Test::GreaterOrEqual}, {"==", Test::Equal}, {"!=", Test::NotEqual}};
    for (const auto& [text, test] : tests) {
        if (name == QLatin1String(text))
            return test;
    }
    return std::nullopt;
}

Value scroll(Machine& machine, Object* self, const Arguments& arguments)
{
    BitmapPixels* pixels = pixelsOf(self);
    if (!pixels || arguments.size() < 2)
        return Value(MissingArguments);
    pixels->scroll(machine.toInt32(arguments[0]), machine.toInt32(arguments[1]));
    return Value(0);
}

// compare() has answers of its own: -1 for no argument or a disposed bitmap, -2 when the other
// is no live bitmap, -3 and -4 for a different width or height, 0 when equal, otherwise a new
// transparent bitmap of the differences.
Value compare(Machine& machine, Object* self, const Arguments& arguments)
{
    BitmapPixels* pixels = pixelsOf(self);
    if (!pixels || arguments.empty())
        return Value(-1);
    BitmapPixels* other = BitmapDataObject::pixelsOf(arguments[0]);
    if (!other)
        return Value(-2);
    if (other->width() != pixels->width())
        return Value(-3);
    if (other->height() != pixels->height())
        return Value(-4);
    std::optional<BitmapPixels> difference = pixels->difference(*other);
    if (!difference)
        return Value(0);
    return Value(machine.make<BitmapDataObject>(self->prototype(), std::make_shared<BitmapPixels>(std::move(*difference))));
}

// merge(source, rect, point, red, green, blue, alpha = 256): the alpha multiplier may be left
// out; the method answers -1 even when it did its work.
Value merge(Machine& machine, Object* self, const Arguments& arguments)
{
    CopyRequest request = copyRequest(machine, self, arguments, 6);
    if (request.refusal)
        return Value(*request.refusal);
    const std::array<int, 4> multipliers{machine.toInt32(arguments[3]), machine.toInt32(arguments[4]), machine.toInt32(arguments[5]),
                                         arguments.size() > 6 ? machine.toInt32(arguments[6]) : 256};
    request.target->merge(*request.source, request.area, request.destination, multipliers);
    return Value(-1);
}

// threshold(source, rect, point, operation, threshold, color = 0, mask = 0xFFFFFFFF,
// copySource = false): answers how many pixels passed. An operation Flash does not know
// compares with "<".
Value threshold(Machine& machine, Object* self, const Arguments& arguments)
{
    CopyRequest request = copyRequest(machine, self, arguments, 5);
    if (request.refusal)
        return Value(*request.refusal);
    const BitmapPixels::ThresholdTest test = thresholdTest(machine.toString(arguments[3])).value_or(BitmapPixels::ThresholdTest::Less);
    const uint32_t limit = colorOf(machine, arguments[4]);
    const uint32_t color = colorOf(machine, argument(arguments, 5));
    const uint32_t mask = arguments.size() > 6 ? colorOf(machine, arguments[6]) : 0xFFFFFFFFu;
    const bool copySource = machine.toBoolean(argument(arguments, 7));
    return Value(request.target->threshold(*request.source, request.area, request.destination, test, limit, color, mask, copySource));
}

// copyChannel(source, rect, point, sourceChannel, destChannel): answers -1 even when it did
// its work.
Value copyChannel(Machine& machine, Object* self, const Arguments& arguments)
{
    CopyRequest request = copyRequest(machine, self, arguments, 5);
    if (request.refusal)
        return Value(*request.refusal);
    request.target->copyChannel(*request.source, request.area, request.destination, machine.toInt32(arguments[3]),
                                machine.toInt32(arguments[4]));
    return Value(-1);
}

// paletteMap(source, rect, point, redArray, greenArray, blueArray, alphaArray): a channel
// without an array keeps its value. Flash does nothing without at least the red array, and
// keeps only the low byte of each entry an array gives.
Value paletteMap(Machine& machine, Object* self, const Arguments& arguments)
{
    CopyRequest request = copyRequest(machine, self, arguments, 4);
    if (request.refusal)
        return Value(*request.refusal);
    // Tables in the colour's order: alpha, red, green, blue; the arguments come red first.
    std::array<std::array<uint32_t, 256>, 4> tables{};
    const size_t argumentOf[4] = {6, 3, 4, 5};
    const int shifts[4] = {24, 16, 8, 0};
    for (size_t table = 0; table < 4; ++table) {
        Object* given = argument(arguments, argumentOf[table]).asObject();
        for (uint32_t index = 0; index < 256; ++index) {
            tables[table][index] = given ? colorOf(machine, given->get(machine, QString::number(index))) & 0xFF
                                         : index << shifts[table];
        }
    }
    request.target->paletteMap(*request.source, request.area, request.destination, tables);
    return Value(-1);
}

// pixelDissolve(source, rect, point, randomSeed = 0, numPixels, fillColor = 0): moves
// numPixels pixels of the area, picked in an order the seed fixes, from the source (or, when
// the source is this bitmap, paints them with fillColor). Answers the seed for the next call;
// 0 without a pixel count.
Value pixelDissolve(Machine& machine, Object* self, const Arguments& arguments)
{
    CopyRequest request = copyRequest(machine, self, arguments, 4);
    if (request.refusal)
        return Value(*request.refusal);
    if (arguments.size() < 5)
        return Value(0);
    const int32_t seed = machine.toInt32(arguments[3]);
    const int count = machine.toInt32(arguments[4]);
    const uint32_t fill = colorOf(machine, argument(arguments, 5));
    return Value(double(request.target->pixelDissolve(*request.source, request.area, request.destination, seed, count, fill)));
}

// hitTest(firstPoint, firstAlphaThreshold, secondObject, secondPoint, secondAlphaThreshold):
// secondObject is a bitmap, a point or a rectangle. Flash answers a number for bad
// arguments: -2 for a first point without its own x and y, -3 for a disposed bitmap or an
// object that is neither point nor rectangle, -4 for a bad second point.
Value hitTest(Machine& machine, Object* self, const Arguments& arguments)
{
    BitmapPixels* pixels = pixelsOf(self);
    if (!pixels || arguments.size() < 3)
        return Value(MissingArguments);
    const std::optional<QPoint> position = ownPointOf(machine, arguments[0]);
    if (!position)
        return Value(-2);
    const int threshold = alphaThreshold(machine, arguments[1]);
    Object* other = arguments[2].asObject();
    if (auto* bitmap = dynamic_cast<BitmapDataObject*>(other)) {
        if (!bitmap->pixels())
            return Value(-3);
        std::optional<QPoint> otherPosition = ownPointOf(machine, argument(arguments, 3));
        if (!otherPosition && arguments.size() > 3)
            return Value(-4);
        return Value(pixels->hitsBitmap(threshold, *position, *bitmap->pixels(), alphaThreshold(machine, argument(arguments, 4)),
                                        otherPosition.value_or(QPoint())));
    }
    auto has = [&](const char* name) { return other && other->hasOwnProperty(machine, QString::fromLatin1(name)); };
    if (!has("x") || !has("y") || has("width") != has("height"))
        return Value(-3);
    const QPoint corner = *pointOf(machine, arguments[2]) - *position;
    if (!has("width"))
        return Value(pixels->hitsPoint(threshold, corner));
    const QSize size(machine.toInt32(other->get(machine, QStringLiteral("width"))),
                     machine.toInt32(other->get(machine, QStringLiteral("height"))));
    return Value(pixels->hitsArea(threshold, QRect(corner, size)));
}

// getColorBoundsRect(mask, color, findColor = true)
Value getColorBoundsRect(Machine& machine, Object* self, const Arguments& arguments)
{
    BitmapPixels* pixels = pixelsOf(self);
    if (!pixels || arguments.size() < 2)
        return Value(MissingArguments);
    const bool findColor = arguments.size() < 3 || machine.toBoolean(arguments[2]);
    return Value(rectangleObject(machine, pixels->colorBoundsRect(colorOf(machine, arguments[0]), colorOf(machine, arguments[1]), findColor)));
}

// generateFilterRect(sourceRect, filter): the area a filter would touch. Filters that spread
// are not measured; the source area is given back.
Value generateFilterRect(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!pixelsOf(self))
        return Value(MissingArguments);
    std::optional<QRect> area = rectangleOf(machine, argument(arguments, 0));
    if (!area)
        return Value();
    return Value(rectangleObject(machine, *area));
}

} // namespace

void installBitmapDataTransfers(Machine& machine, Object* prototype)
{
    static constexpr Declaration declarations[] = {
        method("scroll", scroll),
        method("compare", compare),
        method("merge", merge),
        method("threshold", threshold),
        method("copyChannel", copyChannel),
        method("paletteMap", paletteMap),
        method("pixelDissolve", pixelDissolve),
        method("hitTest", hitTest),
        method("getColorBoundsRect", getColorBoundsRect),
        method("generateFilterRect", generateFilterRect),
    };
    installDeclarations(machine, prototype, declarations);
}

} // namespace player::avm1::builtins
