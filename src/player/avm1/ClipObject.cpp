#include "ClipObject.h"

#include "ClipBinding.h"
#include "InputPort.h"
#include "Machine.h"
#include "Marker.h"
#include "NumberText.h"
#include "builtins/SelectionFocus.h"
#include "player/display/DisplayContainer.h"
#include "player/display/EditTextInstance.h"
#include "player/display/MovieClip.h"

#include <cmath>

namespace player::avm1 {

namespace {

enum class ClipProperty {
    None, X, Y, XScale, YScale, Rotation, Alpha, Visible, Width, Height, CurrentFrame, TotalFrames,
    FramesLoaded, Name, Target, Parent, Root, Url, DropTarget, XMouse, YMouse, HighQuality, Quality,
    FocusRect, SoundBufferTime, Enabled, LockRoot
};

// Every clip property and path starts with an underscore but "enabled": a name that starts
// otherwise is none of them, and is looked up among the slots at once.
bool canBeClipProperty(const QString& name)
{
    return !name.isEmpty() && (name[0] == u'_' || name[0] == u'e');
}

// __proto__ in any case: a read of it gives the prototype, never a slot of that name.
bool isProtoName(const QString& name)
{
    return name.size() == 9 && name.startsWith(QLatin1String("__"))
           && name.compare(QLatin1String("__proto__"), Qt::CaseInsensitive) == 0;
}

ClipProperty propertyOf(const QString& name)
{
    if (name.isEmpty() || (name[0] != u'_' && name != QLatin1String("enabled")))
        return ClipProperty::None;
    static const std::pair<const char*, ClipProperty> table[] = {
        {"_x", ClipProperty::X}, {"_y", ClipProperty::Y}, {"_xscale", ClipProperty::XScale},
        {"_yscale", ClipProperty::YScale}, {"_rotation", ClipProperty::Rotation}, {"_alpha", ClipProperty::Alpha},
        {"_visible", ClipProperty::Visible}, {"_width", ClipProperty::Width}, {"_height", ClipProperty::Height},
        {"_currentframe", ClipProperty::CurrentFrame}, {"_totalframes", ClipProperty::TotalFrames},
        {"_framesloaded", ClipProperty::FramesLoaded}, {"_name", ClipProperty::Name}, {"_target", ClipProperty::Target},
        {"_parent", ClipProperty::Parent}, {"_root", ClipProperty::Root}, {"_url", ClipProperty::Url},
        {"_droptarget", ClipProperty::DropTarget}, {"_xmouse", ClipProperty::XMouse}, {"_ymouse", ClipProperty::YMouse},
        {"_highquality", ClipProperty::HighQuality}, {"_quality", ClipProperty::Quality},
        {"_focusrect", ClipProperty::FocusRect}, {"_soundbuftime", ClipProperty::SoundBufferTime},
        {"enabled", ClipProperty::Enabled}, {"_lockroot", ClipProperty::LockRoot}};
    // Clip properties ignore case in every SWF version.
    for (const auto& [text, property] : table) {
        if (name.compare(QLatin1String(text), Qt::CaseInsensitive) == 0)
            return property;
    }
    return ClipProperty::None;
}

// Up to SWF 5 every object's _focusrect is the player's; later only the levels' is.
bool refersToStageFocusRect(const Machine& machine, const display::DisplayObject& object)
{
    return machine.swfVersion() <= 5 || (object.kind() == display::DisplayKind::MovieClip && !object.parent());
}

bool isInteractive(const display::DisplayObject& object)
{
    const display::DisplayKind kind = object.kind();
    return kind == display::DisplayKind::MovieClip || kind == display::DisplayKind::Button
           || kind == display::DisplayKind::EditText;
}

// The paths every clip answers besides _root and _parent: _global (from SWF 6 on) and the levels
// _levelN, also spelt _flashN, where N is the digits that follow (none is level 0). Their case
// follows the movie's rule.
std::optional<Value> pathProperty(Machine& machine, const QString& name)
{
    if (name.size() < 6 || name[0] != u'_')
        return std::nullopt;
    const Qt::CaseSensitivity sensitivity = machine.nameCase();
    if (machine.swfVersion() >= 6 && name.compare(QLatin1String("_global"), sensitivity) == 0)
        return Value(machine.global());
    if (!name.startsWith(QLatin1String("_level"), sensitivity) && !name.startsWith(QLatin1String("_flash"), sensitivity))
        return std::nullopt;
    qsizetype position = 6;
    const bool negative = position < name.size() && name[position] == u'-';
    if (negative)
        ++position;
    uint32_t number = 0;
    for (; position < name.size() && name[position].isDigit(); ++position)
        number = number * 10 + uint32_t(name[position].digitValue());
    const int level = negative ? -int(number) : int(number);
    Object* object = machine.bridge().level(level);
    return object ? Value(object) : Value();
}

// Clips, buttons and editable text have script objects of their own; other display objects
// do not. Buttons became objects with SWF 6: in an older movie a button is no more addressable
// than a shape.
bool isAddressable(const display::DisplayObject& object)
{
    const display::DisplayKind kind = object.kind();
    return kind == display::DisplayKind::MovieClip || kind == display::DisplayKind::EditText
           || (kind == display::DisplayKind::Button && object.swfVersion() >= 6)
           || kind == display::DisplayKind::Video;
}

// The level a display object is under and the names from that level down to it; false when it
// is a level itself or is not under one.
bool findPlace(const display::DisplayObject& object, int& level, std::vector<QString>& names)
{
    std::vector<QString> upwards;
    const display::DisplayObject* at = &object;
    for (; at->parent(); at = at->parent())
        upwards.push_back(at->name());
    const display::MovieClip* root = at->asMovieClip();
    if (upwards.empty() || !root || !root->isLevelRoot())
        return false;
    level = root->levelNumber();
    names.assign(upwards.rbegin(), upwards.rend());
    return true;
}

} // namespace

ClipObject::ClipObject(Object* prototype, const std::shared_ptr<display::DisplayObject>& displayObject)
    : Object(prototype, ObjectKind::Clip)
    , m_displayObject(displayObject)
    , m_displayObjectAddress(displayObject.get())
    , m_movieClip(displayObject && displayObject->isMovieClip())
{
    // A reference names the clip by the place it was given when it came: a later change of
    // _name does not move it.
    if (m_movieClip)
        findPlace(*displayObject, m_placeLevel, m_place);
}

void ClipObject::leaveStage(Machine& machine, const display::DisplayObject& object)
{
    if (!m_movieClip)
        return;
    m_placeMachine = &machine;
    if (m_place.empty())
        findPlace(object, m_placeLevel, m_place);
}

ClipObject* ClipObject::current() const
{
    if (displayObject())
        return const_cast<ClipObject*>(this);
    if (!standsForPlace())
        return nullptr;
    Machine& machine = *m_placeMachine;
    Object* level = machine.bridge().level(m_placeLevel);
    display::DisplayObject* at = level && level->kind() == ObjectKind::Clip ? static_cast<ClipObject*>(level)->displayObject() : nullptr;
    for (const QString& name : m_place) {
        display::DisplayContainer* container = at ? at->asContainer() : nullptr;
        at = container ? container->childByName(name, machine.caseSensitive()) : nullptr;
    }
    if (!at || !at->isMovieClip())
        return nullptr;
    Object* found = scriptObjectOf(at);
    return found && found != this ? static_cast<ClipObject*>(found) : nullptr;
}

int ClipObject::swfVersion() const
{
    const display::DisplayObject* object = displayObject();
    return object ? object->swfVersion() : 8;
}

display::MovieClip* ClipObject::clip() const
{
    display::DisplayObject* object = reachedDisplayObject();
    return object ? object->asMovieClip() : nullptr;
}

bool ClipObject::getSpecial(Machine& machine, const QString& name, Value& result)
{
    // Where a clip that has left the stage is still on a scope chain, the clip now in its place
    // answers the names it has; other names are looked up as before the clip left.
    if (standsForPlace()) {
        ClipObject* live = current();
        return live && live->lookup(machine, name, result);
    }
    if (canBeClipProperty(name) && clipProperty(machine, name, result))
        return true;
    // Named children come after the clip's own variables. A variable that holds a plain value
    // the running code sees is the answer at once, so that a read searches the slots only once;
    // an accessor, a hidden slot or __proto__ is left to the ordinary lookup.
    if (const Property* own = findOwn(name, machine.caseSensitive())) {
        if (own->getter || own->setter || !own->isVisibleTo(machine.swfVersion()) || isProtoName(name))
            return false;
        result = own->value;
        return true;
    }
    return namedChild(machine, name, result);
}

bool ClipObject::mayNameClipProperty(const QString& name)
{
    return canBeClipProperty(name) || (!name.isEmpty() && name[0] == u'E');
}

ClipObject::Reading ClipObject::readWithoutScripts(Machine& machine, const QString& name, Value& result)
{
    // The order getSpecial and the lookup after it follow: clip properties (none once the clip
    // has left), then the variables, then the named children.
    if (standsForPlace())
        return Reading::Unsure;
    if (canBeClipProperty(name) && (name[0] == u'_' || propertyOf(name) != ClipProperty::None) && displayObject())
        return Reading::Unsure;
    if (isProtoName(name))
        return Reading::Unsure;
    if (const Property* own = findOwn(name, machine.caseSensitive())) {
        // A variable hidden from the running code hides no child either.
        if (!own->isVisibleTo(machine.swfVersion()))
            return Reading::Missing;
        if (own->getter)
            return Reading::Unsure;
        result = own->setter ? Value() : own->value;
        return Reading::Found;
    }
    return namedChild(machine, name, result) ? Reading::Found : Reading::Missing;
}

// The display properties (_x, _alpha, _parent, _target…) are read through the object but are
// none of its own: hasOwnProperty answers for what scripts stored on it.
bool ClipObject::hasOwnSpecial(Machine& machine, const QString& name)
{
    if (standsForPlace()) {
        ClipObject* live = current();
        return live && live->hasOwnPropertyForScripts(machine, name);
    }
    return false;
}

void ClipObject::enumerableNames(Machine& machine, std::vector<QString>& names)
{
    if (standsForPlace()) {
        if (ClipObject* live = current())
            live->enumerableNames(machine, names);
        return;
    }
    Object::enumerableNames(machine, names);
}

void ClipObject::specialNames(std::vector<QString>& names)
{
    display::DisplayObject* object = displayObject();
    display::DisplayContainer* container = object ? object->asContainer() : nullptr;
    if (!container)
        return;
    // Named shapes, morph shapes, static text and bitmaps are listed too: each stands for the
    // clip that holds it.
    for (const auto& [depth, child] : container->children()) {
        if (!child->name().isEmpty() && (scriptObjectOf(child.get()) || !isAddressable(*child)))
            names.push_back(child->name());
    }
}

bool ClipObject::clipProperty(Machine& machine, const QString& name, Value& result)
{
    display::DisplayObject* object = displayObject();
    if (!object)
        return false;
    if (std::optional<Value> path = pathProperty(machine, name)) {
        result = *path;
        return true;
    }
    ClipProperty property = propertyOf(name);
    // The paths _root and _parent follow the movie's case rule (from SWF 7 on, "_ROOT" is an
    // ordinary name); the other clip properties ignore case in every version.
    if ((property == ClipProperty::Root || property == ClipProperty::Parent) && machine.caseSensitive()
        && name != QLatin1String(property == ClipProperty::Root ? "_root" : "_parent"))
        property = ClipProperty::None;
    display::MovieClip* clip = object->asMovieClip();
    switch (property) {
    case ClipProperty::None:
        break;
    case ClipProperty::X: result = Value(object->x()); return true;
    case ClipProperty::Y: result = Value(object->y()); return true;
    case ClipProperty::XScale: result = Value(object->xScale()); return true;
    case ClipProperty::YScale: result = Value(object->yScale()); return true;
    case ClipProperty::Rotation: result = Value(object->rotation()); return true;
    case ClipProperty::Alpha: result = Value(object->alpha()); return true;
    case ClipProperty::Visible: result = Value(object->isVisible()); return true;
    case ClipProperty::Width: result = Value(object->width()); return true;
    case ClipProperty::Height: result = Value(object->height()); return true;
    case ClipProperty::CurrentFrame: {
        // A clip a script made empty shows no frame until the next frame of the movie comes.
        const int frame = !clip ? 1 : clip->timeline() ? std::max(1, clip->currentFrame()) : clip->currentFrame();
        result = Value(double(frame));
        return true;
    }
    case ClipProperty::TotalFrames: result = Value(double(clip ? clip->totalFrames() : 1)); return true;
    case ClipProperty::FramesLoaded: result = Value(double(clip ? clip->framesLoaded() : 1)); return true;
    case ClipProperty::Name: result = Value(object->name()); return true;
    case ClipProperty::Target: result = Value(object->slashPath()); return true;
    case ClipProperty::Parent: {
        // A parent scripts cannot address (a button of SWF 5) is passed over for its own.
        display::DisplayObject* parent = object->parent();
        while (parent && !isAddressable(*parent))
            parent = parent->parent();
        Object* parentObject = scriptObjectOf(parent);
        result = parentObject ? Value(parentObject) : Value();
        return true;
    }
    case ClipProperty::Root: {
        Object* root = scriptObjectOf(object->scriptRoot());
        result = root ? Value(root) : Value();
        return true;
    }
    case ClipProperty::Url: result = Value(object->library() ? object->library()->scriptUrl() : QString()); return true;
    case ClipProperty::DropTarget: {
        InputPort* input = machine.bridge().input();
        result = Value(input ? input->dropTargetPath(*object) : QString());
        return true;
    }
    case ClipProperty::XMouse:
    case ClipProperty::YMouse: {
        InputPort* input = machine.bridge().input();
        const QPointF mouse = input ? input->mouseIn(*object) : QPointF();
        result = Value(property == ClipProperty::XMouse ? mouse.x() : mouse.y());
        return true;
    }
    case ClipProperty::HighQuality: {
        // The older view of the quality: 0 for low, 2 for best, 1 for the others.
        const QString& quality = machine.quality();
        result = Value(quality == QLatin1String("LOW") ? 0.0 : quality == QLatin1String("BEST") ? 2.0 : 1.0);
        return true;
    }
    case ClipProperty::Quality: result = Value(machine.quality()); return true;
    case ClipProperty::FocusRect:
        if (refersToStageFocusRect(machine, *object)) {
            const bool shown = machine.stageFocusRect();
            result = machine.swfVersion() <= 5 ? Value(shown ? 1.0 : 0.0) : Value(shown);
        } else if (isInteractive(*object)) {
            result = m_focusRect ? Value(*m_focusRect) : Value::null();
        } else {
            result = Value();
        }
        return true;
    case ClipProperty::SoundBufferTime: result = Value(double(machine.soundBufferTime())); return true;
    case ClipProperty::Enabled:
        if (findOwn(name, machine.caseSensitive()))
            return false;
        result = Value(clip ? clip->isEnabled() : true);
        return true;
    case ClipProperty::LockRoot:
        // Only movie clips have it; on buttons and text fields it is a plain property.
        if (!clip)
            return false;
        result = Value(clip->locksRoot());
        return true;
    }
    return false;
}

bool ClipObject::namedChild(Machine& machine, const QString& name, Value& result)
{
    display::DisplayObject* object = displayObject();
    if (!object)
        return false;
    if (display::DisplayContainer* container = object->asContainer()) {
        if (display::DisplayObject* child = container->childByName(name, machine.caseSensitive())) {
            // A named child that scripts cannot address on its own (a shape, a static text)
            // stands for the clip that holds it.
            if (!isAddressable(*child)) {
                result = Value(static_cast<Object*>(this));
                return true;
            }
            if (Object* childObject = scriptObjectOf(child)) {
                result = Value(childObject);
                return true;
            }
        }
    }
    return false;
}

Value ClipObject::get(Machine& machine, const QString& name)
{
    // A read through a reference to a clip that has left the stage reads the clip now in its
    // place, or nothing.
    if (standsForPlace()) {
        ClipObject* live = current();
        return live ? live->get(machine, name) : Value();
    }
    return Object::get(machine, name);
}

void ClipObject::set(Machine& machine, const QString& name, const Value& value)
{
    // A write through it goes to the clip now in its place, or nowhere.
    if (standsForPlace()) {
        if (ClipObject* live = current())
            live->set(machine, name, value);
        return;
    }
    Object::set(machine, name, value);
}

bool ClipObject::setSpecial(Machine& machine, const QString& name, const Value& value)
{
    display::DisplayObject* object = displayObject();
    if (!object)
        return false;
    ClipProperty property = propertyOf(name);
    if (property == ClipProperty::None)
        return false;
    double number = 0;
    auto readNumber = [&]() {
        // The numeric properties leave the clip as it is for undefined and null, whatever the
        // version makes of them as numbers, and for anything that converts to NaN. Infinity
        // goes through: each property stores it its own way.
        if (value.isUndefined() || value.isNull())
            return false;
        number = machine.toNumber(value);
        return !std::isnan(number);
    };
    switch (property) {
    case ClipProperty::X: if (readNumber()) { object->setX(number); object->setTransformedByScript(true); } return true;
    case ClipProperty::Y: if (readNumber()) { object->setY(number); object->setTransformedByScript(true); } return true;
    case ClipProperty::XScale: if (readNumber()) { object->setXScale(number); object->setTransformedByScript(true); } return true;
    case ClipProperty::YScale: if (readNumber()) { object->setYScale(number); object->setTransformedByScript(true); } return true;
    case ClipProperty::Rotation: if (readNumber()) { object->setRotation(number); object->setTransformedByScript(true); } return true;
    case ClipProperty::Alpha: if (readNumber()) { object->setAlpha(number); object->setTransformedByScript(true); } return true;
    case ClipProperty::Width:
    case ClipProperty::Height:
        if (readNumber()) {
            // A text field's box changes size; its text is not stretched.
            if (object->kind() == display::DisplayKind::EditText)
                static_cast<display::EditTextInstance*>(object)->resize(property == ClipProperty::Width ? number : object->width(),
                                                                        property == ClipProperty::Height ? number : object->height());
            else if (property == ClipProperty::Width)
                object->setWidth(number);
            else
                object->setHeight(number);
            object->setTransformedByScript(true);
        }
        return true;
    case ClipProperty::Visible:
        // Shown for any number but 0: a string that is no number ("true" included) is ignored.
        if (readNumber()) {
            object->setVisible(number != 0);
            if (number == 0)
                builtins::loseFocusWhenHidden(machine, this);
        }
        return true;
    case ClipProperty::Name:
        // From SWF 7 on, a NaN given as a name becomes "0"; older movies get "NaN" like any
        // other conversion to text.
        if (machine.swfVersion() >= 7 && value.isNumber() && std::isnan(value.asNumber()))
            object->setName(QStringLiteral("0"));
        else
            object->setName(machine.toString(value));
        return true;
    case ClipProperty::FocusRect:
        if (refersToStageFocusRect(machine, *object)) {
            // The levels share the player's setting: null and undefined leave it, an object
            // turns it off, anything else is on unless it is the number 0.
            if (value.isObject())
                machine.setStageFocusRect(false);
            else if (readNumber())
                machine.setStageFocusRect(number != 0);
        } else if (isInteractive(*object)) {
            if (value.isUndefined() || value.isNull())
                m_focusRect.reset();
            else
                m_focusRect = machine.toBoolean(value);
        }
        return true;
    case ClipProperty::HighQuality:
        // 0 is low, 2 and above best, any other number high.
        if (readNumber())
            machine.setQuality(number == 0 ? QStringLiteral("LOW") : number >= 2 ? QStringLiteral("BEST") : QStringLiteral("HIGH"));
        return true;
    case ClipProperty::Quality: {
        // Only the quality names count; anything else leaves the quality as it is.
        const QString quality = machine.toString(value).toUpper();
        if (quality == QLatin1String("LOW") || quality == QLatin1String("MEDIUM") || quality == QLatin1String("HIGH")
            || quality == QLatin1String("BEST"))
            machine.setQuality(quality);
        return true;
    }
    case ClipProperty::SoundBufferTime:
        // Whole seconds in 32 bits, as Flash stores its settings.
        if (readNumber())
            machine.setSoundBufferTime(number_text::toTruncatedInt32(number));
        return true;
    case ClipProperty::Enabled:
        if (display::MovieClip* clip = object->asMovieClip())
            clip->setEnabled(machine.toBoolean(value));
        return false; // also kept as a plain property, as Flash does
    case ClipProperty::LockRoot:
        if (display::MovieClip* clip = object->asMovieClip()) {
            clip->setLocksRoot(machine.toBoolean(value));
            return true;
        }
        return false;
    default:
        // The read-only ones (_currentframe, _target…) ignore writes.
        return true;
    }
}

void ClipObject::traceReferences(Marker& marker)
{
    Object::traceReferences(marker);
    marker.mark(m_styleSheet);
    marker.mark(m_shownVariableObject);
}

Object* scriptObjectOf(display::DisplayObject* object)
{
    if (!object)
        return nullptr;
    auto* binding = dynamic_cast<ClipBinding*>(object->scriptBinding());
    return binding ? binding->object() : nullptr;
}

} // namespace player::avm1
