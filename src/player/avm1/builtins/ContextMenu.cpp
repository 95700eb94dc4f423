#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/ArrayObject.h"
#include "player/avm1/Machine.h"

namespace player::avm1::builtins {

namespace {

// The menu the player would show on a right click. The player shows none, so a menu is only
// data that scripts build and read. Property order is visible to for..in and follows Flash.
Object* builtInItems(Machine& machine, bool shown)
{
    Object* items = machine.makeObject();
    // Made last to first, as an object literal makes them, so that for..in lists save first.
    for (const char* name : {"print", "forward_back", "rewind", "loop", "play", "quality", "zoom", "save"})
        items->set(machine, QString::fromLatin1(name), Value(shown));
    return items;
}

// The callback is taken as it is, even when missing.
Value constructMenu(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!self)
        return Value();
    self->set(machine, QStringLiteral("onSelect"), argument(arguments, 0));
    self->set(machine, QStringLiteral("builtInItems"), Value(builtInItems(machine, true)));
    self->set(machine, QStringLiteral("customItems"), machine.construct(machine.global()->get(machine, QStringLiteral("Array")), {}));
    return Value();
}

// The copy shares builtInItems with the original; custom items are copied one by one through
// their own copy methods.
Value copyMenu(Machine& machine, Object* self, const Arguments&)
{
    if (!self)
        return Value();
    Value copy = machine.construct(machine.global()->get(machine, QStringLiteral("ContextMenu")), {});
    Object* target = copy.asObject();
    if (!target)
        return copy;
    target->set(machine, QStringLiteral("onSelect"), self->get(machine, QStringLiteral("onSelect")));
    target->set(machine, QStringLiteral("builtInItems"), self->get(machine, QStringLiteral("builtInItems")));
    Value items = machine.construct(machine.global()->get(machine, QStringLiteral("Array")), {});
    target->set(machine, QStringLiteral("customItems"), items);
    for (int index = 0;; ++index) {
        Value source = self->get(machine, QStringLiteral("customItems"));
        if (index >= machine.toNumber(machine.getMember(source, QStringLiteral("length"))))
            break;
        Value item = machine.getMember(source, QString::number(index));
        machine.callMethod(items, QStringLiteral("push"), {machine.callMethod(item, QStringLiteral("copy"), {})});
    }
    return copy;
}

// A new object, so that other references to the old one see no change.
Value hideBuiltInItems(Machine& machine, Object* self, const Arguments&)
{
    if (self)
        self->set(machine, QStringLiteral("builtInItems"), Value(builtInItems(machine, false)));
    return Value();
}

// Null and undefined both select the defaults; nothing is converted.
Value constructItem(Machine& machine, Object* self, const Arguments& arguments)
{
    if (!self)
        return Value();
    auto orDefault = [&arguments](size_t index, bool fallback) {
        Value value = argument(arguments, index);
        return value.isNullish() ? Value(fallback) : value;
    };
    self->set(machine, QStringLiteral("caption"), argument(arguments, 0));
    self->set(machine, QStringLiteral("onSelect"), argument(arguments, 1));
    self->set(machine, QStringLiteral("separatorBefore"), orDefault(2, false));
    self->set(machine, QStringLiteral("enabled"), orDefault(3, true));
    self->set(machine, QStringLiteral("visible"), orDefault(4, true));
    return Value();
}

Value copyItem(Machine& machine, Object* self, const Arguments&)
{
    if (!self)
        return Value();
    Value copy = machine.construct(machine.global()->get(machine, QStringLiteral("ContextMenuItem")), {});
    if (Object* target = copy.asObject()) {
        for (const char* name : {"caption", "onSelect", "separatorBefore", "enabled", "visible"})
            target->set(machine, QString::fromLatin1(name), self->get(machine, QString::fromLatin1(name)));
    }
    return copy;
}

// Flash's own methods of the menu classes are hidden from movies before SWF 7.
constexpr Declaration menuPrototypeDeclarations[] = {
    method("copy", copyMenu).from(7),
    method("hideBuiltInItems", hideBuiltInItems).from(7),
};

constexpr Declaration itemPrototypeDeclarations[] = {
    method("copy", copyItem).from(7),
};

} // namespace

void installContextMenu(Machine& machine)
{
    Object* prototype = machine.makeObject();
    defineClass(machine, QStringLiteral("ContextMenu"), prototype, constructMenu);
    installDeclarations(machine, prototype, menuPrototypeDeclarations);
}

void installContextMenuItem(Machine& machine)
{
    Object* prototype = machine.makeObject();
    defineClass(machine, QStringLiteral("ContextMenuItem"), prototype, constructItem);
    installDeclarations(machine, prototype, itemPrototypeDeclarations);
}

} // namespace player::avm1::builtins
