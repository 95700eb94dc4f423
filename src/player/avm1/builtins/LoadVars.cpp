#include "Builtins.h"
#include "Declaration.h"
#include "LocalLoad.h"

#include "player/avm1/Machine.h"

#include <cctype>

namespace player::avm1::builtins {

namespace {

// Form encoding: letters, digits and "*-._" stay, a space becomes '+', every other UTF-8 byte
// becomes %XX.
QString formEncode(const QString& text)
{
    QString result;
    for (char raw : text.toUtf8()) {
        auto byte = uint8_t(raw);
        if (std::isalnum(byte) || byte == '*' || byte == '-' || byte == '.' || byte == '_')
            result += QChar(byte);
        else if (byte == ' ')
            result += u'+';
        else
            result += u'%' + QStringLiteral("%1").arg(byte, 2, 16, QChar(u'0')).toUpper();
    }
    return result;
}

// '+' is a space, %XX a byte; a '%' without two hex digits stays as it is.
QString formDecode(QStringView text)
{
    QByteArray bytes;
    QByteArray utf8 = text.toUtf8();
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        char c = utf8[i];
        if (c == '+') {
            bytes.append(' ');
        } else if (c == '%' && i + 2 < utf8.size() && std::isxdigit(uint8_t(utf8[i + 1])) && std::isxdigit(uint8_t(utf8[i + 2]))) {
            bytes.append(char(utf8.mid(i + 1, 2).toInt(nullptr, 16)));
            i += 2;
        } else {
            bytes.append(c);
        }
    }
    return QString::fromUtf8(bytes);
}

} // namespace

void markNotLoaded(Machine& machine, Object* target)
{
    // "loaded" is hidden, so that it is not sent or written out with the variables.
    if (target->hasOwnProperty(machine, QStringLiteral("loaded")))
        target->set(machine, QStringLiteral("loaded"), Value(false));
    else
        target->define(QStringLiteral("loaded"), Value(false), property_flag::DontEnum | property_flag::DontDelete);
}

void decodeVariables(Machine& machine, Object* target, const QString& text)
{
    for (QStringView pair : QStringView(text).split(u'&')) {
        if (pair.isEmpty())
            continue;
        qsizetype equals = pair.indexOf(u'=');
        QString name = formDecode(equals < 0 ? pair : pair.left(equals));
        QString value = equals < 0 ? QString() : formDecode(pair.mid(equals + 1));
        target->set(machine, name, Value(value));
    }
}

namespace {

Value loadVarsDecode(Machine& machine, Object* self, const Arguments& arguments)
{
    if (self && !arguments.empty())
        decodeVariables(machine, self, machine.toString(arguments[0]));
    return Value();
}

// The variables in the order they were made; methods are left out.
Value loadVarsToString(Machine& machine, Object* self, const Arguments&)
{
    if (!self)
        return Value(QString());
    std::vector<QString> names;
    self->enumerableNames(machine, names);
    QStringList pairs;
    for (const QString& name : names) {
        Value value = self->get(machine, name);
        if (machine.isCallable(value))
            continue;
        pairs.append(formEncode(name) + u'=' + formEncode(machine.toString(value)));
    }
    return Value(pairs.join(u'&'));
}

Value loadVarsLoad(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!self || arguments.empty())
        return Value(false);
    markNotLoaded(machine, self);
    return Value(loadTextForObject(machine, self, machine.toString(arguments[0])));
}

// The player sends nothing: what sendAndLoad asks for is loaded into the target as load()
// would, so a file beside the movie arrives and anything else fails.
Value loadVarsSendAndLoad(Machine& machine, Object*, const Arguments& arguments)
{
    Object* target = argument(arguments, 1).asObject();
    if (!target || arguments.size() < 2)
        return Value(false);
    markNotLoaded(machine, target);
    return Value(loadTextForObject(machine, target, machine.toString(arguments[0])));
}

Value loadVarsSend(Machine&, Object*, const Arguments&)
{
    return Value(false);
}

Value loadVarsAddRequestHeader(Machine&, Object*, const Arguments&)
{
    return Value();
}

Value callLoadVars(Machine&, Object*, const Arguments&)
{
    return Value();
}

constexpr Declaration prototypeDeclarations[] = {
    method("decode", loadVarsDecode),
    method("toString", loadVarsToString),
    method("load", loadVarsLoad),
    method("sendAndLoad", loadVarsSendAndLoad),
    method("send", loadVarsSend),
    method("addRequestHeader", loadVarsAddRequestHeader),
};

} // namespace

void installLoadVars(Machine& machine)
{
    Object* prototype = machine.makeObject();
    const uint16_t flags = property_flag::DontEnum | property_flag::DontDelete;
    prototype->define(QStringLiteral("contentType"), Value("application/x-www-form-urlencoded"), flags);
    installDeclarations(machine, prototype, prototypeDeclarations);
    // What a finished load does unless a script replaces it: decode, then onLoad.
    defineLoadMethods(machine, prototype, QStringLiteral("decode"), flags);
    defineClass(machine, QStringLiteral("LoadVars"), prototype, callLoadVars);
}

} // namespace player::avm1::builtins
