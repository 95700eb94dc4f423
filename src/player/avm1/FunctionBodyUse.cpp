#include "FunctionBodyUse.h"

#include "ActionCodes.h"
#include "DecodedActions.h"
#include "NameCase.h"

#include <QStringView>
#include <cstdint>

namespace player::avm1 {

namespace {

// Whether text holds word (lower-case letters) in any case, as names of SWF 6 and older match.
bool mentions(QStringView text, QLatin1StringView word)
{
    const qsizetype length = word.size();
    for (qsizetype at = 0; at + length <= text.size(); ++at) {
        qsizetype matched = 0;
        while (matched < length && lowerNameCharacter(text[at + matched].unicode()) == char16_t(word[matched].unicode()))
            ++matched;
        if (matched == length)
            return true;
    }
    return false;
}

void noteMentions(QStringView text, FunctionBodyUse& use)
{
    use.thisName = use.thisName || mentions(text, QLatin1StringView("this"));
    use.argumentsName = use.argumentsName || mentions(text, QLatin1StringView("arguments"));
    use.superName = use.superName || mentions(text, QLatin1StringView("super"));
}

uint16_t readU16(const swf::ActionBytes& bytes, size_t at)
{
    return at + 2 <= bytes.size() ? uint16_t(bytes[at] | (bytes[at + 1] << 8)) : 0;
}

// Past the zero that ends the text at position, no further than end.
size_t skipText(const swf::ActionBytes& bytes, size_t position, size_t end)
{
    while (position < end && bytes[position] != 0)
        ++position;
    return position < end ? position + 1 : end;
}

// The length of a nested function's body, read from its definition as the interpreter reads it.
size_t nestedBodyLength(const swf::ActionBytes& bytes, const DecodedActions::Step& step, bool version2)
{
    const size_t end = step.payload + step.length;
    size_t position = skipText(bytes, step.payload, end);
    const uint16_t parameterCount = readU16(bytes, position);
    position += version2 ? 5 : 2;
    for (uint16_t i = 0; i < parameterCount && position < end; ++i)
        position = skipText(bytes, position + (version2 ? 1 : 0), end);
    return readU16(bytes, position);
}

// What the abstract run knows of a stack entry: a name that cannot be computed (a constant or a
// pool entry, whose texts were read for mentions already), a constant count, or nothing.
struct Entry {
    enum Kind : uint8_t { Unknown, Name, Count } kind = Unknown;
    double count = 0;
};

// The entries the run knows, top last; below them the stack is unknown.
class AbstractStack {
public:
    void forget() { m_entries.clear(); }
    void push(Entry entry) { m_entries.push_back(entry); }
    Entry pop()
    {
        if (m_entries.empty())
            return {};
        Entry top = m_entries.back();
        m_entries.pop_back();
        return top;
    }
    void drop(size_t count)
    {
        for (size_t i = 0; i < count; ++i)
            pop();
    }
    // Pops count entries and pushes one unknown result.
    void replace(size_t count)
    {
        drop(count);
        push({});
    }
    // The counted actions: an unknown or unlikely count leaves nothing known.
    bool dropCounted(size_t perItem, size_t extra)
    {
        const Entry count = pop();
        if (count.kind != Entry::Count || !(count.count >= 0 && count.count < 65536)) {
            forget();
            return false;
        }
        drop(size_t(count.count) * perItem + extra);
        return true;
    }
    Entry peek(size_t depth) const
    {
        return depth < m_entries.size() ? m_entries[m_entries.size() - 1 - depth] : Entry{};
    }

private:
    std::vector<Entry> m_entries;
};

} // namespace

FunctionBodyUse FunctionBodyUse::scan(const swf::ActionBytes& bytes, size_t start, size_t length, bool textIsUtf8,
                                      const std::vector<QString>* pool)
{
    const size_t end = start + length;
    if (start > bytes.size() || length > bytes.size() - start)
        return everything();
    FunctionBodyUse use{false, false, false, false};
    // Every text of the body (pushed strings, pools, names of nested functions and catches) lies
    // in its bytes: reading all of them as text finds each. Both text rules are read, as a call
    // made by older code may run the body by the other one.
    const char* raw = reinterpret_cast<const char*>(bytes.data() + start);
    noteMentions(QString::fromUtf8(raw, qsizetype(length)), use);
    noteMentions(QString::fromLatin1(raw, qsizetype(length)), use);
    if (pool) {
        for (const QString& text : *pool)
            noteMentions(text, use);
    }

    // First pass: where actions start, and the places a run may reach other than from the
    // action before (branch destinations, the blocks of with, try and nested functions).
    DecodedActions& decoded = DecodedActions::of(bytes, textIsUtf8);
    std::vector<uint8_t> marks(length + 1, 0);
    constexpr uint8_t startsAction = 1;
    constexpr uint8_t entered = 2;
    auto enter = [&](size_t position) {
        if (position < start || position > end)
            return false;
        marks[position - start] |= entered;
        return true;
    };
    size_t position = start;
    while (position < end) {
        const DecodedActions::Step& step = decoded.at(position);
        marks[position - start] |= startsAction;
        if (step.code == 0) {
            if (bytes[position] != 0)
                return everything(); // cut short
            position += 1;
            continue;
        }
        switch (Action(step.code)) {
        case Action::Jump:
        case Action::If:
            if (!enter(step.branch))
                return everything();
            break;
        case Action::WaitForFrame:
        case Action::WaitForFrame2:
            return everything();
        case Action::DefineFunction:
        case Action::DefineFunction2:
            enter(step.next);
            if (!enter(step.next + nestedBodyLength(bytes, step, step.code == uint8_t(Action::DefineFunction2))))
                return everything();
            break;
        case Action::With:
            if (!enter(step.next + readU16(bytes, step.payload)))
                return everything();
            break;
        case Action::Try: {
            const size_t tryStart = step.next;
            const size_t catchStart = tryStart + readU16(bytes, step.payload + 1);
            const size_t finallyStart = catchStart + readU16(bytes, step.payload + 3);
            if (!enter(catchStart) || !enter(finallyStart) || !enter(finallyStart + readU16(bytes, step.payload + 5)))
                return everything();
            break;
        }
        default:
            break;
        }
        position = step.next;
    }
    // The last action reaches past the body: the run goes on in the bytes after it.
    if (position != end)
        return everything();
    for (size_t at = 0; at < length; ++at) {
        if ((marks[at] & entered) && !(marks[at] & startsAction))
            return everything();
    }

    // Second pass: the names the variable actions take, followed through the stack.
    AbstractStack stack;
    bool computedName = false;
    auto takeName = [&](size_t depth) {
        if (stack.peek(depth).kind == Entry::Unknown)
            computedName = true;
    };
    position = start;
    while (position < end) {
        if (marks[position - start] & entered)
            stack.forget();
        const DecodedActions::Step& step = decoded.at(position);
        position = step.code == 0 ? position + 1 : step.next;
        switch (Action(step.code)) {
        case Action::End:
            stack.forget();
            break;
        case Action::Push: {
            const DecodedActions::PushValue* value = decoded.pushValues(step);
            for (uint16_t i = 0; i < step.valueCount; ++i, ++value) {
                if (value->kind == DecodedActions::PushValue::Kind::Pool) {
                    stack.push({Entry::Name});
                } else if (value->kind == DecodedActions::PushValue::Kind::Constant) {
                    const Value& constant = decoded.constant(value->index);
                    stack.push({constant.isNumber() ? Entry::Count : Entry::Name, constant.asNumber()});
                } else {
                    stack.push({});
                }
            }
            break;
        }
        case Action::GetVariable:
        case Action::Delete2:
            takeName(0);
            stack.replace(1);
            break;
        case Action::DefineLocal2:
            use.locals = true;
            takeName(0);
            stack.drop(1);
            break;
        case Action::SetVariable:
            takeName(1);
            stack.drop(2);
            break;
        case Action::DefineLocal:
            use.locals = true;
            takeName(1);
            stack.drop(2);
            break;
        case Action::Enumerate:
            takeName(0);
            stack.forget();
            break;
        case Action::CallFunction:
        case Action::NewObject:
            takeName(0);
            stack.drop(1);
            if (stack.dropCounted(1, 0))
                stack.push({});
            break;
        case Action::CallMethod:
        case Action::NewMethod:
            stack.drop(2);
            if (stack.dropCounted(1, 0))
                stack.push({});
            break;
        case Action::InitArray:
            if (stack.dropCounted(1, 0))
                stack.push({});
            break;
        case Action::InitObject:
            if (stack.dropCounted(2, 0))
                stack.push({});
            break;
        case Action::DefineFunction:
        case Action::DefineFunction2:
            // A nested function keeps the chain; its body runs on a stack this run cannot know.
            use.locals = true;
            stack.forget();
            break;
        case Action::Try:
            if (step.length > 0 && (bytes[step.payload] & 1) && !(bytes[step.payload] & 4))
                use.locals = true; // the caught value goes to a local by name
            break;
        case Action::Pop:
        case Action::If:
        case Action::Trace:
        case Action::RemoveSprite:
        case Action::SetTarget2:
        case Action::GotoFrame2:
        case Action::With:
            stack.drop(1);
            break;
        case Action::Jump:
        case Action::Return:
        case Action::Throw:
        case Action::Call:
            stack.forget();
            break;
        case Action::PushDuplicate:
            stack.push(stack.peek(0));
            break;
        case Action::StackSwap: {
            const Entry top = stack.pop();
            const Entry below = stack.pop();
            stack.push(top);
            stack.push(below);
            break;
        }
        case Action::Not: case Action::StringLength: case Action::ToInteger: case Action::CharToAscii:
        case Action::AsciiToChar: case Action::MBStringLength: case Action::MBCharToAscii: case Action::MBAsciiToChar:
        case Action::ToNumber: case Action::ToString: case Action::TypeOf: case Action::Increment:
        case Action::Decrement: case Action::TargetPath: case Action::RandomNumber:
            stack.replace(1);
            break;
        case Action::GetTime:
            stack.push({});
            break;
        case Action::Add: case Action::Subtract: case Action::Multiply: case Action::Divide: case Action::Equals:
        case Action::Less: case Action::And: case Action::Or: case Action::StringEquals: case Action::StringAdd:
        case Action::StringLess: case Action::Add2: case Action::Less2: case Action::Equals2: case Action::Modulo:
        case Action::BitAnd: case Action::BitOr: case Action::BitXor: case Action::BitLShift: case Action::BitRShift:
        case Action::BitURShift: case Action::StrictEquals: case Action::Greater: case Action::StringGreater:
        case Action::InstanceOf: case Action::CastOp: case Action::GetMember: case Action::Delete:
        case Action::GetProperty:
            stack.replace(2);
            break;
        case Action::StringExtract:
        case Action::MBStringExtract:
            stack.replace(3);
            break;
        case Action::SetMember:
        case Action::SetProperty:
        case Action::CloneSprite:
            stack.drop(3);
            break;
        case Action::Extends:
        case Action::GetUrl2:
            stack.drop(2);
            break;
        case Action::StoreRegister:
        case Action::ConstantPool:
        case Action::NextFrame: case Action::PreviousFrame: case Action::Play: case Action::Stop:
        case Action::ToggleQuality: case Action::StopSounds: case Action::EndDrag: case Action::GotoFrame:
        case Action::GetUrl: case Action::SetTarget: case Action::GotoLabel:
            break;
        default:
            // Anything else may take or leave any number of entries.
            stack.forget();
            break;
        }
    }
    if (computedName) {
        use.thisName = true;
        use.argumentsName = true;
        use.superName = true;
    }
    return use;
}

} // namespace player::avm1
