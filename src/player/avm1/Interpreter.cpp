#include "Interpreter.h"

#include "ActionCodes.h"
#include "ArrayObject.h"
#include "BinaryOperation.h"
#include "ClipObject.h"
#include "DecodedActions.h"
#include "FrameDestination.h"
#include "LoadedFrameTest.h"
#include "Machine.h"
#include "NumberText.h"
#include "ScriptExceptions.h"
#include "SuperObject.h"
#include "TargetPath.h"

#include <QRandomGenerator>
#include <QtEndian>
#include <cmath>
#include <limits>
#include <type_traits>
#include <utility>
#include <cstring>

namespace player::avm1 {

namespace {

// A clip object whose display object has left the stage.
inline bool isRemovedClip(const Object* object)
{
    return object && object->kind() == ObjectKind::Clip && !static_cast<const ClipObject*>(object)->displayObject();
}

// A count from the stack of the entries below it: NaN, infinities and negatives take none, and a
// count beyond what the stack holds takes all there is (never converting a number too large).
size_t stackCount(double count, size_t available)
{
    if (!std::isfinite(count) || count <= 0)
        return 0;
    if (count >= double(available))
        return available;
    return size_t(count);
}

// A property number from the stack: NaN, infinities and numbers beyond an int name no property.
int propertyIndex(double number)
{
    return std::isfinite(number) && std::abs(number) < 1e9 ? int(number) : -1;
}

// The clip properties that GetProperty and SetProperty address by number.
const char* const propertyNames[] = {
    "_x", "_y", "_xscale", "_yscale", "_currentframe", "_totalframes", "_alpha", "_visible",
    "_width", "_height", "_rotation", "_target", "_framesloaded", "_name", "_droptarget", "_url",
    "_highquality", "_focusrect", "_soundbuftime", "_quality", "_xmouse", "_ymouse"};
constexpr int propertyCount = int(sizeof propertyNames / sizeof propertyNames[0]);

inline uint16_t readU16(const std::vector<uint8_t>& bytes, size_t at)
{
    if (at + 2 > bytes.size())
        return 0;
    return uint16_t(bytes[at] | (bytes[at + 1] << 8));
}

inline uint32_t readU32(const std::vector<uint8_t>& bytes, size_t at)
{
    if (at + 4 > bytes.size())
        return 0;
    uint32_t value;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return qFromLittleEndian(value);
}

// Whether a name is the given word, in the given case rule; names of another length never are.
bool isWord(const QString& name, QLatin1StringView word, Qt::CaseSensitivity sensitivity)
{
    return name.size() == word.size() && name.compare(word, sensitivity) == 0;
}

// The name a member action gives as text: a string is read in place, without a copy of its
// text; anything else is converted into the given room.
const QString& memberName(Machine& machine, const Value& name, QString& converted)
{
    if (name.isString())
        return name.asString();
    converted = machine.toString(name);
    return converted;
}

// Whether a name holds a ':' or a '.': without either it is no path to a variable.
bool hasPathSeparator(const QString& name)
{
    for (QChar c : name) {
        if (c == u':' || c == u'.')
            return true;
    }
    return false;
}

// What Object::lookup finds on an object or along its prototypes, for a caller that must not run
// a script: Unsure where a getter would run, or where an object's kind answers names of its own
// that only its lookup knows (arrays, boxed values, super), and for __proto__.
ClipObject::Reading readWithoutScripts(Machine& machine, Object* object, const QString& name, Value& result)
{
    using Reading = ClipObject::Reading;
    if (name.size() == 9 && name.startsWith(QLatin1String("__")))
        return Reading::Unsure;
    int depth = 0;
    for (Object* link = object; link; link = link->prototype()) {
        if (++depth > 256)
            return Reading::Unsure;
        if (link->kind() == ObjectKind::Clip) {
            const Reading reading = static_cast<ClipObject*>(link)->readWithoutScripts(machine, name, result);
            if (reading != Reading::Missing)
                return reading;
        } else if (!link->keepsSlotsOnly()) {
            return Reading::Unsure;
        } else if (const Property* property = link->findVisible(machine, name)) {
            if (property->getter)
                return Reading::Unsure;
            result = property->setter ? Value() : property->value;
            return Reading::Found;
        }
    }
    return Reading::Missing;
}

// The arguments of a call as they lie on the operand stack, the first one on top, below the
// count: a script function takes them from there into its registers and locals, and then they
// are dropped.
struct StackArguments {
    ValueStack& stack;
    size_t count;

    size_t size() const { return count; }
    Value& operator[](size_t index) { return stack[stack.size() - 1 - index]; }
};

// Puts argument index of a call into target, a register of the callee: undefined past the
// last one given; moved where the caller gives them up, and from the operand stack byte for
// byte, leaving an undefined value behind for the stack to drop.
template<class ArgumentList>
void passArgument(ArgumentList& arguments, size_t index, Value& target)
{
    std::destroy_at(&target);
    if (index >= arguments.size()) {
        std::construct_at(&target);
    } else if constexpr (std::is_const_v<ArgumentList>) {
        std::construct_at(&target, arguments[index]);
    } else if constexpr (std::is_same_v<ArgumentList, StackArguments>) {
        Value& argument = arguments[index];
        Value::relocate(target, argument);
        argument.forget();
    } else {
        std::construct_at(&target, std::move(arguments[index]));
    }
}

// Once the callee has its arguments, those on the stack go, before its body pushes anything.
void dropTakenArguments(StackArguments& arguments)
{
    arguments.stack.resize(arguments.stack.size() - arguments.count);
}
void dropTakenArguments(const Arguments&)
{
}

// The object of a scope link, making a function's activation object if the link has none yet.
Object* linkObject(Machine& machine, const Scope& link)
{
    if (!link.object && link.kind == Scope::Kind::Local)
        link.object = machine.make<Object>(nullptr, ObjectKind::Activation);
    return link.object;
}

ScopeChain replaceTarget(Machine& machine, const ScopeChain& scope, Object* target)
{
    if (!scope)
        return scope;
    if (scope->kind == Scope::Kind::Target)
        return Scope::make(Scope::Kind::Target, target, scope->parent);
    if (scope->kind == Scope::Kind::Global)
        return scope;
    // The copy and the original must share one activation object.
    return Scope::make(scope->kind, linkObject(machine, *scope), replaceTarget(machine, scope->parent, target));
}

// Play, Stop and the frame steps address the script's target; without one they do nothing.
void commandTimeline(Machine& machine, Object* target, DisplayBridge::TimelineCommand command)
{
    if (target)
        machine.bridge().timelineCommand(target, command);
}

} // namespace

[[gnu::always_inline]] inline Interpreter::Interpreter(Machine& machine, const swf::ActionCode& code, size_t start, size_t end, int swfVersion, ScopeChain scope,
                         Object* thisObject, Object* target, const std::shared_ptr<const std::vector<QString>>* constantPool)
    : m_machine(machine)
    , m_code(&code)
    , m_start(start)
    , m_end(std::min(end, *m_code ? (*m_code)->size() : 0))
    , m_swfVersion(swfVersion)
    , m_scope(std::move(scope))
    , m_thisObject(thisObject)
    , m_target(target)
    , m_baseClip(target)
    , m_constantPool(constantPool ? constantPool : &m_ownConstantPool)
    , m_stack(machine.m_stack)
{
    usePool(m_constantPool);
}

inline void Interpreter::usePool(const std::shared_ptr<const std::vector<QString>>* pool)
{
    m_constantPool = pool;
    const std::vector<QString>* entries = pool->get();
    m_poolEntries = entries ? entries->data() : nullptr;
    m_poolSize = entries ? entries->size() : 0;
}

[[gnu::always_inline]] inline Interpreter::~Interpreter()
{
    if (m_registerCount > 0)
        m_machine.m_registerStack.give(m_registers, m_registerCount);
}

void Interpreter::runList(Machine& machine, const swf::ActionCode& code, int swfVersion, ScopeChain scope, Object* clip)
{
    Interpreter interpreter(machine, code, 0, code->size(), swfVersion, std::move(scope), clip, clip, nullptr);
    interpreter.run();
}

Value Interpreter::run()
{
    Machine::SavedRunState saved(m_machine);
    return runInPlace();
}

Value Interpreter::runInPlace()
{
    m_baseClipGoneAtStart = baseClipRemoved();
    return runBody();
}

inline Value Interpreter::runBody()
{
    size_t position = m_start;
    m_machine.setSwfVersion(m_swfVersion);
    m_machine.m_scriptTarget = m_target;
    Outcome outcome = runRange(m_start, m_end, position);
    while (outcome == Outcome::Normal && followBranchOut(position))
        outcome = runRange(m_start, m_end, position);
    return outcome == Outcome::Return ? std::move(m_returnValue) : Value();
}

// Flash runs actions from the movie's bytes as they lie, up to an End action: a branch out of a
// function body goes on in the rest of its block, and a branch out of a block goes on in the
// movie's tag stream around it (an earlier block of the frame, or the tags that follow).
bool Interpreter::followBranchOut(size_t& position)
{
    if (position >= m_start && position <= m_end)
        return false; // an End, a cut-short action or the end of the list
    if (position < (*m_code)->size()) {
        m_start = 0;
        m_end = (*m_code)->size();
        return true;
    }
    swf::ActionCode stream = (*m_code)->stream;
    const int64_t inStream = int64_t((*m_code)->offset) + int64_t(position);
    if (!stream || inStream < 0 || inStream >= int64_t(stream->size()))
        return false;
    m_followedCode = std::move(stream);
    m_code = &m_followedCode;
    m_start = 0;
    m_end = (*m_code)->size();
    position = size_t(inStream);
    return true;
}

Value Interpreter::invoke(Machine& machine, FunctionObject* function, Object* self, const Arguments& arguments, Object* methodHolder)
{
    return enter(machine, function, self, arguments, methodHolder);
}

// A call of a script function: the levels of recursion and the machine's run state are saved
// on the C++ stack, the registers are taken from the machine's register stack, and the locals
// link of the scope chain comes from the spare links; the activation object, the arguments
// object and super are made only when the function's flags ask for them. Whatever way the call
// ends (a return, a throw, an abort), the destructors put everything back. Arguments that the
// caller gives up (ArgumentList is not const) are moved into the registers, not copied.
template<class ArgumentList>
Value Interpreter::enter(Machine& machine, FunctionObject* function, Object* self, ArgumentList&& arguments, Object* methodHolder)
{
    const bool playersCall = std::exchange(machine.m_nextCallIsPlayers, false);
    // Calls made by SWF 5 code are no closures, whatever code the function is: see below.
    const bool closure = machine.swfVersion() >= 6;
    Machine::DepthGuard guard(machine);
    Machine::SavedRunState saved(machine);
    machine.m_runningAsConstructor = std::exchange(machine.m_nextCallConstructs, false);
    const ScriptFunctionCode& code = *function->script();
    // A function whose clip has left the stage runs on the clip it was called on, or else on the
    // caller's target.
    Object* target = function->definingClip();
    bool targetRemoved = isRemovedClip(target);
    auto calledOnClip = [&]() { return self && machine.bridge().isClip(self); };
    if (targetRemoved) {
        target = calledOnClip() ? self : machine.m_scriptTarget;
        targetRemoved = isRemovedClip(target);
    }
    int swfVersion = code.swfVersion;
    // A call that SWF 5 code makes keeps no scope from where the function was made: past its
    // locals it sees the clip it was called on, or else the caller's clip, and then the globals,
    // and it runs by the version of that clip's movie. Where the player calls (a conversion, an
    // accessor, an event) the clip the function was made on stays its clip.
    ScopeChain outerScope;
    if (!closure) {
        Object* base = playersCall && !isRemovedClip(function->definingClip()) && function->definingClip()
            ? function->definingClip()
            : calledOnClip() && !isRemovedClip(self) ? self : machine.m_scriptTarget;
        if (base) {
            target = base;
            targetRemoved = isRemovedClip(target);
            outerScope = Scope::make(Scope::Kind::Target, base, Scope::make(Scope::Kind::Global, machine.global(), nullptr));
            if (base->kind() == ObjectKind::Clip)
                swfVersion = std::max(5, static_cast<ClipObject*>(base)->swfVersion());
        }
    }
    // The activation object is made only when the call defines a local by name (this,
    // arguments, a parameter without a register) or when the body needs it later; a function
    // that keeps everything in registers runs without one. Its table is made at its final size.
    // A body that defines no local by name and keeps no closure, called without defining any
    // name on entry, never sees its locals link: the chain starts where the function was made.
    const ScriptFunctionCode::CallNeeds& needs = code.callNeeds();
    ScopeChain scope = outerScope ? std::move(outerScope) : function->scope();
    Interpreter interpreter(machine, code.code, code.start, code.start + code.length, swfVersion,
                            needs.localsLink ? Scope::make(Scope::Kind::Local, nullptr, std::move(scope)) : std::move(scope),
                            self, target, &code.constantPool);
    interpreter.m_callee = function;
    auto activationObject = [&]() {
        const Scope& locals = *interpreter.m_scope;
        if (!locals.object) {
            linkObject(machine, locals);
            locals.object->reserveProperties(code.parameters.size() + 2);
        }
        return locals.object;
    };

    Object* caller = machine.runningFunction();
    auto makeArguments = [&]() {
        Arguments values;
        values.reserve(arguments.size());
        for (size_t i = 0; i < arguments.size(); ++i)
            values.push_back(arguments[i]);
        ArrayObject* object = machine.makeArray(std::move(values));
        object->define(QStringLiteral("callee"), Value(function), property_flag::DontEnum);
        object->define(QStringLiteral("caller"), caller ? Value(caller) : Value::null(), property_flag::DontEnum);
        return object;
    };
    auto makeSuper = [&]() -> Object* {
        return machine.make<SuperObject>(self, methodHolder);
    };
    // The arguments past the last one given are undefined.
    auto argument = [&](size_t index) -> Value {
        if (index >= arguments.size())
            return Value();
        if constexpr (std::is_const_v<std::remove_reference_t<ArgumentList>>)
            return arguments[index];
        else
            return std::move(arguments[index]);
    };

    if (code.isFunction2) {
        if (code.registerCount > 0) {
            interpreter.m_registers = machine.m_registerStack.take(code.registerCount);
            interpreter.m_registerCount = code.registerCount;
        }
        Value* registers = interpreter.m_registers;
        const size_t registerCount = interpreter.m_registerCount;
        using Flag = ScriptFunctionCode::Flag;
        constexpr uint16_t preloads = Flag::PreloadThis | Flag::PreloadArguments | Flag::PreloadSuper | Flag::PreloadRoot
                                      | Flag::PreloadParent | Flag::PreloadGlobal;
        constexpr uint16_t unbound = Flag::PreloadThis | Flag::SuppressThis;
        constexpr uint16_t noArguments = Flag::PreloadArguments | Flag::SuppressArguments;
        constexpr uint16_t noSuper = Flag::PreloadSuper | Flag::SuppressSuper;
        // Most functions preload nothing and bind none of this, arguments and super by name.
        if ((code.flags & preloads) || (code.flags & unbound) == 0 || (code.flags & noArguments) == 0 || (code.flags & noSuper) == 0) {
            size_t next = 1;
            auto preload = [&](const Value& value) {
                if (next < registerCount)
                    registers[next] = value;
                ++next;
            };
            // Suppressing "this" wins over preloading it: the register is kept but left undefined.
            if (code.flags & Flag::PreloadThis)
                preload(self && !(code.flags & Flag::SuppressThis) ? Value(self) : Value());
            // A function that preloads or suppresses "this" does not bind the name at all, so a
            // lookup goes on along the scope chain. Names the body never reaches are not bound.
            if (!(code.flags & unbound) && needs.bindThis)
                activationObject()->define(QStringLiteral("this"), self ? Value(self) : Value());
            if (code.flags & Flag::PreloadArguments)
                preload(Value(makeArguments()));
            else if (!(code.flags & Flag::SuppressArguments) && needs.bindArguments)
                activationObject()->define(QStringLiteral("arguments"), Value(makeArguments()));
            // As with "this": a preloaded super lives in its register only, and suppressing it wins.
            if (code.flags & Flag::PreloadSuper)
                preload(code.flags & Flag::SuppressSuper ? Value() : Value(makeSuper()));
            else if (!(code.flags & Flag::SuppressSuper) && needs.super)
                interpreter.m_superObject = makeSuper();
            if (code.flags & Flag::PreloadRoot)
                preload(Value(machine.bridge().rootOf(target)));
            if (code.flags & Flag::PreloadParent)
                preload(target ? machine.getMember(Value(target), QStringLiteral("_parent")) : Value());
            if (code.flags & Flag::PreloadGlobal)
                preload(Value(machine.global()));
        }
        for (size_t i = 0; i < code.parameters.size(); ++i) {
            const auto& parameter = code.parameters[i];
            if (parameter.registerIndex > 0 && parameter.registerIndex < registerCount)
                passArgument(arguments, i, registers[parameter.registerIndex]);
            else
                activationObject()->define(parameter.name, argument(i));
        }
    } else {
        if (needs.bindThis)
            activationObject()->define(QStringLiteral("this"), self ? Value(self) : Value());
        if (needs.bindArguments)
            activationObject()->define(QStringLiteral("arguments"), Value(makeArguments()));
        if (needs.super)
            interpreter.m_superObject = makeSuper();
        for (size_t i = 0; i < code.parameters.size(); ++i)
            activationObject()->define(code.parameters[i].name, argument(i));
    }
    dropTakenArguments(arguments);
    machine.setRunningFunction(function);
    // The run state was saved above, as the call began. Only reading _parent for its register
    // could have run a script (a getter of a clip that has left) since the clip was looked at.
    interpreter.m_baseClipGoneAtStart = (code.flags & ScriptFunctionCode::PreloadParent) && code.isFunction2 ? isRemovedClip(target) : targetRemoved;
    return interpreter.runBody();
}

Value Interpreter::pop()
{
    if (m_stack.empty())
        return Value();
    Value value = std::move(m_stack.back());
    m_stack.pop_back();
    return value;
}

QString Interpreter::popString()
{
    return m_machine.toString(pop());
}

double Interpreter::popNumber()
{
    return m_machine.toNumber(pop());
}

std::pair<double, double> Interpreter::popNumberPair(bool rightFirst)
{
    // The table of operations says which operand an action converts first; valueOf side
    // effects show the order.
    Value right = pop();
    Value left = pop();
    if (rightFirst) {
        double rightNumber = m_machine.toNumber(right);
        return {m_machine.toNumber(left), rightNumber};
    }
    double leftNumber = m_machine.toNumber(left);
    return {leftNumber, m_machine.toNumber(right)};
}

QString Interpreter::decodeString(size_t start, size_t limit, size_t& after) const
{
    return DecodedActions::textAt(**m_code, start, limit, after, m_swfVersion >= 6);
}

// Inlined where the run loop dispatches: room for all the values is made once, and each is then
// copied onto the stack without a test, which for a number is a few instructions.
[[gnu::always_inline]] inline void Interpreter::pushValues(const DecodedActions& decoded, const DecodedActions::Step& action)
{
    pushValuesBut(decoded, action, 0);
}

[[gnu::always_inline]] inline void Interpreter::pushValuesBut(const DecodedActions& decoded, const DecodedActions::Step& action, size_t leftOut)
{
    const DecodedActions::PushValue* value = decoded.pushValues(action);
    const DecodedActions::PushValue* const end = value + (action.valueCount - leftOut);
    m_stack.reserveMore(action.valueCount - leftOut);
    for (; value != end; ++value) {
        switch (value->kind) {
        case DecodedActions::PushValue::Kind::Constant:
            m_stack.pushUnchecked(decoded.constant(value->index));
            break;
        case DecodedActions::PushValue::Kind::Register:
            if (const Value* slot = registerSlot(value->index))
                m_stack.pushUnchecked(*slot);
            else
                m_stack.pushUnchecked();
            break;
        case DecodedActions::PushValue::Kind::Pool:
            if (value->index < m_poolSize)
                m_stack.pushUnchecked(m_poolEntries[value->index]);
            else
                m_stack.pushUnchecked();
            break;
        }
    }
}

Interpreter::Outcome Interpreter::runRange(size_t start, size_t end, size_t& reached)
{
    const auto& bytes = **m_code;
    const uint8_t* data = bytes.data();
    DecodedActions& decoded = DecodedActions::of(bytes, m_swfVersion >= 6);
    ExecutionLimits& limits = m_machine.limits();
    // One comparison for both bounds: a position below the start wraps round to a large number.
    // The range never reaches past the bytes (see the constructor and followBranchOut).
    const size_t span = end > start ? end - start : 0;
    // The limits count the bytes of actions that may run before the next count: the whole range
    // on entering it (every call enters one), the distance back at a backward jump. Every action
    // is at least a byte, so an endless loop is counted at least by its actions on every round,
    // and plain actions need no count of their own.
    auto countActions = [&limits](size_t count) {
        if (limits.tick(int(std::min<size_t>(count, size_t(1) << 20)))) [[unlikely]]
            throw ScriptAbort{QStringLiteral("A script ran longer than the movie's time limit.")};
    };
    auto countJump = [&countActions](size_t target, size_t from) {
        if (target <= from)
            countActions(from - target + 1);
    };
    countActions(span + 1);
    if (m_skipActions > 0 && !skipActions(decoded, start, end, reached)) [[unlikely]]
        return Outcome::Normal;
    // Kept here while actions run and given back on the way out: the caller's copy would be
    // written at every step. Its address is never taken, so that it may stay in a register.
    size_t position = reached;
    while (position - start < span) {
        // Valid until an action runs a script, which may read more of the same bytes.
        const DecodedActions::Step& action = decoded.at(position);
        const uint8_t code = action.code;
        const size_t next = action.next;
        // The actions that loops spend their time in run here, without a call; on operands
        // their short way does not cover they go to their handler like every other action.
        switch (Action(code)) {
        case Action(0):
            // An End, or an action cut short by the end of the bytes.
            reached = position;
            return Outcome::Normal;
        case Action::Push:
            // A call by name pushes the name last, from the constant pool, right before the
            // CallFunction: the call reads the name where it lies in the pool instead of taking
            // it onto the stack and off again, which would count its text up and down.
            if (action.namesCall && next - start < span) {
                const DecodedActions::PushValue& last = decoded.pushValues(action)[action.valueCount - 1];
                if (last.index < m_poolSize) {
                    pushValuesBut(decoded, action, 1);
                    if (callByName(m_poolEntries[last.index]) == Outcome::Return) {
                        reached = next;
                        return Outcome::Return;
                    }
                    position = next + 1;
                    continue;
                }
            }
            // i++ and i-- on a register that holds a number: the register is stepped where it
            // lies, and the four actions are one.
            if (action.registerStep && next + DecodedActions::steppedLength <= end) {
                const DecodedActions::PushValue& last = decoded.pushValues(action)[action.valueCount - 1];
                Value* slot = registerSlot(last.index);
                if (slot && slot->isNumber()) {
                    pushValuesBut(decoded, action, 1);
                    slot->setNumber(slot->asNumber() + action.registerStep);
                    position = next + DecodedActions::steppedLength;
                    continue;
                }
            }
            if (action.appendedPieces && next + DecodedActions::appendedLength(action.appendedPieces) <= end
                && appendToRegister(decoded, action)) {
                position = next + DecodedActions::appendedLength(action.appendedPieces);
                continue;
            }
            pushValues(decoded, action);
            position = next;
            continue;
        case Action::Pop:
            if (!m_stack.empty())
                m_stack.pop_back();
            position = next;
            continue;
        case Action::StoreRegister:
            if (Value* slot = registerSlot(action.registerIndex)) {
                // An assignment whose value is not used stores and pops at once: the value moves
                // into the register and the Pop that follows is done with it.
                if (!m_stack.empty() && next < end && data[next] == uint8_t(Action::Pop)) {
                    m_stack.popInto(*slot);
                    position = next + 1;
                    continue;
                }
                *slot = m_stack.empty() ? Value() : m_stack.back();
            }
            position = next;
            continue;
        case Action::Jump:
            countJump(action.branch, position);
            position = action.branch;
            continue;
        case Action::CallFunction: {
            // Called straight, not through the table: loops call functions by name often.
            Step step{code, action.payload, action.length, next};
            if (actionCallFunction(step) == Outcome::Return) {
                reached = position;
                return Outcome::Return;
            }
            position = next;
            continue;
        }
        case Action::Return: {
            // Called straight, not through the table: every function call ends here.
            Step step{code, action.payload, action.length, next};
            reached = position;
            return actionReturn(step);
        }
        case Action::If:
            if (!m_stack.empty() && m_stack.back().isBoolean()) {
                const bool condition = m_stack.back().asBoolean();
                m_stack.dropPlain();
                if (condition)
                    countJump(action.branch, position);
                position = condition ? action.branch : next;
                continue;
            }
            break;
        case Action::GetMember:
            // A plain value in an own slot of an object, named by a string, is read where the
            // operands lie: nothing runs that could move the stack.
            if (const size_t depth = m_stack.size(); depth >= 2) {
                Value& objectSlot = m_stack[depth - 2];
                const Value& nameSlot = m_stack[depth - 1];
                Object* object = objectSlot.asObject();
                if (object && nameSlot.isString()) {
                    if (const Property* slot = object->plainOwnSlot(m_machine, nameSlot.asString())) {
                        objectSlot = slot->value;
                        m_stack.pop_back();
                        position = next;
                        continue;
                    }
                }
            }
            break;
        case Action::SetMember:
            // The same for a store into such a slot.
            if (const size_t depth = m_stack.size(); depth >= 3) {
                Object* object = m_stack[depth - 3].asObject();
                const Value& nameSlot = m_stack[depth - 2];
                if (object && nameSlot.isString() && object->assignPlainOwnSlot(m_machine, nameSlot.asString(), m_stack[depth - 1])) {
                    m_stack.pop_back();
                    m_stack.pop_back();
                    m_stack.pop_back();
                    position = next;
                    continue;
                }
            }
            break;
        case Action::Not:
            if (!m_stack.empty() && m_stack.back().isBoolean()) {
                m_stack.back().setBoolean(!m_stack.back().asBoolean());
                position = next;
                continue;
            }
            break;
        case Action::Increment:
        case Action::Decrement:
            if (!m_stack.empty() && m_stack.back().isNumber()) {
                Value& operand = m_stack.back();
                operand.setNumber(operand.asNumber() + (code == uint8_t(Action::Increment) ? 1 : -1));
                position = next;
                continue;
            }
            break;
#define SKRV_AVM1_NUMBER_OPERATION_CASE(name) \
    case Action::name: \
        if (const size_t depth = m_stack.size(); depth >= 2) { \
            Value& left = m_stack[depth - 2]; \
            const Value& right = m_stack[depth - 1]; \
            if (left.isNumber() && right.isNumber() \
                && operateOnNumbers<Action::name>(left.asNumber(), right.asNumber(), m_swfVersion, left)) { \
                m_stack.dropPlain(); \
                if constexpr (comparesNumbers(Action::name)) { \
                    /* A comparison followed by an If, or by a Not and an If, as loop conditions \
                       compile: when it left a boolean, the branch is taken at once. */ \
                    if (action.branchesAfter && action.otherwise <= end && m_stack.back().isBoolean()) { \
                        const bool taken = m_stack.back().asBoolean() != (action.branchesAfter == 2); \
                        m_stack.dropPlain(); \
                        const size_t target = taken ? action.branch : action.otherwise; \
                        countJump(target, position); \
                        position = target; \
                        continue; \
                    } \
                } \
                position = next; \
                continue; \
            } \
        } \
        break;
            SKRV_AVM1_NUMBER_OPERATIONS_BUT_ADD2(SKRV_AVM1_NUMBER_OPERATION_CASE)
#undef SKRV_AVM1_NUMBER_OPERATION_CASE
        case Action::Add2:
            // Sums and joined texts, the two things loops add.
            if (const size_t depth = m_stack.size(); depth >= 2) {
                Value& left = m_stack[depth - 2];
                const Value& right = m_stack[depth - 1];
                if (left.isNumber() && right.isNumber() && operateOnNumbers<Action::Add2>(left.asNumber(), right.asNumber(), m_swfVersion, left)) {
                    m_stack.dropPlain();
                    position = next;
                    continue;
                }
                // text += a + b: when the next action adds the joined text to a text below it,
                // the two pieces go onto that text one after the other, which usually grows in
                // place, and the joined piece is never made. Joining texts is associative and
                // none of the three has a conversion to run.
                const bool joinsTexts = (left.isString() && (right.isString() || right.isNumber())) || (right.isString() && left.isNumber());
                if (joinsTexts && depth >= 3 && next < end && data[next] == uint8_t(Action::Add2) && m_stack[depth - 3].isString()) {
                    joinTwoTexts(m_stack[depth - 3], left, right);
                    m_stack.pop_back();
                    m_stack.pop_back();
                    position = next + 1;
                    continue;
                }
                if (joinsTexts && joinTexts(left, right)) {
                    m_stack.pop_back();
                    position = next;
                    continue;
                }
            }
            break;
        default:
            break;
        }
        // An action run through its handler counts once more: it may call into the player.
        countActions(1);
        Step step{code, action.payload, action.length, next};
        if ((this->*actionHandlers[code])(step) == Outcome::Return) {
            reached = position;
            return Outcome::Return;
        }
        countJump(step.next, position);
        position = step.next;
        if (m_skipActions > 0) [[unlikely]] {
            reached = position;
            if (!skipActions(decoded, start, end, reached))
                return Outcome::Normal;
            position = reached;
        }
    }
    reached = position;
    return Outcome::Normal;
}

// A frame test that failed passes over the actions it names: they count as run, and an End
// among them still ends the list (false then).
bool Interpreter::skipActions(DecodedActions& decoded, size_t start, size_t end, size_t& position)
{
    ExecutionLimits& limits = m_machine.limits();
    while (m_skipActions > 0 && position >= start && position < end) {
        if (limits.tick())
            throw ScriptAbort{QStringLiteral("A script ran longer than the movie's time limit.")};
        const DecodedActions::Step& skipped = decoded.at(position);
        if (skipped.code == 0)
            return false;
        --m_skipActions;
        position = skipped.next;
    }
    return true;
}

Object* Interpreter::localsObject() const
{
    for (const Scope* link = m_scope.get(); link; link = link->parent.get()) {
        if (link->kind == Scope::Kind::Local || link->kind == Scope::Kind::Target)
            return linkObject(m_machine, *link);
    }
    return m_target;
}

bool Interpreter::seesGlobals() const
{
    // The global object and its names (NaN, Infinity, the classes) came with SWF 5: the
    // variables of SWF 4 code are only those of its timelines.
    return m_swfVersion >= 5;
}

Value Interpreter::getVariable(const QString& name)
{
    Qt::CaseSensitivity sensitivity = m_machine.nameCase();
    const bool isThis = isWord(name, QLatin1String("this"), sensitivity);
    if (m_superObject && isWord(name, QLatin1String("super"), sensitivity))
        return Value(m_superObject);
    QString path;
    QString variable;
    if (target_path::splitVariable(name, path, variable, m_swfVersion)) {
        if (path.isEmpty() && m_swfVersion < 5)
            return Value();
        for (const Scope* link = m_scope.get(); link; link = link->parent.get()) {
            Object* start = linkObject(m_machine, *link);
            if (Object* object = target_path::resolve(m_machine, start, path)) {
                if (object->has(m_machine, variable))
                    return object->get(m_machine, variable);
            }
        }
        if (Object* object = target_path::resolve(m_machine, targetOrRoot(), path))
            return object->get(m_machine, variable);
        return Value();
    }
    if (name.contains(u'/')) {
        Object* object = target_path::resolve(m_machine, targetOrRoot(), name);
        return object ? Value(object) : Value();
    }
    // _global wins over any property of that name along the scope chain. The name came with
    // SWF 6: older code reads nothing there (though its functions may still preload the object).
    if (isWord(name, QLatin1String("_global"), sensitivity))
        return m_swfVersion >= 6 ? Value(m_machine.global()) : Value();
    // "this" is a variable like any other: a function binds it in its activation, and a script
    // may assign it. Where nothing on the chain holds it, a frame script sees its clip; a function
    // that left it unbound sees the clip it was defined in from SWF 6 on, and nothing before.
    for (const Scope* link = m_scope.get(); link; link = link->parent.get()) {
        if (link->kind == Scope::Kind::Global && !seesGlobals())
            continue;
        Object* object = scopeObject(*link);
        Value value;
        if (object && object->lookup(m_machine, name, value))
            return value;
    }
    if (isThis) {
        Object* self = !m_callee ? m_thisObject : m_swfVersion >= 6 ? m_baseClip : nullptr;
        return self ? Value(self) : Value();
    }
    if (isWord(name, QLatin1String("_root"), sensitivity))
        return Value(m_machine.bridge().rootOf(targetOrRoot()));
    if (name.startsWith(QLatin1String("_level"), sensitivity)) {
        bool ok = false;
        int number = name.mid(6).toInt(&ok);
        if (ok)
            return Value(m_machine.bridge().level(number));
    }
    return Value();
}

// The object a variable path leads to, read from the first link of the scope chain where the
// path resolves.
Object* Interpreter::pathHolder(const QString& path) const
{
    for (const Scope* link = m_scope.get(); link; link = link->parent.get()) {
        if (Object* object = target_path::resolve(m_machine, linkObject(m_machine, *link), path))
            return object;
    }
    return nullptr;
}

bool Interpreter::definesOnTimeline() const
{
    for (const Scope* link = m_scope.get(); link; link = link->parent.get()) {
        if (link->kind == Scope::Kind::Local)
            return false;
        if (link->kind == Scope::Kind::Target)
            return true;
    }
    return true;
}

// On a timeline, "var" with a path for a name ("/:abc", "_root.abc") defines the variable where
// the path leads. Inside a function the path is not followed and the locals do not take the
// name either: the clip the function runs on gets a variable of that very name ("/:abc").
bool Interpreter::definePathVariable(const QString& name, const Value* value)
{
    QString path;
    QString variable;
    if (!target_path::splitVariable(name, path, variable))
        return false;
    if (!definesOnTimeline()) {
        if (!m_target)
            return true;
        if (value)
            m_target->set(m_machine, name, *value);
        else if (!m_target->has(m_machine, name))
            m_target->define(name, Value());
        return true;
    }
    Object* holder = pathHolder(path);
    if (!holder)
        return true;
    if (value)
        holder->set(m_machine, variable, *value);
    else if (!holder->has(m_machine, variable))
        holder->define(variable, Value());
    return true;
}

void Interpreter::setVariable(const QString& name, const Value& value)
{
    QString path;
    QString variable;
    if (target_path::splitVariable(name, path, variable, m_swfVersion)) {
        if (Object* object = path.isEmpty() && m_swfVersion < 5 ? nullptr : pathHolder(path))
            object->set(m_machine, variable, value);
        return;
    }
    // The first object on the chain that has the name takes it; otherwise the timeline does.
    for (const Scope* link = m_scope.get(); link; link = link->parent.get()) {
        if (link->kind == Scope::Kind::Global && !seesGlobals())
            continue;
        Object* object = scopeObject(*link);
        if (!object)
            continue;
        if (link->kind == Scope::Kind::Target || object->has(m_machine, name)) {
            object->set(m_machine, name, value);
            return;
        }
    }
}

Arguments Interpreter::popArguments()
{
    // The count, then as many values, the first argument nearest the top. A count that is no
    // number is converted before the values are taken (its valueOf may push or pop).
    Value countValue = pop();
    const double count = countValue.isNumber() ? countValue.asNumber() : m_machine.toNumber(countValue);
    Arguments arguments = m_machine.m_vectorPool.take();
    const size_t available = m_stack.size();
    const size_t wanted = stackCount(count, available);
    arguments.reserve(wanted);
    for (size_t i = 1; i <= wanted; ++i)
        arguments.push_back(std::move(m_stack[available - i]));
    m_stack.resize(available - wanted);
    return arguments;
}

Value Interpreter::callFunctionNamed(const QString& name, Arguments& arguments)
{
    Qt::CaseSensitivity sensitivity = m_machine.nameCase();
    if (m_superObject && isWord(name, QLatin1String("super"), sensitivity)) {
        // super(...) runs the superclass constructor on this object.
        auto* super = static_cast<SuperObject*>(m_superObject);
        Object* base = super->base();
        Value constructor = super->constructor(m_machine);
        Object* function = constructor.asObject();
        if (!function || function->kind() != ObjectKind::Function)
            return Value();
        auto* callee = static_cast<FunctionObject*>(function);
        if (callee->isNative())
            return m_machine.constructSuperNative(callee, super->thisObject(), arguments);
        return Interpreter::invoke(m_machine, callee, super->thisObject(), arguments, base);
    }
    Value function;
    Object* self = nullptr;
    bool foundLocal = false;
    QString path;
    QString variable;
    if (hasPathSeparator(name) && target_path::splitVariable(name, path, variable)) {
        function = getVariable(name);
        self = target_path::resolve(m_machine, targetOrRoot(), path);
    } else {
        bool found = false;
        for (const Scope* link = m_scope.get(); link && !found; link = link->parent.get()) {
            Object* object = link->object;
            if (object && object->lookup(m_machine, name, function)) {
                self = link->kind == Scope::Kind::Local ? nullptr : object;
                foundLocal = link->kind == Scope::Kind::Local;
                found = true;
            }
        }
        if (!found)
            function = getVariable(name);
    }
    return callFound(function, receiverOf(self, foundLocal), arguments);
}

// As Machine::call, but the arguments, which the caller gives up, move into the registers.
Value Interpreter::callFound(const Value& function, Object* self, Arguments& arguments)
{
    Object* object = function.asObject();
    if (!object || object->kind() != ObjectKind::Function)
        return Value();
    auto* callee = static_cast<FunctionObject*>(object);
    if (callee->isNative()) {
        Machine::DepthGuard guard(m_machine);
        return callee->native()(m_machine, self, arguments);
    }
    return enter(m_machine, callee, self, arguments, self ? self->prototype() : nullptr);
}

inline bool Interpreter::findFunctionWithoutScripts(const QString& name, Value& function, Object*& self)
{
    // A remembered name passed the two tests below when it was remembered.
    const Scope* found = nullptr;
    if (!m_foundFunctions || !m_foundFunctions->recall(name, m_scope, m_machine.swfVersion(), function, found)) {
        if (hasPathSeparator(name))
            return false;
        if (m_superObject && isWord(name, QLatin1String("super"), m_machine.nameCase()))
            return false;
        // The walk callFunctionNamed makes; a name the chain does not hold is left to getVariable.
        for (const Scope* link = m_scope.get(); link && !found; link = link->parent.get()) {
            Object* object = link->object;
            if (!object)
                continue;
            switch (readWithoutScripts(m_machine, object, name, function)) {
            case ClipObject::Reading::Unsure:
                return false;
            case ClipObject::Reading::Missing:
                continue;
            case ClipObject::Reading::Found:
                found = link;
                rememberFoundFunction(name, *link);
                break;
            }
        }
        if (!found)
            return false;
    }
    const bool local = found->kind == Scope::Kind::Local;
    self = receiverOf(local ? nullptr : found->object, local);
    return true;
}

// A function found in an own slot, under exactly the name asked for, is found there again while
// nothing changes: a slot found through a prototype, by another case of its name, or on a clip
// under a name that may be a clip property is looked for anew each time.
void Interpreter::rememberFoundFunction(const QString& name, const Scope& link)
{
    Object* object = link.object;
    if (object->kind() == ObjectKind::Clip ? ClipObject::mayNameClipProperty(name) : !object->keepsSlotsOnly())
        return;
    const Property* slot = object->findOwn(name, true);
    if (!slot || slot->getter || slot->setter || !slot->isVisibleTo(m_machine.swfVersion()))
        return;
    if (!m_foundFunctions)
        m_foundFunctions.emplace();
    m_foundFunctions->remember(name, m_scope, &link, size_t(slot - object->ownProperties().data()));
}

Object* Interpreter::targetFromValue(const Value& value)
{
    // A clip is its own target; any other object names one by its text, so its toString runs.
    if (Object* object = value.asObject(); object && m_machine.bridge().isClip(object))
        return object;
    QString path = m_machine.toString(value);
    return target_path::resolve(m_machine, targetOrRoot(), path);
}

void Interpreter::setTarget(Object* target)
{
    m_target = target;
    m_machine.m_scriptTarget = target;
    m_scope = replaceTarget(m_machine, m_scope, targetOrRoot());
}

// A script whose clip left the stage during a call ends when the call returns: the frame script
// of a clip that removed itself, or a function of that clip, goes no further.
inline bool Interpreter::baseClipRemoved() const
{
    return isRemovedClip(m_baseClip);
}

// Scripts that start on a clip already gone (its unload handlers) run to their end.
inline bool Interpreter::baseClipLeftDuringRun() const
{
    return !m_baseClipGoneAtStart && baseClipRemoved();
}

// A timeline that left the stage while the script ran no longer holds its variables for it:
// names go to the root instead.
Object* Interpreter::scopeObject(const Scope& link) const
{
    Object* object = link.object;
    if (link.kind == Scope::Kind::Target && !m_baseClipGoneAtStart && isRemovedClip(object))
        return m_machine.bridge().rootOf(object);
    return object;
}

// A function defined with registers has that many of its own; the numbers above them, and all
// four for frame scripts and functions defined without registers, are the player's four global
// registers, which every script shares.
Value* Interpreter::globalRegisterSlot(size_t index)
{
    if (index < Machine::GlobalRegisterCount)
        return &m_machine.m_globalRegisters[index];
    return nullptr;
}

Object* Interpreter::targetOrRoot() const
{
    return m_target ? m_target : m_machine.bridge().rootOf(m_baseClip);
}

void Interpreter::setTargetPath(const QString& path)
{
    if (path.isEmpty()) {
        setTarget(m_baseClip);
        return;
    }
    // Paths are read from the frame's clip, so once that clip has left the stage none leads
    // anywhere.
    Object* found = baseClipRemoved() ? nullptr : target_path::resolve(m_machine, m_baseClip, path);
    setTarget(found && m_machine.bridge().isClip(found) ? found : nullptr);
}

Value Interpreter::getProperty(Object* clip, int index)
{
    if (index < 0 || index >= propertyCount || !clip)
        return Value();
    return clip->get(m_machine, QString::fromLatin1(propertyNames[index]));
}

void Interpreter::setProperty(Object* clip, int index, const Value& value)
{
    if (index < 0 || index >= propertyCount)
        return;
    if (!clip) {
        // With no clip to set, the value is still converted to the property's type, so its
        // valueOf or toString runs: text for _name and _quality, nothing for the read-only
        // texts, a number for the rest.
        const QLatin1String name(propertyNames[index]);
        if (name == QLatin1String("_name") || name == QLatin1String("_quality"))
            m_machine.toString(value);
        else if (name != QLatin1String("_target") && name != QLatin1String("_droptarget") && name != QLatin1String("_url"))
            m_machine.toNumber(value);
        return;
    }
    clip->set(m_machine, QString::fromLatin1(propertyNames[index]), value);
}

void Interpreter::gotoFrameValue(const Value& frame, bool play, int bias)
{
    if (!m_target)
        return;
    if (std::optional<FrameDestination> destination = frameDestination(m_machine, m_target, frame, bias))
        m_machine.bridge().gotoFrame(destination->clip, destination->frame, play);
}

void Interpreter::getUrl(const QString& url, const QString& target, int method, bool loadTarget, bool loadVariables)
{
    if (url.startsWith(QLatin1String("FSCommand:"), Qt::CaseInsensitive)) {
        m_machine.bridge().fsCommand(url.mid(10), target);
        return;
    }
    m_machine.bridge().getUrl(m_target, url, target, method, loadTarget, loadVariables);
}

void Interpreter::enumerate(const Value& value)
{
    // The end of the names is marked with undefined, which compiled loops compare with null.
    push(Value());
    Object* object = value.asObject();
    if (!object)
        return;
    std::vector<QString> names;
    object->enumerableNames(m_machine, names);
    for (const QString& name : names)
        push(Value(name));
}

Interpreter::Outcome Interpreter::actionPush(Step& step)
{
    // A Push's payload follows its code and two bytes of length.
    DecodedActions& decoded = DecodedActions::of(**m_code, m_swfVersion >= 6);
    pushValues(decoded, decoded.at(step.payload - 3));
    return Outcome::Normal;
}

void Interpreter::defineFunction(Step& step, bool version2)
{
    const size_t payload = step.payload;
    size_t& next = step.next;
    const auto& bytes = **m_code;
    size_t end = payload + step.length;
    auto code = std::make_shared<ScriptFunctionCode>();
    size_t position = payload;
    code->name = decodeString(position, end, position);
    uint16_t parameterCount = readU16(bytes, position);
    position += 2;
    if (version2) {
        code->isFunction2 = true;
        code->registerCount = position < end ? bytes[position] : 0;
        position += 1;
        code->flags = readU16(bytes, position);
        position += 2;
    }
    for (uint16_t i = 0; i < parameterCount && position < end; ++i) {
        ScriptFunctionCode::Parameter parameter;
        if (version2) {
            parameter.registerIndex = bytes[position];
            position += 1;
        }
        parameter.name = decodeString(position, end, position);
        code->parameters.push_back(parameter);
    }
    uint16_t bodyLength = readU16(bytes, position);
    code->code = *m_code;
    code->start = next;
    code->length = std::min<size_t>(bodyLength, bytes.size() - std::min(next, bytes.size()));
    // A function body runs by SWF 5 rules even in a SWF 4 movie: equality gives booleans
    // and division by zero Infinity there, as Flash does.
    code->swfVersion = std::max(m_swfVersion, 5);
    code->constantPool = *m_constantPool;
    next += code->length;

    auto* function = m_machine.make<FunctionObject>(m_machine.prototypes().function, code, m_scope, m_target);
    Object* prototype = m_machine.makeObject();
    prototype->define(QStringLiteral("constructor"), Value(function), property_flag::DontEnum);
    // A function's prototype cannot be deleted, as with the built-in classes.
    function->define(QStringLiteral("prototype"), Value(prototype), property_flag::DontEnum | property_flag::DontDelete);
    const Value functionValue(function);
    if (code->name.isEmpty())
        push(functionValue);
    else if (!definePathVariable(code->name, &functionValue))
        localsObject()->set(m_machine, code->name, functionValue);
}

Interpreter::Outcome Interpreter::actionWith(Step& step)
{
    const size_t payload = step.payload;
    size_t& next = step.next;
    uint16_t size = readU16(**m_code, payload);
    Value value = pop();
    size_t bodyStart = next;
    size_t bodyEnd = std::min(next + size, (*m_code)->size());
    Object* object = value.isObject() ? value.asObject() : m_machine.toObject(value);
    if (!object) {
        // with(undefined) skips its block.
        next = bodyEnd;
        return Outcome::Normal;
    }
    ScopeChain saved = m_scope;
    m_scope = Scope::make(Scope::Kind::With, object, m_scope);
    size_t position = bodyStart;
    Outcome outcome;
    try {
        outcome = runRange(bodyStart, bodyEnd, position);
    } catch (...) {
        m_scope = saved;
        throw;
    }
    m_scope = saved;
    next = position;
    return outcome;
}

Interpreter::Outcome Interpreter::actionTry(Step& step)
{
    const size_t payload = step.payload;
    const size_t payloadLength = step.length;
    size_t& next = step.next;
    const auto& bytes = **m_code;
    uint8_t flags = bytes[payload];
    uint16_t trySize = readU16(bytes, payload + 1);
    uint16_t catchSize = readU16(bytes, payload + 3);
    uint16_t finallySize = readU16(bytes, payload + 5);
    bool catchInRegister = flags & 4;
    bool hasFinally = flags & 2;
    bool hasCatch = flags & 1;
    QString catchName;
    uint8_t catchRegister = 0;
    if (catchInRegister) {
        catchRegister = payload + 7 < bytes.size() ? bytes[payload + 7] : 0;
    } else {
        size_t after;
        catchName = decodeString(payload + 7, payload + payloadLength, after);
    }
    size_t tryStart = next;
    size_t catchStart = std::min(tryStart + trySize, bytes.size());
    size_t finallyStart = std::min(catchStart + catchSize, bytes.size());
    size_t end = std::min(finallyStart + finallySize, bytes.size());

    Outcome outcome = Outcome::Normal;
    size_t continueAt = end;
    bool pendingThrow = false;
    Value thrown;
    size_t stackDepth = m_stack.size();
    ScopeChain savedScope = m_scope;
    try {
        size_t position = tryStart;
        outcome = runRange(tryStart, catchStart, position);
        // Leaving the try block for a place inside the statement (compilers jump over the
        // catch block to the finally block) completes it: finally then runs once.
        continueAt = position >= catchStart && position <= end ? end : position;
    } catch (const ScriptThrow& exception) {
        m_scope = savedScope;
        m_stack.resize(std::min(m_stack.size(), stackDepth));
        if (hasCatch) {
            if (catchInRegister) {
                if (Value* slot = registerSlot(catchRegister))
                    *slot = exception.value;
            } else {
                localsObject()->set(m_machine, catchName, exception.value);
            }
            try {
                size_t position = catchStart;
                outcome = runRange(catchStart, finallyStart, position);
                continueAt = position >= finallyStart && position <= end ? end : position;
            } catch (const ScriptThrow& again) {
                pendingThrow = true;
                thrown = again.value;
            }
        } else {
            pendingThrow = true;
            thrown = exception.value;
        }
    }
    if (hasFinally) {
        Value savedReturn = m_returnValue;
        size_t position = finallyStart;
        Outcome finallyOutcome = runRange(finallyStart, end, position);
        if (finallyOutcome == Outcome::Return)
            return Outcome::Return; // a return in finally wins over everything
        m_returnValue = savedReturn;
        if (position < finallyStart || position > end)
            continueAt = position;
    }
    if (pendingThrow)
        throw ScriptThrow{thrown};
    next = continueAt;
    return outcome;
}

const std::array<Interpreter::ActionHandler, 256> Interpreter::actionHandlers = [] {
    std::array<ActionHandler, 256> handlers;
    handlers.fill(&Interpreter::actionUnknown);
#define SKRV_AVM1_ACTION_HANDLER(name, code) handlers[code] = &Interpreter::action##name;
    SKRV_AVM1_ACTIONS(SKRV_AVM1_ACTION_HANDLER)
#undef SKRV_AVM1_ACTION_HANDLER
    return handlers;
}();

Interpreter::Outcome Interpreter::binaryAction(uint8_t code)
{
    const BinaryOperation& operation = *binaryOperation(code);
    using Operands = BinaryOperation::Operands;
    // Two numbers need no conversion, so no order of conversions to keep: the operation works
    // on them where they lie. Add2 of two numbers is their sum.
    const size_t depth = m_stack.size();
    if (depth >= 2 && m_stack[depth - 1].isNumber() && m_stack[depth - 2].isNumber()) {
        const double right = m_stack[depth - 1].asNumber();
        const double left = m_stack[depth - 2].asNumber();
        if (operation.operands == Operands::Numbers || operation.operands == Operands::NumbersRightFirst) {
            m_stack.pop_back();
            m_stack.back() = operation.onNumbers(left, right, m_swfVersion);
            return Outcome::Normal;
        }
        if (code == uint8_t(Action::Add2)) {
            m_stack.pop_back();
            m_stack.back() = Value(left + right);
            return Outcome::Normal;
        }
    }
    if (code == uint8_t(Action::Add2) && depth >= 2 && joinTexts(m_stack[depth - 2], m_stack[depth - 1])) {
        m_stack.pop_back();
        return Outcome::Normal;
    }
    switch (operation.operands) {
    case Operands::Numbers:
    case Operands::NumbersRightFirst: {
        auto [left, right] = popNumberPair(operation.operands == Operands::NumbersRightFirst);
        push(operation.onNumbers(left, right, m_swfVersion));
        break;
    }
    case Operands::Integers: {
        int32_t right = m_machine.toInt32(pop());
        int32_t left = m_machine.toInt32(pop());
        push(operation.onIntegers(left, right));
        break;
    }
    case Operands::Strings: {
        QString right = popString();
        QString left = popString();
        push(operation.onStrings(m_machine, left, right));
        break;
    }
    case Operands::Booleans: {
        bool right = m_machine.toBoolean(pop());
        bool left = m_machine.toBoolean(pop());
        push(operation.onBooleans(left, right));
        break;
    }
    case Operands::Values: {
        Value right = pop();
        Value left = pop();
        push(operation.onValues(m_machine, left, right));
        break;
    }
    }
    return Outcome::Normal;
}

// The text a string or a number gives when joined to a text, as a view: a string's own text, a
// whole number's digits written into the buffer, any other number's text kept in spare.
static QStringView joinedText(const Value& value, number_text::WholeNumberBuffer& digits, QString& spare)
{
    if (value.isString())
        return value.asString();
    if (const int length = number_text::wholeNumberText(value.asNumber(), digits); length > 0)
        return QStringView(digits, length);
    spare = number_text::toText(value.asNumber());
    return spare;
}

// Add2 of two strings, or of a string and a number, joins their texts; neither has a valueOf to
// ask. A text on the left is appended to where it lies, which grows it in place when it is the
// text last grown (text += piece in a loop), and a whole number's text is written without making
// a string of it, as loops that build text ("item" + i) do that at every step. False for other
// operands.
bool Interpreter::joinTexts(Value& left, const Value& right)
{
    const bool leftIsText = left.isString();
    const bool rightIsText = right.isString();
    if (!(leftIsText && (rightIsText || right.isNumber())) && !(rightIsText && left.isNumber()))
        return false;
    number_text::WholeNumberBuffer digits;
    QString spare;
    StringAppender& appender = m_machine.m_appender;
    if (leftIsText) {
        const QStringView piece = joinedText(right, digits, spare);
        m_machine.checkStringLength(left.asString().size() + piece.size());
        if (left.asString().isEmpty() && rightIsText)
            left = right; // the same text, shared
        else
            appender.append(left.stringInPlace(), piece);
        return true;
    }
    const QStringView head = joinedText(left, digits, spare);
    const QString& tail = right.asString();
    m_machine.checkStringLength(head.size() + tail.size());
    QString joined = head.toString();
    appender.append(joined, tail);
    left = Value(std::move(joined));
    return true;
}

// text += first + second, the pieces' texts known: within the length limit, onto the text where
// it lies when the appender can.
inline void Interpreter::appendTexts(QString& text, QStringView first, QStringView second)
{
    m_machine.checkStringLength(text.size() + first.size() + second.size());
    m_machine.m_appender.append(text, first, second);
}

// text + first + second, where text is a string and the two pieces strings or numbers, at least
// one of them a string: both go onto the text in one step.
void Interpreter::joinTwoTexts(Value& text, const Value& first, const Value& second)
{
    number_text::WholeNumberBuffer firstDigits;
    number_text::WholeNumberBuffer secondDigits;
    QString firstSpare;
    QString secondSpare;
    const QStringView firstText = joinedText(first, firstDigits, firstSpare);
    const QStringView secondText = joinedText(second, secondDigits, secondSpare);
    appendTexts(text.stringInPlace(), firstText, secondText);
}

// A Push whose last values are a register and one or two pieces, followed by the additions and
// the store back into that register (text += piece, text += a + b): when the register holds a
// text and each piece is a text or a number, and two pieces join as texts rather than add up,
// the pieces go onto the register's text where it lies. Neither the text nor the pieces are
// taken onto the stack, and nothing can run a script. False, with nothing done, otherwise.
bool Interpreter::appendToRegister(const DecodedActions& decoded, const DecodedActions::Step& action)
{
    const size_t pieces = action.appendedPieces;
    const DecodedActions::PushValue* values = decoded.pushValues(action) + (action.valueCount - pieces - 1);
    Value* text = registerSlot(values[0].index);
    if (!text || !text->isString())
        return false;
    std::array<number_text::WholeNumberBuffer, 2> digits;
    std::array<QString, 2> spares;
    std::array<QStringView, 2> texts;
    bool joinsTexts = pieces == 1;
    for (size_t i = 0; i < pieces; ++i) {
        const DecodedActions::PushValue& piece = values[1 + i];
        if (piece.kind == DecodedActions::PushValue::Kind::Pool) {
            if (piece.index >= m_poolSize)
                return false;
            texts[i] = m_poolEntries[piece.index];
            joinsTexts = true;
            continue;
        }
        const Value* value = piece.kind == DecodedActions::PushValue::Kind::Constant ? &decoded.constant(piece.index) : registerSlot(piece.index);
        if (!value || !(value->isString() || value->isNumber()))
            return false;
        joinsTexts = joinsTexts || value->isString();
        texts[i] = joinedText(*value, digits[i], spares[i]);
    }
    if (!joinsTexts)
        return false;
    pushValuesBut(decoded, action, pieces + 1);
    appendTexts(text->stringInPlace(), texts[0], texts[1]);
    return true;
}

#define SKRV_AVM1_BINARY_ACTIONS(X) \
    X(Add) X(Subtract) X(Multiply) X(Divide) X(Equals) X(Less) X(Modulo) X(And) X(Or) X(StringEquals) \
    X(StringLess) X(StringGreater) X(StringAdd) X(Add2) X(Less2) X(Greater) X(Equals2) X(StrictEquals) \
    X(BitAnd) X(BitOr) X(BitXor) X(BitLShift) X(BitRShift) X(BitURShift)
#define SKRV_AVM1_BINARY_ACTION(name) \
    Interpreter::Outcome Interpreter::action##name(Step&) { return binaryAction(uint8_t(Action::name)); }
SKRV_AVM1_BINARY_ACTIONS(SKRV_AVM1_BINARY_ACTION)
#undef SKRV_AVM1_BINARY_ACTION
#undef SKRV_AVM1_BINARY_ACTIONS

Interpreter::Outcome Interpreter::actionNextFrame(Step&)
{
    commandTimeline(m_machine, m_target, DisplayBridge::TimelineCommand::NextFrame);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionPreviousFrame(Step&)
{
    commandTimeline(m_machine, m_target, DisplayBridge::TimelineCommand::PreviousFrame);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionPlay(Step&)
{
    commandTimeline(m_machine, m_target, DisplayBridge::TimelineCommand::Play);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionStop(Step&)
{
    commandTimeline(m_machine, m_target, DisplayBridge::TimelineCommand::Stop);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionToggleQuality(Step&)
{
    DisplayBridge& bridge = m_machine.bridge();
    bridge.toggleQuality();
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionStopSounds(Step&)
{
    DisplayBridge& bridge = m_machine.bridge();
    bridge.stopSounds();
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionNot(Step&)
{
    Machine& machine = m_machine;
    push(Value(!machine.toBoolean(pop())));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionStringLength(Step&)
{
    push(Value(double(popString().size())));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionMBStringLength(Step& step)
{
    return actionStringLength(step);
}

Interpreter::Outcome Interpreter::actionStringExtract(Step&)
{
    double count = popNumber();
    double index = popNumber();
    QString text = popString();
    // One-based; an index below 1 counts as 1 and a negative count means "to the end".
    qsizetype start = std::isfinite(index) ? qsizetype(std::max(0.0, std::min(index - 1, double(text.size())))) : 0;
    qsizetype length = std::isfinite(count) && count >= 0 ? qsizetype(std::min(count, double(text.size()))) : text.size();
    push(Value(text.mid(start, length)));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionMBStringExtract(Step& step)
{
    return actionStringExtract(step);
}

Interpreter::Outcome Interpreter::actionPop(Step&)
{
    pop();
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionToInteger(Step&)
{
    double number = popNumber();
    push(Value(double(number_text::toInt32(number))));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionGetVariable(Step&)
{
    const Value name = pop();
    Value value = getVariable(name.isString() ? name.asString() : m_machine.toString(name));
    // Clips were no values before SWF 5: a name or path that leads to one reads nothing.
    if (m_swfVersion < 5 && value.isObject() && m_machine.bridge().isClip(value.asObject()))
        value = Value();
    push(value);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionSetVariable(Step&)
{
    Value value = pop();
    const Value name = pop();
    setVariable(name.isString() ? name.asString() : m_machine.toString(name), value);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionSetTarget2(Step&)
{
    Machine& machine = m_machine;
    // A clip is found again by its path, so a clip that shares its name with one below it
    // gives way to that one. Anything else is made text (objects through their toString) and
    // read as a path.
    Value value = pop();
    Object* object = value.asObject();
    if (object && machine.bridge().isClip(object))
        setTargetPath(machine.bridge().targetPath(object, false));
    else
        setTargetPath(machine.toString(value));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionSetTarget(Step& step)
{
    const size_t payloadLength = step.length;
    const size_t payload = step.payload;
    size_t after;
    setTargetPath(decodeString(payload, payload + payloadLength, after));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionGetProperty(Step&)
{
    int index = propertyIndex(popNumber());
    Value targetValue = pop();
    Object* clip = targetValue.isString() && targetValue.asString().isEmpty() ? m_target : targetFromValue(targetValue);
    push(getProperty(clip, index));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionSetProperty(Step&)
{
    Value value = pop();
    int index = propertyIndex(popNumber());
    Value targetValue = pop();
    Object* clip = targetValue.isString() && targetValue.asString().isEmpty() ? m_target : targetFromValue(targetValue);
    setProperty(clip, index, value);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionCloneSprite(Step&)
{
    DisplayBridge& bridge = m_machine.bridge();
    double depth = popNumber();
    QString name = popString();
    Object* source = targetFromValue(pop());
    // The action takes the depth as the file stores it, 16384 above the depth scripts see
    // (duplicateMovieClip() compiles to this action with 16384 added).
    if (source && std::isfinite(depth))
        bridge.duplicateClip(source, name, int(depth) - 16384);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionRemoveSprite(Step&)
{
    DisplayBridge& bridge = m_machine.bridge();
    if (Object* clip = targetFromValue(pop()))
        bridge.removeClip(clip);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionTrace(Step&)
{
    Machine& machine = m_machine;
    DisplayBridge& bridge = m_machine.bridge();
    Value value = pop();
    // trace shows "undefined" in every SWF version, though the conversion to text gives ""
    // before SWF 7.
    bridge.trace(value.isUndefined() ? QStringLiteral("undefined") : machine.toString(value));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionStartDrag(Step&)
{
    Machine& machine = m_machine;
    DisplayBridge& bridge = m_machine.bridge();
    Object* clip = targetFromValue(pop());
    // The two flags are numbers that count only when they are exactly 1 (true is 1, "7" is not),
    // each converted through valueOf.
    bool lockCenter = machine.toInt32(pop()) == 1;
    bool constrained = machine.toInt32(pop()) == 1;
    double left = 0, top = 0, right = 0, bottom = 0;
    if (constrained) {
        bottom = popNumber();
        right = popNumber();
        top = popNumber();
        left = popNumber();
    }
    if (clip)
        bridge.startDrag(clip, lockCenter, constrained, left, top, right, bottom);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionEndDrag(Step&)
{
    DisplayBridge& bridge = m_machine.bridge();
    bridge.stopDrag();
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionThrow(Step&)
{
    throw ScriptThrow{pop()};
}

Interpreter::Outcome Interpreter::actionCastOp(Step&)
{
    Machine& machine = m_machine;
    Value object = pop();
    Value constructor = pop();
    Object* instance = object.asObject();
    push(instance && machine.instanceOf(instance, constructor.asObject()) ? object : Value::null());
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionImplementsOp(Step&)
{
    Machine& machine = m_machine;
    Object* constructor = pop().asObject();
    Arguments interfaces = popArguments();
    if (!constructor)
        return Outcome::Normal;
    // Prototypes are read from their own slots as stored, without getters, once: the class keeps
    // the interface prototypes of its first ImplementsOp that names any, whatever they become
    // later. An entry that is no object (or a clip) still counts, but matches nothing.
    auto ownPrototype = [&machine](Object* holder) -> Object* {
        const Property* slot = holder->findOwn(QStringLiteral("prototype"), machine.caseSensitive());
        Object* prototype = slot ? slot->value.asObject() : nullptr;
        return prototype && !machine.bridge().isClip(prototype) ? prototype : nullptr;
    };
    Object* prototype = ownPrototype(constructor);
    if (!prototype || !prototype->interfaces().empty())
        return Outcome::Normal;
    for (const Value& interface : interfaces) {
        Object* object = interface.asObject();
        prototype->interfaces().push_back(object ? ownPrototype(object) : nullptr);
    }
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionRandomNumber(Step&)
{
    double maximum = popNumber();
    // A maximum beyond an int draws from the whole int range rather than converting out of it.
    const int limit = !std::isfinite(maximum) || maximum <= 0 ? 0
        : maximum >= double(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max()
                                                             : int(maximum);
    push(Value(limit > 0 ? double(QRandomGenerator::global()->bounded(limit)) : 0.0));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionCharToAscii(Step&)
{
    QString text = popString();
    push(text.isEmpty() ? Value(0.0) : Value(double(text[0].unicode())));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionMBCharToAscii(Step& step)
{
    return actionCharToAscii(step);
}

Interpreter::Outcome Interpreter::actionAsciiToChar(Step&)
{
    uint16_t unit = uint16_t(number_text::toUint32(popNumber()));
    push(unit == 0 ? Value(QString()) : Value(QString(QChar(unit))));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionMBAsciiToChar(Step& step)
{
    return actionAsciiToChar(step);
}

Interpreter::Outcome Interpreter::actionGetTime(Step&)
{
    DisplayBridge& bridge = m_machine.bridge();
    push(Value(std::floor(bridge.milliseconds())));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionDelete(Step&)
{
    Machine& machine = m_machine;
    QString name = popString();
    Value object = pop();
    Object* target = object.asObject();
    push(Value(target ? target->remove(machine, name) : false));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionDelete2(Step&)
{
    Machine& machine = m_machine;
    QString name = popString();
    bool removed = false;
    QString path;
    QString variable;
    if (target_path::splitVariable(name, path, variable)) {
        // "o.a" and "o:a" delete a of whatever o names, found as GetVariable finds it. A path
        // that names a string, number or boolean deletes nothing, and the player says why.
        for (const Scope* link = m_scope.get(); link; link = link->parent.get()) {
            Object* start = linkObject(machine, *link);
            bool reachedPrimitive = false;
            if (Object* object = target_path::resolve(machine, start, path, reachedPrimitive)) {
                removed = object->hasOwnProperty(machine, variable) && object->remove(machine, variable);
                break;
            }
            if (reachedPrimitive) {
                machine.bridge().trace(QStringLiteral("Parameters of primitive types are no longer coerced into the required type - Object."));
                break;
            }
        }
        push(Value(removed));
        return Outcome::Normal;
    }
    for (const Scope* link = m_scope.get(); link; link = link->parent.get()) {
        Object* object = link->object;
        if (object && object->hasOwnProperty(machine, name)) {
            removed = object->remove(machine, name);
            break;
        }
    }
    push(Value(removed));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionDefineLocal(Step&)
{
    Machine& machine = m_machine;
    Value value = pop();
    QString name = popString();
    if (definePathVariable(name, &value))
        return Outcome::Normal;
    // Inside with blocks, an object that holds the name as its own property takes the value;
    // otherwise the function's locals (or the timeline) do.
    Object* holder = localsObject();
    for (const Scope* link = m_scope.get(); link; link = link->parent.get()) {
        if (link->kind == Scope::Kind::Local || link->kind == Scope::Kind::Target)
            break;
        if (link->kind == Scope::Kind::With && link->object && link->object->hasOwnProperty(machine, name)) {
            holder = link->object;
            break;
        }
    }
    if (holder)
        holder->set(machine, name, value);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionDefineLocal2(Step&)
{
    Machine& machine = m_machine;
    QString name = popString();
    if (definePathVariable(name, nullptr))
        return Outcome::Normal;
    Object* locals = localsObject();
    // A name the locals inherit (from MovieClip.prototype on a timeline) is left alone.
    if (locals && !locals->has(machine, name))
        locals->define(name, Value());
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionCallFunction(Step&)
{
    // The name is read in place where it is a string, as a member action's is.
    Value nameValue;
    if (!m_stack.empty())
        m_stack.popInto(nameValue);
    QString converted;
    return callByName(memberName(m_machine, nameValue, converted));
}

// CallFunction once its name is off the stack: the count and the arguments lie on it.
inline Interpreter::Outcome Interpreter::callByName(const QString& name)
{
    Value function;
    Object* self = nullptr;
    // Where the count is a number and the function is found without running a script, nothing
    // can run between taking the arguments and the call: a script function takes its arguments
    // straight from the stack. Where it would be one level too deep, or reads _parent (which may
    // run a getter) before it has its arguments, the arguments are taken first, as below.
    if (!m_stack.empty() && m_stack.back().isNumber() && findFunctionWithoutScripts(name, function, self)) {
        Object* object = function.asObject();
        auto* callee = object && object->kind() == ObjectKind::Function ? static_cast<FunctionObject*>(object) : nullptr;
        const ScriptFunctionCode* code = callee ? callee->script().get() : nullptr;
        if (code && m_machine.m_callDepth + 1 < m_machine.m_limits.maximumDepth()
            && !(code->isFunction2 && (code->flags & ScriptFunctionCode::PreloadParent))) {
            const size_t count = stackCount(m_stack.back().asNumber(), m_stack.size() - 1);
            m_stack.pop_back();
            Value result = enter(m_machine, callee, self, StackArguments{m_stack, count}, self ? self->prototype() : nullptr);
            m_stack.reserveMore(1);
            m_stack.pushUnchecked(std::move(result));
        } else {
            Arguments arguments = popArguments();
            push(callFound(function, self, arguments));
            m_machine.m_vectorPool.give(std::move(arguments));
        }
    } else {
        // The name may lie in the constant pool of this run; the copy keeps it whatever the
        // lookup runs.
        const QString kept = name;
        Arguments arguments = popArguments();
        push(callFunctionNamed(kept, arguments));
        m_machine.m_vectorPool.give(std::move(arguments));
    }
    if (baseClipLeftDuringRun())
        return Outcome::Return;
    return Outcome::Normal;
}

inline Interpreter::Outcome Interpreter::actionReturn(Step&)
{
    // Whatever the value held before (a return in a try block, say) goes; the stack's value
    // moves into its place, or undefined when the stack is empty.
    if (m_stack.empty()) {
        std::destroy_at(&m_returnValue);
        std::construct_at(&m_returnValue);
    } else {
        m_stack.popInto(m_returnValue);
    }
    return Outcome::Return;
}

Interpreter::Outcome Interpreter::actionNewObject(Step&)
{
    Machine& machine = m_machine;
    QString name = popString();
    Arguments arguments = popArguments();
    push(machine.construct(getVariable(name), arguments));
    if (baseClipLeftDuringRun())
        return Outcome::Return;
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionNewMethod(Step&)
{
    Machine& machine = m_machine;
    Value nameValue = pop();
    Value object = pop();
    Arguments arguments = popArguments();
    QString name = nameValue.isUndefined() ? QString() : machine.toString(nameValue);
    if (name.isEmpty())
        push(machine.construct(object.isBoxable() ? Value(machine.toObject(object)) : object, arguments));
    else
        push(machine.construct(machine.getMember(object, name), arguments));
    if (!object.isNullish() && baseClipLeftDuringRun())
        return Outcome::Return;
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionInitArray(Step&)
{
    Machine& machine = m_machine;
    // A count beyond the values on the stack makes Flash give undefined and take nothing.
    double count = m_machine.toNumber(m_stack.empty() ? Value() : m_stack.back());
    if (std::isfinite(count) && count > double(m_stack.size()) - 1) {
        pop();
        push(Value());
        return Outcome::Normal;
    }
    Arguments elements = popArguments();
    push(Value(machine.makeArray(std::move(elements))));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionInitObject(Step&)
{
    Machine& machine = m_machine;
    double count = popNumber();
    Object* object = machine.makeObject();
    const size_t pairs = stackCount(count, m_stack.size() / 2);
    for (size_t i = 0; i < pairs; ++i) {
        Value value = pop();
        QString name = popString();
        object->set(machine, name, value);
    }
    push(Value(object));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionTypeOf(Step&)
{
    Machine& machine = m_machine;
    push(Value(machine.typeOf(pop())));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionTargetPath(Step&)
{
    DisplayBridge& bridge = m_machine.bridge();
    Value value = pop();
    Object* object = value.asObject();
    if (object && bridge.isClip(object))
        push(Value(bridge.targetPath(object, false)));
    else
        push(Value());
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionEnumerate(Step&)
{
    enumerate(getVariable(popString()));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionEnumerate2(Step&)
{
    enumerate(pop());
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionToNumber(Step&)
{
    push(Value(popNumber()));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionToString(Step&)
{
    push(Value(popString()));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionPushDuplicate(Step&)
{
    Value top = m_stack.empty() ? Value() : m_stack.back();
    push(top);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionStackSwap(Step&)
{
    Value first = pop();
    Value second = pop();
    push(first);
    push(second);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionGetMember(Step&)
{
    // A plain own slot was read in the run loop already.
    Machine& machine = m_machine;
    Value nameValue = pop();
    Value object = pop();
    QString converted;
    push(machine.getMember(object, memberName(machine, nameValue, converted)));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionSetMember(Step&)
{
    // A plain own slot was written in the run loop already.
    Machine& machine = m_machine;
    Value value = pop();
    Value nameValue = pop();
    Value object = pop();
    QString converted;
    machine.setMember(object, memberName(machine, nameValue, converted), value);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionIncrement(Step&)
{
    push(Value(popNumber() + 1));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionDecrement(Step&)
{
    push(Value(popNumber() - 1));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionCallMethod(Step&)
{
    Machine& machine = m_machine;
    Value nameValue = pop();
    Value object = pop();
    Arguments arguments = popArguments();
    QString name = nameValue.isUndefined() ? QString() : machine.toString(nameValue);
    if (name.isEmpty()) {
        Object* super = object.asObject();
        if (super && super->kind() == ObjectKind::Super) {
            // super() written as a method call with no name.
            auto* superObject = static_cast<SuperObject*>(super);
            Object* base = superObject->base();
            Value constructor = superObject->constructor(machine);
            Object* callee = constructor.asObject();
            if (callee && callee->kind() == ObjectKind::Function && !static_cast<FunctionObject*>(callee)->isNative())
                push(Interpreter::invoke(machine, static_cast<FunctionObject*>(callee), superObject->thisObject(), arguments, base));
            else if (callee && callee->kind() == ObjectKind::Function)
                push(machine.constructSuperNative(static_cast<FunctionObject*>(callee), superObject->thisObject(), arguments));
            else
                push(machine.call(constructor, superObject->thisObject(), arguments));
        } else {
            // A function called as a value has no "this" of its own, not even the caller's. A
            // string, number or boolean is made an object first, by the class that boxes it now.
            if (object.isBoxable())
                object = Value(machine.toObject(object));
            push(machine.call(object, nullptr, arguments));
        }
    } else {
        push(machine.callMethod(object, name, arguments));
    }
    machine.m_vectorPool.give(std::move(arguments));
    // A method asked of nothing is not called, and the script goes on whatever happened.
    if (!object.isNullish() && baseClipLeftDuringRun())
        return Outcome::Return;
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionInstanceOf(Step&)
{
    Machine& machine = m_machine;
    Value constructor = pop();
    Value object = pop();
    push(Value(machine.instanceOf(object.asObject(), constructor.asObject())));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionExtends(Step&)
{
    Machine& machine = m_machine;
    Object* superclass = pop().asObject();
    Object* subclass = pop().asObject();
    if (!superclass || !subclass)
        return Outcome::Normal;
    Object* superPrototype = superclass->get(machine, QStringLiteral("prototype")).asObject();
    Object* prototype = machine.make<Object>(superPrototype);
    prototype->define(QStringLiteral("__constructor__"), Value(superclass), property_flag::DontEnum);
    prototype->define(QStringLiteral("constructor"), Value(superclass), property_flag::DontEnum);
    subclass->set(machine, QStringLiteral("prototype"), Value(prototype));
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionGotoFrame(Step& step)
{
    DisplayBridge& bridge = m_machine.bridge();
    const auto& bytes = **m_code;
    const size_t payload = step.payload;
    if (m_target)
        bridge.gotoFrame(m_target, readU16(bytes, payload), false);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionGetUrl(Step& step)
{
    const size_t payloadLength = step.length;
    const size_t payload = step.payload;
    size_t after;
    QString url = decodeString(payload, payload + payloadLength, after);
    QString target = decodeString(after, payload + payloadLength, after);
    // A target of "_levelN" loads a movie into that level.
    bool isLevel = target.startsWith(QLatin1String("_level"));
    getUrl(url, target, 0, isLevel, false);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionStoreRegister(Step& step)
{
    const auto& bytes = **m_code;
    const size_t payload = step.payload;
    uint8_t index = payload < bytes.size() ? bytes[payload] : 0;
    if (Value* slot = registerSlot(index))
        *slot = m_stack.empty() ? Value() : m_stack.back();
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionConstantPool(Step& step)
{
    const auto& bytes = **m_code;
    const size_t payloadLength = step.length;
    const size_t payload = step.payload;
    auto pool = std::make_shared<std::vector<QString>>();
    uint16_t count = readU16(bytes, payload);
    size_t position = payload + 2;
    size_t end = payload + payloadLength;
    for (uint16_t i = 0; i < count && position < end; ++i)
        pool->push_back(decodeString(position, end, position));
    m_ownConstantPool = std::move(pool);
    usePool(&m_ownConstantPool);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionWaitForFrame(Step& step)
{
    const auto& bytes = **m_code;
    const size_t payload = step.payload;
    int frame = readU16(bytes, payload);
    uint8_t skip = payload + 2 < bytes.size() ? bytes[payload + 2] : 0;
    if (!waitForFrameLoaded(m_target, frame))
        m_skipActions = skip;
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionWaitForFrame2(Step& step)
{
    const auto& bytes = **m_code;
    const size_t payload = step.payload;
    uint8_t skip = payload < bytes.size() ? bytes[payload] : 0;
    Value frame = pop();
    if (!waitForFrame2Loaded(m_machine, m_target, frame))
        m_skipActions = skip;
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionGotoLabel(Step& step)
{
    DisplayBridge& bridge = m_machine.bridge();
    const size_t payloadLength = step.length;
    const size_t payload = step.payload;
    size_t after;
    QString label = decodeString(payload, payload + payloadLength, after);
    if (m_target)
        bridge.gotoLabel(m_target, label, false);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionJump(Step& step)
{
    const auto& bytes = **m_code;
    const size_t payload = step.payload;
    int16_t offset = int16_t(readU16(bytes, payload));
    step.next = size_t(int64_t(step.next) + offset);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionIf(Step& step)
{
    Machine& machine = m_machine;
    const auto& bytes = **m_code;
    const size_t payload = step.payload;
    int16_t offset = int16_t(readU16(bytes, payload));
    if (machine.toBoolean(pop()))
        step.next = size_t(int64_t(step.next) + offset);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionGetUrl2(Step& step)
{
    const auto& bytes = **m_code;
    const size_t payload = step.payload;
    uint8_t flags = payload < bytes.size() ? bytes[payload] : 0;
    QString target = popString();
    QString url = popString();
    getUrl(url, target, flags & 3, flags & 0x40, flags & 0x80);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionCall(Step&)
{
    Machine& machine = m_machine;
    DisplayBridge& bridge = m_machine.bridge();
    Value frame = pop();
    // A tellTarget that named no clip leaves the root to call on.
    Object* clip = targetOrRoot();
    if (frame.isNumber()) {
        // A number is a frame of the target, wrapped to 32 bits and then to a frame number.
        const int number = int(uint16_t(uint32_t(machine.toInt32(frame))));
        if (clip && number > 0)
            bridge.callFrame(clip, number - 1);
        return Outcome::Normal;
    }
    QString text = machine.toString(frame);
    qsizetype colon = text.lastIndexOf(u':');
    if (colon >= 0) {
        clip = target_path::resolve(machine, targetOrRoot(), text.left(colon));
        text = text.mid(colon + 1);
    }
    if (clip) {
        int number = bridge.frameOf(clip, text);
        if (number >= 0)
            bridge.callFrame(clip, number);
    }
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionGotoFrame2(Step& step)
{
    const auto& bytes = **m_code;
    const size_t payload = step.payload;
    uint8_t flags = payload < bytes.size() ? bytes[payload] : 0;
    int bias = (flags & 2) ? readU16(bytes, payload + 1) : 0;
    gotoFrameValue(pop(), flags & 1, bias);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionDefineFunction(Step& step)
{
    defineFunction(step, false);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionDefineFunction2(Step& step)
{
    defineFunction(step, true);
    return Outcome::Normal;
}

Interpreter::Outcome Interpreter::actionEnd(Step&)
{
    return Outcome::Normal;
}

// Unknown actions are skipped by their length, as Flash does.
Interpreter::Outcome Interpreter::actionUnknown(Step&)
{
    return Outcome::Normal;
}

} // namespace player::avm1
