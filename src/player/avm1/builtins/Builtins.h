#pragma once

#include "player/avm1/ClipObject.h"
#include "player/avm1/FunctionObject.h"
#include "player/avm1/Value.h"

namespace player::avm1 {

class Machine;
class Object;

// The built-in classes and global functions, one file each. installAll puts them all on the
// machine's global object in the order they depend on each other.
namespace builtins {

void installAll(Machine& machine);

void installObject(Machine& machine);
void installFunction(Machine& machine);
void installGlobalFunctions(Machine& machine);
void installArray(Machine& machine);
void installString(Machine& machine);
void installNumber(Machine& machine);
void installBoolean(Machine& machine);
void installMath(Machine& machine);
void installDate(Machine& machine);
void installError(Machine& machine);
void installAsBroadcaster(Machine& machine);
// MovieClipLoader; after AsBroadcaster, whose methods its instances get.
void installMovieClipLoader(Machine& machine);
void installSystem(Machine& machine);
void installKeyAndMouse(Machine& machine);
void installExternalInterface(Machine& machine);
void installGeometry(Machine& machine);
void installMovieClip(Machine& machine);
// hitTest, localToGlobal, globalToLocal, startDrag and stopDrag on the MovieClip prototype.
void installClipPointerMethods(Machine& machine, Object* prototype);
void installButton(Machine& machine);
void installColor(Machine& machine);
// flash.display.BitmapData and MovieClip.attachBitmap; after MovieClip and flash.geom.
void installBitmapData(Machine& machine);
void installStage(Machine& machine);
void installTextField(Machine& machine);
// flash.filters and the "filters" property of clips, buttons and text fields; after TextField.
void installFilters(Machine& machine);
// Sound objects without audio: volume, pan and channel gains are kept and reported.
void installSound(Machine& machine);
// The Selection object: focus moved by scripts, with its events.
void installSelection(Machine& machine);
// TextSnapshot, and MovieClip.getTextSnapshot; after MovieClip.
void installTextSnapshot(Machine& machine);
// LoadVars, reading local files only; decodeVariables sets name=value pairs on an object.
void installLoadVars(Machine& machine);
void decodeVariables(Machine& machine, Object* target, const QString& text);
// Gives an object that starts loading a hidden "loaded" property set to false.
void markNotLoaded(Machine& machine, Object* target);
// Context menus and local connections: data and no-ops, as the player shows no menu and
// plays one movie alone.
void installContextMenu(Machine& machine);
void installContextMenuItem(Machine& machine);
void installLocalConnection(Machine& machine);
// SharedObject.getLocal, kept in memory only: the player never writes files.
void installSharedObject(Machine& machine);
// A text field bound to a variable takes its value, or gives it its text when it has none.
void bindTextFieldVariable(Machine& machine, Object* field);
// The filters property of display objects (a new array of filter objects each read).
void defineFiltersProperty(Machine& machine, Object* prototype, uint16_t flags);
// duplicateMovieClip on a text field: a new, empty field with the original's placement
// (matrix and colour) and type, at the depth in the original's clip. False when the object is
// not a text field.
bool duplicateTextField(Machine& machine, Object* field, const QString& name, int depth);
// A bound text field shows what a clip's variable holds now (once a frame).
void showTextFieldVariable(Machine& machine, Object* field);
// A new text field object is a broadcaster whose first listener is itself: onChanged and
// onScroller reach every listener. (Focus events are the field's own.)
void initializeTextFieldListeners(Machine& machine, Object* field);
// Matrix, ColorTransform and Transform in flash.geom; after MovieClip, whose "transform" they add.
void installGeometryTransforms(Machine& machine);
void installTransform(Machine& machine, Object* geometry);

// Cameras, microphones, streams, sockets, printing, accessibility, IME and file dialogs, none of
// which the player has; after System and the flash package.
void installDeviceClasses(Machine& machine);

// ASnative, ASSetNative and ASSetNativeAccessor, numbering the built-in functions installed
// before it: installed last.
void installNativeTables(Machine& machine);

// flash.net.FileReferenceList, put on the given package object.
void installFileReferenceList(Machine& machine, Object* holder);

// AsBroadcaster.initialize: gives an object a listener list and the three methods.
void broadcasterInitialize(Machine& machine, Object* target);

// Small helpers for native functions.
// The clip's script object that an object is, or null for any other object (or none).
inline ClipObject* asClipObject(Object* object)
{
    return object && object->kind() == ObjectKind::Clip ? static_cast<ClipObject*>(object) : nullptr;
}
// What a clip's script object stands for, as a display object or as the movie clip it is; null
// for any other object and for a clip object whose clip is gone. A movie clip that has left the
// stage stands for the clip now in its place.
inline display::DisplayObject* displayObjectOfClip(Object* object)
{
    ClipObject* clipObject = asClipObject(object);
    return clipObject ? clipObject->reachedDisplayObject() : nullptr;
}
inline display::MovieClip* movieClipOf(Object* object)
{
    ClipObject* clipObject = asClipObject(object);
    return clipObject ? clipObject->clip() : nullptr;
}

inline Value argument(const Arguments& arguments, size_t index)
{
    return index < arguments.size() ? arguments[index] : Value();
}

// Gives a built-in class its own "constructor", the Function class.
void giveFunctionAsConstructor(Machine& machine, Object* classConstructor);
// A constructor function with its prototype object linked both ways, put on _global.
FunctionObject* defineClass(Machine& machine, const QString& name, Object* prototype, NativeFunction call, NativeFunction construct = {});

// A property that exists in every version but holds its value only for movies of fromVersion
// on: older ones read undefined, as Flash gives them for built-in functions newer than they
// are. Assigning gives the receiver a plain property of its own.
void defineFromVersion(Machine& machine, Object* target, const QString& name, const Value& value, int fromVersion, uint16_t flags);

} // namespace builtins

} // namespace player::avm1
