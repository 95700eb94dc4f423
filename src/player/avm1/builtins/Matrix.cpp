#include "Matrix.h"

#include "Builtins.h"
#include "Declaration.h"
#include "player/avm1/Machine.h"

#include <cmath>

namespace player::avm1::builtins {

namespace {

const char* const termNames[] = {"a", "b", "c", "d", "tx", "ty"};

double term(Machine& machine, Object* object, const char* name)
{
    return machine.toNumber(object->get(machine, QString::fromLatin1(name)));
}

void writeMatrix(Machine& machine, Object* object, const swf::Matrix& matrix)
{
    const double values[] = {matrix.a, matrix.b, matrix.c, matrix.d, matrix.tx, matrix.ty};
    for (size_t i = 0; i < 6; ++i)
        object->set(machine, QString::fromLatin1(termNames[i]), Value(values[i]));
}

// The script-side matrix, translation in pixels.
swf::Matrix readTerms(Machine& machine, Object* object)
{
    swf::Matrix matrix;
    if (!object)
        return matrix;
    matrix.a = term(machine, object, "a");
    matrix.b = term(machine, object, "b");
    matrix.c = term(machine, object, "c");
    matrix.d = term(machine, object, "d");
    matrix.tx = term(machine, object, "tx");
    matrix.ty = term(machine, object, "ty");
    return matrix;
}

swf::Matrix box(double scaleX, double scaleY, double rotation, double tx, double ty)
{
    swf::Matrix matrix;
    matrix.a = std::cos(rotation) * scaleX;
    matrix.b = std::sin(rotation) * scaleY;
    matrix.c = -std::sin(rotation) * scaleX;
    matrix.d = std::cos(rotation) * scaleY;
    matrix.tx = tx;
    matrix.ty = ty;
    return matrix;
}

Object* makePoint(Machine& machine, double x, double y)
{
    Object* point = machine.make<Object>(machine.prototypes().point);
    point->set(machine, QStringLiteral("x"), Value(x));
    point->set(machine, QStringLiteral("y"), Value(y));
    return point;
}

// Methods that change the matrix in place by a second one applied after it.
void applyAfter(Machine& machine, Object* self, const swf::Matrix& second)
{
    if (self)
        writeMatrix(machine, self, concatenated(readTerms(machine, self), second));
}

double numberOr(Machine& machine, const Arguments& arguments, size_t index, double fallback)
{
    return index < arguments.size() ? machine.toNumber(arguments[index]) : fallback;
}

} // namespace

swf::Matrix concatenated(const swf::Matrix& first, const swf::Matrix& second)
{
    swf::Matrix result;
    result.a = first.a * second.a + first.b * second.c;
    result.b = first.a * second.b + first.b * second.d;
    result.c = first.c * second.a + first.d * second.c;
    result.d = first.c * second.b + first.d * second.d;
    result.tx = first.tx * second.a + first.ty * second.c + second.tx;
    result.ty = first.tx * second.b + first.ty * second.d + second.ty;
    return result;
}

swf::Matrix matrixFromObject(Machine& machine, Object* object)
{
    swf::Matrix matrix = readTerms(machine, object);
    matrix.tx *= 20.0;
    matrix.ty *= 20.0;
    return matrix;
}

Object* makeMatrixObject(Machine& machine, const swf::Matrix& matrix)
{
    Object* object = machine.make<Object>(machine.prototypes().matrix);
    swf::Matrix inPixels = matrix;
    inPixels.tx /= 20.0;
    inPixels.ty /= 20.0;
    writeMatrix(machine, object, inPixels);
    return object;
}

namespace {

Value matrixToString(Machine& machine, Object* self, const Arguments&)
{
    QStringList parts;
    for (const char* name : termNames)
        parts.append(QStringLiteral("%1=%2").arg(QLatin1String(name), machine.toString(machine.getMember(Value(self), QString::fromLatin1(name)))));
    return Value(QLatin1Char('(') + parts.join(QStringLiteral(", ")) + QLatin1Char(')'));
}

Value matrixClone(Machine& machine, Object* self, const Arguments&)
{
    Object* copy = machine.make<Object>(machine.prototypes().matrix);
    for (const char* name : termNames)
        copy->set(machine, QString::fromLatin1(name), machine.getMember(Value(self), QString::fromLatin1(name)));
    return Value(copy);
}

Value matrixIdentity(Machine& machine, Object* self, const Arguments&)
{
    if (self)
        writeMatrix(machine, self, swf::Matrix());
    return Value();
}

Value matrixConcat(Machine& machine, Object* self, const Arguments& arguments)
{
    if (Object* other = argument(arguments, 0).asObject())
        applyAfter(machine, self, readTerms(machine, other));
    return Value();
}

// A matrix that cannot be inverted becomes the identity.
Value matrixInvert(Machine& machine, Object* self, const Arguments&)
{
    if (!self)
        return Value();
    swf::Matrix m = readTerms(machine, self);
    double determinant = m.a * m.d - m.b * m.c;
    swf::Matrix inverse;
    if (determinant != 0 && std::isfinite(determinant)) {
        inverse.a = m.d / determinant;
        inverse.b = -m.b / determinant;
        inverse.c = -m.c / determinant;
        inverse.d = m.a / determinant;
        inverse.tx = (m.c * m.ty - m.d * m.tx) / determinant;
        inverse.ty = (m.b * m.tx - m.a * m.ty) / determinant;
    }
    writeMatrix(machine, self, inverse);
    return Value();
}

Value matrixRotate(Machine& machine, Object* self, const Arguments& arguments)
{
    applyAfter(machine, self, box(1, 1, machine.toNumber(argument(arguments, 0)), 0, 0));
    return Value();
}

Value matrixScale(Machine& machine, Object* self, const Arguments& arguments)
{
    applyAfter(machine, self, box(machine.toNumber(argument(arguments, 0)), machine.toNumber(argument(arguments, 1)), 0, 0, 0));
    return Value();
}

Value matrixTranslate(Machine& machine, Object* self, const Arguments& arguments)
{
    applyAfter(machine, self, box(1, 1, 0, machine.toNumber(argument(arguments, 0)), machine.toNumber(argument(arguments, 1))));
    return Value();
}

Value matrixCreateBox(Machine& machine, Object* self, const Arguments& arguments)
{
    if (self)
        writeMatrix(machine, self, box(machine.toNumber(argument(arguments, 0)), machine.toNumber(argument(arguments, 1)),
                                       numberOr(machine, arguments, 2, 0), numberOr(machine, arguments, 3, 0), numberOr(machine, arguments, 4, 0)));
    return Value();
}

// Gradients are defined on a square of 1638.4 pixels centred on the origin; the box maps it
// onto the given width and height.
Value matrixCreateGradientBox(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!self)
        return Value();
    double width = machine.toNumber(argument(arguments, 0));
    double height = machine.toNumber(argument(arguments, 1));
    writeMatrix(machine, self, box(width / 1638.4, height / 1638.4, numberOr(machine, arguments, 2, 0),
                                   numberOr(machine, arguments, 3, 0) + width / 2, numberOr(machine, arguments, 4, 0) + height / 2));
    return Value();
}

// transformPoint moves the point by the translation as well; deltaTransformPoint does not.
Value transformedPoint(Machine& machine, Object* self, const Arguments& arguments, bool translate)
{
    Object* point = argument(arguments, 0).asObject();
    if (!self || !point)
        return Value();
    swf::Matrix m = readTerms(machine, self);
    double x = machine.toNumber(point->get(machine, QStringLiteral("x")));
    double y = machine.toNumber(point->get(machine, QStringLiteral("y")));
    double offsetX = translate ? m.tx : 0;
    double offsetY = translate ? m.ty : 0;
    return Value(makePoint(machine, m.a * x + m.c * y + offsetX, m.b * x + m.d * y + offsetY));
}

Value matrixTransformPoint(Machine& machine, Object* self, const Arguments& arguments)
{
    return transformedPoint(machine, self, arguments, true);
}

Value matrixDeltaTransformPoint(Machine& machine, Object* self, const Arguments& arguments)
{
    return transformedPoint(machine, self, arguments, false);
}

constexpr Declaration prototypeDeclarations[] = {
    method("toString", matrixToString),
    method("clone", matrixClone),
    method("identity", matrixIdentity),
    method("concat", matrixConcat),
    method("invert", matrixInvert),
    method("rotate", matrixRotate),
    method("scale", matrixScale),
    method("translate", matrixTranslate),
    method("createBox", matrixCreateBox),
    method("createGradientBox", matrixCreateGradientBox),
    method("transformPoint", matrixTransformPoint),
    method("deltaTransformPoint", matrixDeltaTransformPoint),
};

} // namespace

void installMatrix(Machine& machine, Object* geometry)
{
    Object* prototype = machine.makeObject();
    machine.prototypes().matrix = prototype;
    // Without arguments a matrix is the identity; with some, the missing terms stay undefined.
    auto construct = [](Machine& machine, Object* self, const Arguments& arguments) -> Value {
        if (!self)
            return Value();
        if (arguments.empty()) {
            writeMatrix(machine, self, swf::Matrix());
            return Value();
        }
        for (size_t i = 0; i < 6; ++i)
            self->set(machine, QString::fromLatin1(termNames[i]), argument(arguments, i));
        return Value();
    };
    FunctionObject* constructor = defineClass(machine, QString(), prototype, construct, construct);
    geometry->define(QStringLiteral("Matrix"), Value(constructor));

    installDeclarations(machine, prototype, prototypeDeclarations);
}

} // namespace player::avm1::builtins
