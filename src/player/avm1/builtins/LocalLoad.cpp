#include "LocalLoad.h"

#include "Builtins.h"

#include "player/avm1/Machine.h"

namespace player::avm1::builtins {

QString decodeLoadedText(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(QByteArrayView(bytes).sliced(3));
    return QString::fromUtf8(bytes);
}

bool loadTextForObject(Machine& machine, Object* target, const QString& url)
{
    if (!target)
        return false;
    std::optional<QByteArray> bytes = machine.bridge().readLocalFile(url);
    Value text = bytes ? Value(decodeLoadedText(*bytes)) : Value();
    if (bytes) {
        target->define(QStringLiteral("_bytesLoaded"), Value(double(bytes->size())), property_flag::DontEnum);
        target->define(QStringLiteral("_bytesTotal"), Value(double(bytes->size())), property_flag::DontEnum);
    }
    machine.addDeferredCall(target, Value(), QStringLiteral("onData"), {text});
    return true;
}

void defineLoadMethods(Machine& machine, Object* prototype, const QString& parseMethod, uint16_t flags)
{
    machine.defineMethod(prototype, QStringLiteral("getBytesLoaded"), [](Machine& machine, Object* self, const Arguments&) {
        return self ? self->get(machine, QStringLiteral("_bytesLoaded")) : Value();
    }, flags);
    machine.defineMethod(prototype, QStringLiteral("getBytesTotal"), [](Machine& machine, Object* self, const Arguments&) {
        return self ? self->get(machine, QStringLiteral("_bytesTotal")) : Value();
    }, flags);
    machine.defineMethod(prototype, QStringLiteral("onData"), [parseMethod](Machine& machine, Object* self, const Arguments& arguments) {
        Value text = argument(arguments, 0);
        if (!self)
            return Value();
        if (text.isUndefined()) {
            machine.callMethod(Value(self), QStringLiteral("onLoad"), {Value(false)});
            return Value();
        }
        machine.callMethod(Value(self), parseMethod, {Value(machine.toString(text))});
        self->set(machine, QStringLiteral("loaded"), Value(true));
        machine.callMethod(Value(self), QStringLiteral("onLoad"), {Value(true)});
        return Value();
    }, flags);
}

} // namespace player::avm1::builtins
