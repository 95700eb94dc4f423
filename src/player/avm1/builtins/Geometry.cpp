#include "Builtins.h"

#include "player/avm1/Machine.h"
#include "player/avm1/NumberText.h"

#include <cmath>
#include <initializer_list>
#include <optional>

namespace player::avm1::builtins {

namespace {

double number(Machine& machine, Object* object, const char* name)
{
    return object ? machine.toNumber(object->get(machine, QString::fromLatin1(name))) : std::nan("");
}

Object* makePoint(Machine& machine, double x, double y)
{
    Object* point = machine.make<Object>(machine.prototypes().point);
    point->set(machine, QStringLiteral("x"), Value(x));
    point->set(machine, QStringLiteral("y"), Value(y));
    return point;
}

void installPoint(Machine& machine, Object* geometry)
{
    Object* prototype = machine.makeObject();
    machine.prototypes().point = prototype;
    auto construct = [](Machine& machine, Object* self, const Arguments& arguments) -> Value {
        if (!self)
            return Value();
        // No arguments make 0, 0; otherwise both are kept as given, a missing one undefined.
        self->set(machine, QStringLiteral("x"), arguments.empty() ? Value(0.0) : arguments[0]);
        self->set(machine, QStringLiteral("y"), arguments.empty() ? Value(0.0) : argument(arguments, 1));
        return Value();
    };
    FunctionObject* constructor = defineClass(machine, QString(), prototype, construct, construct);
    geometry->define(QStringLiteral("Point"), Value(constructor));
    machine.defineMethod(prototype, QStringLiteral("toString"), [](Machine& machine, Object* self, const Arguments&) {
        return Value(QStringLiteral("(x=%1, y=%2)").arg(machine.toString(machine.getMember(Value(self), QStringLiteral("x"))),
                                                       machine.toString(machine.getMember(Value(self), QStringLiteral("y")))));
    });
    machine.defineMethod(prototype, QStringLiteral("add"), [](Machine& machine, Object* self, const Arguments& arguments) {
        Object* other = argument(arguments, 0).asObject();
        return Value(makePoint(machine, number(machine, self, "x") + number(machine, other, "x"), number(machine, self, "y") + number(machine, other, "y")));
    });
    machine.defineMethod(prototype, QStringLiteral("subtract"), [](Machine& machine, Object* self, const Arguments& arguments) {
        Object* other = argument(arguments, 0).asObject();
        return Value(makePoint(machine, number(machine, self, "x") - number(machine, other, "x"), number(machine, self, "y") - number(machine, other, "y")));
    });
    machine.defineMethod(prototype, QStringLiteral("clone"), [](Machine& machine, Object* self, const Arguments&) {
        return Value(makePoint(machine, number(machine, self, "x"), number(machine, self, "y")));
    });
    machine.defineMethod(prototype, QStringLiteral("equals"), [](Machine& machine, Object* self, const Arguments& arguments) {
        Object* other = argument(arguments, 0).asObject();
        return Value(other && number(machine, self, "x") == number(machine, other, "x") && number(machine, self, "y") == number(machine, other, "y"));
    });
    machine.defineMethod(prototype, QStringLiteral("offset"), [](Machine& machine, Object* self, const Arguments& arguments) {
        if (self) {
            self->set(machine, QStringLiteral("x"), Value(number(machine, self, "x") + machine.toNumber(argument(arguments, 0))));
            self->set(machine, QStringLiteral("y"), Value(number(machine, self, "y") + machine.toNumber(argument(arguments, 1))));
        }
        return Value();
    });
    machine.defineMethod(prototype, QStringLiteral("normalize"), [](Machine& machine, Object* self, const Arguments& arguments) {
        double x = number(machine, self, "x");
        double y = number(machine, self, "y");
        double length = std::hypot(x, y);
        if (self && length > 0) {
            double scale = machine.toNumber(argument(arguments, 0)) / length;
            self->set(machine, QStringLiteral("x"), Value(x * scale));
            self->set(machine, QStringLiteral("y"), Value(y * scale));
        }
        return Value();
    });
    FunctionObject* lengthGetter = machine.makeNative([](Machine& machine, Object* self, const Arguments&) {
        return Value(std::hypot(number(machine, self, "x"), number(machine, self, "y")));
    });
    prototype->defineVirtual(QStringLiteral("length"), lengthGetter, nullptr);
    // distance(a, b) is a.subtract(b).length: the first must be a point with its methods.
    machine.defineMethod(constructor, QStringLiteral("distance"), [](Machine& machine, Object*, const Arguments& arguments) {
        const Value difference = machine.callMethod(argument(arguments, 0), QStringLiteral("subtract"), {argument(arguments, 1)});
        return machine.getMember(difference, QStringLiteral("length"));
    });
    machine.defineMethod(constructor, QStringLiteral("interpolate"), [](Machine& machine, Object*, const Arguments& arguments) {
        Object* a = argument(arguments, 0).asObject();
        Object* b = argument(arguments, 1).asObject();
        double f = machine.toNumber(argument(arguments, 2));
        return Value(makePoint(machine, number(machine, b, "x") + f * (number(machine, a, "x") - number(machine, b, "x")),
                               number(machine, b, "y") + f * (number(machine, a, "y") - number(machine, b, "y"))));
    });
    machine.defineMethod(constructor, QStringLiteral("polar"), [](Machine& machine, Object*, const Arguments& arguments) {
        double length = machine.toNumber(argument(arguments, 0));
        double angle = machine.toNumber(argument(arguments, 1));
        return Value(makePoint(machine, length * std::cos(angle), length * std::sin(angle)));
    });
    prototype->setAllFlags(property_flag::DontEnum, 0);
}

// Flash's Rectangle is written as script: its tests compare as scripts do, so that a NaN makes
// a comparison undefined, and "a && b" answers the first value that is not true.
Value scriptCompare(double left, double right, bool (*test)(double, double))
{
    if (std::isnan(left) || std::isnan(right))
        return Value();
    return Value(test(left, right));
}

bool atLeast(double a, double b) { return a >= b; }
bool below(double a, double b) { return a < b; }
bool atMost(double a, double b) { return a <= b; }

Value scriptAnd(Machine& machine, std::initializer_list<Value> values)
{
    Value last;
    for (const Value& value : values) {
        last = value;
        if (!machine.toBoolean(value))
            return value;
    }
    return last;
}

Value member(Machine& machine, const Value& object, const char* name)
{
    return machine.getMember(object, QString::fromLatin1(name));
}

double numberOf(Machine& machine, const Value& object, const char* name)
{
    return machine.toNumber(member(machine, object, name));
}

Object* makeRectangle(Machine& machine, const Value& x, const Value& y, const Value& width, const Value& height)
{
    Object* rectangle = machine.make<Object>(machine.prototypes().rectangle);
    rectangle->set(machine, QStringLiteral("x"), x);
    rectangle->set(machine, QStringLiteral("y"), y);
    rectangle->set(machine, QStringLiteral("width"), width);
    rectangle->set(machine, QStringLiteral("height"), height);
    return rectangle;
}

// Edges of a rectangle as numbers: left, top, right, bottom.
struct Edges {
    double left, top, right, bottom;
};

Edges edgesOf(Machine& machine, const Value& rectangle)
{
    const double x = numberOf(machine, rectangle, "x");
    const double y = numberOf(machine, rectangle, "y");
    return {x, y, x + numberOf(machine, rectangle, "width"), y + numberOf(machine, rectangle, "height")};
}

// Math.min and Math.max: NaN wins.
double least(double a, double b) { return std::isnan(a) || std::isnan(b) ? std::nan("") : std::min(a, b); }
double most(double a, double b) { return std::isnan(a) || std::isnan(b) ? std::nan("") : std::max(a, b); }

Value containsPoint(Machine& machine, Object* self, double x, double y)
{
    const Edges edges = edgesOf(machine, Value(self));
    return scriptAnd(machine, {scriptCompare(x, edges.left, atLeast), scriptCompare(x, edges.right, below),
                               scriptCompare(y, edges.top, atLeast), scriptCompare(y, edges.bottom, below)});
}

void moveBy(Machine& machine, Object* self, double dx, double dy, double grow)
{
    if (!self)
        return;
    self->set(machine, QStringLiteral("x"), Value(numberOf(machine, Value(self), "x") + dx * (grow ? -1 : 1)));
    self->set(machine, QStringLiteral("y"), Value(numberOf(machine, Value(self), "y") + dy * (grow ? -1 : 1)));
    if (grow) {
        self->set(machine, QStringLiteral("width"), Value(numberOf(machine, Value(self), "width") + 2 * dx));
        self->set(machine, QStringLiteral("height"), Value(numberOf(machine, Value(self), "height") + 2 * dy));
    }
}

// The edge properties: left and top move one side and keep the other, right and bottom move
// the far side, the points set two at once.
void installRectangleEdges(Machine& machine, Object* prototype)
{
    auto accessor = [&](const char* name, NativeFunction getter, NativeFunction setter) {
        prototype->defineVirtual(QString::fromLatin1(name), machine.makeNative(std::move(getter)), machine.makeNative(std::move(setter)));
    };
    auto setNumber = [](Machine& machine, Object* self, const char* name, double value) {
        if (self)
            self->set(machine, QString::fromLatin1(name), Value(value));
    };
    auto setRaw = [](Machine& machine, Object* self, const char* name, const Value& value) {
        if (self)
            self->set(machine, QString::fromLatin1(name), value);
    };
    accessor("left", [](Machine& machine, Object* self, const Arguments&) { return member(machine, Value(self), "x"); },
             [=](Machine& machine, Object* self, const Arguments& arguments) {
                 setNumber(machine, self, "width", edgesOf(machine, Value(self)).right - machine.toNumber(argument(arguments, 0)));
                 setRaw(machine, self, "x", argument(arguments, 0));
                 return Value();
             });
    accessor("top", [](Machine& machine, Object* self, const Arguments&) { return member(machine, Value(self), "y"); },
             [=](Machine& machine, Object* self, const Arguments& arguments) {
                 setNumber(machine, self, "height", edgesOf(machine, Value(self)).bottom - machine.toNumber(argument(arguments, 0)));
                 setRaw(machine, self, "y", argument(arguments, 0));
                 return Value();
             });
    accessor("right", [](Machine& machine, Object* self, const Arguments&) { return Value(edgesOf(machine, Value(self)).right); },
             [=](Machine& machine, Object* self, const Arguments& arguments) {
                 setNumber(machine, self, "width", machine.toNumber(argument(arguments, 0)) - numberOf(machine, Value(self), "x"));
                 return Value();
             });
    accessor("bottom", [](Machine& machine, Object* self, const Arguments&) { return Value(edgesOf(machine, Value(self)).bottom); },
             [=](Machine& machine, Object* self, const Arguments& arguments) {
                 setNumber(machine, self, "height", machine.toNumber(argument(arguments, 0)) - numberOf(machine, Value(self), "y"));
                 return Value();
             });
    auto point = [](Machine& machine, const Value& x, const Value& y) {
        Object* made = machine.make<Object>(machine.prototypes().point);
        made->set(machine, QStringLiteral("x"), x);
        made->set(machine, QStringLiteral("y"), y);
        return Value(made);
    };
    accessor("topLeft", [point](Machine& machine, Object* self, const Arguments&) {
                 return point(machine, member(machine, Value(self), "x"), member(machine, Value(self), "y"));
             },
             [=](Machine& machine, Object* self, const Arguments& arguments) {
                 const Value corner = argument(arguments, 0);
                 const Edges edges = edgesOf(machine, Value(self));
                 setNumber(machine, self, "width", edges.right - numberOf(machine, corner, "x"));
                 setNumber(machine, self, "height", edges.bottom - numberOf(machine, corner, "y"));
                 setRaw(machine, self, "x", member(machine, corner, "x"));
                 setRaw(machine, self, "y", member(machine, corner, "y"));
                 return Value();
             });
    accessor("bottomRight", [point](Machine& machine, Object* self, const Arguments&) {
                 const Edges edges = edgesOf(machine, Value(self));
                 return point(machine, Value(edges.right), Value(edges.bottom));
             },
             [=](Machine& machine, Object* self, const Arguments& arguments) {
                 const Value corner = argument(arguments, 0);
                 setNumber(machine, self, "width", numberOf(machine, corner, "x") - numberOf(machine, Value(self), "x"));
                 setNumber(machine, self, "height", numberOf(machine, corner, "y") - numberOf(machine, Value(self), "y"));
                 return Value();
             });
    accessor("size", [point](Machine& machine, Object* self, const Arguments&) {
                 return point(machine, member(machine, Value(self), "width"), member(machine, Value(self), "height"));
             },
             [=](Machine& machine, Object* self, const Arguments& arguments) {
                 setRaw(machine, self, "width", member(machine, argument(arguments, 0), "x"));
                 setRaw(machine, self, "height", member(machine, argument(arguments, 0), "y"));
                 return Value();
             });
}

void installRectangle(Machine& machine, Object* geometry)
{
    Object* prototype = machine.makeObject();
    machine.prototypes().rectangle = prototype;
    // No arguments make an empty rectangle at 0, 0; otherwise the four are kept as given,
    // missing ones undefined.
    auto construct = [](Machine& machine, Object* self, const Arguments& arguments) -> Value {
        if (!self)
            return Value();
        const char* names[] = {"x", "y", "width", "height"};
        for (size_t i = 0; i < 4; ++i)
            self->set(machine, QString::fromLatin1(names[i]), arguments.empty() ? Value(0.0) : argument(arguments, i));
        return Value();
    };
    FunctionObject* constructor = defineClass(machine, QString(), prototype, construct, construct);
    geometry->define(QStringLiteral("Rectangle"), Value(constructor));
    installRectangleEdges(machine, prototype);
    machine.defineMethod(prototype, QStringLiteral("toString"), [](Machine& machine, Object* self, const Arguments&) {
        auto text = [&](const char* name) { return machine.toString(member(machine, Value(self), name)); };
        return Value(QStringLiteral("(x=%1, y=%2, w=%3, h=%4)").arg(text("x"), text("y"), text("width"), text("height")));
    });
    machine.defineMethod(prototype, QStringLiteral("isEmpty"), [](Machine& machine, Object* self, const Arguments&) {
        return Value(!(number(machine, self, "width") > 0) || !(number(machine, self, "height") > 0));
    });
    machine.defineMethod(prototype, QStringLiteral("setEmpty"), [](Machine& machine, Object* self, const Arguments&) {
        for (const char* name : {"x", "y", "width", "height"}) {
            if (self)
                self->set(machine, QString::fromLatin1(name), Value(0.0));
        }
        return Value();
    });
    machine.defineMethod(prototype, QStringLiteral("contains"), [](Machine& machine, Object* self, const Arguments& arguments) {
        return containsPoint(machine, self, machine.toNumber(argument(arguments, 0)), machine.toNumber(argument(arguments, 1)));
    });
    machine.defineMethod(prototype, QStringLiteral("containsPoint"), [](Machine& machine, Object* self, const Arguments& arguments) {
        const Value point = argument(arguments, 0);
        return containsPoint(machine, self, numberOf(machine, point, "x"), numberOf(machine, point, "y"));
    });
    machine.defineMethod(prototype, QStringLiteral("containsRectangle"), [](Machine& machine, Object* self, const Arguments& arguments) {
        const Edges outer = edgesOf(machine, Value(self));
        const Edges inner = edgesOf(machine, argument(arguments, 0));
        return scriptAnd(machine, {scriptCompare(inner.left, outer.left, atLeast), scriptCompare(inner.top, outer.top, atLeast),
                                   scriptCompare(inner.right, outer.right, atMost), scriptCompare(inner.bottom, outer.bottom, atMost)});
    });
    machine.defineMethod(prototype, QStringLiteral("clone"), [](Machine& machine, Object* self, const Arguments&) {
        const Value me(self);
        return Value(makeRectangle(machine, member(machine, me, "x"), member(machine, me, "y"), member(machine, me, "width"),
                                   member(machine, me, "height")));
    });
    // equals wants another Rectangle, not just an object with the same four values.
    machine.defineMethod(prototype, QStringLiteral("equals"), [](Machine& machine, Object* self, const Arguments& arguments) {
        Object* other = argument(arguments, 0).asObject();
        bool isRectangle = false;
        for (Object* link = other ? other->prototype() : nullptr; link && !isRectangle; link = link->prototype())
            isRectangle = link == machine.prototypes().rectangle;
        if (!isRectangle)
            return Value(false);
        for (const char* name : {"x", "y", "width", "height"}) {
            if (!machine.looseEquals(member(machine, Value(self), name), member(machine, Value(other), name)))
                return Value(false);
        }
        return Value(true);
    });
    machine.defineMethod(prototype, QStringLiteral("inflate"), [](Machine& machine, Object* self, const Arguments& arguments) {
        moveBy(machine, self, machine.toNumber(argument(arguments, 0)), machine.toNumber(argument(arguments, 1)), true);
        return Value();
    });
    machine.defineMethod(prototype, QStringLiteral("inflatePoint"), [](Machine& machine, Object* self, const Arguments& arguments) {
        const Value point = argument(arguments, 0);
        moveBy(machine, self, numberOf(machine, point, "x"), numberOf(machine, point, "y"), true);
        return Value();
    });
    machine.defineMethod(prototype, QStringLiteral("offset"), [](Machine& machine, Object* self, const Arguments& arguments) {
        moveBy(machine, self, machine.toNumber(argument(arguments, 0)), machine.toNumber(argument(arguments, 1)), false);
        return Value();
    });
    machine.defineMethod(prototype, QStringLiteral("offsetPoint"), [](Machine& machine, Object* self, const Arguments& arguments) {
        const Value point = argument(arguments, 0);
        moveBy(machine, self, numberOf(machine, point, "x"), numberOf(machine, point, "y"), false);
        return Value();
    });
    // The overlap, or an empty rectangle at 0, 0 when there is none.
    auto overlap = [](Machine& machine, Object* self, const Value& other) -> std::optional<Edges> {
        const Edges a = edgesOf(machine, Value(self));
        const Edges b = edgesOf(machine, other);
        const Edges common{most(a.left, b.left), most(a.top, b.top), least(a.right, b.right), least(a.bottom, b.bottom)};
        if (!(common.right > common.left) || !(common.bottom > common.top))
            return std::nullopt;
        return common;
    };
    machine.defineMethod(prototype, QStringLiteral("intersection"), [overlap](Machine& machine, Object* self, const Arguments& arguments) {
        const std::optional<Edges> common = overlap(machine, self, argument(arguments, 0));
        if (!common)
            return Value(makeRectangle(machine, Value(0.0), Value(0.0), Value(0.0), Value(0.0)));
        return Value(makeRectangle(machine, Value(common->left), Value(common->top), Value(common->right - common->left),
                                   Value(common->bottom - common->top)));
    });
    machine.defineMethod(prototype, QStringLiteral("intersects"), [overlap](Machine& machine, Object* self, const Arguments& arguments) {
        return Value(overlap(machine, self, argument(arguments, 0)).has_value());
    });
    machine.defineMethod(prototype, QStringLiteral("union"), [](Machine& machine, Object* self, const Arguments& arguments) {
        const Edges a = edgesOf(machine, Value(self));
        const Edges b = edgesOf(machine, argument(arguments, 0));
        const double left = least(a.left, b.left);
        const double top = least(a.top, b.top);
        return Value(makeRectangle(machine, Value(left), Value(top), Value(most(a.right, b.right) - left), Value(most(a.bottom, b.bottom) - top)));
    });
    prototype->setAllFlags(property_flag::DontEnum, 0);
}

} // namespace

void installGeometry(Machine& machine)
{
    Object* flash = machine.makeObject();
    Object* geometry = machine.makeObject();
    machine.global()->define(QStringLiteral("flash"), Value(flash), property_flag::DontEnum | property_flag::FromVersion8);
    flash->define(QStringLiteral("geom"), Value(geometry));
    installPoint(machine, geometry);
    installRectangle(machine, geometry);
}

} // namespace player::avm1::builtins
