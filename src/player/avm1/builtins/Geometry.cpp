#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/Machine.h"
#include "player/avm1/NumberText.h"

#include <cmath>
#include <initializer_list>
#include <optional>

namespace player::avm1::builtins {

namespace {

double numberAt(Machine& machine, Object* object, const char* name)
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

// No arguments make 0, 0; otherwise both are kept as given, a missing one undefined.
Value constructPoint(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!self)
        return Value();
    self->set(machine, QStringLiteral("x"), arguments.empty() ? Value(0.0) : arguments[0]);
    self->set(machine, QStringLiteral("y"), arguments.empty() ? Value(0.0) : argument(arguments, 1));
    return Value();
}

Value pointToString(Machine& machine, Object* self, const Arguments&)
{
    return Value(QStringLiteral("(x=%1, y=%2)").arg(machine.toString(machine.getMember(Value(self), QStringLiteral("x"))),
                                                   machine.toString(machine.getMember(Value(self), QStringLiteral("y")))));
}

Value pointAdd(Machine& machine, Object* self, const Arguments& arguments)
{
    Object* other = argument(arguments, 0).asObject();
    return Value(makePoint(machine, numberAt(machine, self, "x") + numberAt(machine, other, "x"), numberAt(machine, self, "y") + numberAt(machine, other, "y")));
}

Value pointSubtract(Machine& machine, Object* self, const Arguments& arguments)
{
    Object* other = argument(arguments, 0).asObject();
    return Value(makePoint(machine, numberAt(machine, self, "x") - numberAt(machine, other, "x"), numberAt(machine, self, "y") - numberAt(machine, other, "y")));
}

Value pointClone(Machine& machine, Object* self, const Arguments&)
{
    return Value(makePoint(machine, numberAt(machine, self, "x"), numberAt(machine, self, "y")));
}

Value pointEquals(Machine& machine, Object* self, const Arguments& arguments)
{
    Object* other = argument(arguments, 0).asObject();
    return Value(other && numberAt(machine, self, "x") == numberAt(machine, other, "x") && numberAt(machine, self, "y") == numberAt(machine, other, "y"));
}

Value pointOffset(Machine& machine, Object* self, const Arguments& arguments)
{
    if (self) {
        self->set(machine, QStringLiteral("x"), Value(numberAt(machine, self, "x") + machine.toNumber(argument(arguments, 0))));
        self->set(machine, QStringLiteral("y"), Value(numberAt(machine, self, "y") + machine.toNumber(argument(arguments, 1))));
    }
    return Value();
}

Value pointNormalize(Machine& machine, Object* self, const Arguments& arguments)
{
    double x = numberAt(machine, self, "x");
    double y = numberAt(machine, self, "y");
    double length = std::hypot(x, y);
    if (self && length > 0) {
        double scale = machine.toNumber(argument(arguments, 0)) / length;
        self->set(machine, QStringLiteral("x"), Value(x * scale));
        self->set(machine, QStringLiteral("y"), Value(y * scale));
    }
    return Value();
}

Value pointLength(Machine& machine, Object* self, const Arguments&)
{
    return Value(std::hypot(numberAt(machine, self, "x"), numberAt(machine, self, "y")));
}

// distance(a, b) is a.subtract(b).length: the first must be a point with its methods.
Value pointDistance(Machine& machine, Object*, const Arguments& arguments)
{
    const Value difference = machine.callMethod(argument(arguments, 0), QStringLiteral("subtract"), {argument(arguments, 1)});
    return machine.getMember(difference, QStringLiteral("length"));
}

Value pointInterpolate(Machine& machine, Object*, const Arguments& arguments)
{
    Object* a = argument(arguments, 0).asObject();
    Object* b = argument(arguments, 1).asObject();
    double f = machine.toNumber(argument(arguments, 2));
    return Value(makePoint(machine, numberAt(machine, b, "x") + f * (numberAt(machine, a, "x") - numberAt(machine, b, "x")),
                           numberAt(machine, b, "y") + f * (numberAt(machine, a, "y") - numberAt(machine, b, "y"))));
}

Value pointPolar(Machine& machine, Object*, const Arguments& arguments)
{
    double length = machine.toNumber(argument(arguments, 0));
    double angle = machine.toNumber(argument(arguments, 1));
    return Value(makePoint(machine, length * std::cos(angle), length * std::sin(angle)));
}

constexpr Declaration pointPrototypeDeclarations[] = {
    method("toString", pointToString),
    method("add", pointAdd),
    method("subtract", pointSubtract),
    method("clone", pointClone),
    method("equals", pointEquals),
    method("offset", pointOffset),
    method("normalize", pointNormalize),
    accessor("length", pointLength, nullptr, attributes::hidden),
};

constexpr Declaration pointDeclarations[] = {
    method("distance", pointDistance),
    method("interpolate", pointInterpolate),
    method("polar", pointPolar),
};

void installPoint(Machine& machine, Object* geometry)
{
    Object* prototype = machine.makeObject();
    machine.prototypes().point = prototype;
    FunctionObject* constructor = defineClass(machine, QString(), prototype, constructPoint, constructPoint);
    geometry->define(QStringLiteral("Point"), Value(constructor));
    installDeclarations(machine, prototype, pointPrototypeDeclarations);
    installDeclarations(machine, constructor, pointDeclarations);
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

void setNumber(Machine& machine, Object* self, const char* name, double value)
{
    if (self)
        self->set(machine, QString::fromLatin1(name), Value(value));
}

void setRaw(Machine& machine, Object* self, const char* name, const Value& value)
{
    if (self)
        self->set(machine, QString::fromLatin1(name), value);
}

// A point of the two values as given, not read as numbers.
Value pointOfValues(Machine& machine, const Value& x, const Value& y)
{
    Object* made = machine.make<Object>(machine.prototypes().point);
    made->set(machine, QStringLiteral("x"), x);
    made->set(machine, QStringLiteral("y"), y);
    return Value(made);
}

// The edge properties: left and top move one side and keep the other, right and bottom move
// the far side, the points set two at once.
Value rectangleLeft(Machine& machine, Object* self, const Arguments&)
{
    return member(machine, Value(self), "x");
}

Value setRectangleLeft(Machine& machine, Object* self, const Arguments& arguments)
{
    setNumber(machine, self, "width", edgesOf(machine, Value(self)).right - machine.toNumber(argument(arguments, 0)));
    setRaw(machine, self, "x", argument(arguments, 0));
    return Value();
}

Value rectangleTop(Machine& machine, Object* self, const Arguments&)
{
    return member(machine, Value(self), "y");
}

Value setRectangleTop(Machine& machine, Object* self, const Arguments& arguments)
{
    setNumber(machine, self, "height", edgesOf(machine, Value(self)).bottom - machine.toNumber(argument(arguments, 0)));
    setRaw(machine, self, "y", argument(arguments, 0));
    return Value();
}

Value rectangleRight(Machine& machine, Object* self, const Arguments&)
{
    return Value(edgesOf(machine, Value(self)).right);
}

Value setRectangleRight(Machine& machine, Object* self, const Arguments& arguments)
{
    setNumber(machine, self, "width", machine.toNumber(argument(arguments, 0)) - numberOf(machine, Value(self), "x"));
    return Value();
}

Value rectangleBottom(Machine& machine, Object* self, const Arguments&)
{
    return Value(edgesOf(machine, Value(self)).bottom);
}

Value setRectangleBottom(Machine& machine, Object* self, const Arguments& arguments)
{
    setNumber(machine, self, "height", machine.toNumber(argument(arguments, 0)) - numberOf(machine, Value(self), "y"));
    return Value();
}

Value rectangleTopLeft(Machine& machine, Object* self, const Arguments&)
{
    return pointOfValues(machine, member(machine, Value(self), "x"), member(machine, Value(self), "y"));
}

Value setRectangleTopLeft(Machine& machine, Object* self, const Arguments& arguments)
{
    const Value corner = argument(arguments, 0);
    const Edges edges = edgesOf(machine, Value(self));
    setNumber(machine, self, "width", edges.right - numberOf(machine, corner, "x"));
    setNumber(machine, self, "height", edges.bottom - numberOf(machine, corner, "y"));
    setRaw(machine, self, "x", member(machine, corner, "x"));
    setRaw(machine, self, "y", member(machine, corner, "y"));
    return Value();
}

Value rectangleBottomRight(Machine& machine, Object* self, const Arguments&)
{
    const Edges edges = edgesOf(machine, Value(self));
    return pointOfValues(machine, Value(edges.right), Value(edges.bottom));
}

Value setRectangleBottomRight(Machine& machine, Object* self, const Arguments& arguments)
{
    const Value corner = argument(arguments, 0);
    setNumber(machine, self, "width", numberOf(machine, corner, "x") - numberOf(machine, Value(self), "x"));
    setNumber(machine, self, "height", numberOf(machine, corner, "y") - numberOf(machine, Value(self), "y"));
    return Value();
}

Value rectangleSize(Machine& machine, Object* self, const Arguments&)
{
    return pointOfValues(machine, member(machine, Value(self), "width"), member(machine, Value(self), "height"));
}

Value setRectangleSize(Machine& machine, Object* self, const Arguments& arguments)
{
    setRaw(machine, self, "width", member(machine, argument(arguments, 0), "x"));
    setRaw(machine, self, "height", member(machine, argument(arguments, 0), "y"));
    return Value();
}

// No arguments make an empty rectangle at 0, 0; otherwise the four are kept as given, missing
// ones undefined.
Value constructRectangle(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!self)
        return Value();
    const char* names[] = {"x", "y", "width", "height"};
    for (size_t i = 0; i < 4; ++i)
        self->set(machine, QString::fromLatin1(names[i]), arguments.empty() ? Value(0.0) : argument(arguments, i));
    return Value();
}

Value rectangleToString(Machine& machine, Object* self, const Arguments&)
{
    auto text = [&](const char* name) { return machine.toString(member(machine, Value(self), name)); };
    return Value(QStringLiteral("(x=%1, y=%2, w=%3, h=%4)").arg(text("x"), text("y"), text("width"), text("height")));
}

Value rectangleIsEmpty(Machine& machine, Object* self, const Arguments&)
{
    return Value(!(numberAt(machine, self, "width") > 0) || !(numberAt(machine, self, "height") > 0));
}

Value rectangleSetEmpty(Machine& machine, Object* self, const Arguments&)
{
    for (const char* name : {"x", "y", "width", "height"}) {
        if (self)
            self->set(machine, QString::fromLatin1(name), Value(0.0));
    }
    return Value();
}

Value rectangleContains(Machine& machine, Object* self, const Arguments& arguments)
{
    return containsPoint(machine, self, machine.toNumber(argument(arguments, 0)), machine.toNumber(argument(arguments, 1)));
}

Value rectangleContainsPoint(Machine& machine, Object* self, const Arguments& arguments)
{
    const Value point = argument(arguments, 0);
    return containsPoint(machine, self, numberOf(machine, point, "x"), numberOf(machine, point, "y"));
}

Value rectangleContainsRectangle(Machine& machine, Object* self, const Arguments& arguments)
{
    const Edges outer = edgesOf(machine, Value(self));
    const Edges inner = edgesOf(machine, argument(arguments, 0));
    return scriptAnd(machine, {scriptCompare(inner.left, outer.left, atLeast), scriptCompare(inner.top, outer.top, atLeast),
                               scriptCompare(inner.right, outer.right, atMost), scriptCompare(inner.bottom, outer.bottom, atMost)});
}

Value rectangleClone(Machine& machine, Object* self, const Arguments&)
{
    const Value me(self);
    return Value(makeRectangle(machine, member(machine, me, "x"), member(machine, me, "y"), member(machine, me, "width"),
                               member(machine, me, "height")));
}

// equals wants another Rectangle, not just an object with the same four values.
Value rectangleEquals(Machine& machine, Object* self, const Arguments& arguments)
{
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
}

Value rectangleInflate(Machine& machine, Object* self, const Arguments& arguments)
{
    moveBy(machine, self, machine.toNumber(argument(arguments, 0)), machine.toNumber(argument(arguments, 1)), true);
    return Value();
}

Value rectangleInflatePoint(Machine& machine, Object* self, const Arguments& arguments)
{
    const Value point = argument(arguments, 0);
    moveBy(machine, self, numberOf(machine, point, "x"), numberOf(machine, point, "y"), true);
    return Value();
}

Value rectangleOffset(Machine& machine, Object* self, const Arguments& arguments)
{
    moveBy(machine, self, machine.toNumber(argument(arguments, 0)), machine.toNumber(argument(arguments, 1)), false);
    return Value();
}

Value rectangleOffsetPoint(Machine& machine, Object* self, const Arguments& arguments)
{
    const Value point = argument(arguments, 0);
    moveBy(machine, self, numberOf(machine, point, "x"), numberOf(machine, point, "y"), false);
    return Value();
}

// The overlap of two rectangles, or nothing when they do not overlap.
std::optional<Edges> overlap(Machine& machine, Object* self, const Value& other)
{
    const Edges a = edgesOf(machine, Value(self));
    const Edges b = edgesOf(machine, other);
    const Edges common{most(a.left, b.left), most(a.top, b.top), least(a.right, b.right), least(a.bottom, b.bottom)};
    if (!(common.right > common.left) || !(common.bottom > common.top))
        return std::nullopt;
    return common;
}

// The overlap, or an empty rectangle at 0, 0 when there is none.
Value rectangleIntersection(Machine& machine, Object* self, const Arguments& arguments)
{
    const std::optional<Edges> common = overlap(machine, self, argument(arguments, 0));
    if (!common)
        return Value(makeRectangle(machine, Value(0.0), Value(0.0), Value(0.0), Value(0.0)));
    return Value(makeRectangle(machine, Value(common->left), Value(common->top), Value(common->right - common->left),
                               Value(common->bottom - common->top)));
}

Value rectangleIntersects(Machine& machine, Object* self, const Arguments& arguments)
{
    return Value(overlap(machine, self, argument(arguments, 0)).has_value());
}

Value rectangleUnion(Machine& machine, Object* self, const Arguments& arguments)
{
    const Edges a = edgesOf(machine, Value(self));
    const Edges b = edgesOf(machine, argument(arguments, 0));
    const double left = least(a.left, b.left);
    const double top = least(a.top, b.top);
    return Value(makeRectangle(machine, Value(left), Value(top), Value(most(a.right, b.right) - left), Value(most(a.bottom, b.bottom) - top)));
}

constexpr Declaration rectanglePrototypeDeclarations[] = {
    accessor("left", rectangleLeft, setRectangleLeft, attributes::hidden),
    accessor("top", rectangleTop, setRectangleTop, attributes::hidden),
    accessor("right", rectangleRight, setRectangleRight, attributes::hidden),
    accessor("bottom", rectangleBottom, setRectangleBottom, attributes::hidden),
    accessor("topLeft", rectangleTopLeft, setRectangleTopLeft, attributes::hidden),
    accessor("bottomRight", rectangleBottomRight, setRectangleBottomRight, attributes::hidden),
    accessor("size", rectangleSize, setRectangleSize, attributes::hidden),
    method("toString", rectangleToString),
    method("isEmpty", rectangleIsEmpty),
    method("setEmpty", rectangleSetEmpty),
    method("contains", rectangleContains),
    method("containsPoint", rectangleContainsPoint),
    method("containsRectangle", rectangleContainsRectangle),
    method("clone", rectangleClone),
    method("equals", rectangleEquals),
    method("inflate", rectangleInflate),
    method("inflatePoint", rectangleInflatePoint),
    method("offset", rectangleOffset),
    method("offsetPoint", rectangleOffsetPoint),
    method("intersection", rectangleIntersection),
    method("intersects", rectangleIntersects),
    method("union", rectangleUnion),
};

void installRectangle(Machine& machine, Object* geometry)
{
    Object* prototype = machine.makeObject();
    machine.prototypes().rectangle = prototype;
    FunctionObject* constructor = defineClass(machine, QString(), prototype, constructRectangle, constructRectangle);
    geometry->define(QStringLiteral("Rectangle"), Value(constructor));
    installDeclarations(machine, prototype, rectanglePrototypeDeclarations);
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
