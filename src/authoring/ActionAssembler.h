#pragma once

#include "ActionCode.h"
#include "ByteWriter.h"

#include <QByteArray>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace authoring {

// The strings of one DoAction's ConstantPool. Functions defined inside that DoAction use the
// same pool, so nested assemblers share it.
class ConstantPool {
public:
    // The string's index, or -1 when the pool is full (the string is then pushed inline).
    int indexOf(const std::string& text);
    const std::vector<std::string>& strings() const { return m_strings; }

private:
    std::vector<std::string> m_strings;
    std::map<std::string, int> m_indices;
    int m_byteSize = 2;
};

struct PushNull {};
struct PushUndefined {};
struct PushRegister { uint8_t index = 0; };
struct PushConstant { uint16_t index = 0; };
struct PushFloat { float value = 0.0f; };
using PushValue = std::variant<std::string, PushFloat, PushNull, PushUndefined, PushRegister, bool,
                               double, int32_t, PushConstant>;

struct Label {
    int id = -1;
};

struct FunctionParameter {
    std::string name;
    uint8_t registerIndex = 0; // 0: the parameter is a named variable
};

// DefineFunction2 flags (preload and suppress bits), in file order.
namespace function_flags {
constexpr uint16_t PreloadParent = 0x80;
constexpr uint16_t PreloadRoot = 0x40;
constexpr uint16_t SuppressSuper = 0x20;
constexpr uint16_t PreloadSuper = 0x10;
constexpr uint16_t SuppressArguments = 0x08;
constexpr uint16_t PreloadArguments = 0x04;
constexpr uint16_t SuppressThis = 0x02;
constexpr uint16_t PreloadThis = 0x01;
constexpr uint16_t PreloadGlobal = 0x100;
} // namespace function_flags

// Assembles AVM1 action bytes with forward and backward labels. Consecutive pushes merge into
// one Push action, as Flash's compiler does.
class ActionAssembler {
public:
    ActionAssembler();
    explicit ActionAssembler(std::shared_ptr<ConstantPool> pool);

    // Another assembler for a function body, sharing this one's constant pool.
    ActionAssembler nested() const { return ActionAssembler(m_pool); }

    Label newLabel();
    void bind(Label label);

    void op(ActionCode code);
    void push(const PushValue& value);
    void pushString(const std::string& text); // through the constant pool when possible
    void pushNumber(double value);            // an integer when exact, else a double
    void jump(Label target);
    void ifTrue(Label target);
    void storeRegister(uint8_t index);
    void gotoFrame(uint16_t frame);
    void gotoFrame2(bool play);
    void gotoLabel(const std::string& label);
    void getUrl(const std::string& url, const std::string& target);
    void getUrl2(uint8_t flags);
    void setTarget(const std::string& target);
    // With: the object is on the stack; the block's code follows the action.
    void with(const ActionAssembler& block);
    void defineFunction(const std::string& name, const std::vector<std::string>& parameters,
                        const ActionAssembler& body);
    void defineFunction2(const std::string& name, const std::vector<FunctionParameter>& parameters,
                         uint8_t registerCount, uint16_t flags, const ActionAssembler& body);

    // The finished bytes: a ConstantPool action first when strings went into the pool, then the
    // code, then End unless this is a function body.
    QByteArray finish() const;
    QByteArray functionBody() const;

    // False when a jump spans more than 32767 bytes, or a function body or an action's payload
    // outgrew its 16-bit length field: the bytes are then unusable.
    bool fitsLengthFields() const;

private:
    void action(ActionCode code, const QByteArray& payload);
    QByteArray resolved() const;

    std::shared_ptr<ConstantPool> m_pool;
    ByteWriter m_code;
    std::vector<int> m_labelOffsets;
    struct Fixup {
        int position; // of the 16-bit offset field
        int labelId;
    };
    std::vector<Fixup> m_fixups;
    int m_openPushStart = -1;
    bool m_overflowed = false;
};

} // namespace authoring
