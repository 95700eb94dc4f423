// The MovieClip methods that deal with stage positions and the mouse: hitTest, localToGlobal,
// globalToLocal, startDrag and stopDrag.
#include "Builtins.h"

#include "player/avm1/ClipObject.h"
#include "player/avm1/InputPort.h"
#include "player/avm1/Machine.h"
#include "player/avm1/TargetPath.h"
#include "player/display/DisplayObject.h"
#include "player/display/TwipMatrix.h"
#include "player/render/HitTester.h"

#include <cmath>

namespace player::avm1::builtins {

namespace {

display::DisplayObject* displayObjectOf(Object* object)
{
    return displayObjectOfClip(object);
}

// A clip named by a script object or by a target path text.
display::DisplayObject* targetOf(Machine& machine, Object* self, const Value& value)
{
    if (Object* object = value.asObject(); object && object->kind() == ObjectKind::Clip)
        return displayObjectOf(object);
    if (!value.isString())
        return nullptr;
    return displayObjectOf(target_path::resolve(machine, self, value.asString()));
}

QRectF stageBounds(const display::DisplayObject& object)
{
    const swf::Rect local = object.scriptBounds();
    return render::HitTester::stageTransform(object).mapRect(
        QRectF(QPointF(local.xMin, local.yMin), QPointF(local.xMax, local.yMax)));
}

// The point's own x and y when both are plain numbers: Flash converts nothing else, and leaves
// the object alone.
bool readPoint(Machine& machine, Object* point, double& x, double& y)
{
    if (!point)
        return false;
    const Property* xProperty = point->findOwn(QStringLiteral("x"), machine.caseSensitive());
    const Property* yProperty = point->findOwn(QStringLiteral("y"), machine.caseSensitive());
    if (!xProperty || !yProperty || xProperty->isVirtual() || yProperty->isVirtual())
        return false;
    if (!xProperty->value.isNumber() || !yProperty->value.isNumber())
        return false;
    x = xProperty->value.asNumber();
    y = yProperty->value.asNumber();
    return true;
}

// Points travel in whole twips: the input is cut to a twip, each matrix on the way rounds to one.
Value convertPoint(Machine& machine, Object* self, const Arguments& arguments, bool toStage)
{
    display::DisplayObject* object = displayObjectOf(self);
    Object* point = argument(arguments, 0).asObject();
    double x = 0, y = 0;
    if (!object || !readPoint(machine, point, x, y))
        return Value();
    display::TwipMatrix transform = display::TwipMatrix::toStage(*object);
    if (!toStage) {
        const std::optional<display::TwipMatrix> inverse = transform.inverted();
        if (!inverse)
            return Value();
        transform = *inverse;
    }
    int32_t mappedX = 0, mappedY = 0;
    transform.map(display::pixelsToTwips(x), display::pixelsToTwips(y), mappedX, mappedY);
    point->set(machine, QStringLiteral("x"), Value(mappedX / 20.0));
    point->set(machine, QStringLiteral("y"), Value(mappedY / 20.0));
    return Value();
}

Value hitTest(Machine& machine, Object* self, const Arguments& arguments)
{
    display::DisplayObject* object = displayObjectOf(self);
    InputPort* input = machine.bridge().input();
    if (!object || !input || arguments.empty())
        return Value(false);
    if (arguments.size() >= 2) {
        const double x = machine.toNumber(arguments[0]);
        const double y = machine.toNumber(arguments[1]);
        if (!std::isfinite(x) || !std::isfinite(y))
            return Value(false);
        const bool shapeOnly = machine.toBoolean(argument(arguments, 2));
        return Value(input->hitTestPoint(*object, QPointF(x * 20.0, y * 20.0), shapeOnly));
    }
    display::DisplayObject* other = targetOf(machine, self, arguments[0]);
    if (!other)
        return Value(false);
    const swf::Rect ownLocal = object->scriptBounds();
    const swf::Rect otherLocal = other->scriptBounds();
    if (ownLocal == swf::Rect{} || otherLocal == swf::Rect{})
        return Value(false);
    const QRectF own = stageBounds(*object);
    const QRectF theirs = stageBounds(*other);
    return Value(own.left() <= theirs.right() && own.right() >= theirs.left() && own.top() <= theirs.bottom()
                 && own.bottom() >= theirs.top());
}

Value startDrag(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!displayObjectOf(self))
        return Value();
    const bool lockCenter = machine.toBoolean(argument(arguments, 0));
    if (arguments.size() >= 5) {
        machine.bridge().startDrag(self, lockCenter, true, machine.toNumber(arguments[1]), machine.toNumber(arguments[2]),
                                   machine.toNumber(arguments[3]), machine.toNumber(arguments[4]));
    } else {
        machine.bridge().startDrag(self, lockCenter, false, 0, 0, 0, 0);
    }
    return Value();
}

} // namespace

void installClipPointerMethods(Machine& machine, Object* prototype)
{
    machine.defineMethod(prototype, QStringLiteral("hitTest"), hitTest);
    machine.defineMethod(prototype, QStringLiteral("localToGlobal"), [](Machine& machine, Object* self, const Arguments& arguments) {
        return convertPoint(machine, self, arguments, true);
    });
    machine.defineMethod(prototype, QStringLiteral("globalToLocal"), [](Machine& machine, Object* self, const Arguments& arguments) {
        return convertPoint(machine, self, arguments, false);
    });
    machine.defineMethod(prototype, QStringLiteral("startDrag"), startDrag);
    machine.defineMethod(prototype, QStringLiteral("stopDrag"), [](Machine& machine, Object*, const Arguments&) {
        machine.bridge().stopDrag();
        return Value();
    });
}

} // namespace player::avm1::builtins
