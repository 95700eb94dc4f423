#include "Builtins.h"
#include "StyleSheetObject.h"
#include "TextFormat.h"

#include "player/avm1/ArrayObject.h"
#include "player/avm1/ClipObject.h"
#include "player/avm1/Machine.h"
#include "player/avm1/TargetPath.h"
#include "player/display/DisplayContainer.h"
#include "player/display/EditTextInstance.h"
#include "player/display/MovieClip.h"
#include "player/display/TimelineServices.h"

#include <cmath>

namespace player::avm1::builtins {

namespace {

using display::EditTextInstance;

EditTextInstance* fieldOf(Object* self)
{
    display::DisplayObject* object = displayObjectOfClip(self);
    if (!object || object->kind() != display::DisplayKind::EditText)
        return nullptr;
    return static_cast<EditTextInstance*>(object);
}

// Where a field's variable lives: the object and the name in it. Paths are followed from the
// clip that holds the field ("/:score", "_root.totals.score", or a plain name in the parent);
// a field in a button belongs to the clip that holds the button.
bool variableSlot(Machine& machine, EditTextInstance* field, Object*& holder, QString& name)
{
    QString variable = field->variableName();
    if (variable.isEmpty())
        return false;
    display::DisplayObject* clip = field->parent();
    while (clip && clip->kind() == display::DisplayKind::Button)
        clip = clip->parent();
    Object* parent = scriptObjectOf(clip);
    if (!parent)
        return false;
    QString path;
    if (target_path::splitVariable(variable, path, name))
        holder = path.isEmpty() ? parent : target_path::resolve(machine, parent, path);
    else {
        holder = parent;
        name = variable;
    }
    return holder != nullptr && !name.isEmpty();
}

// A bound field shows its variable: reading the text picks up what scripts last stored there.
// Only a clip tells its fields when a variable changes: a field whose path leads to another
// object takes the variable's value when it is bound (made, or named a variable) and not
// after. An object stored in the variable is shown as its text once, when it is stored; the
// field does not ask it again while the variable holds the same object. When binding, a
// variable still undefined takes the field's text, unless the field is empty; reading the
// text leaves the variable alone.
enum class Binding { ShowOnly, Bind };

void pullVariable(Machine& machine, EditTextInstance* field, Binding binding = Binding::ShowOnly)
{
    Object* holder = nullptr;
    QString name;
    if (!variableSlot(machine, field, holder, name))
        return;
    if (binding == Binding::ShowOnly && holder->kind() != ObjectKind::Clip)
        return;
    Value value = holder->get(machine, name);
    auto* fieldObject = dynamic_cast<ClipObject*>(scriptObjectOf(field));
    if (!value.isUndefined()) {
        Object* object = value.asObject();
        if (object && fieldObject) {
            if (fieldObject->shownVariableObject() == object)
                return;
            fieldObject->setShownVariableObject(object);
        } else if (fieldObject)
            fieldObject->setShownVariableObject(nullptr);
        const QString shown = machine.toString(value);
        if (shown != (field->isHtml() ? field->htmlText() : field->text()))
            field->setHtmlText(shown);
    } else if (binding == Binding::Bind && !field->text().isEmpty())
        holder->set(machine, name, Value(field->isHtml() ? field->htmlText() : field->text()));
}

void pushVariable(Machine& machine, EditTextInstance* field)
{
    Object* holder = nullptr;
    QString name;
    if (variableSlot(machine, field, holder, name))
        holder->set(machine, name, Value(field->isHtml() ? field->htmlText() : field->text()));
}

StyleSheetObject* styleSheetOf(EditTextInstance* field)
{
    auto* fieldObject = dynamic_cast<ClipObject*>(scriptObjectOf(field));
    return fieldObject ? dynamic_cast<StyleSheetObject*>(fieldObject->styleSheet().asObject()) : nullptr;
}

// Text given to a field with a style sheet is read as markup with the sheet's formats as they
// are now; later changes to the sheet leave the text as it was.
bool setStyledText(Machine&, EditTextInstance* field, const QString& markup)
{
    if (!field->isStyled())
        return false;
    StyleSheetObject* sheet = styleSheetOf(field);
    field->setStyledText(markup, sheet ? sheet->textStyles() : display::TextStyles());
    return true;
}

// Any object but a display object may be a field's style sheet; anything else takes the sheet
// away. The object is not checked further: a plain one styles nothing. Giving a field a sheet
// again restyles the markup it was last given with the sheet's formats as they are now.
void setStyleSheet(Machine&, EditTextInstance* field, const Value& value)
{
    auto* fieldObject = dynamic_cast<ClipObject*>(scriptObjectOf(field));
    if (!fieldObject)
        return;
    Object* sheet = value.asObject();
    if (sheet && sheet->kind() == ObjectKind::Clip)
        sheet = nullptr;
    fieldObject->setStyleSheet(sheet ? Value(sheet) : Value());
    field->setStyled(sheet != nullptr);
    if (StyleSheetObject* styles = styleSheetOf(field))
        field->restyle(styles->textStyles());
}

using Getter = Value (*)(Machine&, EditTextInstance*);
using Setter = void (*)(Machine&, EditTextInstance*, const Value&);

// The properties of fields are enumerable, unlike their methods.
void defineProperty(Machine& machine, Object* prototype, const char* name, Getter getter, Setter setter = nullptr,
                    uint16_t flags = property_flag::DontDelete)
{
    FunctionObject* getterFunction = machine.makeNative([getter](Machine& machine, Object* self, const Arguments&) {
        EditTextInstance* field = fieldOf(self);
        return field ? getter(machine, field) : Value();
    });
    FunctionObject* setterFunction = nullptr;
    if (setter) {
        setterFunction = machine.makeNative([setter](Machine& machine, Object* self, const Arguments& arguments) {
            if (EditTextInstance* field = fieldOf(self))
                setter(machine, field, argument(arguments, 0));
            return Value();
        });
    }
    prototype->defineVirtual(QString::fromLatin1(name), getterFunction, setterFunction, flags);
}

// A boolean flag of the field, read and written through its Flags.
template <bool EditTextInstance::Flags::*member>
void defineFlag(Machine& machine, Object* prototype, const char* name)
{
    defineProperty(machine, prototype, name,
                   [](Machine&, EditTextInstance* field) { return Value(field->flags().*member); },
                   [](Machine& machine, EditTextInstance* field, const Value& value) {
                       EditTextInstance::Flags flags = field->flags();
                       flags.*member = machine.toBoolean(value);
                       field->setFlags(flags);
                   });
}

template <uint32_t EditTextInstance::Flags::*member>
void defineColor(Machine& machine, Object* prototype, const char* name)
{
    defineProperty(machine, prototype, name,
                   [](Machine&, EditTextInstance* field) { return Value(double(field->flags().*member)); },
                   [](Machine& machine, EditTextInstance* field, const Value& value) {
                       EditTextInstance::Flags flags = field->flags();
                       flags.*member = static_cast<uint32_t>(machine.toInt32(value)) & 0xffffff;
                       field->setFlags(flags);
                   });
}

QString autoSizeName(display::AutoSize autoSize)
{
    switch (autoSize) {
    case display::AutoSize::None: return QStringLiteral("none");
    case display::AutoSize::Left: return QStringLiteral("left");
    case display::AutoSize::Center: return QStringLiteral("center");
    case display::AutoSize::Right: return QStringLiteral("right");
    }
    return QStringLiteral("none");
}

// true means "left" and false "none"; other texts than the four names change nothing.
void setAutoSize(Machine& machine, EditTextInstance* field, const Value& value)
{
    EditTextInstance::Flags flags = field->flags();
    if (value.isBoolean())
        flags.autoSize = value.asBoolean() ? display::AutoSize::Left : display::AutoSize::None;
    else {
        const QString name = machine.toString(value).toLower();
        if (name == QLatin1String("left"))
            flags.autoSize = display::AutoSize::Left;
        else if (name == QLatin1String("center"))
            flags.autoSize = display::AutoSize::Center;
        else if (name == QLatin1String("right"))
            flags.autoSize = display::AutoSize::Right;
        else
            flags.autoSize = display::AutoSize::None;
    }
    field->setFlags(flags);
}

// The character range of getTextFormat and setTextFormat: none given is the whole text, one
// is that character, two are [begin, end).
bool rangeOf(Machine& machine, EditTextInstance* field, const Arguments& arguments, size_t count, qsizetype& begin, qsizetype& end)
{
    const qsizetype length = field->text().size();
    begin = 0;
    end = length;
    if (count >= 1) {
        const double first = machine.toNumber(arguments[0]);
        begin = std::isfinite(first) ? qsizetype(std::max(0.0, first)) : 0;
        end = begin + 1;
    }
    if (count >= 2) {
        const double last = machine.toNumber(arguments[1]);
        end = std::isfinite(last) ? qsizetype(std::max(0.0, last)) : length;
    }
    begin = std::min(begin, length);
    end = std::min(end, length);
    return begin <= end;
}

void installMethods(Machine& machine, Object* prototype)
{
    machine.defineMethod(prototype, QStringLiteral("getTextFormat"), [](Machine& machine, Object* self, const Arguments& arguments) {
        EditTextInstance* field = fieldOf(self);
        if (!field)
            return Value();
        qsizetype begin = 0;
        qsizetype end = 0;
        // An empty range, an empty field included, has no format at all: every field is null.
        if (!rangeOf(machine, field, arguments, std::min<size_t>(arguments.size(), 2), begin, end))
            return Value(makeTextFormatObject(machine, {}));
        return Value(makeTextFormatObject(machine, field->formatOf(begin, end)));
    });
    machine.defineMethod(prototype, QStringLiteral("setTextFormat"), [](Machine& machine, Object* self, const Arguments& arguments) {
        EditTextInstance* field = fieldOf(self);
        if (!field || arguments.empty())
            return Value();
        // The format comes last: (format), (index, format) or (begin, end, format).
        const size_t count = std::min<size_t>(arguments.size(), 3);
        Object* formatObject = arguments[count - 1].asObject();
        if (!formatObject)
            return Value();
        qsizetype begin = 0;
        qsizetype end = 0;
        if (rangeOf(machine, field, arguments, count - 1, begin, end))
            field->applyFormat(begin, end, readTextFormatObject(machine, formatObject));
        return Value();
    });
    machine.defineMethod(prototype, QStringLiteral("getNewTextFormat"), [](Machine& machine, Object* self, const Arguments&) {
        EditTextInstance* field = fieldOf(self);
        return field ? Value(makeTextFormatObject(machine, field->newTextFormat())) : Value();
    });
    machine.defineMethod(prototype, QStringLiteral("setNewTextFormat"), [](Machine& machine, Object* self, const Arguments& arguments) {
        EditTextInstance* field = fieldOf(self);
        if (field && argument(arguments, 0).asObject())
            field->setNewTextFormat(readTextFormatObject(machine, argument(arguments, 0).asObject()));
        return Value();
    });
    machine.defineMethod(prototype, QStringLiteral("replaceText"), [](Machine& machine, Object* self, const Arguments& arguments) {
        EditTextInstance* field = fieldOf(self);
        if (!field || arguments.size() < 3)
            return Value();
        const double begin = machine.toNumber(arguments[0]);
        const double end = machine.toNumber(arguments[1]);
        if (!std::isfinite(begin) || !std::isfinite(end) || begin < 0 || end < begin)
            return Value();
        pullVariable(machine, field);
        field->replaceText(qsizetype(begin), qsizetype(end), machine.toString(arguments[2]));
        pushVariable(machine, field);
        return Value();
    });
    // replaceSel puts the text in place of the field's selection, which is the start of the
    // text until something selects, and leaves the caret after it.
    machine.defineMethod(prototype, QStringLiteral("replaceSel"), [](Machine& machine, Object* self, const Arguments& arguments) {
        EditTextInstance* field = fieldOf(self);
        if (!field || arguments.empty())
            return Value();
        const QString text = machine.toString(arguments[0]);
        const qsizetype length = field->text().size();
        const qsizetype begin = std::min(field->selectionBegin(), length);
        const qsizetype end = std::clamp(field->selectionEnd(), begin, length);
        pullVariable(machine, field);
        field->replaceText(begin, end, text);
        field->setSelection(begin + text.size(), begin + text.size());
        pushVariable(machine, field);
        return Value();
    });
    machine.defineMethod(prototype, QStringLiteral("removeTextField"), [](Machine&, Object* self, const Arguments&) {
        EditTextInstance* field = fieldOf(self);
        // Only fields at script depths go, as with clips.
        if (!field || field->depth() < 0)
            return Value();
        display::DisplayObject* parent = field->parent();
        display::MovieClip* parentClip = parent ? parent->asMovieClip() : nullptr;
        if (!parentClip)
            return Value();
        if (std::shared_ptr<display::DisplayObject> removed = parentClip->removeChild(field->depth()))
            parentClip->services().objectRemoved(*removed);
        return Value();
    });
    machine.defineMethod(prototype, QStringLiteral("getDepth"), [](Machine&, Object* self, const Arguments&) {
        EditTextInstance* field = fieldOf(self);
        return field ? Value(double(field->depth())) : Value();
    });
}

void installProperties(Machine& machine, Object* prototype)
{
    // for..in lists the properties newest first; this order gives Flash's listing, which
    // starts with styleSheet and ends with gridFitType.
    defineProperty(machine, prototype, "gridFitType",
                   [](Machine&, EditTextInstance* field) { return Value(field->rendering().gridFitType); },
                   [](Machine& machine, EditTextInstance* field, const Value& value) {
                       const QString name = machine.toString(value);
                       if (name == QLatin1String("none") || name == QLatin1String("pixel") || name == QLatin1String("subpixel"))
                           field->rendering().gridFitType = name;
                   },
                   property_flag::DontDelete | property_flag::FromVersion8);
    // The SWF 8 rendering settings are only kept: the painter draws every field alike. Names
    // other than the known ones change nothing; the numbers are kept as given.
    defineProperty(machine, prototype, "antiAliasType",
                   [](Machine&, EditTextInstance* field) { return Value(field->rendering().antiAliasType); },
                   [](Machine& machine, EditTextInstance* field, const Value& value) {
                       const QString name = machine.toString(value);
                       if (name == QLatin1String("normal") || name == QLatin1String("advanced"))
                           field->rendering().antiAliasType = name;
                   },
                   property_flag::DontDelete | property_flag::FromVersion8);
    defineProperty(machine, prototype, "thickness",
                   [](Machine&, EditTextInstance* field) { return Value(field->rendering().thickness); },
                   [](Machine& machine, EditTextInstance* field, const Value& value) { field->rendering().thickness = machine.toNumber(value); },
                   property_flag::DontDelete | property_flag::FromVersion8);
    defineProperty(machine, prototype, "sharpness",
                   [](Machine&, EditTextInstance* field) { return Value(field->rendering().sharpness); },
                   [](Machine& machine, EditTextInstance* field, const Value& value) { field->rendering().sharpness = machine.toNumber(value); },
                   property_flag::DontDelete | property_flag::FromVersion8);
    defineFiltersProperty(machine, prototype, property_flag::DontDelete | property_flag::FromVersion8);
    defineProperty(machine, prototype, "scroll",
                   [](Machine&, EditTextInstance* field) { return Value(double(field->scroll())); },
                   [](Machine& machine, EditTextInstance* field, const Value& value) {
                       const double line = machine.toNumber(value);
                       if (std::isfinite(line))
                           field->setScroll(int(std::clamp(line, -1e6, 1e6)));
                   });
    defineProperty(machine, prototype, "maxscroll", [](Machine&, EditTextInstance* field) { return Value(double(field->maxScroll())); });
    defineColor<&EditTextInstance::Flags::borderColor>(machine, prototype, "borderColor");
    defineColor<&EditTextInstance::Flags::backgroundColor>(machine, prototype, "backgroundColor");
    // The text colour is the colour of the field's new text, whatever colours its text has;
    // setting it colours all the text and what is typed after.
    defineProperty(machine, prototype, "textColor",
                   [](Machine&, EditTextInstance* field) { return Value(double(field->newTextFormat().color.value_or(0))); },
                   [](Machine& machine, EditTextInstance* field, const Value& value) {
                       display::TextFormat format;
                       format.color = static_cast<uint32_t>(machine.toInt32(value)) & 0xffffff;
                       field->applyFormat(0, field->text().size(), format);
                       field->setNewTextFormat(format);
                   });
    // tabIndex is undefined until set; null and undefined unset it, anything else becomes an
    // unsigned 32-bit number.
    defineProperty(machine, prototype, "tabIndex",
                   [](Machine&, EditTextInstance* field) { return field->tabIndex() ? Value(double(*field->tabIndex())) : Value(); },
                   [](Machine& machine, EditTextInstance* field, const Value& value) {
                       field->setTabIndex(value.isNullish() ? std::nullopt : std::optional<uint32_t>(uint32_t(machine.toInt32(value))));
                   });
    defineProperty(machine, prototype, "autoSize",
                   [](Machine&, EditTextInstance* field) { return Value(autoSizeName(field->flags().autoSize)); },
                   setAutoSize);
    defineProperty(machine, prototype, "text",
                   [](Machine& machine, EditTextInstance* field) {
                       pullVariable(machine, field);
                       return Value(field->text());
                   },
                   [](Machine& machine, EditTextInstance* field, const Value& value) {
                       const QString text = machine.toString(value);
                       if (!setStyledText(machine, field, text))
                           field->setText(text);
                       pushVariable(machine, field);
                   });
    // Only the two names count, in any case; anything else leaves the type alone.
    defineProperty(machine, prototype, "type",
                   [](Machine&, EditTextInstance* field) {
                       return Value(field->flags().editable ? QStringLiteral("input") : QStringLiteral("dynamic"));
                   },
                   [](Machine& machine, EditTextInstance* field, const Value& value) {
                       const QString type = machine.toString(value).toLower();
                       if (type != QLatin1String("input") && type != QLatin1String("dynamic"))
                           return;
                       EditTextInstance::Flags flags = field->flags();
                       flags.editable = type == QLatin1String("input");
                       field->setFlags(flags);
                   });
    defineProperty(machine, prototype, "htmlText",
                   [](Machine& machine, EditTextInstance* field) {
                       pullVariable(machine, field);
                       return Value(field->htmlText());
                   },
                   [](Machine& machine, EditTextInstance* field, const Value& value) {
                       const QString html = machine.toString(value);
                       if (!setStyledText(machine, field, html))
                           field->setHtmlText(html);
                       pushVariable(machine, field);
                   });
    // An empty variable name reads as null. Naming a variable starts the field over with the
    // text of its definition and binds it at once: a variable that holds a value shows it, one
    // still undefined takes the definition's text.
    defineProperty(machine, prototype, "variable",
                   [](Machine&, EditTextInstance* field) {
                       return field->variableName().isEmpty() ? Value::null() : Value(field->variableName());
                   },
                   [](Machine& machine, EditTextInstance* field, const Value& value) {
                       field->setVariableName(value.isNullish() ? QString() : machine.toString(value));
                       field->showInitialText();
                       pullVariable(machine, field, Binding::Bind);
                   });
    defineProperty(machine, prototype, "hscroll", [](Machine&, EditTextInstance*) { return Value(0.0); },
                   [](Machine&, EditTextInstance*, const Value&) {});
    defineProperty(machine, prototype, "maxhscroll", [](Machine&, EditTextInstance*) { return Value(0.0); });
    // maxChars is null when unlimited.
    defineProperty(machine, prototype, "maxChars",
                   [](Machine&, EditTextInstance* field) {
                       return field->flags().maxChars > 0 ? Value(double(field->flags().maxChars)) : Value::null();
                   },
                   [](Machine& machine, EditTextInstance* field, const Value& value) {
                       EditTextInstance::Flags flags = field->flags();
                       flags.maxChars = value.isNullish() ? 0 : std::max(0, machine.toInt32(value));
                       field->setFlags(flags);
                   });
    defineFlag<&EditTextInstance::Flags::embedFonts>(machine, prototype, "embedFonts");
    defineProperty(machine, prototype, "html",
                   [](Machine&, EditTextInstance* field) { return Value(field->isHtml()); },
                   [](Machine& machine, EditTextInstance* field, const Value& value) { field->setHtml(machine.toBoolean(value)); });
    defineFlag<&EditTextInstance::Flags::border>(machine, prototype, "border");
    defineFlag<&EditTextInstance::Flags::background>(machine, prototype, "background");
    defineFlag<&EditTextInstance::Flags::wordWrap>(machine, prototype, "wordWrap");
    defineFlag<&EditTextInstance::Flags::password>(machine, prototype, "password");
    defineFlag<&EditTextInstance::Flags::multiline>(machine, prototype, "multiline");
    defineFlag<&EditTextInstance::Flags::selectable>(machine, prototype, "selectable");
    defineProperty(machine, prototype, "length", [](Machine& machine, EditTextInstance* field) {
        pullVariable(machine, field);
        return Value(double(field->text().size()));
    });
    defineProperty(machine, prototype, "bottomScroll", [](Machine&, EditTextInstance* field) { return Value(double(field->bottomScroll())); });
    // Text measures are whole pixels in Flash, cut to them rather than rounded.
    defineProperty(machine, prototype, "textWidth", [](Machine& machine, EditTextInstance* field) {
        pullVariable(machine, field);
        return Value(std::floor(std::round(field->layout().textWidth * 20.0) / 20.0));
    });
    defineProperty(machine, prototype, "textHeight", [](Machine& machine, EditTextInstance* field) {
        pullVariable(machine, field);
        return Value(std::floor(std::round(field->layout().textHeight * 20.0) / 20.0));
    });
    // The characters typing may enter; null when anything goes.
    defineProperty(machine, prototype, "restrict",
                   [](Machine&, EditTextInstance* field) { return field->restrict() ? Value(*field->restrict()) : Value::null(); },
                   [](Machine& machine, EditTextInstance* field, const Value& value) {
                       field->setRestrict(value.isNullish() ? std::nullopt : std::optional<QString>(machine.toString(value)));
                   });
    defineFlag<&EditTextInstance::Flags::condenseWhite>(machine, prototype, "condenseWhite");
    defineFlag<&EditTextInstance::Flags::mouseWheelEnabled>(machine, prototype, "mouseWheelEnabled");
    defineProperty(machine, prototype, "styleSheet",
                   [](Machine&, EditTextInstance* field) {
                       auto* fieldObject = dynamic_cast<ClipObject*>(scriptObjectOf(field));
                       return fieldObject ? fieldObject->styleSheet() : Value();
                   },
                   setStyleSheet);
}

} // namespace

void bindTextFieldVariable(Machine& machine, Object* fieldObject)
{
    if (EditTextInstance* field = fieldOf(fieldObject))
        pullVariable(machine, field, Binding::Bind);
}

namespace {

// Puts a field at a script depth of a clip, in place of what is there.
void placeField(display::MovieClip* clip, int depth, const std::shared_ptr<EditTextInstance>& field)
{
    if (std::shared_ptr<display::DisplayObject> previous = clip->removeChild(depth))
        clip->services().objectRemoved(*previous);
    clip->insertChild(depth, field);
    clip->services().objectPlaced(*field);
}

} // namespace

bool duplicateTextField(Machine&, Object* fieldObject, const QString& name, int depth)
{
    EditTextInstance* field = fieldOf(fieldObject);
    if (!field)
        return false;
    display::MovieClip* clip = field->parent() ? field->parent()->asMovieClip() : nullptr;
    if (!clip || field->isRemoved() || !display::isScriptDepth(depth))
        return true;
    // The copy starts from a definition of no size: neither the text nor the box, the flags
    // or the formats of the original come with it, only its placement (without the moves
    // autoSize made) and whether it takes typing.
    std::shared_ptr<EditTextInstance> copy = EditTextInstance::createForScript(field->library(), 0, 0);
    copy->setName(name);
    copy->setMatrix(field->placementMatrix());
    copy->setColorTransform(field->colorTransform());
    EditTextInstance::Flags flags = copy->flags();
    flags.editable = field->flags().editable;
    copy->setFlags(flags);
    placeField(clip, depth, copy);
    return true;
}

void showTextFieldVariable(Machine& machine, Object* fieldObject)
{
    if (EditTextInstance* field = fieldOf(fieldObject))
        pullVariable(machine, field);
}

void initializeTextFieldListeners(Machine& machine, Object* fieldObject)
{
    if (!fieldOf(fieldObject))
        return;
    broadcasterInitialize(machine, fieldObject);
    machine.callMethod(Value(fieldObject), QStringLiteral("addListener"), {Value(fieldObject)});
}

void installTextField(Machine& machine)
{
    Object* prototype = machine.makeObject();
    machine.prototypes().textField = prototype;
    FunctionObject* constructor =
        defineClass(machine, QStringLiteral("TextField"), prototype, [](Machine&, Object*, const Arguments&) { return Value(); });
    installMethods(machine, prototype);
    prototype->setAllFlags(property_flag::DontEnum, 0);
    installProperties(machine, prototype);

    // The device fonts scripts may ask for by name.
    machine.defineMethod(constructor, QStringLiteral("getFontList"), [](Machine& machine, Object*, const Arguments&) {
        std::vector<Value> names;
        for (const char* name : {"_sans", "_serif", "_typewriter", "Times New Roman", "Arial", "Courier New"})
            names.emplace_back(QString::fromLatin1(name));
        return Value(machine.makeArray(std::move(names)));
    });

    installTextFormat(machine);
    installStyleSheet(machine, constructor);

    // createTextField(name, depth, x, y, width, height) on clips. From SWF 8 it gives the new
    // field back.
    if (Object* clipPrototype = machine.prototypes().movieClip) {
        machine.defineMethod(clipPrototype, QStringLiteral("createTextField"), [](Machine& machine, Object* self, const Arguments& arguments) {
            if (!self || self->kind() != ObjectKind::Clip || arguments.size() < 6)
                return Value();
            display::MovieClip* clip = static_cast<ClipObject*>(self)->clip();
            if (!clip)
                return Value();
            // Position and size are whole pixels; Flash drops the fractions.
            auto number = [&](size_t index) {
                const double value = machine.toNumber(arguments[index]);
                return std::isfinite(value) ? std::trunc(std::clamp(value, -1e7, 1e7)) : 0.0;
            };
            const QString name = machine.toString(arguments[0]);
            const int depth = machine.toInt32(arguments[1]);
            std::shared_ptr<EditTextInstance> field = EditTextInstance::createForScript(clip->library(), number(4), number(5));
            field->setName(name);
            field->setX(number(2));
            field->setY(number(3));
            placeField(clip, depth, field);
            Object* fieldObject = scriptObjectOf(field.get());
            return machine.swfVersion() >= 8 && fieldObject ? Value(fieldObject) : Value();
        });
    }
}

} // namespace player::avm1::builtins
