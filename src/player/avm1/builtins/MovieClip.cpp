#include "Builtins.h"
#include "Declaration.h"
#include "MovieClipDrawing.h"
#include "MovieClipLook.h"
#include "TabIndex.h"

#include "player/avm1/ClipObject.h"
#include "player/avm1/FrameDestination.h"
#include "player/avm1/Machine.h"
#include "player/avm1/RegisteredClass.h"
#include "player/avm1/TargetPath.h"
#include "player/display/DisplayContainer.h"
#include "player/display/MovieClip.h"
#include "player/display/Bounds.h"
#include "player/display/MovieLibrary.h"
#include "player/render/HitTester.h"

#include <cmath>

namespace player::avm1::builtins {

namespace {

display::MovieClip* clipOf(Object* self)
{
    return movieClipOf(self);
}

display::DisplayObject* displayObjectOf(Object* object)
{
    return displayObjectOfClip(object);
}

Value movieLength(display::MovieClip* clip, bool total)
{
    if (!clip)
        return Value();
    if (!clip->library())
        return Value(0);
    // A clip whose load failed has no bytes, and no total to expect either.
    if (clip->standIn() != swf::StandIn::None)
        return Value(total && clip->standIn() == swf::StandIn::FailedLoad ? -1 : 0);
    // A clip a script made empty has no tags of its own to count.
    if (!clip->timeline() && !clip->isLevelRoot() && !clip->library()->movie().isPicture)
        return Value(0);
    // A sprite's instances count the bytes of the sprite's own tags, not those of the movie.
    if (const auto* sprite = clip->character() ? std::get_if<swf::Sprite>(clip->character().get()) : nullptr)
        return Value(double(sprite->tagBytes));
    return Value(double(clip->library()->movie().header.uncompressedLength));
}

// gotoAndPlay(frame) and gotoAndStop(frame).
Value gotoFrame(Machine& machine, Object* self, const Arguments& arguments, bool play)
{
    if (!clipOf(self))
        return Value();
    const Value frame = arguments.empty() ? Value() : arguments[0];
    if (std::optional<FrameDestination> destination = frameDestination(machine, self, frame, 0))
        machine.bridge().gotoFrame(destination->clip, destination->frame, play);
    return Value();
}

// getBounds(target) and getRect(target): the clip's bounds in the target's coordinates (its
// own without a target), the box around them when the two are turned or scaled differently.
// A target given that names no clip gives undefined. A clip with nothing in it has no bounds:
// Flash answers with its marker for them, 0x7FFFFFF twips on each side, or 0x8000000 seen from
// another clip once the player has switched to the newer marker (see newInvalidBounds).
Value clipBounds(Machine& machine, Object* self, const Arguments& arguments)
{
    display::MovieClip* clip = clipOf(self);
    if (!clip)
        return Value();
    display::DisplayObject* target = clip;
    if (!arguments.empty()) {
        const Value& value = arguments[0];
        if (Object* object = value.asObject(); object && object->kind() == ObjectKind::Clip)
            target = displayObjectOf(object);
        else if (value.isString())
            target = displayObjectOf(target_path::resolve(machine, self, value.asString()));
        else
            target = nullptr;
        if (!target)
            return Value();
    }
    if (!machine.newInvalidBounds()) {
        const display::DisplayObject* root = displayObjectOf(machine.bridge().level(0));
        if (machine.swfVersion() >= 8 || (root && root->swfVersion() >= 8))
            machine.setNewInvalidBounds();
    }
    constexpr double NoBounds = 0x7FFFFFF;
    constexpr double NoBoundsSeenFromElsewhere = 0x8000000;
    const swf::Rect local = clip->scriptBounds();
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    if (display::isEmptyRect(local)) {
        xMin = xMax = yMin = yMax = target != clip && machine.newInvalidBounds() ? NoBoundsSeenFromElsewhere : NoBounds;
    } else if (target == clip) {
        xMin = local.xMin;
        xMax = local.xMax;
        yMin = local.yMin;
        yMax = local.yMax;
    } else {
        QTransform toTarget = render::HitTester::stageTransform(*clip);
        const QTransform targetToStage = render::HitTester::stageTransform(*target);
        if (targetToStage.isInvertible())
            toTarget *= targetToStage.inverted();
        const QRectF mapped = toTarget.mapRect(QRectF(QPointF(local.xMin, local.yMin), QPointF(local.xMax, local.yMax)));
        xMin = std::round(mapped.left());
        xMax = std::round(mapped.right());
        yMin = std::round(mapped.top());
        yMax = std::round(mapped.bottom());
    }
    Object* result = machine.makeObject();
    result->set(machine, QStringLiteral("xMin"), Value(xMin / 20.0));
    result->set(machine, QStringLiteral("xMax"), Value(xMax / 20.0));
    result->set(machine, QStringLiteral("yMin"), Value(yMin / 20.0));
    result->set(machine, QStringLiteral("yMax"), Value(yMax / 20.0));
    return Value(result);
}

Value scriptObject(display::DisplayObject* object)
{
    Object* result = scriptObjectOf(object);
    return result ? Value(result) : Value();
}

// A clip that scripts create without a registered class calls onConstruct when it finds one
// (usually on MovieClip.prototype) before the creating call returns. What it throws is reported
// and goes no further.
void callOnConstruct(Machine& machine, Object* clip)
{
    if (!clip)
        return;
    const Value handler = clip->get(machine, QStringLiteral("onConstruct"));
    if (machine.isCallable(handler))
        machine.callTopLevel(handler, clip, {}, machine.swfVersion());
}

} // namespace

void installMovieClip(Machine& machine)
{
    Object* prototype = machine.makeObject();
    machine.prototypes().movieClip = prototype;
    defineClass(machine, QStringLiteral("MovieClip"), prototype, [](Machine&, Object*, const Arguments&) { return Value(); });

    const Declaration methods[] = {
        deletableMethod("play", [](Machine& machine, Object* self, const Arguments&) {
             machine.bridge().timelineCommand(self, DisplayBridge::TimelineCommand::Play);
             return Value();
         }),
        deletableMethod("stop", [](Machine& machine, Object* self, const Arguments&) {
             machine.bridge().timelineCommand(self, DisplayBridge::TimelineCommand::Stop);
             return Value();
         }),
        deletableMethod("nextFrame", [](Machine& machine, Object* self, const Arguments&) {
             machine.bridge().timelineCommand(self, DisplayBridge::TimelineCommand::NextFrame);
             return Value();
         }),
        deletableMethod("prevFrame", [](Machine& machine, Object* self, const Arguments&) {
             machine.bridge().timelineCommand(self, DisplayBridge::TimelineCommand::PreviousFrame);
             return Value();
         }),
        deletableMethod("gotoAndPlay", [](Machine& machine, Object* self, const Arguments& arguments) { return gotoFrame(machine, self, arguments, true); }),
        deletableMethod("gotoAndStop", [](Machine& machine, Object* self, const Arguments& arguments) { return gotoFrame(machine, self, arguments, false); }),
        method("getDepth", [](Machine&, Object* self, const Arguments&) {
             display::MovieClip* clip = clipOf(self);
             return clip ? Value(double(clip->depth())) : Value();
         }, attributes::hidden | property_flag::ReadOnly).from(6),
        deletableMethod("getNextHighestDepth", [](Machine&, Object* self, const Arguments&) {
             display::MovieClip* clip = clipOf(self);
             return clip ? Value(double(clip->nextHighestDepth())) : Value();
         }).from(7),
        deletableMethod("getInstanceAtDepth", [](Machine& machine, Object* self, const Arguments& arguments) {
             display::MovieClip* clip = clipOf(self);
             if (!clip || arguments.empty())
                 return Value();
             return scriptObject(clip->childAtDepth(machine.toInt32(arguments[0])));
         }).from(7),
        deletableMethod("swapDepths", [](Machine& machine, Object* self, const Arguments& arguments) {
             display::MovieClip* clip = clipOf(self);
             if (!clip)
                 return Value();
             // A number is a depth (NaN is 0); anything else names a target, a clip or a path
             // from this clip, which must share its parent.
             const Value target = argument(arguments, 0);
             if (target.isNumber()) {
                 clip->swapDepths(machine.toInt32(target));
                 return Value();
             }
             Object* named = target.isObject() ? target.asObject()
                 : target.isString()            ? target_path::resolve(machine, self, target.asString())
                                                : nullptr;
             const display::MovieClip* other = clipOf(named);
             if (other && other->parent() == clip->parent())
                 clip->swapDepths(other->depth());
             return Value();
         }),
        deletableMethod("createEmptyMovieClip", [](Machine& machine, Object* self, const Arguments& arguments) {
             display::MovieClip* clip = clipOf(self);
             if (!clip || arguments.size() < 2)
                 return Value();
             Value created = scriptObject(clip->createEmptyMovieClip(machine.toString(arguments[0]), machine.toInt32(arguments[1])));
             callOnConstruct(machine, created.asObject());
             return created;
         }).from(6),
        deletableMethod("attachMovie", [](Machine& machine, Object* self, const Arguments& arguments) {
             display::MovieClip* clip = clipOf(self);
             if (!clip || arguments.size() < 3)
                 return Value();
             QString exportName = machine.toString(arguments[0]);
             display::DisplayObject* made = clip->attachMovie(exportName, machine.toString(arguments[1]), machine.toInt32(arguments[2]));
             Object* object = scriptObjectOf(made);
             if (!object)
                 return Value();
             // An attached button takes neither the init object nor a registered class.
             display::MovieClip* attached = made->asMovieClip();
             if (!attached)
                 return Value(object);
             // A class registered for the symbol becomes the clip's prototype and runs as its
             // constructor; the init object's properties are copied first.
             const Value registered = registeredClassOf(machine, *attached);
             if (machine.isCallable(registered)) {
                 if (Object* prototypeObject = machine.getMember(registered, QStringLiteral("prototype")).asObject())
                     object->setPrototype(prototypeObject);
             }
             if (Object* initial = argument(arguments, 3).asObject()) {
                 std::vector<QString> names;
                 initial->enumerableNames(machine, names);
                 for (const QString& name : names)
                     object->set(machine, name, initial->get(machine, name));
             }
             if (machine.isCallable(registered))
                 machine.call(registered, object, {});
             else
                 callOnConstruct(machine, object);
             return Value(object);
         }),
        deletableMethod("duplicateMovieClip", [](Machine& machine, Object* self, const Arguments& arguments) {
             display::MovieClip* clip = clipOf(self);
             if (!clip || arguments.size() < 2)
                 return Value();
             display::MovieClip* copy = clip->duplicate(machine.toString(arguments[0]), machine.toInt32(arguments[1]));
             Object* object = scriptObjectOf(copy);
             if (object) {
                 if (Object* initial = argument(arguments, 2).asObject()) {
                     std::vector<QString> names;
                     initial->enumerableNames(machine, names);
                     for (const QString& name : names)
                         object->set(machine, name, initial->get(machine, name));
                 }
             }
             return object ? Value(object) : Value();
         }),
        deletableMethod("removeMovieClip", [](Machine& machine, Object* self, const Arguments&) {
             if (clipOf(self))
                 machine.bridge().removeClip(self);
             return Value();
         }),
        deletableMethod("getBounds", clipBounds),
        deletableMethod("getRect", clipBounds).from(8),
        // A movie is always loaded whole: both give the length of its file, uncompressed, or
        // of a sprite's tags.
        deletableMethod("getBytesLoaded", [](Machine&, Object* self, const Arguments&) { return movieLength(clipOf(self), false); }),
        deletableMethod("getBytesTotal", [](Machine&, Object* self, const Arguments&) { return movieLength(clipOf(self), true); }),
        deletableMethod("getSWFVersion", [](Machine&, Object* self, const Arguments&) {
             display::MovieClip* clip = clipOf(self);
             if (!clip)
                 return Value();
             // A clip that shows a loaded picture, or whose load failed, has no movie behind
             // it: Flash answers -1.
             if (clip->library() && (clip->library()->movie().isPicture || clip->standIn() == swf::StandIn::FailedLoad))
                 return Value(-1);
             return Value(int(clip->swfVersion()));
         }),
        deletableMethod("setMask", [](Machine& machine, Object* self, const Arguments& arguments) {
             display::MovieClip* clip = clipOf(self);
             if (!clip || arguments.empty())
                 return Value();
             // null and undefined take the mask away. Anything else names a display object, as
             // an object or as a target path from the calling script's clip; when it names
             // nothing, Flash answers false and keeps the mask there was.
             const Value& value = arguments[0];
             if (value.isUndefined() || value.isNull()) {
                 clip->setScriptMask(nullptr);
                 return Value(true);
             }
             display::DisplayObject* mask = displayObjectOf(value.asObject());
             if (!mask && !value.asObject()) {
                 Object* start = machine.scriptTarget() ? machine.scriptTarget() : machine.bridge().rootOf(self);
                 mask = displayObjectOf(target_path::resolve(machine, start, machine.toString(value)));
             }
             if (!mask)
                 return Value(false);
             // Masking by clip depth ends for both: the clip that gets a mask no longer masks its
             // timeline siblings, and the mask now masks only this clip (Flash does not apply a
             // timeline mask twice to a clip it also masks by script).
             clip->setClipDepth(std::nullopt);
             mask->setClipDepth(std::nullopt);
             clip->setScriptMask(mask->sharedFromThis());
             return Value(true);
         }).from(6),
        deletableMethod("getURL", [](Machine& machine, Object* self, const Arguments& arguments) {
             QString url = machine.toString(argument(arguments, 0));
             QString target = machine.toString(argument(arguments, 1));
             if (url.startsWith(QLatin1String("FSCommand:"), Qt::CaseInsensitive))
                 machine.bridge().fsCommand(url.mid(10), target);
             else
                 machine.bridge().getUrl(self, url, target, 0, false, false);
             return Value();
         }),
        deletableMethod("loadMovie", [](Machine& machine, Object* self, const Arguments& arguments) {
             if (clipOf(self))
                 machine.bridge().getUrl(self, machine.toString(argument(arguments, 0)), machine.bridge().targetPath(self, false), 0, true, false);
             return Value();
         }),
        deletableMethod("unloadMovie", [](Machine& machine, Object* self, const Arguments&) {
             if (clipOf(self))
                 machine.bridge().getUrl(self, QString(), machine.bridge().targetPath(self, false), 0, true, false);
             return Value();
         }),
    };
    installDeclarations(machine, prototype, methods);
    installClipPointerMethods(machine, prototype);
    installMovieClipDrawing(machine, prototype);
    installMovieClipLook(machine, prototype);
    // As on buttons, a plain default that instances override; the player reads it for the cursor.
    prototype->set(machine, QStringLiteral("useHandCursor"), Value(true));
    defineTabIndex(machine, prototype, property_flag::DontDelete);
    prototype->setAllFlags(property_flag::DontEnum, 0);
}

} // namespace player::avm1::builtins
