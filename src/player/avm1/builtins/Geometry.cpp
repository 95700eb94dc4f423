#include "Builtins.h"

#include "player/avm1/Machine.h"
#include "player/avm1/NumberText.h"

#include <cmath>

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
        self->set(machine, QStringLiteral("x"), arguments.empty() ? Value(0.0) : arguments[0]);
        self->set(machine, QStringLiteral("y"), arguments.size() < 2 ? Value(0.0) : arguments[1]);
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
    machine.defineMethod(constructor, QStringLiteral("distance"), [](Machine& machine, Object*, const Arguments& arguments) {
        Object* a = argument(arguments, 0).asObject();
        Object* b = argument(arguments, 1).asObject();
        return Value(std::hypot(number(machine, a, "x") - number(machine, b, "x"), number(machine, a, "y") - number(machine, b, "y")));
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

void installRectangle(Machine& machine, Object* geometry)
{
    Object* prototype = machine.makeObject();
    machine.prototypes().rectangle = prototype;
    auto construct = [](Machine& machine, Object* self, const Arguments& arguments) -> Value {
        if (!self)
            return Value();
        const char* names[] = {"x", "y", "width", "height"};
        for (size_t i = 0; i < 4; ++i)
            self->set(machine, QString::fromLatin1(names[i]), i < arguments.size() ? arguments[i] : Value(0.0));
        return Value();
    };
    FunctionObject* constructor = defineClass(machine, QString(), prototype, construct, construct);
    geometry->define(QStringLiteral("Rectangle"), Value(constructor));
    machine.defineMethod(prototype, QStringLiteral("toString"), [](Machine& machine, Object* self, const Arguments&) {
        auto text = [&](const char* name) { return machine.toString(machine.getMember(Value(self), QString::fromLatin1(name))); };
        return Value(QStringLiteral("(x=%1, y=%2, w=%3, h=%4)").arg(text("x"), text("y"), text("width"), text("height")));
    });
    machine.defineMethod(prototype, QStringLiteral("isEmpty"), [](Machine& machine, Object* self, const Arguments&) {
        return Value(!(number(machine, self, "width") > 0) || !(number(machine, self, "height") > 0));
    });
    machine.defineMethod(prototype, QStringLiteral("contains"), [](Machine& machine, Object* self, const Arguments& arguments) {
        double x = machine.toNumber(argument(arguments, 0));
        double y = machine.toNumber(argument(arguments, 1));
        double left = number(machine, self, "x");
        double top = number(machine, self, "y");
        return Value(x >= left && y >= top && x < left + number(machine, self, "width") && y < top + number(machine, self, "height"));
    });
    machine.defineMethod(prototype, QStringLiteral("clone"), [](Machine& machine, Object* self, const Arguments&) {
        Object* copy = machine.make<Object>(machine.prototypes().rectangle);
        for (const char* name : {"x", "y", "width", "height"})
            copy->set(machine, QString::fromLatin1(name), machine.getMember(Value(self), QString::fromLatin1(name)));
        return Value(copy);
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
