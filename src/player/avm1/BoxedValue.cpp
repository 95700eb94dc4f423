#include "BoxedValue.h"

#include "Machine.h"
#include "Marker.h"

namespace player::avm1 {

namespace {

bool isLengthOfString(Machine& machine, const BoxedValue& box, const QString& name)
{
    return box.kind() == ObjectKind::String && box.value().isString()
           && name.compare(QLatin1String("length"), machine.nameCase()) == 0;
}

} // namespace

void BoxedValue::rememberBoxingClass(const Value& constructor, bool alsoAsConstructor)
{
    m_boxingClass = constructor;
    m_boxingClassAsConstructor = alsoAsConstructor;
}

BoxedValue::BoxingName BoxedValue::boxingNameOf(Machine& machine, const QString& name) const
{
    if (m_boxingClass.isUndefined() || name.size() < 11)
        return BoxingName::None;
    if (machine.swfVersion() >= 6 && name.compare(QLatin1String("__constructor__"), machine.nameCase()) == 0)
        return BoxingName::DunderConstructor;
    if (m_boxingClassAsConstructor && name.compare(QLatin1String("constructor"), machine.nameCase()) == 0)
        return BoxingName::Constructor;
    return BoxingName::None;
}

// Once a script writes or deletes one of the two names they become ordinary slots, so that
// from then on the box behaves as any constructed object.
void BoxedValue::makeBoxingSlots()
{
    if (m_boxingClass.isUndefined())
        return;
    define(QStringLiteral("__constructor__"), m_boxingClass, property_flag::DontEnum | property_flag::FromVersion6);
    if (m_boxingClassAsConstructor)
        define(QStringLiteral("constructor"), m_boxingClass, property_flag::DontEnum);
    m_boxingClass = Value();
}

// A string object's length is its own hidden property that cannot be deleted. It reads as the
// length of the text until a script writes another value there.
bool BoxedValue::getSpecial(Machine& machine, const QString& name, Value& result)
{
    if (boxingNameOf(machine, name) != BoxingName::None) {
        result = m_boxingClass;
        return true;
    }
    if (!isLengthOfString(machine, *this, name) || findOwn(name, machine.caseSensitive()))
        return false;
    result = Value(double(m_value.asString().size()));
    return true;
}

bool BoxedValue::setSpecial(Machine& machine, const QString& name, const Value& value)
{
    if (boxingNameOf(machine, name) != BoxingName::None) {
        makeBoxingSlots();
        return false;
    }
    if (!isLengthOfString(machine, *this, name) || findOwn(name, machine.caseSensitive()))
        return false;
    define(QStringLiteral("length"), value, property_flag::DontEnum | property_flag::DontDelete);
    return true;
}

bool BoxedValue::remove(Machine& machine, const QString& name)
{
    if (boxingNameOf(machine, name) != BoxingName::None)
        makeBoxingSlots();
    return Object::remove(machine, name);
}

void BoxedValue::traceReferences(Marker& marker)
{
    Object::traceReferences(marker);
    marker.mark(m_boxingClass);
}

Value boxedValueOf(Machine& machine, Object* self, ObjectKind kind)
{
    self = machine.nativePartOf(self);
    if (self && self->kind() == kind)
        return static_cast<BoxedValue*>(self)->value();
    return Value();
}

} // namespace player::avm1
