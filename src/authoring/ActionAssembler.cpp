#include "ActionAssembler.h"

#include <cassert>
#include <cmath>
#include <limits>

namespace authoring {

int ConstantPool::indexOf(const std::string& text)
{
    if (auto found = m_indices.find(text); found != m_indices.end())
        return found->second;
    // The ConstantPool action's payload is limited to 65535 bytes; keep well within it.
    if (m_strings.size() >= 0xffff || m_byteSize + int(text.size()) + 1 > 60000
        || text.find('\0') != std::string::npos)
        return -1;
    m_byteSize += int(text.size()) + 1;
    const int index = int(m_strings.size());
    m_strings.push_back(text);
    m_indices.emplace(text, index);
    return index;
}

ActionAssembler::ActionAssembler() : m_pool(std::make_shared<ConstantPool>()) {}

ActionAssembler::ActionAssembler(std::shared_ptr<ConstantPool> pool) : m_pool(std::move(pool)) {}

Label ActionAssembler::newLabel()
{
    m_labelOffsets.push_back(-1);
    return Label{int(m_labelOffsets.size()) - 1};
}

void ActionAssembler::bind(Label label)
{
    assert(label.id >= 0 && label.id < int(m_labelOffsets.size()));
    m_labelOffsets[size_t(label.id)] = m_code.size();
    m_openPushStart = -1; // a jump may land here: later pushes must not join an earlier Push
}

void ActionAssembler::action(ActionCode code, const QByteArray& payload)
{
    m_openPushStart = -1;
    m_code.u8(uint8_t(code));
    if (payload.size() > 0xffff)
        m_overflowed = true;
    if (hasPayload(code)) {
        m_code.u16(uint32_t(payload.size()));
        m_code.raw(payload);
    }
}

void ActionAssembler::op(ActionCode code)
{
    assert(!hasPayload(code));
    action(code, {});
}

namespace {

void writePushValue(ByteWriter& out, const PushValue& value)
{
    if (auto text = std::get_if<std::string>(&value)) {
        out.u8(0);
        out.string(*text);
    } else if (auto number = std::get_if<PushFloat>(&value)) {
        out.u8(1);
        out.f32(number->value);
    } else if (std::holds_alternative<PushNull>(value)) {
        out.u8(2);
    } else if (std::holds_alternative<PushUndefined>(value)) {
        out.u8(3);
    } else if (auto reg = std::get_if<PushRegister>(&value)) {
        out.u8(4);
        out.u8(reg->index);
    } else if (auto flag = std::get_if<bool>(&value)) {
        out.u8(5);
        out.u8(*flag ? 1 : 0);
    } else if (auto real = std::get_if<double>(&value)) {
        out.u8(6);
        out.avm1Double(*real);
    } else if (auto integer = std::get_if<int32_t>(&value)) {
        out.u8(7);
        out.u32(uint32_t(*integer));
    } else if (auto constant = std::get_if<PushConstant>(&value)) {
        if (constant->index < 256) {
            out.u8(8);
            out.u8(constant->index);
        } else {
            out.u8(9);
            out.u16(constant->index);
        }
    }
}

} // namespace

void ActionAssembler::push(const PushValue& value)
{
    ByteWriter encoded;
    writePushValue(encoded, value);
    if (m_openPushStart >= 0) {
        const QByteArray& code = m_code.bytes();
        const int length = uint8_t(code[m_openPushStart + 1]) | (uint8_t(code[m_openPushStart + 2]) << 8);
        if (length + encoded.size() <= 0xffff && m_openPushStart + 3 + length == m_code.size()) {
            m_code.raw(encoded.bytes());
            m_code.patchU16(m_openPushStart + 1, uint32_t(length + encoded.size()));
            return;
        }
    }
    const int start = m_code.size();
    action(ActionCode::Push, encoded.bytes());
    m_openPushStart = start;
}

void ActionAssembler::pushString(const std::string& text)
{
    const int index = m_pool->indexOf(text);
    if (index >= 0)
        push(PushConstant{uint16_t(index)});
    else
        push(text);
}

void ActionAssembler::pushNumber(double value)
{
    // -0 must stay a double: as an integer it would lose its sign.
    if (std::isfinite(value) && value == std::trunc(value) && value >= std::numeric_limits<int32_t>::min()
        && value <= std::numeric_limits<int32_t>::max() && !(value == 0.0 && std::signbit(value)))
        push(int32_t(value));
    else
        push(value);
}

void ActionAssembler::jump(Label target)
{
    action(ActionCode::Jump, QByteArray(2, '\0'));
    m_fixups.push_back({m_code.size() - 2, target.id});
}

void ActionAssembler::ifTrue(Label target)
{
    action(ActionCode::If, QByteArray(2, '\0'));
    m_fixups.push_back({m_code.size() - 2, target.id});
}

void ActionAssembler::storeRegister(uint8_t index)
{
    action(ActionCode::StoreRegister, QByteArray(1, char(index)));
}

void ActionAssembler::gotoFrame(uint16_t frame)
{
    ByteWriter payload;
    payload.u16(frame);
    action(ActionCode::GotoFrame, payload.bytes());
}

void ActionAssembler::gotoFrame2(bool play)
{
    action(ActionCode::GotoFrame2, QByteArray(1, char(play ? 1 : 0)));
}

void ActionAssembler::gotoLabel(const std::string& label)
{
    ByteWriter payload;
    payload.string(label);
    action(ActionCode::GotoLabel, payload.bytes());
}

void ActionAssembler::getUrl(const std::string& url, const std::string& target)
{
    ByteWriter payload;
    payload.string(url);
    payload.string(target);
    action(ActionCode::GetUrl, payload.bytes());
}

void ActionAssembler::getUrl2(uint8_t flags)
{
    action(ActionCode::GetUrl2, QByteArray(1, char(flags)));
}

void ActionAssembler::setTarget(const std::string& target)
{
    ByteWriter payload;
    payload.string(target);
    action(ActionCode::SetTarget, payload.bytes());
}

void ActionAssembler::with(const ActionAssembler& block)
{
    const QByteArray code = block.functionBody();
    if (code.size() > 0xffff || !block.fitsLengthFields())
        m_overflowed = true;
    ByteWriter payload;
    payload.u16(uint32_t(code.size()));
    action(ActionCode::With, payload.bytes());
    m_code.raw(code);
}

void ActionAssembler::defineFunction(const std::string& name, const std::vector<std::string>& parameters,
                                     const ActionAssembler& body)
{
    const QByteArray code = body.functionBody();
    if (code.size() > 0xffff || !body.fitsLengthFields())
        m_overflowed = true;
    ByteWriter payload;
    payload.string(name);
    payload.u16(uint32_t(parameters.size()));
    for (const std::string& parameter : parameters)
        payload.string(parameter);
    payload.u16(uint32_t(code.size()));
    action(ActionCode::DefineFunction, payload.bytes());
    // The body follows the action; its length counts in codeSize, not in the action's length.
    m_code.raw(code);
}

void ActionAssembler::defineFunction2(const std::string& name, const std::vector<FunctionParameter>& parameters,
                                      uint8_t registerCount, uint16_t flags, const ActionAssembler& body)
{
    const QByteArray code = body.functionBody();
    if (code.size() > 0xffff || !body.fitsLengthFields())
        m_overflowed = true;
    ByteWriter payload;
    payload.string(name);
    payload.u16(uint32_t(parameters.size()));
    payload.u8(registerCount);
    payload.u8(flags & 0xff);
    payload.u8(flags >> 8);
    for (const FunctionParameter& parameter : parameters) {
        payload.u8(parameter.registerIndex);
        payload.string(parameter.name);
    }
    payload.u16(uint32_t(code.size()));
    action(ActionCode::DefineFunction2, payload.bytes());
    m_code.raw(code);
}

QByteArray ActionAssembler::resolved() const
{
    QByteArray code = m_code.bytes();
    for (const Fixup& fixup : m_fixups) {
        const int target = m_labelOffsets[size_t(fixup.labelId)];
        assert(target >= 0 && "jump to a label that was never bound");
        const int offset = target - (fixup.position + 2);
        code[fixup.position] = char(offset & 0xff);
        code[fixup.position + 1] = char((offset >> 8) & 0xff);
    }
    return code;
}

bool ActionAssembler::fitsLengthFields() const
{
    if (m_overflowed)
        return false;
    for (const Fixup& fixup : m_fixups) {
        const int offset = m_labelOffsets[size_t(fixup.labelId)] - (fixup.position + 2);
        if (offset < -32768 || offset > 32767)
            return false;
    }
    return true;
}

QByteArray ActionAssembler::functionBody() const
{
    return resolved();
}

QByteArray ActionAssembler::finish() const
{
    ByteWriter out;
    if (!m_pool->strings().empty()) {
        ByteWriter payload;
        payload.u16(uint32_t(m_pool->strings().size()));
        for (const std::string& text : m_pool->strings())
            payload.string(text);
        out.u8(uint8_t(ActionCode::ConstantPool));
        out.u16(uint32_t(payload.size()));
        out.raw(payload.bytes());
    }
    out.raw(resolved());
    out.u8(uint8_t(ActionCode::End));
    return out.bytes();
}

} // namespace authoring
