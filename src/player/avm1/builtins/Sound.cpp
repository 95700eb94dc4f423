#include "Builtins.h"
#include "Declaration.h"
#include "DisplayTarget.h"

#include "player/avm1/Machine.h"
#include "player/avm1/Marker.h"
#include "player/avm1/NumberText.h"
#include "player/avm1/TargetPath.h"
#include "player/display/DisplayObject.h"
#include "player/display/MovieLibrary.h"

#include <cmath>
#include <map>
#include <optional>
#include <utility>

namespace player::avm1::builtins {

namespace {

// The volume and the four channel gains, in percent, that Sound objects set on a clip or, for
// those without a clip, on the whole movie. The player has no audio, so these are only kept
// and reported.
struct SoundTransform {
    int32_t volume = 100;
    int32_t leftToLeft = 100;
    int32_t leftToRight = 0;
    int32_t rightToLeft = 0;
    int32_t rightToRight = 100;

    // Flash takes the pan from the left gain when that is not 100, and then uses its magnitude,
    // whatever its sign.
    int32_t pan() const
    {
        int64_t value = leftToLeft != 100 ? 100 - std::abs(int64_t(leftToLeft)) : std::abs(int64_t(rightToRight)) - 100;
        return int32_t(value);
    }

    void setPan(int32_t pan)
    {
        leftToLeft = pan >= 0 ? int32_t(100 - int64_t(pan)) : 100;
        rightToRight = pan >= 0 ? 100 : int32_t(100 + int64_t(pan));
        leftToRight = 0;
        rightToLeft = 0;
    }
};

// Sound objects that share an owner share its transform: the mixer keeps them, out of the
// scripts' reach, for the Sound methods.
class SoundMixer : public Object {
public:
    SoundMixer()
        : Object(nullptr)
    {
    }

    SoundTransform& of(Object* owner) { return owner ? m_clips[owner] : m_movie; }

private:
    SoundTransform m_movie;
    std::map<Object*, SoundTransform> m_clips;
};

// A Sound object keeps its clip as a target path, as Flash does, and finds the clip again by
// that path each time: a renamed clip is lost to it, and whatever the path then leads to, a
// variable of the same name included, takes its place.
class SoundObject : public Object {
public:
    SoundObject(Object* prototype, Object* owner, QString ownerPath)
        : Object(prototype)
        , owner(owner)
        , ownerPath(std::move(ownerPath))
    {
    }

    Object* owner;
    QString ownerPath;
    // Made for something that is neither a clip nor a path (a number, a plain object): such a
    // Sound controls nothing, and its methods report nothing.
    bool controlsNothing = false;
    // The length of the library sound attachSound gave it, in whole milliseconds.
    std::optional<double> duration;

    void traceReferences(Marker& marker) override
    {
        Object::traceReferences(marker);
        marker.mark(owner);
    }
};

// The transform a Sound method works on: its clip's, or the movie's for a Sound without one.
// Anything but a Sound object, or one whose clip is gone, has none.
SoundTransform* transformOf(Machine& machine, Object* mixer, Object* self)
{
    auto* sound = dynamic_cast<SoundObject*>(machine.nativePartOf(self));
    if (!sound || sound->controlsNothing)
        return nullptr;
    Object* owner = sound->owner;
    if (owner) {
        owner = target_path::resolve(machine, machine.bridge().level(0), sound->ownerPath);
        if (!owner || !machine.bridge().isClip(owner))
            return nullptr;
    }
    return &static_cast<SoundMixer*>(mixer)->of(owner);
}

int32_t truncatedArgument(Machine& machine, const Arguments& arguments)
{
    return number_text::toTruncatedInt32(arguments.empty() ? 0 : machine.toNumber(arguments[0]));
}

Value getVolume(Machine& machine, Object* mixer, Object* self, const Arguments&)
{
    SoundTransform* transform = transformOf(machine, mixer, self);
    return transform ? Value(transform->volume) : Value();
}

Value setVolume(Machine& machine, Object* mixer, Object* self, const Arguments& arguments)
{
    if (SoundTransform* transform = transformOf(machine, mixer, self))
        transform->volume = truncatedArgument(machine, arguments);
    return Value();
}

Value getPan(Machine& machine, Object* mixer, Object* self, const Arguments&)
{
    SoundTransform* transform = transformOf(machine, mixer, self);
    return transform ? Value(transform->pan()) : Value();
}

Value setPan(Machine& machine, Object* mixer, Object* self, const Arguments& arguments)
{
    if (SoundTransform* transform = transformOf(machine, mixer, self))
        transform->setPan(truncatedArgument(machine, arguments));
    return Value();
}

// Flash's "lr" is the right input heard on the left, and "rl" the other way round.
Value getTransform(Machine& machine, Object* mixer, Object* self, const Arguments&)
{
    SoundTransform* transform = transformOf(machine, mixer, self);
    if (!transform)
        return Value();
    Object* result = machine.makeObject();
    result->set(machine, QStringLiteral("ll"), Value(transform->leftToLeft));
    result->set(machine, QStringLiteral("lr"), Value(transform->rightToLeft));
    result->set(machine, QStringLiteral("rr"), Value(transform->rightToRight));
    result->set(machine, QStringLiteral("rl"), Value(transform->leftToRight));
    return Value(result);
}

// Only the object's own properties count; the others keep their values.
Value setTransform(Machine& machine, Object* mixer, Object* self, const Arguments& arguments)
{
    SoundTransform* transform = transformOf(machine, mixer, self);
    if (!transform)
        return Value();
    Object* source = machine.toObject(argument(arguments, 0));
    if (!source)
        return Value();
    auto take = [&](const char* name, int32_t& term) {
        QString key = QString::fromLatin1(name);
        if (source->hasOwnProperty(machine, key))
            term = machine.toInt32(source->get(machine, key));
    };
    take("ll", transform->leftToLeft);
    take("rl", transform->leftToRight);
    take("lr", transform->rightToLeft);
    take("rr", transform->rightToRight);
    return Value();
}

// attachSound takes a sound the movie of the Sound's clip (or of level 0) exports under that
// name. The player has no audio: what it keeps of the sound is how long it is. A name that
// exports no sound leaves the Sound as it was.
Value attachSound(Machine& machine, Object*, Object* self, const Arguments& arguments)
{
    auto* sound = dynamic_cast<SoundObject*>(self);
    if (!sound || sound->controlsNothing || arguments.empty())
        return Value();
    Object* owner = sound->owner ? target_path::resolve(machine, machine.bridge().level(0), sound->ownerPath) : machine.bridge().level(0);
    display::DisplayObject* clip = owner ? displayObjectOf(machine, Value(owner)) : nullptr;
    const display::MovieLibrary* library = clip ? clip->library().get() : nullptr;
    if (!library)
        return Value();
    const std::optional<uint16_t> id = library->exportedId(machine.toString(arguments[0]).toStdString());
    const swf::SoundDefinition* definition = id ? library->sound(*id) : nullptr;
    if (definition)
        sound->duration = std::round(definition->durationMilliseconds());
    return Value();
}

// How long the attached sound is; undefined before one is attached.
template<int>
Value duration(Machine&, Object*, Object* self, const Arguments&)
{
    auto* sound = dynamic_cast<SoundObject*>(self);
    return sound && sound->duration ? Value(*sound->duration) : Value();
}

// Without audio no sound is ever loaded or played, so these report nothing. Each name keeps a
// function of its own, as each has its own native number.
template<int>
Value nothing(Machine&, Object*, const Arguments&)
{
    return Value();
}

template<int>
Value loadedBytes(Machine& machine, Object*, const Arguments&)
{
    return machine.swfVersion() >= 6 ? Value(1) : Value();
}

constexpr uint16_t constant = attributes::constant;

constexpr Declaration prototypeDeclarations[] = {
    method("getVolume", getVolume, constant).native(500, 2),
    method("setVolume", setVolume, constant).native(500, 5),
    method("getPan", getPan, constant).native(500, 0),
    method("setPan", setPan, constant).native(500, 3),
    method("getTransform", getTransform, constant).native(500, 1),
    method("setTransform", setTransform, constant).native(500, 4),
    method("attachSound", attachSound, constant).native(500, 7),
    method("start", nothing<1>, constant).native(500, 8),
    method("stop", nothing<2>, constant).native(500, 6),
    // Loading, positions and durations came with Flash Player 6: SWF 5 movies do not see them.
    method("loadSound", nothing<3>, constant).native(500, 13).from(6),
    method("setDuration", nothing<4>, constant).native(500, 10).from(6),
    method("setPosition", nothing<5>, constant).native(500, 12).from(6),
    method("getDuration", duration<0>, constant).native(500, 9).from(6),
    method("getPosition", nothing<7>, constant).native(500, 11).from(6),
    method("id3", nothing<8>, constant),
    method("getBytesLoaded", loadedBytes<0>, constant).native(500, 14).from(6),
    method("getBytesTotal", loadedBytes<1>, constant).native(500, 15).from(6),
    getter("duration", duration<1>, constant),
    getter("position", nothing<10>, constant),
    boolean("checkPolicyFile", false, attributes::hidden),
};

} // namespace

void installSound(Machine& machine)
{
    Object* prototype = machine.makeObject();
    Object* mixer = machine.make<SoundMixer>();
    machine.addRoot(mixer);
    installDeclarations(machine, prototype, prototypeDeclarations, mixer);
    // new Sound(clip) works on that clip's sounds; a path is followed from the root. Without a
    // target (or with null or undefined) it works on the whole movie's; any other target gives
    // a Sound that controls nothing.
    NativeFunction construct = [](Machine& machine, Object* self, const Arguments& arguments) -> Value {
        Object* owner = nullptr;
        bool controlsNothing = false;
        if (!arguments.empty()) {
            Value target = arguments[0];
            if (Object* object = target.asObject(); object && machine.bridge().isClip(object))
                owner = object;
            else if (target.isString())
                owner = target_path::resolve(machine, machine.bridge().level(0), target.asString());
            else if (!target.isUndefined() && !target.isNull())
                controlsNothing = true;
        }
        QString ownerPath = owner ? machine.bridge().targetPath(owner, false) : QString();
        // A sound new made (for Sound or a subclass) is set up in place.
        auto* sound = dynamic_cast<SoundObject*>(self);
        if (sound) {
            sound->owner = owner;
            sound->ownerPath = ownerPath;
        } else {
            sound = machine.make<SoundObject>(self ? self->prototype() : nullptr, owner, ownerPath);
        }
        sound->controlsNothing = controlsNothing;
        return Value(static_cast<Object*>(sound));
    };
    defineClass(machine, QStringLiteral("Sound"), prototype, [](Machine&, Object*, const Arguments&) { return Value(); }, construct);
    machine.registerInstanceMaker(prototype, [](Machine& machine, Object* instancePrototype) -> Object* {
        return machine.make<SoundObject>(instancePrototype, nullptr, QString());
    });
}

} // namespace player::avm1::builtins
