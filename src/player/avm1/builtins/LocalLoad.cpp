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
    // Nothing has arrived while the call returns: the counts show the bytes only when the data
    // is handed over.
    target->define(QStringLiteral("_bytesLoaded"), Value(0), property_flag::DontEnum);
    target->define(QStringLiteral("_bytesTotal"), Value(), property_flag::DontEnum);
    const double size = bytes ? double(bytes->size()) : 0;
    const bool arrived = bytes.has_value();
    NativeFunction deliver = [target, text, size, arrived](Machine& machine, Object*, const Arguments&) {
        if (arrived) {
            target->define(QStringLiteral("_bytesLoaded"), Value(size), property_flag::DontEnum);
            target->define(QStringLiteral("_bytesTotal"), Value(size), property_flag::DontEnum);
        }
        machine.callMethod(Value(target), QStringLiteral("onData"), {text});
        return Value();
    };
    machine.addDeferredCall(target, Value(machine.makeNative(std::move(deliver))), QString(), {});
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
