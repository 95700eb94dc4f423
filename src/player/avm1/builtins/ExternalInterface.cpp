#include "Builtins.h"

#include "player/avm1/ArrayObject.h"
#include "player/avm1/Machine.h"
#include "player/avm1/NumberText.h"

namespace player::avm1::builtins {

namespace {

QString escapeXml(const QString& text)
{
    QString result = text;
    result.replace(u'&', QLatin1String("&amp;"));
    result.replace(u'<', QLatin1String("&lt;"));
    result.replace(u'>', QLatin1String("&gt;"));
    result.replace(u'"', QLatin1String("&quot;"));
    result.replace(u'\'', QLatin1String("&apos;"));
    return result;
}

// One argument in the XML that Flash sends to its container.
QString encodeValue(Machine& machine, const Value& value, int depth)
{
    switch (value.type()) {
    case Value::Type::Undefined:
        return QStringLiteral("<undefined/>");
    case Value::Type::Null:
        return QStringLiteral("<null/>");
    case Value::Type::Boolean:
        return value.asBoolean() ? QStringLiteral("<true/>") : QStringLiteral("<false/>");
    case Value::Type::Number:
        return QStringLiteral("<number>%1</number>").arg(number_text::toText(value.asNumber()));
    case Value::Type::String:
        return QStringLiteral("<string>%1</string>").arg(escapeXml(value.asString()));
    case Value::Type::Object:
        break;
    }
    Object* object = value.asObject();
    if (depth > 16 || object->kind() == ObjectKind::Function)
        return QStringLiteral("<null/>");
    QString result;
    if (object->kind() == ObjectKind::Array) {
        result = QStringLiteral("<array>");
        const std::vector<Value> elements = static_cast<ArrayObject*>(object)->values(machine);
        for (size_t i = 0; i < elements.size(); ++i)
            result += QStringLiteral("<property id=\"%1\">%2</property>").arg(i).arg(encodeValue(machine, elements[i], depth + 1));
        return result + QStringLiteral("</array>");
    }
    result = QStringLiteral("<object>");
    std::vector<QString> names;
    object->enumerableNames(machine, names);
    for (const QString& name : names)
        result += QStringLiteral("<property id=\"%1\">%2</property>").arg(escapeXml(name), encodeValue(machine, object->get(machine, name), depth + 1));
    return result + QStringLiteral("</object>");
}

} // namespace

void installExternalInterface(Machine& machine)
{
    Object* prototype = machine.makeObject();
    // Flash has the class only in its package, flash.external: a bare ExternalInterface is
    // undefined, so movies reach it by the full name (what an AS2 import compiles to).
    FunctionObject* constructor = defineClass(machine, QString(), prototype, [](Machine&, Object*, const Arguments&) {
        return Value();
    });
    if (Object* flash = machine.global()->get(machine, QStringLiteral("flash")).asObject()) {
        Object* external = machine.makeObject();
        flash->define(QStringLiteral("external"), Value(external));
        external->define(QStringLiteral("ExternalInterface"), Value(constructor));
    }
    // The program is the container: calls always have somewhere to go.
    constructor->define(QStringLiteral("available"), Value(true), property_flag::DontEnum | property_flag::ReadOnly);
    machine.defineMethod(constructor, QStringLiteral("addCallback"), [](Machine&, Object*, const Arguments&) { return Value(false); });
    machine.defineMethod(constructor, QStringLiteral("call"), [](Machine& machine, Object*, const Arguments& arguments) {
        if (arguments.empty())
            return Value::null();
        QString request = QStringLiteral("<invoke name=\"%1\" returntype=\"xml\"><arguments>").arg(escapeXml(machine.toString(arguments[0])));
        for (size_t i = 1; i < arguments.size(); ++i)
            request += encodeValue(machine, arguments[i], 0);
        request += QStringLiteral("</arguments></invoke>");
        return machine.bridge().flashCall(request);
    });
}

} // namespace player::avm1::builtins
