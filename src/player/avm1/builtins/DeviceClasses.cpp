#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/ArrayObject.h"
#include "player/avm1/Machine.h"

#include <span>
#include <utility>

namespace player::avm1::builtins {

namespace {

// Each method keeps a function of its own, as each has its own native number.
template<int>
Value nothing(Machine&, Object*, const Arguments&)
{
    return Value();
}

template<int>
Value no(Machine&, Object*, const Arguments&)
{
    return Value(false);
}

template<int>
Value zero(Machine&, Object*, const Arguments&)
{
    return Value(0);
}

// Camera.get() and Microphone.get() give null when the computer has none.
template<int>
Value noDevice(Machine&, Object*, const Arguments&)
{
    return Value::null();
}

Value unknownConversionMode(Machine&, Object*, const Arguments&)
{
    return Value(QStringLiteral("UNKNOWN"));
}

constexpr Declaration cameraDeclarations[] = {
    method("get", noDevice<0>).native(2102, 200),
};

constexpr Declaration microphoneDeclarations[] = {
    method("get", noDevice<1>).native(2104, 200),
};

// A connection never connects: isConnected, a getter of the prototype, is false.
constexpr Declaration connectionPrototypeDeclarations[] = {
    accessor("isConnected", no<2>, nullptr, attributes::hidden),
};

constexpr Declaration socketPrototypeDeclarations[] = {
    method("connect", no<0>).native(400, 0),
};

// A print job never starts. Its page and paper sizes are enumerable read-only properties of
// the prototype, all 0 without a printer; scripts may cover the methods but not those. They are
// declared last to first, so that for..in lists them in Flash's order.
constexpr Declaration printJobPrototypeDeclarations[] = {
    method("start", no<1>).native(111, 100),
    method("addPage", no<2>).native(111, 101),
    method("send", nothing<0>).native(111, 102),
    getter("paperHeight", zero<0>, 0),
    getter("paperWidth", zero<1>, 0),
    getter("pageHeight", zero<2>, 0),
    getter("pageWidth", zero<3>, 0),
    getter("orientation", zero<4>, 0),
};

// No screen reader is ever active.
constexpr Declaration accessibilityDeclarations[] = {
    method("isActive", no<3>).native(1999, 0),
    method("sendEvent", nothing<1>).native(1999, 1),
    method("updateProperties", nothing<2>).native(1999, 2),
};

// No input method editor is installed.
constexpr Declaration imeDeclarations[] = {
    method("getEnabled", no<4>).native(13, 0),
    method("setEnabled", no<5>).native(13, 1),
    method("getConversionMode", unknownConversionMode).native(13, 2),
    method("setConversionMode", no<6>).native(13, 3),
};

// A class whose instances have nothing to work with here: a constructor and its prototype.
Object* defineEmptyClass(Machine& machine, Object* holder, const QString& name)
{
    Object* prototype = machine.makeObject();
    FunctionObject* constructor = defineClass(machine, QString(), prototype, nothing<3>);
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

    for (auto [name, rows] : {std::pair{"Camera", std::span<const Declaration>(cameraDeclarations)},
                              std::pair{"Microphone", std::span<const Declaration>(microphoneDeclarations)}}) {
        Object* device = defineEmptyClass(machine, global, QString::fromLatin1(name));
        installDeclarations(machine, device, rows);
        device->define(QStringLiteral("names"), Value(static_cast<Object*>(machine.makeArray())), attributes::hiddenPermanent);
    }
    Object* connection = defineEmptyClass(machine, global, QStringLiteral("NetConnection"));
    installDeclarations(machine, machine.getMember(Value(connection), QStringLiteral("prototype")).asObject(), connectionPrototypeDeclarations);
    defineEmptyClass(machine, global, QStringLiteral("NetStream"));
    // Videos a timeline places are Video objects.
    Object* video = defineEmptyClass(machine, global, QStringLiteral("Video"));
    machine.prototypes().video = machine.getMember(Value(video), QStringLiteral("prototype")).asObject();
    Object* socket = defineEmptyClass(machine, global, QStringLiteral("XMLSocket"));
    installDeclarations(machine, machine.getMember(Value(socket), QStringLiteral("prototype")).asObject(), socketPrototypeDeclarations);
    Object* printJob = defineEmptyClass(machine, global, QStringLiteral("PrintJob"));
    installDeclarations(machine, machine.getMember(Value(printJob), QStringLiteral("prototype")).asObject(), printJobPrototypeDeclarations);

    Object* accessibility = machine.makeObject();
    global->define(QStringLiteral("Accessibility"), Value(accessibility), property_flag::DontEnum);
    installDeclarations(machine, accessibility, accessibilityDeclarations);

    if (Object* system = global->get(machine, QStringLiteral("System")).asObject()) {
        Object* ime = machine.makeObject();
        system->define(QStringLiteral("IME"), Value(ime), property_flag::DontEnum);
        installDeclarations(machine, ime, imeDeclarations);
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
