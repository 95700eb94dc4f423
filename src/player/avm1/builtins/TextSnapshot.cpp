#include "Builtins.h"
#include "Declaration.h"

#include "player/avm1/ArrayObject.h"
#include "player/avm1/ClipObject.h"
#include "player/avm1/Machine.h"
#include "player/display/GraphicInstances.h"
#include "player/display/MovieClip.h"
#include "player/display/MovieLibrary.h"
#include "player/swf/Text.h"

#include <optional>

namespace player::avm1::builtins {

namespace {

// A TextSnapshot: the static text of one clip, taken when the snapshot is made. Static text is
// what the movie drew with DefineText; fields and the text of clips inside do not count.
class TextSnapshotObject final : public Object {
public:
    using Object::Object;
    // Null when the snapshot was made for no clip: its methods then answer undefined.
    std::optional<QStringList> runs;

    QString text() const { return runs ? runs->join(QString()) : QString(); }
};

// The characters of one DefineText, each glyph read through its font's code table.
QString staticTextCharacters(const display::StaticTextInstance& instance)
{
    QString characters;
    const display::MovieLibrary* library = instance.library().get();
    const swf::Font* font = nullptr;
    for (const swf::TextRecord& record : instance.text().records) {
        if (record.fontId)
            font = library ? library->font(*record.fontId) : nullptr;
        for (const swf::GlyphEntry& glyph : record.glyphs) {
            if (font && glyph.index < font->codes.size())
                characters.append(QChar(font->codes[glyph.index]));
        }
    }
    return characters;
}

QStringList staticTextRuns(const display::DisplayContainer& clip)
{
    QStringList runs;
    for (const auto& [depth, child] : clip.children()) {
        if (child && child->kind() == display::DisplayKind::StaticText)
            runs.append(staticTextCharacters(static_cast<const display::StaticTextInstance&>(*child)));
    }
    return runs;
}

TextSnapshotObject* snapshotOf(Object* self)
{
    auto* snapshot = dynamic_cast<TextSnapshotObject*>(self);
    return snapshot && snapshot->runs ? snapshot : nullptr;
}

Value getCount(Machine&, Object* self, const Arguments&)
{
    TextSnapshotObject* snapshot = snapshotOf(self);
    return snapshot ? Value(double(snapshot->text().size())) : Value();
}

// getText(start, end, includeLineEndings = false): the characters from start up to end, both
// kept within the text; with includeLineEndings each DefineText after the first starts on a
// new line.
Value getText(Machine& machine, Object* self, const Arguments& arguments)
{
    TextSnapshotObject* snapshot = snapshotOf(self);
    if (!snapshot || arguments.size() < 2)
        return Value();
    const bool lineEndings = machine.toBoolean(argument(arguments, 2));
    const QString text = lineEndings ? snapshot->runs->join(QLatin1Char('\n')) : snapshot->text();
    const qsizetype start = std::clamp<qsizetype>(machine.toInt32(arguments[0]), 0, text.size());
    const qsizetype end = std::clamp<qsizetype>(machine.toInt32(arguments[1]), start, text.size());
    return Value(text.mid(start, end - start));
}

// findText(start, text, caseSensitive): exactly three arguments, or undefined. The index where
// the text is first found from start on, or -1 (also for an empty text or a start outside).
Value findText(Machine& machine, Object* self, const Arguments& arguments)
{
    TextSnapshotObject* snapshot = snapshotOf(self);
    if (!snapshot || arguments.size() != 3)
        return Value();
    const int start = machine.toInt32(arguments[0]);
    const QString wanted = machine.toString(arguments[1]);
    const Qt::CaseSensitivity sensitivity = machine.toBoolean(arguments[2]) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QString text = snapshot->text();
    if (start < 0 || start >= text.size() || wanted.isEmpty())
        return Value(-1);
    return Value(double(text.indexOf(wanted, start, sensitivity)));
}

// Nothing is ever selected here: the player has no one to select text.
Value getSelected(Machine&, Object* self, const Arguments& arguments)
{
    return snapshotOf(self) && arguments.size() >= 2 ? Value(false) : Value();
}

Value getSelectedText(Machine&, Object* self, const Arguments&)
{
    return snapshotOf(self) ? Value(QString()) : Value();
}

Value hitTestTextNearPos(Machine&, Object* self, const Arguments& arguments)
{
    return snapshotOf(self) && arguments.size() >= 2 ? Value(-1) : Value();
}

Value getTextRunInfo(Machine& machine, Object* self, const Arguments& arguments)
{
    return snapshotOf(self) && arguments.size() >= 2 ? Value(machine.makeArray()) : Value();
}

template<int>
Value nothing(Machine&, Object*, const Arguments&)
{
    return Value();
}

// MovieClip.getTextSnapshot() makes its snapshot through whatever _global.TextSnapshot is when
// it is called.
Value getTextSnapshot(Machine& machine, Object* self, const Arguments&)
{
    const Value constructor = machine.global()->get(machine, QStringLiteral("TextSnapshot"));
    return machine.construct(constructor, {Value(self)});
}

// Enumerable as in Flash, made in Flash's order; SWF 5 movies see them but read undefined.
constexpr uint16_t permanent = property_flag::DontDelete;
constexpr Declaration prototypeDeclarations[] = {
    method("getCount", getCount, permanent).readableFrom(6).native(1067, 1),
    method("setSelected", nothing<0>, permanent).readableFrom(6).native(1067, 2),
    method("getSelected", getSelected, permanent).readableFrom(6).native(1067, 3),
    method("getText", getText, permanent).readableFrom(6).native(1067, 4),
    method("getSelectedText", getSelectedText, permanent).readableFrom(6).native(1067, 5),
    method("hitTestTextNearPos", hitTestTextNearPos, permanent).readableFrom(6).native(1067, 6),
    method("findText", findText, permanent).readableFrom(6).native(1067, 7),
    method("setSelectColor", nothing<1>, permanent).readableFrom(6).native(1067, 8),
    method("getTextRunInfo", getTextRunInfo, permanent).readableFrom(6).native(1067, 9),
};

constexpr Declaration clipDeclarations[] = {
    method("getTextSnapshot", getTextSnapshot).from(6),
};

} // namespace

void installTextSnapshot(Machine& machine)
{
    Object* prototype = machine.makeObject();
    // new TextSnapshot(clip) takes the clip's static text; anything else makes an empty
    // snapshot whose methods answer undefined.
    auto construct = [](Machine& machine, Object* self, const Arguments& arguments) -> Value {
        if (!self)
            return Value();
        auto* snapshot = machine.make<TextSnapshotObject>(self->prototype());
        Object* target = argument(arguments, 0).asObject();
        display::MovieClip* clip = movieClipOf(target);
        if (clip)
            snapshot->runs = staticTextRuns(*clip);
        return Value(static_cast<Object*>(snapshot));
    };
    defineClass(machine, QStringLiteral("TextSnapshot"), prototype, construct, construct);
    installDeclarations(machine, prototype, prototypeDeclarations);
    if (Object* clipPrototype = machine.prototypes().movieClip)
        installDeclarations(machine, clipPrototype, clipDeclarations);
}

} // namespace player::avm1::builtins
