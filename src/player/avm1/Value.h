#pragma once

#include <QString>
#include <concepts>

namespace player::avm1 {

class Object;

// One ActionScript value. Objects are owned by the heap; a value only points at one.
class Value {
public:
    enum class Type : unsigned char { Undefined, Null, Boolean, Number, String, Object };

    Value() = default;
    // Only a real bool makes a boolean: a pointer must never turn into one by accident.
    template<class Boolean>
        requires std::same_as<Boolean, bool>
    Value(Boolean boolean) : m_type(Type::Boolean), m_number(boolean ? 1 : 0) {}
    Value(double number) : m_type(Type::Number), m_number(number) {}
    Value(int number) : m_type(Type::Number), m_number(number) {}
    Value(const QString& text) : m_type(Type::String), m_string(text) {}
    Value(const char* text) : m_type(Type::String), m_string(QString::fromUtf8(text)) {}
    Value(Object* object) : m_type(object ? Type::Object : Type::Null), m_object(object) {}

    static Value null() { Value value; value.m_type = Type::Null; return value; }

    Type type() const { return m_type; }
    bool isUndefined() const { return m_type == Type::Undefined; }
    bool isNull() const { return m_type == Type::Null; }
    bool isNullish() const { return m_type == Type::Undefined || m_type == Type::Null; }
    bool isBoolean() const { return m_type == Type::Boolean; }
    bool isNumber() const { return m_type == Type::Number; }
    bool isString() const { return m_type == Type::String; }
    bool isObject() const { return m_type == Type::Object; }
    bool isPrimitive() const { return m_type != Type::Object; }

    bool asBoolean() const { return m_number != 0; }
    double asNumber() const { return m_number; }
    const QString& asString() const { return m_string; }
    Object* asObject() const { return m_type == Type::Object ? m_object : nullptr; }

    // Same type and same value, NaN equal to NaN: what strict equality and switch need, less NaN.
    bool strictlyEquals(const Value& other) const;

private:
    Type m_type = Type::Undefined;
    double m_number = 0;
    QString m_string;
    Object* m_object = nullptr;
};

} // namespace player::avm1
