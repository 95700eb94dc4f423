#include "Declaration.h"

#include "Builtins.h"

#include "player/avm1/Machine.h"

namespace player::avm1::builtins {

uint16_t versionFlags(int swfVersion)
{
    switch (swfVersion) {
    case 6: return property_flag::FromVersion6;
    case 7: return property_flag::FromVersion7;
    case 8: return property_flag::FromVersion8;
    case 9: return property_flag::FromVersion9;
    case 10: return property_flag::FromVersion10;
    default: return 0;
    }
}

namespace {

// A numbered function stays what ASnative answers even after scripts replace the property.
void registerNative(Machine& machine, int table, int index, Object* function)
{
    machine.nativeTable()[{table, index}] = function;
    machine.addRoot(function);
}

FunctionObject* makeFunction(Machine& machine, NativeMethod function, SharedStateMethod sharedFunction, Object* sharedState)
{
    if (sharedFunction) {
        return machine.makeNative([sharedFunction, sharedState](Machine& machine, Object* self, const Arguments& arguments) {
            return sharedFunction(machine, sharedState, self, arguments);
        });
    }
    return function ? machine.makeNative(function) : nullptr;
}

} // namespace

void installDeclarations(Machine& machine, Object* object, std::span<const Declaration> rows, Object* sharedState)
{
    for (const Declaration& row : rows) {
        const QString name = QString::fromLatin1(row.name);
        const uint16_t flags = row.attributes | versionFlags(row.version);
        switch (row.kind) {
        case Declaration::Kind::Method: {
            FunctionObject* function = makeFunction(machine, row.function, row.sharedFunction, sharedState);
            if (row.readableVersion)
                defineFromVersion(machine, object, name, Value(function), row.readableVersion, flags);
            else
                object->define(name, Value(function), flags);
            if (row.hasNativeNumber())
                registerNative(machine, row.nativeTable, row.nativeIndex, function);
            break;
        }
        case Declaration::Kind::Accessor: {
            FunctionObject* getter = makeFunction(machine, row.function, row.sharedFunction, sharedState);
            FunctionObject* setter = makeFunction(machine, row.setter, row.sharedSetter, sharedState);
            object->defineVirtual(name, getter, setter, flags);
            if (row.hasNativeNumber()) {
                registerNative(machine, row.nativeTable, row.nativeIndex, getter);
                if (setter)
                    registerNative(machine, row.nativeTable, row.nativeIndex + 1, setter);
            }
            break;
        }
        case Declaration::Kind::Number:
            object->define(name, Value(row.number), flags);
            break;
        case Declaration::Kind::Boolean:
            object->define(name, Value(row.number != 0), flags);
            break;
        }
    }
}

} // namespace player::avm1::builtins
