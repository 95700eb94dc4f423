#include "Builtins.h"
#include "Declaration.h"
#include "DisplayTarget.h"

#include "player/avm1/Machine.h"
#include "player/display/DisplayObject.h"

namespace player::avm1::builtins {

namespace {

// The clip a Color object tints: its "target" is looked up each time, so a Color made for a
// path follows whatever clip holds that path now.
display::DisplayObject* tintedObject(Machine& machine, Object* self)
{
    if (!self)
        return nullptr;
    Value target = self->get(machine, QStringLiteral("target"));
    // An empty path tints nothing, though elsewhere it names the clip the script runs in.
    if (target.isUndefined() || (target.isString() && machine.toString(target).isEmpty()))
        return nullptr;
    // Anything but a clip is read as a path text, through its own toString, on every call.
    Object* object = target.asObject();
    if (!object || object->kind() != ObjectKind::Clip) {
        target = Value(machine.toString(target));
        if (target.asString().isEmpty())
            return nullptr;
    }
    return displayObjectOf(machine, target);
}

// Multipliers are 8.8 fixed point in Flash; scripts see them in percent.
double multiplierPercent(int32_t fixed)
{
    return fixed * 100.0 / 256.0;
}

Value setRgb(Machine& machine, Object* self, const Arguments& arguments)
{
    display::DisplayObject* object = tintedObject(machine, self);
    if (!object)
        return Value();
    uint32_t rgb = static_cast<uint32_t>(machine.toInt32(argument(arguments, 0)));
    swf::ColorTransform transform = object->colorTransform();
    // setRGB paints the colour flat but leaves the alpha terms as they were.
    transform.redMult = transform.greenMult = transform.blueMult = 0;
    transform.redAdd = (rgb >> 16) & 0xff;
    transform.greenAdd = (rgb >> 8) & 0xff;
    transform.blueAdd = rgb & 0xff;
    object->setColorTransform(transform);
    object->setTransformedByScript(true);
    return Value();
}

Value getRgb(Machine& machine, Object* self, const Arguments&)
{
    display::DisplayObject* object = tintedObject(machine, self);
    if (!object)
        return Value();
    const swf::ColorTransform& transform = object->colorTransform();
    // The offsets are combined as they are stored, so negative or large ones spill into the
    // neighbouring bytes just as in Flash.
    uint32_t bits = (uint32_t(transform.redAdd) << 16) | (uint32_t(transform.greenAdd) << 8) | uint32_t(transform.blueAdd);
    return Value(double(static_cast<int32_t>(bits)));
}

Value getTransform(Machine& machine, Object* self, const Arguments&)
{
    display::DisplayObject* object = tintedObject(machine, self);
    if (!object)
        return Value();
    const swf::ColorTransform& transform = object->colorTransform();
    Object* result = machine.makeObject();
    result->set(machine, QStringLiteral("ra"), Value(multiplierPercent(transform.redMult)));
    result->set(machine, QStringLiteral("ga"), Value(multiplierPercent(transform.greenMult)));
    result->set(machine, QStringLiteral("ba"), Value(multiplierPercent(transform.blueMult)));
    result->set(machine, QStringLiteral("aa"), Value(multiplierPercent(transform.alphaMult)));
    result->set(machine, QStringLiteral("rb"), Value(double(transform.redAdd)));
    result->set(machine, QStringLiteral("gb"), Value(double(transform.greenAdd)));
    result->set(machine, QStringLiteral("bb"), Value(double(transform.blueAdd)));
    result->set(machine, QStringLiteral("ab"), Value(double(transform.alphaAdd)));
    return Value(result);
}

Value setTransform(Machine& machine, Object* self, const Arguments& arguments)
{
    display::DisplayObject* object = tintedObject(machine, self);
    Object* terms = argument(arguments, 0).asObject();
    if (!object || !terms)
        return Value();
    swf::ColorTransform transform = object->colorTransform();
    // Only the object's own properties count; a term it lacks keeps its value.
    auto read = [&](const char* name, int32_t& slot, bool multiplier) {
        QString key = QString::fromLatin1(name);
        if (!terms->hasOwnProperty(machine, key))
            return;
        double number = machine.toNumber(terms->get(machine, key));
        slot = wrapToInt16(multiplier ? number * 256.0 / 100.0 : number);
    };
    read("ra", transform.redMult, true);
    read("ga", transform.greenMult, true);
    read("ba", transform.blueMult, true);
    read("aa", transform.alphaMult, true);
    read("rb", transform.redAdd, false);
    read("gb", transform.greenAdd, false);
    read("bb", transform.blueAdd, false);
    read("ab", transform.alphaAdd, false);
    object->setColorTransform(transform);
    object->setTransformedByScript(true);
    return Value();
}

Value construct(Machine&, Object* self, const Arguments& arguments)
{
    if (self)
        self->define(QStringLiteral("target"), argument(arguments, 0), attributes::constant);
    return Value();
}

constexpr Declaration prototypeDeclarations[] = {
    method("setRGB", setRgb, attributes::constant).native(700, 0),
    method("getRGB", getRgb, attributes::constant).native(700, 2),
    method("setTransform", setTransform, attributes::constant).native(700, 1),
    method("getTransform", getTransform, attributes::constant).native(700, 3),
};

} // namespace

void installColor(Machine& machine)
{
    Object* prototype = machine.makeObject();
    defineClass(machine, QStringLiteral("Color"), prototype, construct, construct);
    installDeclarations(machine, prototype, prototypeDeclarations);
}

} // namespace player::avm1::builtins
