#include "Builtins.h"
#include "Declaration.h"
#include "DisplayTarget.h"

#include "player/avm1/Machine.h"
#include "player/display/DisplayObject.h"
#include "player/display/MovieLibrary.h"


namespace player::avm1::builtins {

namespace {

// What scripts set on the stage, kept out of their reach for the Stage properties. The player
// always shows the movie scaled to its window, so these are only remembered and reported back.
class StageSettings : public Object {
public:
    StageSettings()
        : Object(nullptr)
    {
    }

    QString align;
    QString scaleMode = QStringLiteral("showAll");
    bool fullScreen = false;
};

StageSettings& settingsOf(Object* state)
{
    return *static_cast<StageSettings*>(state);
}

// Flash reads the alignment letters anywhere in the text, in any case and any order, and
// reports them back in the order L, T, R, B.
QString normalisedAlignment(const QString& text)
{
    QString lower = text.toLower();
    QString result;
    for (QChar letter : {u'l', u't', u'r', u'b'}) {
        if (lower.contains(letter))
            result.append(letter.toUpper());
    }
    return result;
}

// Unknown scale modes fall back to showAll; the known ones are matched without case.
QString normalisedScaleMode(const QString& text)
{
    for (const char* mode : {"showAll", "exactFit", "noBorder", "noScale"}) {
        if (text.compare(QLatin1String(mode), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(mode);
    }
    return QStringLiteral("showAll");
}

// The stage size is the frame size of the movie in level 0, in pixels; without scaling it is
// the size of the window that shows the stage, when the player knows it.
double stageDimension(Machine& machine, Object* state, bool width)
{
    if (settingsOf(state).scaleMode == QLatin1String("noScale")) {
        if (const std::optional<QSize> viewport = machine.bridge().viewportSize())
            return width ? viewport->width() : viewport->height();
    }
    display::DisplayObject* root = displayObjectOf(machine, Value(machine.bridge().level(0)));
    if (!root || !root->library())
        return 0;
    const swf::Rect& rect = root->library()->stageRect();
    return (width ? rect.width() : rect.yMax - rect.yMin) / 20.0;
}

Value width(Machine& machine, Object* state, Object*, const Arguments&)
{
    return Value(stageDimension(machine, state, true));
}

Value height(Machine& machine, Object* state, Object*, const Arguments&)
{
    return Value(stageDimension(machine, state, false));
}

Value align(Machine&, Object* state, Object*, const Arguments&)
{
    return Value(settingsOf(state).align);
}

Value setAlign(Machine& machine, Object* state, Object*, const Arguments& arguments)
{
    settingsOf(state).align = normalisedAlignment(machine.toString(argument(arguments, 0)));
    return Value();
}

Value scaleMode(Machine&, Object* state, Object*, const Arguments&)
{
    return Value(settingsOf(state).scaleMode);
}

// A scale mode that changes the stage size tells the listeners at once, through onResize.
Value setScaleMode(Machine& machine, Object* state, Object* self, const Arguments& arguments)
{
    const double oldWidth = stageDimension(machine, state, true);
    const double oldHeight = stageDimension(machine, state, false);
    settingsOf(state).scaleMode = normalisedScaleMode(machine.toString(argument(arguments, 0)));
    if (oldWidth != stageDimension(machine, state, true) || oldHeight != stageDimension(machine, state, false))
        machine.callMethod(Value(self), QStringLiteral("broadcastMessage"), {Value(QStringLiteral("onResize"))});
    return Value();
}

Value displayState(Machine&, Object* state, Object*, const Arguments&)
{
    return Value(settingsOf(state).fullScreen ? QStringLiteral("fullScreen") : QStringLiteral("normal"));
}

// Changing the display state tells the listeners through onFullScreen; unknown texts are
// ignored.
Value setDisplayState(Machine& machine, Object* state, Object* self, const Arguments& arguments)
{
    StageSettings& settings = settingsOf(state);
    QString text = machine.toString(argument(arguments, 0));
    bool fullScreen = settings.fullScreen;
    if (text.compare(QLatin1String("fullScreen"), Qt::CaseInsensitive) == 0)
        fullScreen = true;
    else if (text.compare(QLatin1String("normal"), Qt::CaseInsensitive) == 0)
        fullScreen = false;
    if (fullScreen != settings.fullScreen) {
        settings.fullScreen = fullScreen;
        machine.callMethod(Value(self), QStringLiteral("broadcastMessage"), {Value(QStringLiteral("onFullScreen")), Value(fullScreen)});
    }
    return Value();
}

constexpr Declaration stageDeclarations[] = {
    getter("width", width).native(666, 5),
    getter("height", height).native(666, 7),
    accessor("align", align, setAlign).native(666, 3),
    accessor("scaleMode", scaleMode, setScaleMode).native(666, 1),
    accessor("displayState", displayState, setDisplayState).native(666, 11),
    boolean("showMenu", true, attributes::hidden),
};

} // namespace

void installStage(Machine& machine)
{
    Object* stage = machine.makeObject();
    machine.global()->define(QStringLiteral("Stage"), Value(stage), property_flag::DontEnum);
    broadcasterInitialize(machine, stage);
    Object* settings = machine.make<StageSettings>();
    machine.addRoot(settings);
    installDeclarations(machine, stage, stageDeclarations, settings);
}

} // namespace player::avm1::builtins
