#include "LocalLoad.h"

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
    machine.addTimer(target, Value(), QStringLiteral("onData"), 0, {text}, false);
    return true;
}

} // namespace player::avm1::builtins
