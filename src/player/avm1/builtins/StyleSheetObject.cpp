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

void StyleSheetObject::setFormat(const QString& name, const std::optional<display::TextFormat>& format)
{
    auto found = std::find_if(m_formats.begin(), m_formats.end(), [&](const Style& entry) { return entry.name == name; });
    if (!format) {
        if (found != m_formats.end())
            m_formats.erase(found);
        return;
    }
    if (found != m_formats.end())
        found->format = *format;
    else
        m_formats.push_back(Style{name, *format});
}

display::TextStyles StyleSheetObject::textStyles() const
{
    display::TextStyles styles;
    // Selectors differing only in case are one selector to a field; the later style wins.
    for (const Style& entry : m_formats)
        styles.bySelector[entry.name.toLower()] = entry.format;
    return styles;
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

// A copy of a style object's own enumerable properties, as setStyle and getStyle make; null
// for anything but an object.
Value copyOfStyle(Machine& machine, const Value& style)
{
    Object* original = style.asObject();
    if (!original)
        return Value::null();
    Object* copy = machine.makeObject();
    std::vector<QString> names;
    original->enumerableNames(machine, names);
    for (const QString& name : names)
        copy->set(machine, name, original->get(machine, name));
    return Value(copy);
}

// The sheet's _css or _styles member, made as an empty array when it is missing.
Object* memberTable(Machine& machine, Object* self, const QString& name)
{
    if (!self->has(machine, name))
        self->set(machine, name, Value(machine.makeArray()));
    if (Object* table = self->get(machine, name).asObject())
        return table;
    return machine.makeObject();
}

// setStyle: _css takes a copy of the style, _styles what transform makes of another copy, and
// fields take that format when it is an object.
void setStyle(Machine& machine, Object* self, const QString& name, const Value& style)
{
    Object* styles = memberTable(machine, self, QStringLiteral("_styles"));
    Object* css = memberTable(machine, self, QStringLiteral("_css"));
    css->set(machine, name, copyOfStyle(machine, style));
    const Value format = machine.callMethod(Value(self), QStringLiteral("transform"), {copyOfStyle(machine, style)});
    styles->set(machine, name, format);
    if (StyleSheetObject* sheet = sheetOf(self)) {
        Object* formatObject = format.asObject();
        sheet->setFormat(name, formatObject ? std::optional(readTextFormatObject(machine, formatObject)) : std::nullopt);
    }
}

void installMethods(Machine& machine, Object* prototype)
{
    machine.defineMethod(prototype, QStringLiteral("setStyle"), [](Machine& machine, Object* self, const Arguments& arguments) {
        if (self)
            setStyle(machine, self, machine.toString(argument(arguments, 0)), argument(arguments, 1));
        return Value();
    });
    // A copy of what _css holds for the name, so that changing it leaves the sheet alone; null
    // for a name the sheet lacks.
    machine.defineMethod(prototype, QStringLiteral("getStyle"), [](Machine& machine, Object* self, const Arguments& arguments) {
        Object* css = self ? self->get(machine, QStringLiteral("_css")).asObject() : nullptr;
        if (!css)
            return Value::null();
        return copyOfStyle(machine, css->get(machine, machine.toString(argument(arguments, 0))));
    });
    // The names _css holds, styles set to null among them.
    machine.defineMethod(prototype, QStringLiteral("getStyleNames"), [](Machine& machine, Object* self, const Arguments&) {
        std::vector<Value> names;
        if (Object* css = self ? self->get(machine, QStringLiteral("_css")).asObject() : nullptr) {
            std::vector<QString> keys;
            css->enumerableNames(machine, keys);
            for (const QString& name : keys)
                names.emplace_back(name);
        }
        return Value(machine.makeArray(std::move(names)));
    });
    // New empty _css and _styles; fields forget the sheet's formats.
    machine.defineMethod(prototype, QStringLiteral("clear"), [](Machine& machine, Object* self, const Arguments&) {
        if (!self)
            return Value();
        self->set(machine, QStringLiteral("_styles"), Value(machine.makeArray()));
        self->set(machine, QStringLiteral("_css"), Value(machine.makeArray()));
        if (StyleSheetObject* sheet = sheetOf(self))
            sheet->clearFormats();
        return Value();
    });
    // Adds the rules of the text, each selector's declarations as one style; false, with the
    // sheet unchanged, when the text is not well formed.
    // parse does the same for a loaded file's text.
    NativeFunction parseCss = [](Machine& machine, Object* self, const Arguments& arguments) {
        if (!self)
            return Value(false);
        const auto rules = css_text::parse(machine.toString(argument(arguments, 0)));
        if (!rules)
            return Value(false);
        for (const css_text::Rule& rule : *rules) {
            Object* style = machine.makeObject();
            for (const auto& [name, value] : rule.declarations)
                style->set(machine, name, Value(value));
            setStyle(machine, self, rule.selector, Value(style));
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
