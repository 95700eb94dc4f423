#include "Builtins.h"
#include "ColorTransform.h"
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

void defineProperty(Machine& machine, Object* prototype, const char* name, Getter getter, Setter setter)
{
    FunctionObject* getterFunction = machine.makeNative([getter](Machine& machine, Object* self, const Arguments&) {
        display::DisplayObject* object = viewedObject(machine, self);
        return object ? getter(machine, object) : Value();
    });
    FunctionObject* setterFunction = nullptr;
    if (setter) {
        setterFunction = machine.makeNative([setter](Machine& machine, Object* self, const Arguments& arguments) {
            display::DisplayObject* object = viewedObject(machine, self);
            if (object)
                setter(machine, object, argument(arguments, 0).asObject());
            return Value();
        });
    }
    prototype->defineVirtual(QString::fromLatin1(name), getterFunction, setterFunction, property_flag::DontEnum | property_flag::DontDelete);
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

} // namespace

void installTransform(Machine& machine, Object* geometry)
{
    Object* prototype = machine.makeObject();
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

    defineProperty(machine, prototype, "matrix",
                   [](Machine& machine, display::DisplayObject* object) { return Value(makeMatrixObject(machine, object->matrix())); },
                   setMatrix);
    defineProperty(machine, prototype, "colorTransform",
                   [](Machine& machine, display::DisplayObject* object) {
                       return Value(makeColorTransformObject(machine, object->colorTransform()));
                   },
                   setColorTransform);
    defineProperty(machine, prototype, "concatenatedMatrix",
                   [](Machine& machine, display::DisplayObject* object) { return Value(makeMatrixObject(machine, concatenatedMatrix(object))); },
                   nullptr);
    defineProperty(machine, prototype, "concatenatedColorTransform",
                   [](Machine& machine, display::DisplayObject* object) {
                       return Value(makeColorTransformObject(machine, concatenatedColorTransform(object)));
                   },
                   nullptr);
    defineProperty(machine, prototype, "pixelBounds",
                   [](Machine& machine, display::DisplayObject* object) { return Value(pixelBounds(machine, object)); }, nullptr);

    // Clips offer their transform as "transform"; assigning one copies its matrix and colour
    // transform onto the clip.
    Object* clipPrototype = machine.prototypes().movieClip;
    if (!clipPrototype)
        return;
    FunctionObject* clipGetter = machine.makeNative([prototype](Machine& machine, Object* self, const Arguments&) {
        if (!self || self->kind() != ObjectKind::Clip)
            return Value();
        return Value(machine.make<TransformObject>(prototype, self));
    });
    FunctionObject* clipSetter = machine.makeNative([](Machine& machine, Object* self, const Arguments& arguments) {
        display::DisplayObject* target = displayObjectOf(machine, Value(self));
        display::DisplayObject* source = viewedObject(machine, argument(arguments, 0).asObject());
        if (target && source) {
            target->setMatrix(source->matrix());
            target->setColorTransform(source->colorTransform());
            target->setTransformedByScript(true);
        }
        return Value();
    });
    clipPrototype->defineVirtual(QStringLiteral("transform"), clipGetter, clipSetter, property_flag::DontEnum | property_flag::DontDelete);
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
