#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/ClipObject.h"
#include "player/avm1/DisplayBridge.h"
#include "player/avm1/Machine.h"
#include "player/avm1/TargetPath.h"
#include "player/display/MovieClip.h"
#include "player/display/MovieLibrary.h"

#include <cmath>

namespace player::avm1::builtins {

namespace {

// The target of loadClip, unloadClip and getProgress: a level by number, a clip, or a clip by
// its path. Anything else names nothing.
struct LoadTarget {
    bool valid = false;
    int level = -1;
    Object* clip = nullptr;
};

LoadTarget loadTarget(Machine& machine, const Value& target)
{
    LoadTarget result;
    if (target.isNumber()) {
        const double number = target.asNumber();
        if (!std::isfinite(number) || number < 0 || number > 0x7fffffff)
            return result;
        result.level = int(std::floor(number));
        result.valid = true;
        return result;
    }
    Object* clip = nullptr;
    if (target.isString()) {
        clip = target_path::resolve(machine, machine.bridge().level(0), target.asString());
    } else if (target.isObject()) {
        clip = target.asObject();
    }
    if (!machine.bridge().isClip(clip))
        return result;
    result.clip = clip;
    result.valid = true;
    return result;
}

Object* clipOrLevel(Machine& machine, const LoadTarget& target)
{
    return target.clip ? target.clip : machine.bridge().level(target.level);
}

// getProgress counts the bytes of the file the clip's movie came from, as they were read
// (compressed when the file is), whatever part of it the clip plays.
Value fileLengthOf(Object* clip)
{
    const display::MovieClip* movieClip = movieClipOf(clip);
    if (!movieClip || !movieClip->library())
        return Value();
    return Value(double(movieClip->library()->movie().header.fileLength));
}

Value loadClip(Machine& machine, Object* self, const Arguments& arguments)
{
    if (arguments.size() < 2)
        return Value();
    if (!arguments[0].isString())
        return Value(false);
    const LoadTarget target = loadTarget(machine, arguments[1]);
    if (!target.valid)
        return Value(false);
    machine.bridge().loadClip(self, nullptr, arguments[0].asString(), target.clip, target.clip ? -1 : target.level);
    return Value(true);
}

Value unloadClip(Machine& machine, Object*, const Arguments& arguments)
{
    if (arguments.empty())
        return Value();
    const LoadTarget target = loadTarget(machine, arguments[0]);
    if (!target.valid)
        return Value(false);
    if (target.clip)
        machine.bridge().getUrl(target.clip, QString(), machine.bridge().targetPath(target.clip, false), 0, true, false);
    else
        machine.bridge().getUrl(nullptr, QString(), QStringLiteral("_level%1").arg(target.level), 0, true, false);
    return Value(true);
}

Value getProgress(Machine& machine, Object*, const Arguments& arguments)
{
    if (arguments.empty())
        return Value();
    const LoadTarget target = loadTarget(machine, arguments[0]);
    if (!target.valid && !arguments[0].isString())
        return Value();
    Object* progress = machine.makeObject();
    Object* clip = target.valid ? clipOrLevel(machine, target) : nullptr;
    // A movie is always read whole, so both counts are the same.
    const Value length = fileLengthOf(clip);
    progress->set(machine, QStringLiteral("bytesLoaded"), length);
    progress->set(machine, QStringLiteral("bytesTotal"), length);
    return Value(progress);
}

constexpr Declaration prototypeDeclarations[] = {
    method("loadClip", loadClip).native(112, 100),
    method("unloadClip", unloadClip).native(112, 102),
    method("getProgress", getProgress).native(112, 101),
};

} // namespace

void installMovieClipLoader(Machine& machine)
{
    Object* prototype = machine.makeObject();
    auto construct = [](Machine& machine, Object* self, const Arguments&) -> Value {
        if (!self)
            return Value();
        broadcasterInitialize(machine, self);
        // A loader hears its own events: it is the first of its listeners.
        machine.callMethod(self->get(machine, QStringLiteral("_listeners")), QStringLiteral("push"), {Value(self)});
        return Value();
    };
    defineClass(machine, QStringLiteral("MovieClipLoader"), prototype, construct, construct);

    installDeclarations(machine, prototype, prototypeDeclarations);
}

} // namespace player::avm1::builtins
