#include "Builtins.h"

#include "player/avm1/Machine.h"

#include <QStringList>

#include <algorithm>
#include <limits>

namespace player::avm1::builtins {

namespace {

// Where Flash's numbered native functions live among the built-ins that are still installed
// one defineMethod at a time (declared classes number theirs in their rows): the functions of
// one table are numbered from a first index in the order Flash lists them. A leading digit on a
// name is the SWF version the function came with, as ASSetNative writes it.
struct NativeTableEntry {
    int table;
    int firstIndex;
    const char* owner;
    const char* names;
};

constexpr NativeTableEntry nativeTableEntries[] = {
    {4, 0, "", "ASSetNative,ASSetNativeAccessor"},
    {101, 9, "", "Object"},
    {103, 256, "", "Date"},
    {104, 200, "MovieClip.prototype", "createTextField"},
    {900, 0, "MovieClip.prototype", "attachMovie,swapDepths,localToGlobal,globalToLocal,hitTest,getBounds,getBytesTotal,"
                                    "getBytesLoaded,6attachAudio,6attachVideo,6getDepth,6setMask,play,stop,nextFrame,prevFrame,"
                                    "gotoAndPlay,gotoAndStop,duplicateMovieClip,removeMovieClip,startDrag,stopDrag,"
                                    "7getNextHighestDepth,7getInstanceAtDepth,getSWFVersion,8attachBitmap,8getRect"},
    {901, 0, "MovieClip.prototype", "6createEmptyMovieClip,6beginFill,6beginGradientFill,6moveTo,6lineTo,6curveTo,"
                                    "6lineStyle,6endFill,6clear,8lineGradientStyle,8beginMeshFill,8beginBitmapFill"},
};

// The version a name in a native list carries, and the name without it: "6" to "9" and "10"
// are versions; any other leading "1" is dropped as well, as Flash does.
uint16_t takeVersionPrefix(QString& name)
{
    if (name.isEmpty())
        return 0;
    switch (name[0].unicode()) {
    case u'6': name.remove(0, 1); return property_flag::FromVersion6;
    case u'7': name.remove(0, 1); return property_flag::FromVersion7;
    case u'8': name.remove(0, 1); return property_flag::FromVersion8;
    case u'9': name.remove(0, 1); return property_flag::FromVersion9;
    case u'1':
        name.remove(0, 1);
        if (name.startsWith(u'0')) {
            name.remove(0, 1);
            return property_flag::FromVersion10;
        }
        return 0;
    default:
        return 0;
    }
}

// Follows a dotted path of own properties from the global object, hidden ones included.
Object* ownerOf(Machine& machine, const QString& path)
{
    Object* object = machine.global();
    if (path.isEmpty())
        return object;
    for (const QString& part : path.split(u'.')) {
        const Property* property = object ? object->findOwn(part, true) : nullptr;
        object = property && !property->isVirtual() ? property->value.asObject() : nullptr;
    }
    return object;
}

// The Math table answers every number: those without a function read two arguments as Math's
// functions do and give NaN.
constexpr int32_t mathTable = 200;

// ASnative(table, index): the built-in function of that number, or undefined.
Value nativeFunction(Machine& machine, int32_t table, int32_t index)
{
    auto found = machine.nativeTable().find({table, index});
    if (found == machine.nativeTable().end() && table == mathTable)
        found = machine.nativeTable().find({mathTable, -1});
    return found == machine.nativeTable().end() ? Value() : Value(found->second);
}

// ASSetNative(object, table, "names", first) and ASSetNativeAccessor: give an object the
// numbered functions under the listed names. Empty names skip a number; a name the object did
// not have before gets the version flags of its prefix.
Value setNative(Machine& machine, const Arguments& arguments, bool accessor)
{
    if (arguments.size() < 3)
        return Value();
    Object* object = machine.toObject(arguments[0]);
    int32_t table = machine.toInt32(arguments[1]);
    QString names = machine.toString(arguments[2]);
    int32_t index = arguments.size() > 3 ? machine.toInt32(arguments[3]) : 0;
    if (!object)
        return Value();
    for (QString name : names.split(u',')) {
        uint16_t versionFlags = takeVersionPrefix(name);
        Value function = nativeFunction(machine, table, index++);
        Value setter = accessor ? nativeFunction(machine, table, index++) : Value();
        if (name.isEmpty())
            continue;
        bool hadProperty = object->findOwn(name, machine.caseSensitive()) != nullptr;
        if (accessor) {
            if (!function.isObject())
                continue;
            object->defineVirtual(name, function.asObject(), setter.asObject());
        } else {
            object->set(machine, name, function);
        }
        if (!hadProperty || accessor)
            object->setFlags(name, versionFlags, 0, machine.caseSensitive());
    }
    return Value();
}

} // namespace

void installNativeTables(Machine& machine)
{
    Object* global = machine.global();
    const uint16_t hidden = property_flag::DontEnum;
    machine.defineMethod(global, QStringLiteral("ASnative"), [](Machine& machine, Object*, const Arguments& arguments) {
        if (arguments.size() != 2)
            return Value();
        return nativeFunction(machine, machine.toInt32(arguments[0]), machine.toInt32(arguments[1]));
    }, hidden);
    machine.defineMethod(global, QStringLiteral("ASSetNative"), [](Machine& machine, Object*, const Arguments& arguments) {
        return setNative(machine, arguments, false);
    }, hidden);
    machine.defineMethod(global, QStringLiteral("ASSetNativeAccessor"), [](Machine& machine, Object*, const Arguments& arguments) {
        return setNative(machine, arguments, true);
    }, hidden);

    // ASnew: whether the script function that asks was called by "new".
    FunctionObject* asNew = machine.makeNative([](Machine& machine, Object*, const Arguments&) {
        return Value(machine.runningAsConstructor());
    });
    machine.nativeTable()[{2, 0}] = asNew;
    machine.addRoot(asNew);

    FunctionObject* unknownMath = machine.makeNative([](Machine& machine, Object*, const Arguments& arguments) {
        for (size_t i = 0; i < std::min<size_t>(arguments.size(), 2); ++i)
            machine.toNumber(arguments[i]);
        return Value(std::numeric_limits<double>::quiet_NaN());
    });
    machine.nativeTable()[{mathTable, -1}] = unknownMath;
    machine.addRoot(unknownMath);

    for (const NativeTableEntry& entry : nativeTableEntries) {
        Object* owner = ownerOf(machine, QString::fromLatin1(entry.owner));
        int index = entry.firstIndex;
        for (QString name : QString::fromLatin1(entry.names).split(u',')) {
            takeVersionPrefix(name);
            const Property* property = owner ? owner->findOwn(name, true) : nullptr;
            Object* function = property && !property->isVirtual() ? property->value.asObject() : nullptr;
            if (function && function->kind() == ObjectKind::Function) {
                machine.nativeTable()[{entry.table, index}] = function;
                machine.addRoot(function);
            }
            ++index;
        }
    }
}

} // namespace player::avm1::builtins
