#include "ColorTransform.h"

#include "Builtins.h"
#include "Declaration.h"
#include "DisplayTarget.h"
#include "player/avm1/Machine.h"

#include <array>
#include <cmath>

namespace player::avm1::builtins {

namespace {

const char* const termNames[] = {"redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier",
                                 "redOffset", "greenOffset", "blueOffset", "alphaOffset"};

using Terms = std::array<double, 8>;

Terms readTerms(Machine& machine, Object* object)
{
    Terms terms{1, 1, 1, 1, 0, 0, 0, 0};
    if (!object)
        return terms;
    for (size_t i = 0; i < terms.size(); ++i)
        terms[i] = machine.toNumber(object->get(machine, QString::fromLatin1(termNames[i])));
    return terms;
}

void writeTerms(Machine& machine, Object* object, const Terms& terms)
{
    for (size_t i = 0; i < terms.size(); ++i)
        object->set(machine, QString::fromLatin1(termNames[i]), Value(terms[i]));
}

// Colour transforms compose in Flash's 8.8 fixed point, in 16-bit terms: a product drops its
// fraction downwards (-0.5 becomes -1) and every term wraps around past 16 bits.
int32_t wrapped16(int64_t value)
{
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(value) & 0xFFFF));
}

int32_t fixedProduct(int32_t a, int32_t b)
{
    return wrapped16((int64_t(a) * b) >> 8);
}

} // namespace

swf::ColorTransform colorTransformFromObject(Machine& machine, Object* object)
{
    Terms terms = readTerms(machine, object);
    swf::ColorTransform transform;
    transform.redMult = wrapToInt16(terms[0] * 256);
    transform.greenMult = wrapToInt16(terms[1] * 256);
    transform.blueMult = wrapToInt16(terms[2] * 256);
    transform.alphaMult = wrapToInt16(terms[3] * 256);
    transform.redAdd = wrapToInt16(terms[4]);
    transform.greenAdd = wrapToInt16(terms[5]);
    transform.blueAdd = wrapToInt16(terms[6]);
    transform.alphaAdd = wrapToInt16(terms[7]);
    return transform;
}

Object* makeColorTransformObject(Machine& machine, const swf::ColorTransform& transform)
{
    Object* object = machine.make<Object>(machine.prototypes().colorTransform);
    writeTerms(machine, object, {transform.redMult / 256.0, transform.greenMult / 256.0, transform.blueMult / 256.0,
                                 transform.alphaMult / 256.0, double(transform.redAdd), double(transform.greenAdd),
                                 double(transform.blueAdd), double(transform.alphaAdd)});
    return object;
}

swf::ColorTransform concatenated(const swf::ColorTransform& inner, const swf::ColorTransform& outer)
{
    swf::ColorTransform result;
    result.redMult = fixedProduct(inner.redMult, outer.redMult);
    result.greenMult = fixedProduct(inner.greenMult, outer.greenMult);
    result.blueMult = fixedProduct(inner.blueMult, outer.blueMult);
    result.alphaMult = fixedProduct(inner.alphaMult, outer.alphaMult);
    result.redAdd = wrapped16(int64_t(outer.redAdd) + fixedProduct(inner.redAdd, outer.redMult));
    result.greenAdd = wrapped16(int64_t(outer.greenAdd) + fixedProduct(inner.greenAdd, outer.greenMult));
    result.blueAdd = wrapped16(int64_t(outer.blueAdd) + fixedProduct(inner.blueAdd, outer.blueMult));
    result.alphaAdd = wrapped16(int64_t(outer.alphaAdd) + fixedProduct(inner.alphaAdd, outer.alphaMult));
    return result;
}

namespace {

Value colorTransformToString(Machine& machine, Object* self, const Arguments&)
{
    QStringList parts;
    for (const char* name : termNames)
        parts.append(QStringLiteral("%1=%2").arg(QLatin1String(name), machine.toString(machine.getMember(Value(self), QString::fromLatin1(name)))));
    return Value(QLatin1Char('(') + parts.join(QStringLiteral(", ")) + QLatin1Char(')'));
}

// concat applies the argument's transform first, then this one.
Value colorTransformConcat(Machine& machine, Object* self, const Arguments& arguments)
{
    Object* second = argument(arguments, 0).asObject();
    if (!self || !second)
        return Value();
    Terms outer = readTerms(machine, self);
    Terms inner = readTerms(machine, second);
    Terms result;
    for (size_t i = 0; i < 4; ++i) {
        result[i] = inner[i] * outer[i];
        result[i + 4] = outer[i + 4] + inner[i + 4] * outer[i];
    }
    writeTerms(machine, self, result);
    return Value();
}

// rgb reads the offsets as one colour and, when set, paints that colour flat.
Value rgb(Machine& machine, Object* self, const Arguments&)
{
    if (!self)
        return Value();
    Terms terms = readTerms(machine, self);
    auto channel = [](double value) { return uint32_t(int32_t(std::isfinite(value) ? value : 0)) & 0xff; };
    return Value(double((channel(terms[4]) << 16) | (channel(terms[5]) << 8) | channel(terms[6])));
}

Value setRgb(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!self)
        return Value();
    uint32_t color = static_cast<uint32_t>(machine.toInt32(argument(arguments, 0)));
    Terms terms = readTerms(machine, self);
    terms[0] = terms[1] = terms[2] = 0;
    terms[4] = (color >> 16) & 0xff;
    terms[5] = (color >> 8) & 0xff;
    terms[6] = color & 0xff;
    writeTerms(machine, self, terms);
    return Value();
}

// The eight terms in order, from the arguments given; the others keep the identity's.
Value initialiseColorTransform(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!self)
        return Value();
    Terms terms{1, 1, 1, 1, 0, 0, 0, 0};
    for (size_t i = 0; i < terms.size() && i < arguments.size(); ++i)
        terms[i] = machine.toNumber(arguments[i]);
    writeTerms(machine, self, terms);
    return Value();
}

// As a constructor (new, or super() from a subclass) it gives the object it set up.
Value constructColorTransform(Machine& machine, Object* self, const Arguments& arguments)
{
    initialiseColorTransform(machine, self, arguments);
    return self ? Value(self) : Value();
}

constexpr Declaration prototypeDeclarations[] = {
    method("toString", colorTransformToString),
    method("concat", colorTransformConcat),
    accessor("rgb", rgb, setRgb, attributes::hidden),
};

} // namespace

void installColorTransform(Machine& machine, Object* geometry)
{
    Object* prototype = machine.makeObject();
    machine.prototypes().colorTransform = prototype;
    FunctionObject* constructor = defineClass(machine, QString(), prototype, initialiseColorTransform, constructColorTransform);
    geometry->define(QStringLiteral("ColorTransform"), Value(constructor));

    installDeclarations(machine, prototype, prototypeDeclarations);
}

} // namespace player::avm1::builtins
