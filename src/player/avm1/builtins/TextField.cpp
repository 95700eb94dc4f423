#include "Builtins.h"

#include "player/avm1/ClipObject.h"
#include "player/avm1/Machine.h"
#include "player/avm1/TargetPath.h"
#include "player/display/DisplayContainer.h"
#include "player/display/EditTextInstance.h"

namespace player::avm1::builtins {

namespace {

display::EditTextInstance* fieldOf(Object* self)
{
    if (!self || self->kind() != ObjectKind::Clip)
        return nullptr;
    display::DisplayObject* object = static_cast<ClipObject*>(self)->displayObject();
    if (!object || object->kind() != display::DisplayKind::EditText)
        return nullptr;
    return static_cast<display::EditTextInstance*>(object);
}

// Where a field's variable lives: the object and the name in it. Paths are followed from the
// clip that holds the field ("/:score", "_root.totals.score", or a plain name in the parent).
bool variableSlot(Machine& machine, display::EditTextInstance* field, Object*& holder, QString& name)
{
    QString variable = field->variableName();
    if (variable.isEmpty())
        return false;
    Object* parent = scriptObjectOf(field->parent());
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
// While the variable is undefined, a field with text gives the variable its text; an empty
// field leaves it undefined.
void pullVariable(Machine& machine, display::EditTextInstance* field)
{
    Object* holder = nullptr;
    QString name;
    if (!variableSlot(machine, field, holder, name))
        return;
    Value value = holder->get(machine, name);
    if (!value.isUndefined())
        field->setText(machine.toString(value));
    else if (!field->text().isEmpty())
        holder->set(machine, name, Value(field->text()));
}

void pushVariable(Machine& machine, display::EditTextInstance* field)
{
    Object* holder = nullptr;
    QString name;
    if (variableSlot(machine, field, holder, name))
        holder->set(machine, name, Value(field->text()));
}

using Getter = Value (*)(Machine&, display::EditTextInstance*);
using Setter = void (*)(Machine&, display::EditTextInstance*, const Value&);

void defineProperty(Machine& machine, Object* prototype, const char* name, Getter getter, Setter setter = nullptr)
{
    FunctionObject* getterFunction = machine.makeNative([getter](Machine& machine, Object* self, const Arguments&) {
        display::EditTextInstance* field = fieldOf(self);
        return field ? getter(machine, field) : Value();
    });
    FunctionObject* setterFunction = nullptr;
    if (setter) {
        setterFunction = machine.makeNative([setter](Machine& machine, Object* self, const Arguments& arguments) {
            if (display::EditTextInstance* field = fieldOf(self))
                setter(machine, field, argument(arguments, 0));
            return Value();
        });
    }
    prototype->defineVirtual(QString::fromLatin1(name), getterFunction, setterFunction, property_flag::DontEnum | property_flag::DontDelete);
}

// What scripts read as the text of an HTML field: the characters without the markup, with
// paragraph and line breaks as carriage returns.
QString plainText(const display::EditTextInstance* field)
{
    if (!field->isHtml())
        return field->text();
    QString result;
    const QString& source = field->text();
    for (qsizetype i = 0; i < source.size(); ++i) {
        if (source[i] == u'<') {
            qsizetype end = source.indexOf(u'>', i);
            if (end < 0)
                break;
            QString tag = source.mid(i + 1, end - i - 1).trimmed().toLower();
            if (tag == QLatin1String("/p") || tag.startsWith(QLatin1String("br")))
                result.append(u'\r');
            i = end;
            continue;
        }
        result.append(source[i]);
    }
    if (result.endsWith(u'\r'))
        result.chop(1);
    const std::pair<const char*, const char*> entities[] = {{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [entity, character] : entities)
        result.replace(QLatin1String(entity), QLatin1String(character));
    return result;
}

} // namespace

void bindTextFieldVariable(Machine& machine, Object* fieldObject)
{
    if (display::EditTextInstance* field = fieldOf(fieldObject))
        pullVariable(machine, field);
}

void installTextField(Machine& machine)
{
    Object* prototype = machine.makeObject();
    machine.prototypes().textField = prototype;
    defineClass(machine, QStringLiteral("TextField"), prototype, [](Machine&, Object*, const Arguments&) { return Value(); });

    defineProperty(machine, prototype, "text",
                   [](Machine& machine, display::EditTextInstance* field) {
                       pullVariable(machine, field);
                       return Value(plainText(field));
                   },
                   [](Machine& machine, display::EditTextInstance* field, const Value& value) {
                       field->setText(machine.toString(value));
                       pushVariable(machine, field);
                   });
    defineProperty(machine, prototype, "htmlText",
                   [](Machine& machine, display::EditTextInstance* field) {
                       pullVariable(machine, field);
                       return Value(field->text());
                   },
                   [](Machine& machine, display::EditTextInstance* field, const Value& value) {
                       field->setText(machine.toString(value));
                       pushVariable(machine, field);
                   });
    defineProperty(machine, prototype, "html",
                   [](Machine&, display::EditTextInstance* field) { return Value(field->isHtml()); },
                   [](Machine& machine, display::EditTextInstance* field, const Value& value) { field->setHtml(machine.toBoolean(value)); });
    // An empty variable name reads as null; setting one binds the field at once.
    defineProperty(machine, prototype, "variable",
                   [](Machine&, display::EditTextInstance* field) {
                       return field->variableName().isEmpty() ? Value::null() : Value(field->variableName());
                   },
                   [](Machine& machine, display::EditTextInstance* field, const Value& value) {
                       field->setVariableName(value.isNullish() ? QString() : machine.toString(value));
                       pullVariable(machine, field);
                   });
    defineProperty(machine, prototype, "length", [](Machine& machine, display::EditTextInstance* field) {
        pullVariable(machine, field);
        return Value(double(field->text().size()));
    });
    defineProperty(machine, prototype, "type", [](Machine&, display::EditTextInstance* field) {
        return Value(field->definition().readOnly ? QStringLiteral("dynamic") : QStringLiteral("input"));
    });
    defineProperty(machine, prototype, "multiline", [](Machine&, display::EditTextInstance* field) { return Value(field->definition().multiline); });
    defineProperty(machine, prototype, "wordWrap", [](Machine&, display::EditTextInstance* field) { return Value(field->definition().wordWrap); });
    defineProperty(machine, prototype, "password", [](Machine&, display::EditTextInstance* field) { return Value(field->definition().password); });
    defineProperty(machine, prototype, "border", [](Machine&, display::EditTextInstance* field) { return Value(field->definition().border); });
    defineProperty(machine, prototype, "selectable", [](Machine&, display::EditTextInstance* field) { return Value(!field->definition().noSelect); });
    prototype->setAllFlags(property_flag::DontEnum, 0);
}

} // namespace player::avm1::builtins
