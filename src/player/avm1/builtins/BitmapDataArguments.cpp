#include "BitmapDataArguments.h"

#include "BitmapDataObject.h"

#include "player/avm1/Machine.h"
#include "player/display/BitmapPixels.h"

namespace player::avm1::builtins::bitmap_arguments {

display::BitmapPixels* pixelsOf(Object* self)
{
    return BitmapDataObject::pixelsOf(Value(self));
}

std::variant<display::BitmapPixels*, double> sourceOf(const Value& value)
{
    auto* bitmap = dynamic_cast<BitmapDataObject*>(value.asObject());
    if (!bitmap)
        return NoSourceBitmap;
    if (!bitmap->pixels())
        return DisposedSource;
    return bitmap->pixels().get();
}

std::optional<QRect> rectangleOf(Machine& machine, const Value& value)
{
    Object* object = value.asObject();
    if (!object)
        return std::nullopt;
    for (const char* name : {"x", "y", "width", "height"}) {
        if (!object->has(machine, QString::fromLatin1(name)))
            return std::nullopt;
    }
    auto part = [&](const char* name) { return machine.toInt32(object->get(machine, QString::fromLatin1(name))); };
    return QRect(part("x"), part("y"), part("width"), part("height"));
}

std::optional<QPoint> pointOf(Machine& machine, const Value& value)
{
    Object* object = value.asObject();
    if (!object)
        return std::nullopt;
    return QPoint(machine.toInt32(object->get(machine, QStringLiteral("x"))),
                  machine.toInt32(object->get(machine, QStringLiteral("y"))));
}

Object* rectangleObject(Machine& machine, const QRect& rect)
{
    Object* flash = machine.global()->get(machine, QStringLiteral("flash")).asObject();
    Object* geometry = flash ? flash->get(machine, QStringLiteral("geom")).asObject() : nullptr;
    Value constructor = geometry ? geometry->get(machine, QStringLiteral("Rectangle")) : Value();
    return machine.construct(constructor, {Value(rect.x()), Value(rect.y()), Value(rect.width()), Value(rect.height())}).asObject();
}

uint32_t colorOf(Machine& machine, const Value& value)
{
    return static_cast<uint32_t>(machine.toInt32(value));
}

} // namespace player::avm1::builtins::bitmap_arguments
