#include "Builtins.h"

#include "player/avm1/ArrayObject.h"
#include "player/avm1/Machine.h"

namespace player::avm1::builtins {

namespace {

constexpr uint16_t hidden = property_flag::DontEnum | property_flag::DontDelete;

Value nothing(Machine&, Object*, const Arguments&)
{
    return Value();
}

Value no(Machine&, Object*, const Arguments&)
{
    return Value(false);
}

// A class whose instances have nothing to work with here: a constructor and its prototype.
Object* defineEmptyClass(Machine& machine, Object* holder, const QString& name)
{
    Object* prototype = machine.makeObject();
    FunctionObject* constructor = defineClass(machine, QString(), prototype, nothing);
    holder->define(name, Value(constructor), property_flag::DontEnum);
    return constructor;
}

} // namespace

// The classes of what the player has none of: cameras, microphones, video and network streams,
// sockets, printers, screen readers, input method editors and file dialogs. They exist, as in
// Flash, so that movies can ask; the answers say that nothing is there.
void installDeviceClasses(Machine& machine)
{
    Object* global = machine.global();

    // Camera.get() and Microphone.get() give null when the computer has none.
    for (const char* name : {"Camera", "Microphone"}) {
        Object* device = defineEmptyClass(machine, global, QString::fromLatin1(name));
        machine.defineMethod(device, QStringLiteral("get"), [](Machine&, Object*, const Arguments&) { return Value::null(); },
                             hidden);
        device->define(QStringLiteral("names"), Value(static_cast<Object*>(machine.makeArray())), hidden);
    }
    for (const char* name : {"Video", "NetConnection", "NetStream"})
        defineEmptyClass(machine, global, QString::fromLatin1(name));
    Object* socket = defineEmptyClass(machine, global, QStringLiteral("XMLSocket"));
    machine.defineMethod(machine.getMember(Value(socket), QStringLiteral("prototype")).asObject(), QStringLiteral("connect"), no,
                         hidden);
    // A print job never starts. Its page and paper sizes are enumerable read-only properties of
    // the prototype, all 0 without a printer; scripts may cover the methods but not those.
    Object* printJob = defineEmptyClass(machine, global, QStringLiteral("PrintJob"));
    Object* printJobPrototype = machine.getMember(Value(printJob), QStringLiteral("prototype")).asObject();
    machine.defineMethod(printJobPrototype, QStringLiteral("start"), no, hidden);
    machine.defineMethod(printJobPrototype, QStringLiteral("addPage"), no, hidden);
    machine.defineMethod(printJobPrototype, QStringLiteral("send"), nothing, hidden);
    // Defined last to first, so that for..in lists them in Flash's order.
    for (const char* name : {"paperHeight", "paperWidth", "pageHeight", "pageWidth", "orientation"})
        printJobPrototype->defineVirtual(QString::fromLatin1(name), machine.makeNative([](Machine&, Object*, const Arguments&) { return Value(0); }), nullptr);

    // No screen reader is ever active.
    Object* accessibility = machine.makeObject();
    global->define(QStringLiteral("Accessibility"), Value(accessibility), property_flag::DontEnum);
    machine.defineMethod(accessibility, QStringLiteral("isActive"), no, hidden);
    machine.defineMethod(accessibility, QStringLiteral("sendEvent"), nothing, hidden);
    machine.defineMethod(accessibility, QStringLiteral("updateProperties"), nothing, hidden);

    // No input method editor is installed.
    if (Object* system = global->get(machine, QStringLiteral("System")).asObject()) {
        Object* ime = machine.makeObject();
        system->define(QStringLiteral("IME"), Value(ime), property_flag::DontEnum);
        machine.defineMethod(ime, QStringLiteral("getEnabled"), no, hidden);
        machine.defineMethod(ime, QStringLiteral("setEnabled"), no, hidden);
        machine.defineMethod(ime, QStringLiteral("getConversionMode"), [](Machine&, Object*, const Arguments&) {
            return Value(QStringLiteral("UNKNOWN"));
        }, hidden);
        machine.defineMethod(ime, QStringLiteral("setConversionMode"), no, hidden);
    }

    // flash.net (file dialogs, which never open) and flash.text.TextRenderer, from SWF 8 on as
    // the flash package itself.
    if (Object* flash = global->get(machine, QStringLiteral("flash")).asObject()) {
        Object* net = machine.makeObject();
        flash->define(QStringLiteral("net"), Value(net));
        defineEmptyClass(machine, net, QStringLiteral("FileReference"));
        installFileReferenceList(machine, net);
        Object* text = machine.makeObject();
        flash->define(QStringLiteral("text"), Value(text));
        defineEmptyClass(machine, text, QStringLiteral("TextRenderer"));
    }
}

} // namespace player::avm1::builtins
