#pragma once

#include <QString>
#include <array>
#include <concepts>
#include <new>
#include <utility>

namespace player::avm1 {

class Object;

// One ActionScript value. Objects are owned by the heap; a value only points at one.
class Value {
public:
    enum class Type : unsigned char { Undefined, Null, Boolean, Number, String, Object };

    Value() : m_words{} {}
    // Only a real bool makes a boolean: a pointer must never turn into one by accident.
    template<class Boolean>
        requires std::same_as<Boolean, bool>
    Value(Boolean boolean) : m_type(Type::Boolean), m_words{} { m_number = boolean ? 1 : 0; }
    Value(double number) : m_type(Type::Number), m_words{} { m_number = number; }
    Value(int number) : m_type(Type::Number), m_words{} { m_number = number; }
    Value(const QString& text) : m_type(Type::String), m_string(text) {}
    Value(QString&& text) : m_type(Type::String), m_string(std::move(text)) {}
    Value(const char* text) : m_type(Type::String), m_string(QString::fromUtf8(text)) {}
    Value(Object* object) : m_type(object ? Type::Object : Type::Null), m_words{} { m_object = object; }

    // Only strings own anything: the other types copy as plain bits. A copy is a few
    // instructions, made everywhere values move: always inline, even in the largest functions.
    [[gnu::always_inline]] Value(const Value& other) : m_type(other.m_type)
    {
        if (m_type == Type::String)
            new (&m_string) QString(other.m_string);
        else
            m_words = other.m_words;
    }
    [[gnu::always_inline]] Value(Value&& other) noexcept : m_type(other.m_type)
    {
        if (m_type == Type::String)
            new (&m_string) QString(std::move(other.m_string));
        else
            m_words = other.m_words;
    }
    [[gnu::always_inline]] Value& operator=(const Value& other)
    {
        if (m_type == Type::String && other.m_type == Type::String) {
            m_string = other.m_string;
            return *this;
        }
        if (this != &other) {
            clearString();
            m_type = other.m_type;
            if (m_type == Type::String)
                new (&m_string) QString(other.m_string);
            else
                m_words = other.m_words;
        }
        return *this;
    }
    Value& operator=(Value&& other) noexcept
    {
        if (m_type == Type::String && other.m_type == Type::String) {
            m_string = std::move(other.m_string);
            return *this;
        }
        if (this != &other) {
            clearString();
            m_type = other.m_type;
            if (m_type == Type::String)
                new (&m_string) QString(std::move(other.m_string));
            else
                m_words = other.m_words;
        }
        return *this;
    }
    ~Value() { clearString(); }

    // Makes the value undefined without letting go of anything: for a value whose bytes were
    // moved elsewhere as they are (see relocate), or whose text was destroyed. Its other bytes
    // are left, as an undefined value's are never read.
    void forget() { m_type = Type::Undefined; }
    // Puts a value's bytes, as they are, into room that holds no value (destroyed or never
    // made): no count goes up, so the source must then be forgotten or overwritten, not
    // destroyed. A value does not refer to its own address (a text is a pointer to shared
    // characters), so this is a move.
    static void relocate(Value& destination, const Value& source)
    {
        destination.m_type = source.m_type;
        destination.m_words = source.m_words;
    }

    static Value null() { Value value; value.m_type = Type::Null; return value; }

    // Makes the value a number or a boolean where it lies: what an action does to the operand
    // it leaves its result in.
    void setNumber(double number)
    {
        clearString();
        m_type = Type::Number;
        m_number = number;
    }
    void setBoolean(bool boolean)
    {
        clearString();
        m_type = Type::Boolean;
        m_number = boolean ? 1 : 0;
    }

    Type type() const { return m_type; }
    bool isUndefined() const { return m_type == Type::Undefined; }
    bool isNull() const { return m_type == Type::Null; }
    bool isNullish() const { return m_type == Type::Undefined || m_type == Type::Null; }
    bool isBoolean() const { return m_type == Type::Boolean; }
    bool isNumber() const { return m_type == Type::Number; }
    bool isString() const { return m_type == Type::String; }
    bool isObject() const { return m_type == Type::Object; }
    bool isPrimitive() const { return m_type != Type::Object; }
    // A string, number or boolean: the values a built-in class boxes into an object.
    bool isBoxable() const { return m_type == Type::String || m_type == Type::Number || m_type == Type::Boolean; }

    bool asBoolean() const { return (m_type == Type::Boolean || m_type == Type::Number) && m_number != 0; }
    double asNumber() const { return m_type == Type::Boolean || m_type == Type::Number ? m_number : 0; }
    const QString& asString() const { return m_type == Type::String ? m_string : emptyString(); }
    Object* asObject() const { return m_type == Type::Object ? m_object : nullptr; }
    // The text of a string value, to be changed where it lies; only for strings.
    QString& stringInPlace() { return m_string; }

    // Same type and same value, NaN equal to NaN: what strict equality and switch need, less NaN.
    bool strictlyEquals(const Value& other) const;

private:
    static const QString& emptyString();
    void clearString()
    {
        if (m_type == Type::String)
            m_string.~QString();
    }

    Type m_type = Type::Undefined;
    // The member that the type names: a number for booleans and numbers, the object, the text.
    union {
        double m_number;
        Object* m_object;
        QString m_string;
        // All of the member's bytes, so that copying a value that is no string copies them all.
        std::array<quintptr, sizeof(QString) / sizeof(quintptr)> m_words;
    };
};

} // namespace player::avm1
