#pragma once

#include "Object.h"
#include "player/display/DisplayObject.h"

#include <optional>

#include <memory>

namespace player::display {
class MovieClip;
} // namespace player::display

namespace player::avm1 {

// The script object of a clip on the display list. Clip properties (_x, _alpha, _currentframe…)
// and named children read and write the display object; everything else is an ordinary
// property. The display object is held weakly: a script may keep the object after the clip is
// gone, and then sees no clip properties.
class ClipObject : public Object {
public:
    ClipObject(Object* prototype, const std::shared_ptr<display::DisplayObject>& displayObject);

    // The display object while it is on the stage; null once it has left. Asked at every
    // call, so inline. Scripts and the display list run on one thread: an object that has not
    // expired now stays alive until the script lets go of it.
    display::DisplayObject* displayObject() const
    {
        return !m_displayObject.expired() && !m_displayObjectAddress->isRemoved() ? m_displayObjectAddress : nullptr;
    }
    // The movie clip a script reaches through this object: its own while it is on the stage,
    // else the one now at the place it left (see current).
    display::MovieClip* clip() const;
    // Whether the object stands for a movie clip (rather than a button, text field or video),
    // on the stage or not.
    bool isMovieClipObject() const { return m_movieClip; }

    // A reference to a movie clip is its path: once the clip has left the stage, the reference
    // reaches whatever clip now has that name under the same parents, and nothing while there
    // is none. This object itself while its clip is on the stage; else the clip object now at
    // its place, or null.
    ClipObject* current() const;
    // The display object of current(): what a script reaches through this object.
    display::DisplayObject* reachedDisplayObject() const
    {
        const ClipObject* live = current();
        return live ? live->displayObject() : nullptr;
    }
    // Whether the clip has left the stage and the object now only names its place.
    bool standsForPlace() const { return m_placeMachine && !m_place.empty() && !displayObject(); }
    // The clip is leaving the stage: from now on its place is looked up again.
    void leaveStage(Machine& machine, const display::DisplayObject& object);
    // The SWF version of the movie the object comes from (8 once it has left).
    int swfVersion() const;

    // A text field's style sheet (TextField.styleSheet), kept here so that the collector sees it.
    const Value& styleSheet() const { return m_styleSheet; }
    void setStyleSheet(const Value& sheet) { m_styleSheet = sheet; }
    // The object a text field last showed from its variable: the field takes an object's text
    // when the variable is given the object, not each time it is read.
    Object* shownVariableObject() const { return m_shownVariableObject; }
    void setShownVariableObject(Object* object) { m_shownVariableObject = object; }
    // A clip's or button's tabIndex; none until a script sets one.
    std::optional<int32_t> tabIndex() const { return m_tabIndex; }
    void setTabIndex(std::optional<int32_t> index) { m_tabIndex = index; }
    void traceReferences(Marker& marker) override;
    void enumerableNames(Machine& machine, std::vector<QString>& names) override;
    Value get(Machine& machine, const QString& name) override;
    void set(Machine& machine, const QString& name, const Value& value) override;

    // What a variable lookup finds on the clip itself (its clip properties, variables and named
    // children), for a caller that must not run a script: Found with the value, Missing when the
    // lookup goes on to the prototype, or Unsure when only the ordinary lookup can tell (a name
    // that may be a clip property or __proto__, a variable with a getter).
    enum class Reading { Found, Missing, Unsure };
    Reading readWithoutScripts(Machine& machine, const QString& name, Value& result);
    // Whether a name may be a clip property or path (_x, _parent, enabled…): every one starts
    // with an underscore or an "e". Other names are only ever variables or named children.
    static bool mayNameClipProperty(const QString& name);

protected:
    bool getSpecial(Machine& machine, const QString& name, Value& result) override;
    bool setSpecial(Machine& machine, const QString& name, const Value& value) override;
    // Named children are members of the clip, listed by for..in, but not its own properties.
    bool hasOwnSpecial(Machine& machine, const QString& name) override;
    void specialNames(std::vector<QString>& names) override;

private:
    bool clipProperty(Machine& machine, const QString& name, Value& result);
    bool namedChild(Machine& machine, const QString& name, Value& result);

    std::weak_ptr<display::DisplayObject> m_displayObject;

    // The same object, to reach it without locking the weak pointer: used only while the weak
    // pointer has not expired.
    display::DisplayObject* m_displayObjectAddress = nullptr;
    bool m_movieClip = false;
    // A movie clip's place: its level and the names from the level down to it (none when it
    // was not under a level). The machine that looks the place up again once the clip has left
    // the stage is set then; it owns this object and so outlives it.
    std::vector<QString> m_place;
    int m_placeLevel = 0;
    Machine* m_placeMachine = nullptr;
    Value m_styleSheet;
    Object* m_shownVariableObject = nullptr;
    // A clip's, button's or field's own _focusrect; none until a script sets one.
    std::optional<bool> m_focusRect;
    std::optional<int32_t> m_tabIndex;
};

// The script object bound to a display object, or null.
Object* scriptObjectOf(display::DisplayObject* object);

} // namespace player::avm1
