#include "Builtins.h"
#include "DisplayTarget.h"

#include "player/avm1/Machine.h"
#include "player/display/DisplayObject.h"
#include "player/display/MovieLibrary.h"

#include <memory>

namespace player::avm1::builtins {

namespace {

// What scripts set on the stage. The player always shows the movie scaled to its window, so
// these are only remembered and reported back.
struct StageSettings {
    QString align;
    QString scaleMode = QStringLiteral("showAll");
    bool fullScreen = false;
};

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

// The stage size is the frame size of the movie in level 0, in pixels.
double stageDimension(Machine& machine, bool width)
{
    display::DisplayObject* root = displayObjectOf(machine, Value(machine.bridge().level(0)));
    if (!root || !root->library())
        return 0;
    const swf::Rect& rect = root->library()->stageRect();
    return (width ? rect.width() : rect.yMax - rect.yMin) / 20.0;
}

} // namespace

void installStage(Machine& machine)
{
    Object* stage = machine.makeObject();
    machine.global()->define(QStringLiteral("Stage"), Value(stage), property_flag::DontEnum);
    broadcasterInitialize(machine, stage);
    auto settings = std::make_shared<StageSettings>();
    const uint8_t flags = property_flag::DontEnum | property_flag::DontDelete;

    auto native = [&machine](NativeFunction function) { return machine.makeNative(std::move(function)); };
    stage->defineVirtual(QStringLiteral("width"), native([](Machine& machine, Object*, const Arguments&) {
        return Value(stageDimension(machine, true));
    }), nullptr, flags);
    stage->defineVirtual(QStringLiteral("height"), native([](Machine& machine, Object*, const Arguments&) {
        return Value(stageDimension(machine, false));
    }), nullptr, flags);
    stage->defineVirtual(QStringLiteral("align"),
                         native([settings](Machine&, Object*, const Arguments&) { return Value(settings->align); }),
                         native([settings](Machine& machine, Object*, const Arguments& arguments) {
                             settings->align = normalisedAlignment(machine.toString(argument(arguments, 0)));
                             return Value();
                         }),
                         flags);
    stage->defineVirtual(QStringLiteral("scaleMode"),
                         native([settings](Machine&, Object*, const Arguments&) { return Value(settings->scaleMode); }),
                         native([settings](Machine& machine, Object*, const Arguments& arguments) {
                             settings->scaleMode = normalisedScaleMode(machine.toString(argument(arguments, 0)));
                             return Value();
                         }),
                         flags);
    // Changing the display state tells the listeners through onFullScreen; unknown texts are
    // ignored.
    stage->defineVirtual(QStringLiteral("displayState"),
                         native([settings](Machine&, Object*, const Arguments&) {
                             return Value(settings->fullScreen ? QStringLiteral("fullScreen") : QStringLiteral("normal"));
                         }),
                         native([settings](Machine& machine, Object* self, const Arguments& arguments) {
                             QString text = machine.toString(argument(arguments, 0));
                             bool fullScreen = settings->fullScreen;
                             if (text.compare(QLatin1String("fullScreen"), Qt::CaseInsensitive) == 0)
                                 fullScreen = true;
                             else if (text.compare(QLatin1String("normal"), Qt::CaseInsensitive) == 0)
                                 fullScreen = false;
                             if (fullScreen != settings->fullScreen) {
                                 settings->fullScreen = fullScreen;
                                 machine.callMethod(Value(self), QStringLiteral("broadcastMessage"),
                                                    {Value(QStringLiteral("onFullScreen")), Value(fullScreen)});
                             }
                             return Value();
                         }),
                         flags);
    stage->define(QStringLiteral("showMenu"), Value(true), property_flag::DontEnum);
}

} // namespace player::avm1::builtins
