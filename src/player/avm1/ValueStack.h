#pragma once

#include "Value.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>

namespace player::avm1 {

// The operand stack: values one after the other, like a vector of them, but with the room made
// sure of apart from the writes. The dispatch loop asks for room once per Push and then writes
// each value without a test, and its pops are a few instructions in place instead of a call.
class ValueStack {
public:
    ValueStack() = default;
    ~ValueStack()
    {
        clear();
        std::free(m_begin);
    }
    ValueStack(const ValueStack&) = delete;
    ValueStack& operator=(const ValueStack&) = delete;

    size_t size() const { return size_t(m_end - m_begin); }
    bool empty() const { return m_end == m_begin; }
    Value& operator[](size_t index) { return m_begin[index]; }
    const Value& operator[](size_t index) const { return m_begin[index]; }
    Value& back() { return m_end[-1]; }
    const Value& back() const { return m_end[-1]; }
    Value* begin() { return m_begin; }
    Value* end() { return m_end; }
    const Value* begin() const { return m_begin; }
    const Value* end() const { return m_end; }

    // Room for count more values: pushUnchecked may then be called that many times.
    void reserveMore(size_t count)
    {
        if (size_t(m_capacity - m_end) < count) [[unlikely]]
            grow(count);
    }
    template<class... Arguments>
    [[gnu::always_inline]] void pushUnchecked(Arguments&&... arguments)
    {
        std::construct_at(m_end, std::forward<Arguments>(arguments)...);
        ++m_end;
    }

    void push_back(const Value& value) { emplace_back(value); }
    void push_back(Value&& value) { emplace_back(std::move(value)); }
    template<class... Arguments>
    Value& emplace_back(Arguments&&... arguments)
    {
        if (m_end == m_capacity) [[unlikely]] {
            // The value may lie on this stack: it is taken before the values move.
            Value kept(std::forward<Arguments>(arguments)...);
            grow(1);
            std::construct_at(m_end, std::move(kept));
        } else {
            std::construct_at(m_end, std::forward<Arguments>(arguments)...);
        }
        return *m_end++;
    }
    [[gnu::always_inline]] void pop_back()
    {
        --m_end;
        std::destroy_at(m_end);
    }
    // Drops the top value, which must own nothing (be no string): nothing is let go.
    [[gnu::always_inline]] void dropPlain() { --m_end; }
    // Moves the top value into target, whose value goes, and drops it from the stack: its
    // bytes move as they are, so no count goes up and down and nothing is destroyed twice.
    [[gnu::always_inline]] void popInto(Value& target)
    {
        std::destroy_at(&target);
        --m_end;
        Value::relocate(target, *m_end);
    }
    // Shrinks to the given size, or grows to it with undefined values.
    void resize(size_t count)
    {
        const size_t current = size();
        if (count < current) {
            Value* newEnd = m_begin + count;
            std::destroy(newEnd, m_end);
            m_end = newEnd;
            return;
        }
        reserveMore(count - current);
        while (size() < count)
            pushUnchecked();
    }
    void clear() { resize(0); }

private:
    void grow(size_t count)
    {
        const size_t current = size();
        const size_t room = size_t(m_capacity - m_begin);
        const size_t wanted = std::max({room * 2, current + count, size_t(64)});
        auto* storage = static_cast<Value*>(std::malloc(wanted * sizeof(Value)));
        if (!storage)
            throw std::bad_alloc();
        for (size_t i = 0; i < current; ++i) {
            std::construct_at(storage + i, std::move(m_begin[i]));
            std::destroy_at(m_begin + i);
        }
        std::free(m_begin);
        m_begin = storage;
        m_end = storage + current;
        m_capacity = storage + wanted;
    }

    Value* m_begin = nullptr;
    Value* m_end = nullptr;
    Value* m_capacity = nullptr;
};

} // namespace player::avm1
