#include "TextFormat.h"

#include "Builtins.h"

#include "player/avm1/ArrayObject.h"
#include "player/avm1/Machine.h"
#include "player/display/FormattedText.h"
#include "player/display/TextLayout.h"

#include <cmath>
#include <map>

namespace player::avm1::builtins {

namespace {

using display::TextFormat;

// The properties in the order Flash makes them; the first thirteen are the constructor's
// arguments.
const char* const propertyNames[] = {"font", "size", "color", "bold", "italic", "underline", "url", "target", "align",
                                     "leftMargin", "rightMargin", "indent", "leading", "blockIndent", "bullet",
                                     "kerning", "letterSpacing", "tabStops"};
constexpr size_t constructorArguments = 13;

// A TextFormat keeps its values behind the accessors of its prototype, which convert what
// scripts assign.
class TextFormatObject final : public Object {
public:
    using Object::Object;
    std::map<QString, Value> values;
};

// Flash keeps at most 64 characters of a font name.
constexpr qsizetype longestFontName = 64;

Value optionalNumber(const std::optional<double>& number)
{
    return number ? Value(*number) : Value::null();
}

Value optionalText(const std::optional<QString>& text)
{
    return text ? Value(*text) : Value::null();
}

Value optionalBoolean(const std::optional<bool>& flag)
{
    return flag ? Value(*flag) : Value::null();
}

// Sizes, margins and indents are whole numbers in a format; Flash cuts the fraction off.
std::optional<double> readWhole(Machine& machine, const Value& value)
{
    if (value.isNullish())
        return std::nullopt;
    const double number = machine.toNumber(value);
    if (!std::isfinite(number))
        return std::nullopt;
    return std::trunc(number);
}

std::optional<QString> readText(Machine& machine, const Value& value)
{
    if (value.isNullish())
        return std::nullopt;
    return machine.toString(value);
}

std::optional<bool> readBoolean(Machine& machine, const Value& value)
{
    if (value.isNullish())
        return std::nullopt;
    return machine.toBoolean(value);
}

// Writes one property as the format holds it, past the accessors' conversions.
void writeProperty(Machine& machine, Object* object, const QString& name, const Value& value)
{
    if (auto* format = dynamic_cast<TextFormatObject*>(object))
        format->values[name] = value;
    else
        object->set(machine, name, value);
}

void writeFormat(Machine& machine, Object* object, const TextFormat& format)
{
    writeProperty(machine, object, QStringLiteral("font"), optionalText(format.font));
    writeProperty(machine, object, QStringLiteral("size"), optionalNumber(format.size));
    writeProperty(machine, object, QStringLiteral("color"), format.color ? Value(double(*format.color)) : Value::null());
    writeProperty(machine, object, QStringLiteral("bold"), optionalBoolean(format.bold));
    writeProperty(machine, object, QStringLiteral("italic"), optionalBoolean(format.italic));
    writeProperty(machine, object, QStringLiteral("underline"), optionalBoolean(format.underline));
    writeProperty(machine, object, QStringLiteral("url"), optionalText(format.url));
    writeProperty(machine, object, QStringLiteral("target"), optionalText(format.target));
    writeProperty(machine, object, QStringLiteral("align"), format.align ? Value(display::alignmentName(*format.align)) : Value::null());
    writeProperty(machine, object, QStringLiteral("leftMargin"), optionalNumber(format.leftMargin));
    writeProperty(machine, object, QStringLiteral("rightMargin"), optionalNumber(format.rightMargin));
    writeProperty(machine, object, QStringLiteral("indent"), optionalNumber(format.indent));
    writeProperty(machine, object, QStringLiteral("leading"), optionalNumber(format.leading));
    writeProperty(machine, object, QStringLiteral("blockIndent"), optionalNumber(format.blockIndent));
    writeProperty(machine, object, QStringLiteral("bullet"), optionalBoolean(format.bullet));
    writeProperty(machine, object, QStringLiteral("kerning"), optionalBoolean(format.kerning));
    writeProperty(machine, object, QStringLiteral("letterSpacing"), optionalNumber(format.letterSpacing));
    Value stops = Value::null();
    if (format.tabStops) {
        std::vector<Value> elements;
        for (double stop : *format.tabStops)
            elements.emplace_back(stop);
        stops = Value(machine.makeArray(std::move(elements)));
    }
    writeProperty(machine, object, QStringLiteral("tabStops"), stops);
    // Text is always laid out in blocks here; Flash reports it so.
    writeProperty(machine, object, QStringLiteral("display"), Value(QStringLiteral("block")));
}

Object* textFormatPrototype(Machine& machine)
{
    Object* constructor = machine.global()->get(machine, QStringLiteral("TextFormat")).asObject();
    Object* prototype = constructor ? constructor->get(machine, QStringLiteral("prototype")).asObject() : nullptr;
    return prototype ? prototype : machine.prototypes().object;
}

// What the constructor keeps of an argument: numbers lose their fraction, colours wrap to
// 32 bits, an unknown alignment is null.
Value constructorValue(Machine& machine, const char* name, const Value& value)
{
    if (value.isNullish())
        return Value::null();
    const QString property = QString::fromLatin1(name);
    if (property == QLatin1String("font"))
        return Value(machine.toString(value).left(longestFontName));
    if (property == QLatin1String("url") || property == QLatin1String("target"))
        return Value(machine.toString(value));
    if (property == QLatin1String("bold") || property == QLatin1String("italic") || property == QLatin1String("underline"))
        return Value(machine.toBoolean(value));
    if (property == QLatin1String("color"))
        return Value(double(static_cast<uint32_t>(machine.toInt32(value))));
    if (property == QLatin1String("align")) {
        const auto align = display::alignmentFromName(machine.toString(value));
        return align ? Value(display::alignmentName(*align)) : Value::null();
    }
    const std::optional<double> whole = readWhole(machine, value);
    return whole ? Value(*whole) : Value::null();
}

// What an assignment keeps: as the constructor, except that margins cannot go below 0 (nor,
// before SWF 8, the indents and leading) and that an alignment Flash does not know, null
// included, leaves the one there was.
Value assignedValue(Machine& machine, const QString& name, const Value& value, const Value& previous)
{
    if (name == QLatin1String("align")) {
        const auto align = value.isNullish() ? std::nullopt : display::alignmentFromName(machine.toString(value));
        return align ? Value(display::alignmentName(*align)) : previous;
    }
    if (value.isNullish())
        return Value::null();
    const bool alwaysPositive = name == QLatin1String("leftMargin") || name == QLatin1String("rightMargin");
    const bool positiveBefore8 = name == QLatin1String("indent") || name == QLatin1String("leading") || name == QLatin1String("blockIndent");
    // From SWF 8 assigned sizes and spacings are rounded to the nearest whole number, a half
    // to the even one, rather than cut.
    auto whole = [&]() -> std::optional<double> {
        const double number = machine.toNumber(value);
        if (!std::isfinite(number))
            return std::nullopt;
        return machine.swfVersion() >= 8 ? std::nearbyint(number) : std::trunc(number);
    };
    if (alwaysPositive || positiveBefore8) {
        const std::optional<double> number = whole();
        if (!number)
            return Value::null();
        const bool clamp = alwaysPositive || machine.swfVersion() < 8;
        return Value(clamp ? std::max(0.0, *number) : *number);
    }
    if (name == QLatin1String("size")) {
        const std::optional<double> number = whole();
        return number ? Value(*number) : Value::null();
    }
    if (name == QLatin1String("bullet") || name == QLatin1String("kerning"))
        return Value(machine.toBoolean(value));
    if (name == QLatin1String("letterSpacing")) {
        const double number = machine.toNumber(value);
        return std::isfinite(number) ? Value(number) : Value::null();
    }
    if (name == QLatin1String("tabStops") || name == QLatin1String("display"))
        return value;
    const QByteArray latin = name.toLatin1();
    return constructorValue(machine, latin.constData(), value);
}

void installAccessors(Machine& machine, Object* prototype)
{
    std::vector<QString> names;
    for (const char* name : propertyNames)
        names.push_back(QString::fromLatin1(name));
    names.push_back(QStringLiteral("display"));
    for (const QString& name : names) {
        // Also on an object that super() gave a format as its native part.
        NativeFunction getter = [name](Machine& machine, Object* self, const Arguments&) {
            auto* format = dynamic_cast<TextFormatObject*>(machine.nativePartOf(self));
            if (!format)
                return Value();
            auto found = format->values.find(name);
            return found == format->values.end() ? Value::null() : found->second;
        };
        NativeFunction setter = [name](Machine& machine, Object* self, const Arguments& arguments) {
            if (auto* format = dynamic_cast<TextFormatObject*>(machine.nativePartOf(self))) {
                Value& slot = format->values[name];
                slot = assignedValue(machine, name, argument(arguments, 0), slot);
            }
            return Value();
        };
        prototype->defineVirtual(name, machine.makeNative(std::move(getter)), machine.makeNative(std::move(setter)));
    }
}

} // namespace

Object* makeTextFormatObject(Machine& machine, const TextFormat& format)
{
    Object* object = machine.make<TextFormatObject>(textFormatPrototype(machine));
    writeFormat(machine, object, format);
    return object;
}

TextFormat readTextFormatObject(Machine& machine, Object* object)
{
    TextFormat format;
    if (!object)
        return format;
    auto read = [&](const char* name) { return object->get(machine, QString::fromLatin1(name)); };
    format.font = readText(machine, read("font"));
    format.size = readWhole(machine, read("size"));
    if (const Value color = read("color"); !color.isNullish())
        format.color = static_cast<uint32_t>(machine.toInt32(color));
    format.bold = readBoolean(machine, read("bold"));
    format.italic = readBoolean(machine, read("italic"));
    format.underline = readBoolean(machine, read("underline"));
    format.url = readText(machine, read("url"));
    format.target = readText(machine, read("target"));
    if (const Value align = read("align"); !align.isNullish())
        format.align = display::alignmentFromName(machine.toString(align));
    // Margins and the block indent cannot be negative in a field.
    auto nonNegative = [](std::optional<double> number) {
        return number ? std::optional<double>(std::max(0.0, *number)) : std::nullopt;
    };
    format.leftMargin = nonNegative(readWhole(machine, read("leftMargin")));
    format.rightMargin = nonNegative(readWhole(machine, read("rightMargin")));
    format.indent = readWhole(machine, read("indent"));
    format.leading = readWhole(machine, read("leading"));
    format.blockIndent = nonNegative(readWhole(machine, read("blockIndent")));
    format.bullet = readBoolean(machine, read("bullet"));
    format.kerning = readBoolean(machine, read("kerning"));
    if (const Value spacing = read("letterSpacing"); !spacing.isNullish()) {
        const double number = machine.toNumber(spacing);
        if (std::isfinite(number))
            format.letterSpacing = number;
    }
    if (Object* stops = read("tabStops").asObject()) {
        std::vector<double> values;
        const int length = machine.toInt32(stops->get(machine, QStringLiteral("length")));
        for (int i = 0; i < std::min(length, 1000); ++i)
            values.push_back(machine.toNumber(stops->get(machine, QString::number(i))));
        format.tabStops = values;
    }
    return format;
}

void installTextFormat(Machine& machine)
{
    Object* prototype = machine.makeObject();
    // Every property exists from the start, null until a value is given; the first arguments
    // fill them in order.
    auto construct = [](Machine& machine, Object* self, const Arguments& arguments) -> Value {
        if (!self)
            return Value();
        auto* format = machine.make<TextFormatObject>(self->prototype());
        for (size_t i = 0; i < std::size(propertyNames); ++i) {
            const Value given = i < constructorArguments ? argument(arguments, i) : Value();
            format->values[QString::fromLatin1(propertyNames[i])] = constructorValue(machine, propertyNames[i], given);
        }
        format->values[QStringLiteral("display")] = Value(QStringLiteral("block"));
        return Value(static_cast<Object*>(format));
    };
    defineClass(machine, QStringLiteral("TextFormat"), prototype, construct, construct);
    installAccessors(machine, prototype);

    // getTextExtent(text, width): the size the text takes in this format with device fonts,
    // wrapped at the width when one is given, and the field that would hold it (2-pixel
    // gutters on each side).
    machine.defineMethod(prototype, QStringLiteral("getTextExtent"), [](Machine& machine, Object* self, const Arguments& arguments) {
        if (!self || arguments.empty())
            return Value();
        TextFormat format = TextFormat::fieldDefault();
        format.mergeFrom(readTextFormatObject(machine, self));
        display::FormattedText text;
        text.setText(machine.toString(arguments[0]), format);
        display::TextLayout::Options options;
        const Value widthArgument = argument(arguments, 1);
        double fieldWidth = 0;
        if (!widthArgument.isUndefined()) {
            const double width = machine.toNumber(widthArgument);
            if (std::isfinite(width) && width > 0) {
                fieldWidth = std::trunc(width);
                options.width = fieldWidth;
                options.wordWrap = true;
            }
        }
        const display::TextLayout layout = display::TextLayout::build(
            text, options, [](const TextFormat& lineFormat) { return display::TextFont::resolve(nullptr, lineFormat, false); });
        // The measures come in an object of no class at all: it has no prototype, so it does
        // not even print as "[object Object]".
        Object* result = machine.makeObject();
        result->setPrototype(nullptr);
        const double ascent = layout.lines.empty() ? 0.0 : layout.lines.front().ascent;
        const double descent = layout.lines.empty() ? 0.0 : layout.lines.front().descent;
        const double textWidth = std::round(layout.textWidth);
        const double textHeight = std::round(layout.textHeight);
        result->set(machine, QStringLiteral("ascent"), Value(std::round(ascent)));
        result->set(machine, QStringLiteral("descent"), Value(std::round(descent)));
        result->set(machine, QStringLiteral("width"), Value(textWidth));
        result->set(machine, QStringLiteral("height"), Value(textHeight));
        result->set(machine, QStringLiteral("textFieldWidth"),
                    Value(fieldWidth > 0 ? fieldWidth : textWidth + 2 * display::TextLayout::gutter));
        result->set(machine, QStringLiteral("textFieldHeight"), Value(textHeight + 2 * display::TextLayout::gutter));
        return Value(result);
    });
}

} // namespace player::avm1::builtins
