#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/Machine.h"

namespace player::avm1::builtins {

namespace {

// Allowing a domain succeeds whenever one is named, even as undefined; with none it fails.
Value allowDomain(Machine&, Object*, const Arguments& arguments)
{
    return Value(!arguments.empty());
}

Value loadPolicyFile(Machine&, Object*, const Arguments&)
{
    return Value();
}

// System.Product stands for an installable product; nothing is ever downloaded or launched.
Value constructProduct(Machine&, Object*, const Arguments&)
{
    return Value();
}

Value refuse(Machine&, Object*, const Arguments&)
{
    return Value(false);
}

Value showSettings(Machine&, Object*, const Arguments&)
{
    return Value();
}

constexpr Declaration securityDeclarations[] = {
    method("allowDomain", allowDomain),
    method("allowInsecureDomain", allowDomain),
    method("loadPolicyFile", loadPolicyFile),
};

constexpr Declaration productPrototypeDeclarations[] = {
    method("launch", refuse),
    method("download", refuse),
};

constexpr Declaration systemDeclarations[] = {
    method("setClipboard", refuse),
    method("showSettings", showSettings),
};

} // namespace

void installSystem(Machine& machine)
{
    Object* system = machine.makeObject();
    machine.global()->define(QStringLiteral("System"), Value(system), property_flag::DontEnum);
    const uint8_t fixed = property_flag::DontEnum | property_flag::DontDelete | property_flag::ReadOnly;

    // What a Flash Player 9 on Linux reports: the program plays movies of that era.
    Object* capabilities = machine.makeObject();
    system->define(QStringLiteral("capabilities"), Value(capabilities), property_flag::DontEnum);
    capabilities->define(QStringLiteral("version"), Value("LNX 9,0,280,0"), fixed);
    capabilities->define(QStringLiteral("os"), Value("Linux"), fixed);
    capabilities->define(QStringLiteral("manufacturer"), Value("Adobe Linux"), fixed);
    capabilities->define(QStringLiteral("playerType"), Value("StandAlone"), fixed);
    capabilities->define(QStringLiteral("language"), Value("en"), fixed);
    capabilities->define(QStringLiteral("screenResolutionX"), Value(1024.0), fixed);
    capabilities->define(QStringLiteral("screenResolutionY"), Value(768.0), fixed);
    capabilities->define(QStringLiteral("screenDPI"), Value(72.0), fixed);
    capabilities->define(QStringLiteral("screenColor"), Value("color"), fixed);
    capabilities->define(QStringLiteral("pixelAspectRatio"), Value(1.0), fixed);
    capabilities->define(QStringLiteral("isDebugger"), Value(false), fixed);
    capabilities->define(QStringLiteral("hasAudio"), Value(false), fixed);
    capabilities->define(QStringLiteral("hasMP3"), Value(false), fixed);
    capabilities->define(QStringLiteral("hasVideoEncoder"), Value(false), fixed);
    capabilities->define(QStringLiteral("localFileReadDisable"), Value(true), fixed);
    capabilities->define(QStringLiteral("avHardwareDisable"), Value(true), fixed);
    capabilities->define(QStringLiteral("serverString"), Value("OS=Linux&V=LNX%209%2C0%2C280%2C0"), fixed);
    // Streams, screen sharing, printing, video, encoders, screen readers, input methods and
    // secure sockets: the player has none of them.
    for (const char* name : {"hasStreamingVideo", "hasStreamingAudio", "hasScreenPlayback", "hasScreenBroadcast", "hasPrinting",
                             "hasEmbeddedVideo", "hasAudioEncoder", "hasAccessibility", "hasIME", "hasTLS"})
        capabilities->define(QString::fromLatin1(name), Value(false), fixed);
    capabilities->define(QStringLiteral("windowlessDisable"), Value(true), fixed);

    Object* security = machine.makeObject();
    system->define(QStringLiteral("security"), Value(security), property_flag::DontEnum);
    installDeclarations(machine, security, securityDeclarations);

    Object* productPrototype = machine.makeObject();
    FunctionObject* product = defineClass(machine, QString(), productPrototype, constructProduct);
    system->define(QStringLiteral("Product"), Value(product), property_flag::DontEnum);
    installDeclarations(machine, productPrototype, productPrototypeDeclarations);
    installDeclarations(machine, system, systemDeclarations);
    system->define(QStringLiteral("useCodepage"), Value(false), property_flag::DontEnum);
    system->define(QStringLiteral("exactSettings"), Value(true), property_flag::DontEnum | property_flag::FromVersion6);
}

} // namespace player::avm1::builtins
