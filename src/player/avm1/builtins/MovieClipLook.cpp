#include "MovieClipLook.h"

#include "Builtins.h"

#include "player/avm1/ClipObject.h"
#include "player/avm1/Machine.h"
#include "player/display/MovieClip.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

namespace player::avm1::builtins {

namespace {

// Blend mode names by their number in the file, from 1 ("normal").
constexpr std::array<const char*, 14> BlendModeNames = { "normal", "layer", "multiply", "screen", "lighten",
                                                         "darken", "difference", "add", "subtract", "invert",
                                                         "alpha", "erase", "overlay", "hardlight" };

display::DisplayObject* objectOf(Object* self)
{
    return displayObjectOfClip(self);
}

using Getter = Value (*)(Machine&, display::DisplayObject&);
using Setter = void (*)(Machine&, display::DisplayObject&, const Value&);

void defineLookProperty(Machine& machine, Object* prototype, const char* name, Getter getter, Setter setter)
{
    FunctionObject* getterFunction = machine.makeNative([getter](Machine& machine, Object* self, const Arguments&) {
        display::DisplayObject* object = objectOf(self);
        return object ? getter(machine, *object) : Value();
    });
    FunctionObject* setterFunction = machine.makeNative([setter](Machine& machine, Object* self, const Arguments& arguments) {
        if (display::DisplayObject* object = objectOf(self))
            setter(machine, *object, argument(arguments, 0));
        return Value();
    });
    prototype->defineVirtual(QString::fromLatin1(name), getterFunction, setterFunction, property_flag::DontEnum | property_flag::DontDelete | property_flag::FromVersion8);
}

// A rectangle a script gives (x, y, width and height, in whole pixels) in twips; nothing when
// one of the four is missing.
std::optional<swf::Rect> rectangleFromScript(Machine& machine, Object* object)
{
    int32_t parts[4] = {};
    const char* names[] = { "x", "y", "width", "height" };
    for (size_t index = 0; index < 4; ++index) {
        const QString name = QString::fromLatin1(names[index]);
        if (!object->has(machine, name))
            return std::nullopt;
        parts[index] = machine.toInt32(object->get(machine, name));
    }
    // Pixels to twips in 64 bits, kept within what a rectangle holds.
    auto twips = [](int64_t pixels) {
        return static_cast<int32_t>(std::clamp<int64_t>(pixels * 20, INT32_MIN / 2, INT32_MAX / 2));
    };
    return swf::Rect { twips(parts[0]), twips(int64_t { parts[0] } + parts[2]), twips(parts[1]),
                       twips(int64_t { parts[1] } + parts[3]) };
}

Value rectangleValue(Machine& machine, const swf::Rect& rect)
{
    Object* rectangle = machine.make<Object>(machine.prototypes().rectangle);
    rectangle->set(machine, QStringLiteral("x"), Value(rect.xMin / 20.0));
    rectangle->set(machine, QStringLiteral("y"), Value(rect.yMin / 20.0));
    rectangle->set(machine, QStringLiteral("width"), Value(rect.width() / 20.0));
    rectangle->set(machine, QStringLiteral("height"), Value(rect.height() / 20.0));
    return Value(rectangle);
}

} // namespace

std::optional<swf::BlendMode> blendModeFromScript(Machine& machine, const Value& value)
{
    // A number is the mode's number in the file; a text its name. Anything else is ignored.
    if (value.isNumber()) {
        const double number = value.asNumber();
        if (std::isfinite(number) && number >= 1 && number <= static_cast<double>(BlendModeNames.size()))
            return static_cast<swf::BlendMode>(static_cast<int>(number));
        return std::nullopt;
    }
    if (!value.isString())
        return std::nullopt;
    const QString name = machine.toString(value);
    for (size_t index = 0; index < BlendModeNames.size(); ++index) {
        if (name == QLatin1String(BlendModeNames[index]))
            return static_cast<swf::BlendMode>(index + 1);
    }
    return std::nullopt;
}

QString blendModeName(swf::BlendMode mode)
{
    const int number = static_cast<int>(mode);
    if (number < 1 || number > static_cast<int>(BlendModeNames.size()))
        return QStringLiteral("normal");
    return QString::fromLatin1(BlendModeNames[static_cast<size_t>(number - 1)]);
}

void installMovieClipLook(Machine& machine, Object* prototype)
{
    defineLookProperty(
        machine, prototype, "blendMode",
        [](Machine&, display::DisplayObject& object) { return Value(blendModeName(object.blendMode())); },
        [](Machine& machine, display::DisplayObject& object, const Value& value) {
            if (const std::optional<swf::BlendMode> mode = blendModeFromScript(machine, value))
                object.setBlendMode(*mode);
        });
    defineLookProperty(
        machine, prototype, "opaqueBackground",
        [](Machine&, display::DisplayObject& object) {
            const std::optional<swf::Rgba> color = object.opaqueBackground();
            if (!color)
                return Value();
            return Value(static_cast<double>((color->r << 16) | (color->g << 8) | color->b));
        },
        [](Machine& machine, display::DisplayObject& object, const Value& value) {
            // undefined and null take the background away; anything else is a colour.
            if (value.isNullish()) {
                object.setOpaqueBackground(std::nullopt);
                return;
            }
            const auto rgb = static_cast<uint32_t>(machine.toInt32(value));
            object.setOpaqueBackground(swf::Rgba { static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                                                   static_cast<uint8_t>(rgb), 255 });
        });
    defineLookProperty(
        machine, prototype, "cacheAsBitmap",
        [](Machine&, display::DisplayObject& object) { return Value(object.cacheAsBitmap()); },
        [](Machine& machine, display::DisplayObject& object, const Value& value) { object.setCacheAsBitmap(machine.toBoolean(value)); });
    defineLookProperty(
        machine, prototype, "scrollRect",
        [](Machine& machine, display::DisplayObject& object) {
            // A copy: changing the rectangle read does not scroll the clip.
            const std::optional<swf::Rect>& rect = object.scrollRect();
            return rect ? rectangleValue(machine, *rect) : Value();
        },
        [](Machine& machine, display::DisplayObject& object, const Value& value) {
            Object* given = value.asObject();
            if (!given) {
                object.setScrollRect(std::nullopt);
                return;
            }
            // Flash turns scrolling on for any object, but takes a new rectangle only from one
            // with all four numbers; otherwise the last one (at first an empty one) stays.
            const std::optional<swf::Rect> rect = rectangleFromScript(machine, given);
            object.setScrollRect(rect ? *rect : object.scrollRect().value_or(swf::Rect {}));
        });
    defineLookProperty(
        machine, prototype, "scale9Grid",
        [](Machine& machine, display::DisplayObject& object) {
            const std::optional<swf::Rect> grid = object.scaleGrid();
            return grid ? rectangleValue(machine, *grid) : Value();
        },
        [](Machine& machine, display::DisplayObject& object, const Value& value) {
            Object* given = value.asObject();
            if (!given) {
                object.setScaleGrid(std::nullopt);
                return;
            }
            // An object without the four numbers leaves the grid as it was.
            if (const std::optional<swf::Rect> grid = rectangleFromScript(machine, given))
                object.setScaleGrid(grid);
        });
}

} // namespace player::avm1::builtins
