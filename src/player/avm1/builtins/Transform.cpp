#include "Builtins.h"
#include "ColorTransform.h"
#include "Declaration.h"
#include "DisplayTarget.h"
#include "Matrix.h"

#include "player/avm1/Machine.h"
#include "player/avm1/Marker.h"
#include "player/avm1/ScriptExceptions.h"
#include "player/display/DisplayContainer.h"

#include <algorithm>
#include <cmath>

namespace player::avm1::builtins {

namespace {

// A flash.geom.Transform: a view of one clip's matrix and colour transform. It holds the clip's
// script object, so it follows the clip as it moves and sees nothing once the clip is gone.
class TransformObject : public Object {
public:
    TransformObject(Object* prototype, Object* clip)
        : Object(prototype)
        , m_clip(clip)
    {
    }

    Object* clip() const { return m_clip; }

    void traceReferences(Marker& marker) override
    {
        Object::traceReferences(marker);
        marker.mark(m_clip);
    }

private:
    Object* m_clip;
};

display::DisplayObject* viewedObject(Machine& machine, Object* self)
{
    auto* transform = dynamic_cast<TransformObject*>(self);
    return transform ? displayObjectOf(machine, Value(transform->clip())) : nullptr;
}

bool isInstanceOf(Object* object, Object* prototype)
{
    for (Object* link = object ? object->prototype() : nullptr; link; link = link->prototype()) {
        if (link == prototype)
            return true;
    }
    return false;
}

swf::Matrix concatenatedMatrix(display::DisplayObject* object)
{
    swf::Matrix result = object->matrix();
    for (display::DisplayObject* parent = object->parent(); parent; parent = parent->parent())
        result = concatenated(result, parent->matrix());
    return result;
}

swf::ColorTransform concatenatedColorTransform(display::DisplayObject* object)
{
    swf::ColorTransform result = object->colorTransform();
    for (display::DisplayObject* parent = object->parent(); parent; parent = parent->parent())
        result = concatenated(result, parent->colorTransform());
    return result;
}

// The bounds on the stage, in whole pixels as Flash reports them.
Object* pixelBounds(Machine& machine, display::DisplayObject* object)
{
    swf::Rect local = object->localBounds();
    swf::Matrix matrix = concatenatedMatrix(object);
    double left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
    for (double x : {double(local.xMin), double(local.xMax)}) {
        for (double y : {double(local.yMin), double(local.yMax)}) {
            double stageX = matrix.a * x + matrix.c * y + matrix.tx;
            double stageY = matrix.b * x + matrix.d * y + matrix.ty;
            left = std::min(left, stageX);
            right = std::max(right, stageX);
            top = std::min(top, stageY);
            bottom = std::max(bottom, stageY);
        }
    }
    Object* rectangle = machine.make<Object>(machine.prototypes().rectangle);
    rectangle->set(machine, QStringLiteral("x"), Value(std::round(left / 20)));
    rectangle->set(machine, QStringLiteral("y"), Value(std::round(top / 20)));
    rectangle->set(machine, QStringLiteral("width"), Value(std::round((right - left) / 20)));
    rectangle->set(machine, QStringLiteral("height"), Value(std::round((bottom - top) / 20)));
    return rectangle;
}

using Getter = Value (*)(Machine&, display::DisplayObject*);
using Setter = void (*)(Machine&, display::DisplayObject*, Object*);

// The properties of a Transform read and write its clip; one whose clip is gone reads undefined.
template<Getter get>
Value viewGetter(Machine& machine, Object* self, const Arguments&)
{
    display::DisplayObject* object = viewedObject(machine, self);
    return object ? get(machine, object) : Value();
}

template<Setter set>
Value viewSetter(Machine& machine, Object* self, const Arguments& arguments)
{
    if (display::DisplayObject* object = viewedObject(machine, self))
        set(machine, object, argument(arguments, 0).asObject());
    return Value();
}

// Setting a matrix or colour transform takes only real instances of those classes; anything
// else is ignored, as in Flash.
void setMatrix(Machine& machine, display::DisplayObject* object, Object* value)
{
    if (!isInstanceOf(value, machine.prototypes().matrix))
        return;
    object->setMatrix(matrixFromObject(machine, value));
    object->setTransformedByScript(true);
}

void setColorTransform(Machine& machine, display::DisplayObject* object, Object* value)
{
    if (!isInstanceOf(value, machine.prototypes().colorTransform))
        return;
    object->setColorTransform(colorTransformFromObject(machine, value));
    object->setTransformedByScript(true);
}

Value matrix(Machine& machine, display::DisplayObject* object)
{
    return Value(makeMatrixObject(machine, object->matrix()));
}

Value colorTransform(Machine& machine, display::DisplayObject* object)
{
    return Value(makeColorTransformObject(machine, object->colorTransform()));
}

Value concatenatedMatrixObject(Machine& machine, display::DisplayObject* object)
{
    return Value(makeMatrixObject(machine, concatenatedMatrix(object)));
}

Value concatenatedColorTransformObject(Machine& machine, display::DisplayObject* object)
{
    return Value(makeColorTransformObject(machine, concatenatedColorTransform(object)));
}

Value pixelBoundsObject(Machine& machine, display::DisplayObject* object)
{
    return Value(pixelBounds(machine, object));
}

constexpr Declaration prototypeDeclarations[] = {
    accessor("matrix", viewGetter<matrix>, viewSetter<setMatrix>),
    accessor("colorTransform", viewGetter<colorTransform>, viewSetter<setColorTransform>),
    getter("concatenatedMatrix", viewGetter<concatenatedMatrixObject>),
    getter("concatenatedColorTransform", viewGetter<concatenatedColorTransformObject>),
    getter("pixelBounds", viewGetter<pixelBoundsObject>),
};

// Clips offer their transform as "transform", a new view of the clip each time it is read;
// assigning one copies its matrix and colour transform onto the clip.
Value clipTransform(Machine& machine, Object* transformPrototype, Object* self, const Arguments&)
{
    if (!self || self->kind() != ObjectKind::Clip)
        return Value();
    return Value(machine.make<TransformObject>(transformPrototype, self));
}

Value setClipTransform(Machine& machine, Object*, Object* self, const Arguments& arguments)
{
    display::DisplayObject* target = displayObjectOf(machine, Value(self));
    display::DisplayObject* source = viewedObject(machine, argument(arguments, 0).asObject());
    if (target && source) {
        target->setMatrix(source->matrix());
        target->setColorTransform(source->colorTransform());
        target->setTransformedByScript(true);
    }
    return Value();
}

constexpr Declaration clipDeclarations[] = {
    accessor("transform", clipTransform, setClipTransform).native(900, 419),
};

} // namespace

void installTransform(Machine& machine, Object* geometry)
{
    Object* prototype = machine.makeObject();
    // Clips make their views with this prototype whatever scripts do to the class.
    machine.addRoot(prototype);
    // A Transform needs a clip: "new Transform()" without one gives undefined, and a call
    // without "new" an object that reads nothing.
    auto call = [prototype](Machine& machine, Object*, const Arguments& arguments) -> Value {
        Object* clip = argument(arguments, 0).asObject();
        return Value(machine.make<TransformObject>(prototype, clip && clip->kind() == ObjectKind::Clip ? clip : nullptr));
    };
    auto construct = [prototype](Machine& machine, Object*, const Arguments& arguments) -> Value {
        Object* clip = argument(arguments, 0).asObject();
        if (!clip || clip->kind() != ObjectKind::Clip)
            throw ConstructionRefused{};
        return Value(machine.make<TransformObject>(prototype, clip));
    };
    FunctionObject* constructor = defineClass(machine, QString(), prototype, call, construct);
    geometry->define(QStringLiteral("Transform"), Value(constructor));
    installDeclarations(machine, prototype, prototypeDeclarations);

    if (Object* clipPrototype = machine.prototypes().movieClip)
        installDeclarations(machine, clipPrototype, clipDeclarations, prototype);
}


void installGeometryTransforms(Machine& machine)
{
    Object* flash = machine.global()->get(machine, QStringLiteral("flash")).asObject();
    Object* geometry = flash ? flash->get(machine, QStringLiteral("geom")).asObject() : nullptr;
    if (!geometry)
        return;
    installMatrix(machine, geometry);
    installColorTransform(machine, geometry);
    installTransform(machine, geometry);
}

} // namespace player::avm1::builtins
