#include "Builtins.h"

#include "player/avm1/Machine.h"
#include "player/avm1/Marker.h"
#include "player/avm1/NumberText.h"
#include "player/avm1/TargetPath.h"

#include <cmath>
#include <map>
#include <memory>
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

// Sound objects that share an owner share its transform.
struct SoundTransforms {
    SoundTransform movie;
    std::map<Object*, SoundTransform> clips;

    SoundTransform& of(Object* owner) { return owner ? clips[owner] : movie; }
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

    void traceReferences(Marker& marker) override
    {
        Object::traceReferences(marker);
        marker.mark(owner);
    }
};

SoundObject* asSound(Object* object)
{
    return dynamic_cast<SoundObject*>(object);
}

using TransformMethod = std::function<Value(Machine&, SoundTransform&, const Arguments&)>;

void defineTransformMethod(Machine& machine, Object* prototype, const char* name, std::shared_ptr<SoundTransforms> transforms,
                           TransformMethod method)
{
    FunctionObject* function = machine.makeNative([transforms, method](Machine& machine, Object* self, const Arguments& arguments) {
        SoundObject* sound = asSound(self);
        if (!sound)
            return Value();
        Object* owner = sound->owner;
        if (owner) {
            owner = target_path::resolve(machine, machine.bridge().level(0), sound->ownerPath);
            if (!owner || !machine.bridge().isClip(owner))
                return Value();
        }
        return method(machine, transforms->of(owner), arguments);
    });
    prototype->define(QString::fromLatin1(name), Value(function),
                      property_flag::DontEnum | property_flag::DontDelete | property_flag::ReadOnly);
}

void defineTransformMethods(Machine& machine, Object* prototype, const std::shared_ptr<SoundTransforms>& transforms)
{
    defineTransformMethod(machine, prototype, "getVolume", transforms, [](Machine&, SoundTransform& transform, const Arguments&) {
        return Value(transform.volume);
    });
    defineTransformMethod(machine, prototype, "setVolume", transforms, [](Machine& machine, SoundTransform& transform, const Arguments& arguments) {
        transform.volume = number_text::toTruncatedInt32(arguments.empty() ? 0 : machine.toNumber(arguments[0]));
        return Value();
    });
    defineTransformMethod(machine, prototype, "getPan", transforms, [](Machine&, SoundTransform& transform, const Arguments&) {
        return Value(transform.pan());
    });
    defineTransformMethod(machine, prototype, "setPan", transforms, [](Machine& machine, SoundTransform& transform, const Arguments& arguments) {
        transform.setPan(number_text::toTruncatedInt32(arguments.empty() ? 0 : machine.toNumber(arguments[0])));
        return Value();
    });
    // Flash's "lr" is the right input heard on the left, and "rl" the other way round.
    defineTransformMethod(machine, prototype, "getTransform", transforms, [](Machine& machine, SoundTransform& transform, const Arguments&) {
        Object* result = machine.makeObject();
        result->set(machine, QStringLiteral("ll"), Value(transform.leftToLeft));
        result->set(machine, QStringLiteral("lr"), Value(transform.rightToLeft));
        result->set(machine, QStringLiteral("rr"), Value(transform.rightToRight));
        result->set(machine, QStringLiteral("rl"), Value(transform.leftToRight));
        return Value(result);
    });
    // Only the object's own properties count; the others keep their values.
    defineTransformMethod(machine, prototype, "setTransform", transforms, [](Machine& machine, SoundTransform& transform, const Arguments& arguments) {
        Object* source = machine.toObject(argument(arguments, 0));
        if (!source)
            return Value();
        auto take = [&](const char* name, int32_t& term) {
            QString key = QString::fromLatin1(name);
            if (source->hasOwnProperty(machine, key))
                term = machine.toInt32(source->get(machine, key));
        };
        take("ll", transform.leftToLeft);
        take("rl", transform.leftToRight);
        take("lr", transform.rightToLeft);
        take("rr", transform.rightToRight);
        return Value();
    });
}

void defineSoundMethods(Machine& machine, Object* prototype)
{
    const uint16_t flags = property_flag::DontEnum | property_flag::DontDelete | property_flag::ReadOnly;
    auto constant = [](Value value) {
        return [value](Machine&, Object*, const Arguments&) { return value; };
    };
    // Without audio no sound is ever attached or loaded, so these report nothing.
    for (const char* name : {"attachSound", "start", "stop", "loadSound", "setDuration", "setPosition", "getDuration", "getPosition"})
        machine.defineMethod(prototype, QString::fromLatin1(name), constant(Value()), flags);
    machine.defineMethod(prototype, QStringLiteral("id3"), constant(Value()), flags);
    for (const char* name : {"getBytesLoaded", "getBytesTotal"}) {
        machine.defineMethod(prototype, QString::fromLatin1(name), [](Machine& machine, Object*, const Arguments&) {
            return machine.swfVersion() >= 6 ? Value(1) : Value();
        }, flags);
    }
    for (const char* name : {"duration", "position"}) {
        prototype->defineVirtual(QString::fromLatin1(name), machine.makeNative(constant(Value())), nullptr, flags);
    }
}

} // namespace

void installSound(Machine& machine)
{
    Object* prototype = machine.makeObject();
    auto transforms = std::make_shared<SoundTransforms>();
    defineTransformMethods(machine, prototype, transforms);
    defineSoundMethods(machine, prototype);
    prototype->define(QStringLiteral("checkPolicyFile"), Value(false), property_flag::DontEnum);
    // new Sound(clip) works on that clip's sounds; a path is followed from the root.
    NativeFunction construct = [](Machine& machine, Object* self, const Arguments& arguments) -> Value {
        Object* owner = nullptr;
        if (!arguments.empty()) {
            Value target = arguments[0];
            if (Object* object = target.asObject(); object && machine.bridge().isClip(object))
                owner = object;
            else if (target.isString())
                owner = target_path::resolve(machine, machine.bridge().level(0), target.asString());
        }
        QString ownerPath = owner ? machine.bridge().targetPath(owner, false) : QString();
        return Value(static_cast<Object*>(machine.make<SoundObject>(self ? self->prototype() : nullptr, owner, ownerPath)));
    };
    defineClass(machine, QStringLiteral("Sound"), prototype, [](Machine&, Object*, const Arguments&) { return Value(); }, construct);
}

} // namespace player::avm1::builtins
