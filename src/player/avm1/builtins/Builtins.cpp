#include "Builtins.h"
#include "XmlNode.h"

#include "player/avm1/Machine.h"

namespace player::avm1::builtins {

void defineFromVersion(Machine& machine, Object* target, const QString& name, const Value& value, int fromVersion, uint16_t flags)
{
    NativeFunction getter = [value, fromVersion](Machine& machine, Object*, const Arguments&) {
        return machine.swfVersion() >= fromVersion ? value : Value();
    };
    NativeFunction setter = [name](Machine&, Object* self, const Arguments& arguments) {
        if (self)
            self->define(name, argument(arguments, 0));
        return Value();
    };
    target->defineVirtual(name, machine.makeNative(std::move(getter)), machine.makeNative(std::move(setter)), flags);
}

// The built-in classes own a "constructor" of their own, the Function class, once it exists.
void giveFunctionAsConstructor(Machine& machine, Object* classConstructor)
{
    const Property* function = machine.global()->findOwn(QStringLiteral("Function"), true);
    if (function && !function->isVirtual() && function->value.isObject())
        classConstructor->define(QStringLiteral("constructor"), function->value, property_flag::DontEnum | property_flag::DontDelete);
}

FunctionObject* defineClass(Machine& machine, const QString& name, Object* prototype, NativeFunction call, NativeFunction construct)
{
    FunctionObject* constructor = machine.makeNative(std::move(call), std::move(construct));
    constructor->define(QStringLiteral("prototype"), Value(prototype), property_flag::DontEnum | property_flag::DontDelete);
    prototype->define(QStringLiteral("constructor"), Value(constructor), property_flag::DontEnum);
    giveFunctionAsConstructor(machine, constructor);
    if (!name.isEmpty())
        machine.global()->define(name, Value(constructor), property_flag::DontEnum);
    return constructor;
}

void installAll(Machine& machine)
{
    installObject(machine);
    installFunction(machine);
    installGlobalFunctions(machine);
    installArray(machine);
    installString(machine);
    installNumber(machine);
    installBoolean(machine);
    installMath(machine);
    installDate(machine);
    installError(machine);
    installAsBroadcaster(machine);
    installMovieClipLoader(machine);
    installSystem(machine);
    installKeyAndMouse(machine);
    installGeometry(machine);
    installExternalInterface(machine);
    installMovieClip(machine);
    installButton(machine);
    installColor(machine);
    installBitmapData(machine);
    installStage(machine);
    installTextField(machine);
    installTextSnapshot(machine);
    installFilters(machine);
    installGeometryTransforms(machine);
    installXmlNode(machine);
    installXml(machine);
    installSound(machine);
    installSelection(machine);
    installLoadVars(machine);
    installContextMenu(machine);
    installContextMenuItem(machine);
    installLocalConnection(machine);
    installSharedObject(machine);
    installDeviceClasses(machine);
    installNativeTables(machine);
}

} // namespace player::avm1::builtins
