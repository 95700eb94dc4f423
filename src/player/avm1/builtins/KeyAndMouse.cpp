#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/InputPort.h"
#include "player/avm1/Machine.h"

namespace player::avm1::builtins {

namespace {

Value keyIsDown(Machine& machine, Object*, const Arguments& arguments)
{
    const InputPort* input = machine.bridge().input();
    return Value(input && !arguments.empty() && input->isKeyDown(machine.toInt32(arguments[0])));
}

Value keyIsToggled(Machine&, Object*, const Arguments&)
{
    return Value(false);
}

Value keyGetCode(Machine& machine, Object*, const Arguments&)
{
    const InputPort* input = machine.bridge().input();
    return Value(double(input ? input->lastKeyCode() : 0));
}

Value keyGetAscii(Machine& machine, Object*, const Arguments&)
{
    const InputPort* input = machine.bridge().input();
    return Value(double(input ? input->lastAscii() : 0));
}

// The player draws no cursor of its own: show and hide only answer as Flash does.
Value mouseShow(Machine&, Object*, const Arguments&)
{
    return Value(0.0);
}

Value mouseHide(Machine&, Object*, const Arguments&)
{
    return Value(1.0);
}

constexpr Declaration keyDeclarations[] = {
    number("ALT", 18),
    number("BACKSPACE", 8),
    number("CAPSLOCK", 20),
    number("CONTROL", 17),
    number("DELETEKEY", 46),
    number("DOWN", 40),
    number("END", 35),
    number("ENTER", 13),
    number("ESCAPE", 27),
    number("HOME", 36),
    number("INSERT", 45),
    number("LEFT", 37),
    number("PGDN", 34),
    number("PGUP", 33),
    number("RIGHT", 39),
    number("SHIFT", 16),
    number("SPACE", 32),
    number("TAB", 9),
    number("UP", 38),
    method("isDown", keyIsDown).native(800, 2),
    method("isToggled", keyIsToggled).native(800, 3),
    method("getCode", keyGetCode).native(800, 1),
    method("getAscii", keyGetAscii).native(800, 0),
};

constexpr Declaration mouseDeclarations[] = {
    method("show", mouseShow).native(5, 0),
    method("hide", mouseHide).native(5, 1),
};

} // namespace

// Key and Mouse broadcast the player's input to their listeners; Key also answers what is held
// and what was pressed last.
void installKeyAndMouse(Machine& machine)
{
    Object* key = machine.makeObject();
    machine.global()->define(QStringLiteral("Key"), Value(key), property_flag::DontEnum);
    broadcasterInitialize(machine, key);
    installDeclarations(machine, key, keyDeclarations);

    Object* mouse = machine.makeObject();
    machine.global()->define(QStringLiteral("Mouse"), Value(mouse), property_flag::DontEnum);
    broadcasterInitialize(machine, mouse);
    installDeclarations(machine, mouse, mouseDeclarations);
}

} // namespace player::avm1::builtins
