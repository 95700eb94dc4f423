#include "StyleSheetObject.h"

#include "Builtins.h"
#include "CssText.h"
#include "LocalLoad.h"
#include "TextFormat.h"

#include "player/avm1/ArrayObject.h"
#include "player/avm1/Machine.h"
#include "player/avm1/Marker.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace player::avm1::builtins {

StyleSheetObject::StyleSheetObject(Object* prototype)
    : Object(prototype)
{
}

void StyleSheetObject::setStyle(const QString& name, Object* style)
{
    auto found = std::find_if(m_styles.begin(), m_styles.end(), [&](const Style& entry) { return entry.name == name; });
    if (!style) {
        if (found != m_styles.end())
            m_styles.erase(found);
        return;
    }
    if (found != m_styles.end())
        found->properties = style;
    else
        m_styles.push_back(Style{name, style});
}

Object* StyleSheetObject::style(const QString& name) const
{
    auto found = std::find_if(m_styles.begin(), m_styles.end(), [&](const Style& entry) { return entry.name == name; });
    return found == m_styles.end() ? nullptr : found->properties;
}

std::vector<QString> StyleSheetObject::styleNames() const
{
    std::vector<QString> names;
    for (const Style& entry : m_styles)
        names.push_back(entry.name);
    return names;
}

display::TextStyles StyleSheetObject::textStyles(Machine& machine) const
{
    display::TextStyles styles;
    // Selectors differing only in case are one selector to a field; the later style wins.
    for (const Style& entry : m_styles)
        styles.bySelector[entry.name.toLower()] = formatOfStyle(machine, entry.properties);
    return styles;
}

void StyleSheetObject::traceReferences(Marker& marker)
{
    Object::traceReferences(marker);
    for (const Style& entry : m_styles)
        marker.mark(entry.properties);
}

namespace {

// The number at the start of a CSS length ("12", "12px", " 12.5 "); nothing when there is none.
std::optional<double> leadingNumber(Machine& machine, const Value& value)
{
    if (value.isNumber())
        return std::isfinite(value.asNumber()) ? std::optional<double>(value.asNumber()) : std::nullopt;
    QString text = machine.toString(value).trimmed();
    if (text.endsWith(QLatin1String("px"), Qt::CaseInsensitive))
        text.chop(2);
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(number) ? std::optional<double>(number) : std::nullopt;
}

} // namespace

display::TextFormat formatOfStyle(Machine& machine, Object* style)
{
    display::TextFormat format;
    if (!style)
        return format;
    auto read = [&](const char* name) { return style->get(machine, QString::fromLatin1(name)); };
    auto keyword = [&](const char* name) { return machine.toString(read(name)).trimmed().toLower(); };
    if (Value color = read("color"); !color.isUndefined()) {
        const QString text = machine.toString(color).trimmed();
        bool ok = false;
        const uint rgb = text.mid(1).toUInt(&ok, 16);
        if (text.startsWith(u'#') && ok)
            format.color = rgb & 0xffffff;
    }
    if (Value family = read("fontFamily"); !family.isUndefined())
        format.font = machine.toString(family);
    if (Value size = read("fontSize"); !size.isUndefined())
        format.size = leadingNumber(machine, size);
    if (!read("fontWeight").isUndefined())
        format.bold = keyword("fontWeight") == QLatin1String("bold");
    if (!read("fontStyle").isUndefined())
        format.italic = keyword("fontStyle") == QLatin1String("italic");
    if (!read("textDecoration").isUndefined())
        format.underline = keyword("textDecoration") == QLatin1String("underline");
    if (!read("textAlign").isUndefined())
        format.align = display::alignmentFromName(keyword("textAlign"));
    if (Value kerning = read("kerning"); !kerning.isUndefined())
        format.kerning = kerning.isBoolean() ? machine.toBoolean(kerning) : keyword("kerning") == QLatin1String("true");
    auto length = [&](const char* name, std::optional<double>& member) {
        if (Value value = read(name); !value.isUndefined())
            member = leadingNumber(machine, value);
    };
    length("marginLeft", format.leftMargin);
    length("marginRight", format.rightMargin);
    length("textIndent", format.indent);
    length("leading", format.leading);
    length("letterSpacing", format.letterSpacing);
    return format;
}

namespace {

StyleSheetObject* sheetOf(Object* self)
{
    return dynamic_cast<StyleSheetObject*>(self);
}

// A copy of a style object's own enumerable properties, as setStyle and getStyle make.
Object* copyOfStyle(Machine& machine, Object* style)
{
    Object* copy = machine.makeObject();
    std::vector<QString> names;
    style->enumerableNames(machine, names);
    for (const QString& name : names)
        copy->set(machine, name, style->get(machine, name));
    return copy;
}

void installMethods(Machine& machine, Object* prototype)
{
    machine.defineMethod(prototype, QStringLiteral("setStyle"), [](Machine& machine, Object* self, const Arguments& arguments) {
        StyleSheetObject* sheet = sheetOf(self);
        if (!sheet || arguments.empty())
            return Value();
        Object* style = argument(arguments, 1).asObject();
        sheet->setStyle(machine.toString(arguments[0]), style ? copyOfStyle(machine, style) : nullptr);
        return Value();
    });
    // A copy, so that changing it leaves the sheet alone; null for a name the sheet lacks.
    machine.defineMethod(prototype, QStringLiteral("getStyle"), [](Machine& machine, Object* self, const Arguments& arguments) {
        StyleSheetObject* sheet = sheetOf(self);
        if (!sheet)
            return Value();
        Object* style = sheet->style(machine.toString(argument(arguments, 0)));
        return style ? Value(copyOfStyle(machine, style)) : Value::null();
    });
    machine.defineMethod(prototype, QStringLiteral("getStyleNames"), [](Machine& machine, Object* self, const Arguments&) {
        StyleSheetObject* sheet = sheetOf(self);
        if (!sheet)
            return Value();
        std::vector<Value> names;
        for (const QString& name : sheet->styleNames())
            names.emplace_back(name);
        return Value(machine.makeArray(std::move(names)));
    });
    machine.defineMethod(prototype, QStringLiteral("clear"), [](Machine&, Object* self, const Arguments&) {
        if (StyleSheetObject* sheet = sheetOf(self))
            sheet->clear();
        return Value();
    });
    // Adds the rules of the text, each selector's declarations as one style; false, with the
    // sheet unchanged, when the text is not well formed.
    // parse does the same for a loaded file's text.
    NativeFunction parseCss = [](Machine& machine, Object* self, const Arguments& arguments) {
        StyleSheetObject* sheet = sheetOf(self);
        if (!sheet)
            return Value(false);
        const auto rules = css_text::parse(machine.toString(argument(arguments, 0)));
        if (!rules)
            return Value(false);
        for (const css_text::Rule& rule : *rules) {
            Object* style = machine.makeObject();
            for (const auto& [name, value] : rule.declarations)
                style->set(machine, name, Value(value));
            sheet->setStyle(rule.selector, style);
        }
        return Value(true);
    };
    machine.defineMethod(prototype, QStringLiteral("parseCSS"), parseCss);
    machine.defineMethod(prototype, QStringLiteral("parse"), parseCss);
    machine.defineMethod(prototype, QStringLiteral("transform"), [](Machine& machine, Object*, const Arguments& arguments) {
        Object* style = argument(arguments, 0).asObject();
        if (!style)
            return Value::null();
        return Value(makeTextFormatObject(machine, formatOfStyle(machine, style)));
    });
    // load reads a style sheet file and hands its text to onData later; without a file name
    // it refuses. onData reads the text with the sheet's parse method and tells onLoad whether
    // that worked; a file that could not be read only calls onLoad(false).
    machine.defineMethod(prototype, QStringLiteral("load"), [](Machine& machine, Object* self, const Arguments& arguments) {
        if (!self || arguments.empty() || arguments[0].isUndefined())
            return Value(false);
        return Value(loadTextForObject(machine, self, machine.toString(arguments[0])));
    });
    machine.defineMethod(prototype, QStringLiteral("onData"), [](Machine& machine, Object* self, const Arguments& arguments) {
        const Value text = argument(arguments, 0);
        if (!self)
            return Value();
        if (text.isUndefined()) {
            machine.callMethod(Value(self), QStringLiteral("onLoad"), {Value(false)});
            return Value();
        }
        const Value parsed = machine.callMethod(Value(self), QStringLiteral("parse"), {Value(machine.toString(text))});
        const bool ok = machine.toBoolean(parsed);
        machine.callMethod(Value(self), QStringLiteral("onLoad"), {Value(ok)});
        return Value();
    });
}

} // namespace

void installStyleSheet(Machine& machine, Object* textFieldConstructor)
{
    Object* prototype = machine.makeObject();
    auto make = [](Machine& machine, Object* self, const Arguments&) -> Value {
        if (!self)
            return Value();
        return Value(machine.make<StyleSheetObject>(self->prototype()));
    };
    FunctionObject* constructor = defineClass(machine, QString(), prototype, make, make);
    installMethods(machine, prototype);
    prototype->setAllFlags(property_flag::DontEnum, 0);
    textFieldConstructor->define(QStringLiteral("StyleSheet"), Value(constructor), property_flag::DontEnum | property_flag::FromVersion7);
}

} // namespace player::avm1::builtins
