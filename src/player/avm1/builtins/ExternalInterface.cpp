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

// The XML of a value that is no object; a text is escaped, and an empty one may be written as
// "null".
QString primitiveToXml(const Value& value, bool emptyTextAsNull)
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
    case Value::Type::String: {
        const QString text = value.asString();
        return QStringLiteral("<string>%1</string>").arg(text.isEmpty() && emptyTextAsNull ? QStringLiteral("null") : escapeXml(text));
    }
    case Value::Type::Object:
        break;
    }
    return QString();
}

// One argument in the XML that Flash sends to its container.
QString encodeValue(Machine& machine, const Value& value, int depth)
{
    if (value.type() != Value::Type::Object)
        return primitiveToXml(value, false);
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
    // Newest property first, as for..in lists them.
    for (auto name = names.rbegin(); name != names.rend(); ++name)
        result += QStringLiteral("<property id=\"%1\">%2</property>").arg(escapeXml(*name), encodeValue(machine, object->get(machine, *name), depth + 1));
    return result + QStringLiteral("</object>");
}

// The helpers below are the ones Flash keeps on the class, under names beginning with "_", to
// turn values into the XML it exchanges with its container and back. They take any value and
// never fail: they read what they need (length, elements, properties) as a script would.

// _escapeXML and _jsQuoteString give null for no argument or an empty text.
Value escapedText(Machine& machine, const Arguments& arguments, QString (*escape)(const QString&))
{
    if (arguments.empty())
        return Value::null();
    const QString text = machine.toString(arguments[0]);
    if (text.isEmpty())
        return Value::null();
    return Value(escape(text));
}

QString unescapeXml(const QString& text)
{
    QString result = text;
    result.replace(QLatin1String("&lt;"), QLatin1String("<"));
    result.replace(QLatin1String("&gt;"), QLatin1String(">"));
    result.replace(QLatin1String("&quot;"), QLatin1String("\""));
    result.replace(QLatin1String("&apos;"), QLatin1String("'"));
    result.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return result;
}

QString quoteForScript(const QString& text)
{
    QString result = text;
    result.replace(u'"', QLatin1String("\\\""));
    return result;
}

QString valueToXml(Machine& machine, const Value& value, int depth);

// The elements from index first up to length, as an array-like value offers them.
QString elementsToXml(Machine& machine, const Value& value, int first, bool asProperties, int depth)
{
    if (!value.isObject() && !value.isString())
        return QString();
    const double length = machine.toNumber(machine.getMember(value, QStringLiteral("length")));
    QString result;
    for (int index = first; index < length && index < 1 << 20; ++index) {
        const QString element = valueToXml(machine, machine.getMember(value, QString::number(index)), depth + 1);
        result += asProperties ? QStringLiteral("<property id=\"%1\">%2</property>").arg(index).arg(element) : element;
    }
    return result;
}

QString arrayToXml(Machine& machine, const Value& value, int depth)
{
    return QStringLiteral("<array>") + elementsToXml(machine, value, 0, true, depth) + QStringLiteral("</array>");
}

QString argumentsToXml(Machine& machine, const Value& value, int depth)
{
    return QStringLiteral("<arguments>") + elementsToXml(machine, value, 1, false, depth) + QStringLiteral("</arguments>");
}

// Property names go in as they are, unescaped, in the order for..in gives them.
QString objectToXml(Machine& machine, const Value& value, int depth)
{
    QString result = QStringLiteral("<object>");
    if (Object* object = value.asObject(); object && depth < 64) {
        std::vector<QString> names;
        object->enumerableNames(machine, names);
        // The names come oldest first; for..in gives the newest first.
        for (auto name = names.rbegin(); name != names.rend(); ++name)
            result += QStringLiteral("<property id=\"%1\">%2</property>").arg(*name, valueToXml(machine, object->get(machine, *name), depth + 1));
    }
    return result + QStringLiteral("</object>");
}

// An empty text goes in as "null", since escaping it gives null. An object with a length of its
// own goes in as an array; functions and clips as null.
QString valueToXml(Machine& machine, const Value& value, int depth)
{
    if (value.type() != Value::Type::Object)
        return primitiveToXml(value, true);
    Object* object = value.asObject();
    if (depth >= 64 || object->kind() == ObjectKind::Function || object->kind() == ObjectKind::Clip)
        return QStringLiteral("<null/>");
    if (object->hasOwnProperty(machine, QStringLiteral("length")))
        return arrayToXml(machine, value, depth);
    return objectToXml(machine, value, depth);
}

Value xmlToValue(Machine& machine, const Value& node, int depth);

// The children of an XML node, as a script reads them.
std::vector<Value> childrenOf(Machine& machine, const Value& node)
{
    std::vector<Value> children;
    Object* list = node.isObject() ? machine.getMember(node, QStringLiteral("childNodes")).asObject() : nullptr;
    if (!list)
        return children;
    const double length = machine.toNumber(list->get(machine, QStringLiteral("length")));
    for (int index = 0; index < length && index < 1 << 20; ++index)
        children.push_back(list->get(machine, QString::number(index)));
    return children;
}

// <property id="name">value</property> children, each handed to store.
template<class Store>
void readProperties(Machine& machine, const Value& node, int depth, Store store)
{
    for (const Value& child : childrenOf(machine, node)) {
        const Value attributes = machine.getMember(child, QStringLiteral("attributes"));
        const QString id = machine.toString(attributes.isObject() ? machine.getMember(attributes, QStringLiteral("id")) : Value());
        store(id, xmlToValue(machine, machine.getMember(child, QStringLiteral("firstChild")), depth + 1));
    }
}

Value xmlArrayToValue(Machine& machine, const Value& node, int depth)
{
    ArrayObject* array = machine.makeArray();
    if (depth < 64)
        readProperties(machine, node, depth, [&](const QString& id, const Value& value) { array->set(machine, id, value); });
    return Value(array);
}

Value xmlObjectToValue(Machine& machine, const Value& node, int depth)
{
    Object* object = machine.makeObject();
    if (depth < 64)
        readProperties(machine, node, depth, [&](const QString& id, const Value& value) { object->set(machine, id, value); });
    return Value(object);
}

Value xmlArgumentsToValue(Machine& machine, const Value& node, int depth)
{
    std::vector<Value> values;
    if (depth < 64) {
        for (const Value& child : childrenOf(machine, node))
            values.push_back(xmlToValue(machine, child, depth + 1));
    }
    return Value(machine.makeArray(std::move(values)));
}

// An XML node back to a value, by its (case-sensitive) name; a text or a number is the node's
// first child as text, XML escapes undone. Anything else is undefined. The name is compared as
// == would: a String object named "null" counts, an object whose toString says "null" does not.
Value xmlToValue(Machine& machine, const Value& node, int depth)
{
    if (!node.isObject() || depth >= 64)
        return Value();
    const Value nameValue = machine.toPrimitiveNumber(machine.getMember(node, QStringLiteral("nodeName")));
    const QString name = nameValue.isObject() ? QString() : machine.toString(nameValue);
    auto content = [&] { return unescapeXml(machine.toString(machine.getMember(node, QStringLiteral("firstChild")))); };
    if (name == QLatin1String("null"))
        return Value::null();
    if (name == QLatin1String("true"))
        return Value(true);
    if (name == QLatin1String("false"))
        return Value(false);
    if (name == QLatin1String("string"))
        return Value(content());
    if (name == QLatin1String("number"))
        return Value(machine.toNumber(Value(content())));
    if (name == QLatin1String("array"))
        return xmlArrayToValue(machine, node, depth);
    if (name == QLatin1String("object"))
        return xmlObjectToValue(machine, node, depth);
    return Value();
}

// The helpers exist on the class in every version, but hold their functions only from SWF 8 on.
void defineFromVersion8(Machine& machine, Object* constructor, const QString& name, const Value& value)
{
    defineFromVersion(machine, constructor, name, value, 8, property_flag::DontEnum);
}

void installConversions(Machine& machine, Object* constructor)
{
    auto helper = [&](const char* name, NativeFunction function) {
        defineFromVersion8(machine, constructor, QString::fromLatin1(name), Value(machine.makeNative(std::move(function))));
    };
    helper("_escapeXML", [](Machine& machine, Object*, const Arguments& arguments) { return escapedText(machine, arguments, escapeXml); });
    helper("_unescapeXML", [](Machine& machine, Object*, const Arguments& arguments) { return escapedText(machine, arguments, unescapeXml); });
    helper("_jsQuoteString", [](Machine& machine, Object*, const Arguments& arguments) { return escapedText(machine, arguments, quoteForScript); });
    helper("_toXML", [](Machine& machine, Object*, const Arguments& arguments) { return Value(valueToXml(machine, argument(arguments, 0), 0)); });
    helper("_arrayToXML", [](Machine& machine, Object*, const Arguments& arguments) { return Value(arrayToXml(machine, argument(arguments, 0), 0)); });
    helper("_argumentsToXML", [](Machine& machine, Object*, const Arguments& arguments) { return Value(argumentsToXml(machine, argument(arguments, 0), 0)); });
    helper("_objectToXML", [](Machine& machine, Object*, const Arguments& arguments) { return Value(objectToXml(machine, argument(arguments, 0), 0)); });
    helper("_toAS", [](Machine& machine, Object*, const Arguments& arguments) { return xmlToValue(machine, argument(arguments, 0), 0); });
    helper("_arrayToAS", [](Machine& machine, Object*, const Arguments& arguments) { return xmlArrayToValue(machine, argument(arguments, 0), 0); });
    helper("_argumentsToAS", [](Machine& machine, Object*, const Arguments& arguments) { return xmlArgumentsToValue(machine, argument(arguments, 0), 0); });
    helper("_objectToAS", [](Machine& machine, Object*, const Arguments& arguments) { return xmlObjectToValue(machine, argument(arguments, 0), 0); });
    // The browser side of the exchange has no counterpart here: these answer nothing.
    for (const char* name : {"_arrayToJS", "_objectToJS", "_toJS", "_callIn", "_callOut", "_evalJS", "_initJS", "_addCallback"})
        helper(name, [](Machine&, Object*, const Arguments&) { return Value(); });
    defineFromVersion8(machine, constructor, QStringLiteral("_objectID"), Value::null());
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
    defineFromVersion8(machine, constructor, QStringLiteral("available"), Value(true));
    defineFromVersion8(machine, constructor, QStringLiteral("addCallback"),
                       Value(machine.makeNative([](Machine&, Object*, const Arguments&) { return Value(false); })));
    installConversions(machine, constructor);
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
