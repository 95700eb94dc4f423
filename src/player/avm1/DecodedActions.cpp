#include "DecodedActions.h"

#include "ActionCodes.h"

#include <QtEndian>
#include <cstring>
#include <limits>

namespace player::avm1 {

namespace {

// Reads past the end of the bytes give 0, as a cut-short payload does in Flash.
uint16_t readU16(const swf::Bytes& bytes, size_t at)
{
    if (at + 2 > bytes.size())
        return 0;
    return uint16_t(bytes[at] | (bytes[at + 1] << 8));
}

uint32_t readU32(const swf::Bytes& bytes, size_t at)
{
    if (at + 4 > bytes.size())
        return 0;
    uint32_t value;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return qFromLittleEndian(value);
}

} // namespace

DecodedActions::DecodedActions(const swf::ActionBytes& bytes, bool textIsUtf8)
    : m_bytes(bytes), m_textIsUtf8(textIsUtf8), m_indexAt(bytes.size(), -1)
{
}

DecodedActions& DecodedActions::readAnew(const swf::ActionBytes& bytes, bool textIsUtf8)
{
    std::shared_ptr<DecodedActions>& form = bytes.decoded.forms[textIsUtf8 ? 1 : 0];
    form = std::make_shared<DecodedActions>(bytes, textIsUtf8);
    return *form;
}

int32_t DecodedActions::decode(size_t position)
{
    const swf::Bytes& bytes = m_bytes;
    const size_t size = bytes.size();
    Step step;
    step.code = bytes[position];
    step.payload = position + 1;
    if (step.code >= 0x80) {
        step.length = position + 3 <= size ? uint32_t(bytes[position + 1]) | (uint32_t(bytes[position + 2]) << 8) : 0;
        step.payload = position + 3;
        if (position + 3 > size || step.payload + step.length > size)
            step.code = 0; // a truncated action ends the list
    }
    step.next = step.payload + step.length;
    switch (Action(step.code)) {
    case Action::Push:
        decodePush(step);
        break;
    case Action::StoreRegister:
        step.registerIndex = step.payload < size ? bytes[step.payload] : 0;
        break;
    case Action::Jump:
    case Action::If:
        step.branch = size_t(int64_t(step.next) + int16_t(readU16(bytes, step.payload)));
        break;
    default:
        if (comparesNumbers(Action(step.code)))
            readBranchAfter(step);
        break;
    }
    // A list too long to number would never be read this far; stop rather than overflow.
    if (m_steps.size() >= size_t(std::numeric_limits<int32_t>::max()))
        step = Step{};
    m_steps.push_back(step);
    m_indexAt[position] = int32_t(m_steps.size() - 1);
    return m_indexAt[position];
}

void DecodedActions::readBranchAfter(Step& step) const
{
    const swf::Bytes& bytes = m_bytes;
    size_t ifAt = step.next;
    const bool negated = ifAt < bytes.size() && bytes[ifAt] == uint8_t(Action::Not);
    if (negated)
        ++ifAt;
    if (ifAt + 3 > bytes.size() || bytes[ifAt] != uint8_t(Action::If))
        return;
    // Read as the If itself is: where it ends comes from its length field.
    const size_t ifNext = ifAt + 3 + readU16(bytes, ifAt + 1);
    if (ifNext > bytes.size())
        return;
    step.branchesAfter = negated ? 2 : 1;
    step.branch = size_t(int64_t(ifNext) + int16_t(readU16(bytes, ifAt + 3)));
    step.otherwise = ifNext;
}

QString DecodedActions::textAt(const swf::ActionBytes& bytes, size_t start, size_t limit, size_t& after, bool utf8)
{
    limit = std::min(limit, bytes.size());
    size_t end = start;
    while (end < limit && bytes[end] != 0)
        ++end;
    after = end < limit ? end + 1 : end;
    const char* data = reinterpret_cast<const char*>(bytes.data() + start);
    const qsizetype length = qsizetype(end - start);
    return utf8 ? QString::fromUtf8(data, length) : QString::fromLatin1(data, length);
}

void DecodedActions::decodePush(Step& step)
{
    const swf::Bytes& bytes = m_bytes;
    const size_t end = step.next;
    size_t position = step.payload;
    step.firstValue = uint32_t(m_pushValues.size());
    auto constant = [&](Value value) {
        m_pushValues.push_back({PushValue::Kind::Constant, uint32_t(m_constants.size())});
        m_constants.push_back(std::move(value));
    };
    while (position < end) {
        const uint8_t type = bytes[position++];
        switch (type) {
        case 0: {
            size_t after = position;
            constant(Value(textAt(m_bytes, position, end, after, m_textIsUtf8)));
            position = after;
            break;
        }
        case 1: {
            const uint32_t raw = readU32(bytes, position);
            float number;
            std::memcpy(&number, &raw, sizeof number);
            constant(Value(double(number)));
            position += 4;
            break;
        }
        case 2:
            constant(Value::null());
            break;
        case 3:
            constant(Value());
            break;
        case 4:
            m_pushValues.push_back({PushValue::Kind::Register, position < end ? bytes[position] : 0u});
            position += 1;
            break;
        case 5:
            constant(Value(position < end && bytes[position] != 0));
            position += 1;
            break;
        case 6: {
            // Doubles are stored as two little-endian halves, the high half first.
            const uint64_t high = readU32(bytes, position);
            const uint64_t low = readU32(bytes, position + 4);
            const uint64_t raw = (high << 32) | low;
            double number;
            std::memcpy(&number, &raw, sizeof number);
            constant(Value(number));
            position += 8;
            break;
        }
        case 7:
            constant(Value(double(int32_t(readU32(bytes, position)))));
            position += 4;
            break;
        case 8:
        case 9:
            m_pushValues.push_back({PushValue::Kind::Pool, type == 8 ? (position < end ? bytes[position] : 0u) : readU16(bytes, position)});
            position += type == 8 ? 1 : 2;
            break;
        default:
            position = end; // an unknown type: the rest of the record cannot be read
            break;
        }
    }
    step.valueCount = uint16_t(m_pushValues.size() - step.firstValue);
    step.namesCall = step.valueCount > 0 && m_pushValues.back().kind == PushValue::Kind::Pool && end < bytes.size()
                     && bytes[end] == uint8_t(Action::CallFunction);
    // Increment or Decrement, StoreRegister, Pop: the store's payload is its length (1, 0) and
    // the register.
    auto storesBackAndPops = [&](size_t store, uint32_t index) {
        return store + 5 <= bytes.size() && bytes[store] == uint8_t(Action::StoreRegister) && bytes[store + 1] == 1
               && bytes[store + 2] == 0 && bytes[store + 3] == index && bytes[store + 4] == uint8_t(Action::Pop);
    };
    if (step.valueCount > 0 && m_pushValues.back().kind == PushValue::Kind::Register && end < bytes.size()
        && (bytes[end] == uint8_t(Action::Increment) || bytes[end] == uint8_t(Action::Decrement))
        && storesBackAndPops(end + 1, m_pushValues.back().index)) {
        step.registerStep = bytes[end] == uint8_t(Action::Increment) ? 1 : -1;
        return;
    }
    for (uint8_t pieces = 2; pieces >= 1 && !step.namesCall; --pieces) {
        if (step.valueCount < pieces + 1u)
            continue;
        const PushValue& text = m_pushValues[m_pushValues.size() - pieces - 1];
        if (text.kind != PushValue::Kind::Register)
            continue;
        const size_t store = end + pieces;
        if (store + 5 > bytes.size())
            continue;
        bool adds = true;
        for (size_t i = end; i < store; ++i)
            adds = adds && bytes[i] == uint8_t(Action::Add2);
        if (adds && storesBackAndPops(store, text.index)) {
            step.appendedPieces = pieces;
            break;
        }
    }
}

} // namespace player::avm1
