#pragma once

#include "Value.h"
#include "player/swf/ActionBytes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace player::avm1 {

// An action list read once into a form ready to run: each action's code, where its payload lies
// and where the next one starts, a branch's destination, and a Push's values with their texts
// already decoded. Actions are read where a run first reaches them, so a branch into the middle
// of another action (into a Push's data, say) reads the bytes from there as actions of their own,
// as Flash does; every byte position keeps its own reading. The form belongs to the bytes it was
// read from and is kept with them (see ActionBytes).
class DecodedActions {
public:
    // One action. An End, or an action cut short by the end of the bytes, has code 0: a run stops
    // there.
    struct Step {
        uint8_t code = 0;
        uint8_t registerIndex = 0; // StoreRegister's register
        uint16_t valueCount = 0;   // Push: how many values, from firstValue on
        uint32_t firstValue = 0;
        size_t payload = 0;
        uint32_t length = 0; // an action's length field has 16 bits
        // Push: the last value is an entry of the constant pool and a CallFunction follows, so
        // that value is the name of the function called.
        bool namesCall = false;
        // Push: 1 or 2 when the values end with a register and that many more, and the actions
        // that follow add those to the register's value and store the sum back into it, as
        // text += piece and text += a + b compile (Add2 once or twice, StoreRegister, Pop).
        uint8_t appendedPieces = 0;
        // Push: +1 or -1 when the last value is a register and Increment or Decrement, a store
        // back into that register and a Pop follow, as i++ and i-- compile.
        int8_t registerStep = 0;
        // A comparison: 1 when an If follows it, 2 when a Not and an If do; branch is then the
        // If's destination and otherwise where the If goes on when it does not branch.
        uint8_t branchesAfter = 0;
        size_t next = 0;
        size_t branch = 0; // Jump and If: the destination (a position before 0 wraps round)
        size_t otherwise = 0;
    };

    // A value a Push puts on the stack: a constant read from the bytes, a register's content, or
    // an entry of the constant pool in force when the action runs.
    struct PushValue {
        enum class Kind : uint8_t { Constant, Register, Pool };
        Kind kind;
        uint32_t index; // into constants(), the register number, or the pool entry
    };

    // textIsUtf8: how the strings of the bytes read (UTF-8 from SWF 6 on, Windows-1252 before).
    DecodedActions(const swf::ActionBytes& bytes, bool textIsUtf8);

    // The action that starts at position, which must lie inside the bytes.
    const Step& at(size_t position)
    {
        const int32_t index = m_indexAt[position];
        return m_steps[size_t(index >= 0 ? index : decode(position))];
    }
    const PushValue* pushValues(const Step& step) const { return m_pushValues.data() + step.firstValue; }
    // How many bytes the actions after such a Push take, up to and with the Pop.
    static constexpr size_t appendedLength(uint8_t pieces) { return pieces == 2 ? 7 : 6; }
    // The same for the actions after a Push that steps a register.
    static constexpr size_t steppedLength = 6;
    const Value& constant(uint32_t index) const { return m_constants[index]; }

    // The decoded form of the bytes for the given text rule, read the first time it is asked for
    // and kept with the bytes.
    static DecodedActions& of(const swf::ActionBytes& bytes, bool textIsUtf8)
    {
        // Every call of a function asks: the form read before is found without a call.
        const std::shared_ptr<DecodedActions>& form = bytes.decoded.forms[textIsUtf8 ? 1 : 0];
        if (form && form->m_indexAt.size() == bytes.size()) [[likely]]
            return *form;
        return readAnew(bytes, textIsUtf8);
    }

    // The zero-ended text at start, read no further than limit; after is set past its zero.
    // Text in SWF 6 and later is UTF-8; before, it is in the author's code page, which Flash
    // read as Windows-1252 on the systems these movies were made for.
    static QString textAt(const swf::ActionBytes& bytes, size_t start, size_t limit, size_t& after, bool utf8);

    // How many actions have been read so far.
    size_t stepCount() const { return m_steps.size(); }

private:
    // Bytes read for the first time, or that grew or shrank since they were read.
    static DecodedActions& readAnew(const swf::ActionBytes& bytes, bool textIsUtf8);
    int32_t decode(size_t position);
    void decodePush(Step& step);
    // For a comparison: whether an If, or a Not and an If, follow it, and where they lead.
    void readBranchAfter(Step& step) const;

    const swf::ActionBytes& m_bytes;
    bool m_textIsUtf8;
    std::vector<int32_t> m_indexAt; // per byte position: its action in m_steps, or -1 when unread
    std::vector<Step> m_steps;
    std::vector<PushValue> m_pushValues;
    std::vector<Value> m_constants;
};

} // namespace player::avm1
