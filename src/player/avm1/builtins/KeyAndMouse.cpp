#include "Builtins.h"

#include "player/avm1/InputPort.h"
#include "player/avm1/Machine.h"

namespace player::avm1::builtins {

// Key and Mouse broadcast the player's input to their listeners; Key also answers what is held
// and what was pressed last.
void installKeyAndMouse(Machine& machine)
{
    Object* key = machine.makeObject();
    machine.global()->define(QStringLiteral("Key"), Value(key), property_flag::DontEnum);
    broadcasterInitialize(machine, key);
    const uint8_t constant = property_flag::DontEnum | property_flag::DontDelete | property_flag::ReadOnly;
    const std::pair<const char*, int> codes[] = {
        {"ALT", 18}, {"BACKSPACE", 8}, {"CAPSLOCK", 20}, {"CONTROL", 17}, {"DELETEKEY", 46}, {"DOWN", 40},
        {"END", 35}, {"ENTER", 13}, {"ESCAPE", 27}, {"HOME", 36}, {"INSERT", 45}, {"LEFT", 37},
        {"PGDN", 34}, {"PGUP", 33}, {"RIGHT", 39}, {"SHIFT", 16}, {"SPACE", 32}, {"TAB", 9}, {"UP", 38}};
    for (const auto& [name, code] : codes)
        key->define(QString::fromLatin1(name), Value(double(code)), constant);
    machine.defineMethod(key, QStringLiteral("isDown"), [](Machine& machine, Object*, const Arguments& arguments) {
        const InputPort* input = machine.bridge().input();
        return Value(input && !arguments.empty() && input->isKeyDown(machine.toInt32(arguments[0])));
    });
    machine.defineMethod(key, QStringLiteral("isToggled"), [](Machine&, Object*, const Arguments&) { return Value(false); });
    machine.defineMethod(key, QStringLiteral("getCode"), [](Machine& machine, Object*, const Arguments&) {
        const InputPort* input = machine.bridge().input();
        return Value(double(input ? input->lastKeyCode() : 0));
    });
    machine.defineMethod(key, QStringLiteral("getAscii"), [](Machine& machine, Object*, const Arguments&) {
        const InputPort* input = machine.bridge().input();
        return Value(double(input ? input->lastAscii() : 0));
    });

    Object* mouse = machine.makeObject();
    machine.global()->define(QStringLiteral("Mouse"), Value(mouse), property_flag::DontEnum);
    broadcasterInitialize(machine, mouse);
    machine.defineMethod(mouse, QStringLiteral("show"), [](Machine&, Object*, const Arguments&) { return Value(0.0); });
    machine.defineMethod(mouse, QStringLiteral("hide"), [](Machine&, Object*, const Arguments&) { return Value(1.0); });
}

} // namespace player::avm1::builtins
