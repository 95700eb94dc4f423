#include "Interpreter.h"

#include "ActionCodes.h"
#include "ArrayObject.h"
#include "ClipObject.h"
#include "FrameDestination.h"
#include "Machine.h"
#include "NumberText.h"
#include "ScriptExceptions.h"
#include "SuperObject.h"
#include "TargetPath.h"

#include <QRandomGenerator>
#include <cmath>
#include <limits>
#include <utility>
#include <cstring>

namespace player::avm1 {

namespace {

// A clip object whose display object has left the stage.
bool isRemovedClip(const Object* object)
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

uint16_t readU16(const std::vector<uint8_t>& bytes, size_t at)
{
    if (at + 2 > bytes.size())
        return 0;
    return uint16_t(bytes[at] | (bytes[at + 1] << 8));
}

uint32_t readU32(const std::vector<uint8_t>& bytes, size_t at)
{
    if (at + 4 > bytes.size())
        return 0;
    return uint32_t(bytes[at]) | (uint32_t(bytes[at + 1]) << 8) | (uint32_t(bytes[at + 2]) << 16) | (uint32_t(bytes[at + 3]) << 24);
}

ScopeChain replaceTarget(const ScopeChain& scope, Object* target)
{
    if (!scope)
        return scope;
    if (scope->kind == Scope::Kind::Target)
        return Scope::make(Scope::Kind::Target, target, scope->parent);
    if (scope->kind == Scope::Kind::Global)
        return scope;
    return Scope::make(scope->kind, scope->object, replaceTarget(scope->parent, target));
}

} // namespace

Interpreter::Interpreter(Machine& machine, swf::ActionCode code, size_t start, size_t end, int swfVersion, ScopeChain scope,
                         Object* thisObject, Object* target, std::shared_ptr<const std::vector<QString>> constantPool)
    : m_machine(machine)
    , m_code(std::move(code))
    , m_start(start)
    , m_end(std::min(end, m_code ? m_code->size() : 0))
    , m_swfVersion(swfVersion)
    , m_scope(std::move(scope))
    , m_thisObject(thisObject)
    , m_target(target)
    , m_baseClip(target)
    , m_constantPool(std::move(constantPool))
{
}

Value Interpreter::run()
{
    m_baseClipGoneAtStart = baseClipRemoved();
    size_t position = m_start;
    int savedVersion = m_machine.swfVersion();
    m_machine.setSwfVersion(m_swfVersion);
    Object* savedTarget = std::exchange(m_machine.m_scriptTarget, m_target);
    Outcome outcome = runRange(m_start, m_end, position);
    m_machine.m_scriptTarget = savedTarget;
    m_machine.setSwfVersion(savedVersion);
    return outcome == Outcome::Return ? m_returnValue : Value();
}

Value Interpreter::invoke(Machine& machine, FunctionObject* function, Object* self, const Arguments& arguments, Object* methodHolder)
{
    Machine::DepthGuard guard(machine);
    struct ConstructorFlag {
        Machine& machine;
        bool saved;
        ~ConstructorFlag() { machine.m_runningAsConstructor = saved; }
    } constructorFlag{machine, machine.m_runningAsConstructor};
    machine.m_runningAsConstructor = std::exchange(machine.m_nextCallConstructs, false);
    const ScriptFunctionCode& code = *function->script();
    Object* activation = machine.make<Object>(nullptr, ObjectKind::Activation);
    // A function whose clip has left the stage runs on the clip it was called on, or else on the
    // caller's target.
    Object* target = function->definingClip();
    const bool calledOnClip = self && machine.bridge().isClip(self);
    if (isRemovedClip(target))
        target = calledOnClip ? self : machine.m_scriptTarget;
    ScopeChain outerScope = function->scope();
    // SWF 5 functions keep no scope from where they were made: past their locals they see the
    // clip they were called on, or else the caller's clip, and then the globals.
    if (code.swfVersion < 6) {
        Object* base = calledOnClip && !isRemovedClip(self) ? self : machine.m_scriptTarget;
        if (base) {
            target = base;
            outerScope = Scope::make(Scope::Kind::Target, base, Scope::make(Scope::Kind::Global, machine.global(), nullptr));
        }
    }
    ScopeChain scope = Scope::make(Scope::Kind::Local, activation, outerScope);
    Interpreter interpreter(machine, code.code, code.start, code.start + code.length, code.swfVersion, scope, self, target, code.constantPool);
    interpreter.m_callee = function;

    Object* caller = machine.runningFunction();
    auto makeArguments = [&]() {
        ArrayObject* object = machine.makeArray(arguments);
        object->define(QStringLiteral("callee"), Value(function), property_flag::DontEnum);
        object->define(QStringLiteral("caller"), caller ? Value(caller) : Value::null(), property_flag::DontEnum);
        return object;
    };
    auto makeSuper = [&]() -> Object* {
        return machine.make<SuperObject>(self, methodHolder);
    };

    if (code.isFunction2) {
        interpreter.m_registers.assign(code.registerCount, Value());
        size_t next = 1;
        auto preload = [&](const Value& value) {
            if (next < interpreter.m_registers.size())
                interpreter.m_registers[next] = value;
            ++next;
        };
        using Flag = ScriptFunctionCode::Flag;
        // Suppressing "this" wins over preloading it: the register is kept but left undefined.
        if (code.flags & Flag::PreloadThis)
            preload(self && !(code.flags & Flag::SuppressThis) ? Value(self) : Value());
        // A function that preloads or suppresses "this" does not bind the name at all, so a
        // lookup goes on along the scope chain.
        if (!(code.flags & (Flag::PreloadThis | Flag::SuppressThis)))
            activation->define(QStringLiteral("this"), self ? Value(self) : Value());
        if (code.flags & Flag::PreloadArguments)
            preload(Value(makeArguments()));
        else if (!(code.flags & Flag::SuppressArguments))
            activation->define(QStringLiteral("arguments"), Value(makeArguments()));
        // As with "this": a preloaded super lives in its register only, and suppressing it wins.
        if (code.flags & Flag::PreloadSuper)
            preload(code.flags & Flag::SuppressSuper ? Value() : Value(makeSuper()));
        else if (!(code.flags & Flag::SuppressSuper))
            interpreter.m_superObject = makeSuper();
        if (code.flags & Flag::PreloadRoot)
            preload(Value(machine.bridge().rootOf(target)));
        if (code.flags & Flag::PreloadParent)
            preload(target ? machine.getMember(Value(target), QStringLiteral("_parent")) : Value());
        if (code.flags & Flag::PreloadGlobal)
            preload(Value(machine.global()));
        for (size_t i = 0; i < code.parameters.size(); ++i) {
            Value argument = i < arguments.size() ? arguments[i] : Value();
            const auto& parameter = code.parameters[i];
            if (parameter.registerIndex > 0 && parameter.registerIndex < interpreter.m_registers.size())
                interpreter.m_registers[parameter.registerIndex] = argument;
            else
                activation->define(parameter.name, argument);
        }
    } else {
        activation->define(QStringLiteral("this"), self ? Value(self) : Value());
        activation->define(QStringLiteral("arguments"), Value(makeArguments()));
        interpreter.m_superObject = makeSuper();
        for (size_t i = 0; i < code.parameters.size(); ++i)
            activation->define(code.parameters[i].name, i < arguments.size() ? arguments[i] : Value());
    }
    struct RunningFunctionGuard {
        Machine& machine;
        Object* saved;
        ~RunningFunctionGuard() { machine.setRunningFunction(saved); }
    } runningGuard{machine, caller};
    machine.setRunningFunction(function);
    return interpreter.run();
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
    // The older arithmetic actions convert the left operand first, except Equals, which
    // converts the right one first; valueOf side effects show the order.
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
    const auto& bytes = *m_code;
    limit = std::min(limit, bytes.size());
    size_t end = start;
    while (end < limit && bytes[end] != 0)
        ++end;
    after = end < limit ? end + 1 : end;
    const char* data = reinterpret_cast<const char*>(bytes.data() + start);
    qsizetype length = qsizetype(end - start);
    // Text in SWF 6 and later is UTF-8; before, it is in the author's code page, which Flash
    // read as Windows-1252 on the systems these movies were made for.
    return m_swfVersion >= 6 ? QString::fromUtf8(data, length) : QString::fromLatin1(data, length);
}

Interpreter::Outcome Interpreter::runRange(size_t start, size_t end, size_t& position)
{
    const auto& bytes = *m_code;
    ExecutionLimits& limits = m_machine.limits();
    while (position >= start && position < end) {
        if (limits.tick())
            throw ScriptAbort{QStringLiteral("A script ran longer than the movie's time limit.")};
        uint8_t code = bytes[position];
        size_t payload = position + 1;
        size_t payloadLength = 0;
        if (code >= 0x80) {
            if (position + 3 > bytes.size())
                return Outcome::Normal;
            payloadLength = readU16(bytes, position + 1);
            payload = position + 3;
            if (payload + payloadLength > bytes.size())
                return Outcome::Normal; // a truncated action ends the list
        }
        size_t next = payload + payloadLength;
        if (code == 0)
            return Outcome::Normal;
        if (m_skipActions > 0) {
            --m_skipActions;
            position = next;
            continue;
        }
        Outcome outcome = execute(code, payload, payloadLength, next);
        if (outcome == Outcome::Return)
            return outcome;
        position = next;
    }
    return Outcome::Normal;
}

Object* Interpreter::localsObject() const
{
    for (const Scope* link = m_scope.get(); link; link = link->parent.get()) {
        if (link->kind == Scope::Kind::Local || link->kind == Scope::Kind::Target)
            return link->object;
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
    Qt::CaseSensitivity sensitivity = m_machine.caseSensitive() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const bool isThis = name.compare(QLatin1String("this"), sensitivity) == 0;
    if (name.compare(QLatin1String("super"), sensitivity) == 0 && m_superObject)
        return Value(m_superObject);
    QString path;
    QString variable;
    if (target_path::splitVariable(name, path, variable)) {
        for (const Scope* link = m_scope.get(); link; link = link->parent.get()) {
            Object* start = link->object;
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
    // _global wins over any property of that name along the scope chain.
    if (name.compare(QLatin1String("_global"), sensitivity) == 0)
        return seesGlobals() ? Value(m_machine.global()) : Value();
    // "this" is a variable like any other: a function binds it in its activation, and a script
    // may assign it. Where nothing on the chain holds it, a frame script sees its clip; a function
    // that left it unbound sees the clip it was defined in from SWF 6 on, and nothing before.
    for (const Scope* link = m_scope.get(); link; link = link->parent.get()) {
        if (link->kind == Scope::Kind::Global && !seesGlobals())
            continue;
        Object* object = scopeObject(*link);
        if (object && object->has(m_machine, name))
            return object->get(m_machine, name);
    }
    if (isThis) {
        Object* self = !m_callee ? m_thisObject : m_swfVersion >= 6 ? m_baseClip : nullptr;
        return self ? Value(self) : Value();
    }
    if (name.compare(QLatin1String("_root"), sensitivity) == 0)
        return Value(m_machine.bridge().rootOf(targetOrRoot()));
    if (name.startsWith(QLatin1String("_level"), sensitivity)) {
        bool ok = false;
        int number = name.mid(6).toInt(&ok);
        if (ok)
            return Value(m_machine.bridge().level(number));
    }
    return Value();
}

void Interpreter::setVariable(const QString& name, const Value& value)
{
    QString path;
    QString variable;
    if (target_path::splitVariable(name, path, variable)) {
        for (const Scope* link = m_scope.get(); link; link = link->parent.get()) {
            Object* start = link->object;
            if (Object* object = target_path::resolve(m_machine, start, path)) {
                object->set(m_machine, variable, value);
                return;
            }
        }
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
    double count = popNumber();
    Arguments arguments;
    size_t available = m_stack.size();
    const size_t wanted = stackCount(count, available);
    arguments.reserve(wanted);
    for (size_t i = 0; i < wanted; ++i)
        arguments.push_back(pop());
    return arguments;
}

Value Interpreter::callFunctionNamed(const QString& name, const Arguments& arguments)
{
    Qt::CaseSensitivity sensitivity = m_machine.caseSensitive() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (m_superObject && name.compare(QLatin1String("super"), sensitivity) == 0) {
        // super(...) runs the superclass constructor on this object.
        auto* super = static_cast<SuperObject*>(m_superObject);
        Object* base = super->base();
        Object* holder = super->holder();
        Value constructor = holder ? holder->get(m_machine, QStringLiteral("__constructor__")) : Value();
        Object* function = constructor.asObject();
        if (!function || function->kind() != ObjectKind::Function)
            return Value();
        auto* callee = static_cast<FunctionObject*>(function);
        if (callee->isNative()) {
            Machine::DepthGuard guard(m_machine);
            return callee->native()(m_machine, super->thisObject(), arguments);
        }
        return Interpreter::invoke(m_machine, callee, super->thisObject(), arguments, base);
    }
    Value function;
    Object* self = nullptr;
    QString path;
    QString variable;
    if (target_path::splitVariable(name, path, variable)) {
        function = getVariable(name);
        self = target_path::resolve(m_machine, targetOrRoot(), path);
    } else {
        bool found = false;
        for (const Scope* link = m_scope.get(); link && !found; link = link->parent.get()) {
            Object* object = link->object;
            if (object && object->has(m_machine, name)) {
                function = object->get(m_machine, name);
                // A function found on a with object or a timeline is called as its method.
                self = link->kind == Scope::Kind::Local ? nullptr : object;
                found = true;
            }
        }
        if (!found)
            function = getVariable(name);
    }
    if (!self)
        self = m_target;
    return m_machine.call(function, self, arguments);
}

Object* Interpreter::targetFromValue(const Value& value)
{
    if (Object* object = value.asObject())
        return object;
    QString path = m_machine.toString(value);
    return target_path::resolve(m_machine, targetOrRoot(), path);
}

void Interpreter::setTarget(Object* target)
{
    m_target = target;
    m_machine.m_scriptTarget = target;
    m_scope = replaceTarget(m_scope, targetOrRoot());
}

// A script whose clip left the stage during a call ends when the call returns: the frame script
// of a clip that removed itself, or a function of that clip, goes no further.
bool Interpreter::baseClipRemoved() const
{
    return isRemovedClip(m_baseClip);
}

// Scripts that start on a clip already gone (its unload handlers) run to their end.
bool Interpreter::baseClipLeftDuringRun() const
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
Value* Interpreter::registerSlot(size_t index)
{
    if (index < m_registers.size())
        return &m_registers[index];
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
    if (index < 0 || index >= propertyCount || !clip)
        return;
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

void Interpreter::pushValues(size_t payload, size_t payloadLength)
{
    const auto& bytes = *m_code;
    size_t position = payload;
    size_t end = payload + payloadLength;
    while (position < end) {
        uint8_t type = bytes[position++];
        switch (type) {
        case 0: {
            size_t after = position;
            push(Value(decodeString(position, end, after)));
            position = after;
            break;
        }
        case 1: {
            uint32_t raw = readU32(bytes, position);
            float number;
            std::memcpy(&number, &raw, sizeof number);
            push(Value(double(number)));
            position += 4;
            break;
        }
        case 2:
            push(Value::null());
            break;
        case 3:
            push(Value());
            break;
        case 4: {
            uint8_t index = position < end ? bytes[position] : 0;
            const Value* slot = registerSlot(index);
            push(slot ? *slot : Value());
            position += 1;
            break;
        }
        case 5:
            push(Value(position < end && bytes[position] != 0));
            position += 1;
            break;
        case 6: {
            // Doubles are stored as two little-endian halves, the high half first.
            uint64_t high = readU32(bytes, position);
            uint64_t low = readU32(bytes, position + 4);
            uint64_t raw = (high << 32) | low;
            double number;
            std::memcpy(&number, &raw, sizeof number);
            push(Value(number));
            position += 8;
            break;
        }
        case 7:
            push(Value(double(int32_t(readU32(bytes, position)))));
            position += 4;
            break;
        case 8:
        case 9: {
            size_t index = type == 8 ? (position < end ? bytes[position] : 0) : readU16(bytes, position);
            position += type == 8 ? 1 : 2;
            if (m_constantPool && index < m_constantPool->size())
                push(Value((*m_constantPool)[index]));
            else
                push(Value());
            break;
        }
        default:
            return; // an unknown type: the rest of the record cannot be read
        }
    }
}

void Interpreter::defineFunction(size_t payload, size_t payloadLength, size_t& next, bool version2)
{
    const auto& bytes = *m_code;
    size_t end = payload + payloadLength;
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
    code->code = m_code;
    code->start = next;
    code->length = std::min<size_t>(bodyLength, bytes.size() - std::min(next, bytes.size()));
    // A function body runs by SWF 5 rules even in a SWF 4 movie: equality gives booleans
    // and division by zero Infinity there, as Flash does.
    code->swfVersion = std::max(m_swfVersion, 5);
    code->constantPool = m_constantPool;
    next += code->length;

    auto* function = m_machine.make<FunctionObject>(m_machine.prototypes().function, code, m_scope, m_target);
    Object* prototype = m_machine.makeObject();
    prototype->define(QStringLiteral("constructor"), Value(function), property_flag::DontEnum);
    // A function's prototype cannot be deleted, as with the built-in classes.
    function->define(QStringLiteral("prototype"), Value(prototype), property_flag::DontEnum | property_flag::DontDelete);
    if (code->name.isEmpty())
        push(Value(function));
    else
        localsObject()->set(m_machine, code->name, Value(function));
}

Interpreter::Outcome Interpreter::runWith(size_t payload, size_t& next)
{
    uint16_t size = readU16(*m_code, payload);
    Value value = pop();
    size_t bodyStart = next;
    size_t bodyEnd = std::min(next + size, m_code->size());
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

Interpreter::Outcome Interpreter::runTry(size_t payload, size_t payloadLength, size_t& next)
{
    const auto& bytes = *m_code;
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

Interpreter::Outcome Interpreter::execute(uint8_t code, size_t payload, size_t payloadLength, size_t& next)
{
    Machine& machine = m_machine;
    DisplayBridge& bridge = machine.bridge();
    const auto& bytes = *m_code;
    // The SWF 4 comparisons give booleans too, which a SWF 4 movie writes as 1 and 0.
    auto pushBoolean = [&](bool value) { push(Value(value)); };

    switch (static_cast<Action>(code)) {
    case Action::NextFrame:
        if (m_target)
            bridge.timelineCommand(m_target, DisplayBridge::TimelineCommand::NextFrame);
        break;
    case Action::PreviousFrame:
        if (m_target)
            bridge.timelineCommand(m_target, DisplayBridge::TimelineCommand::PreviousFrame);
        break;
    case Action::Play:
        if (m_target)
            bridge.timelineCommand(m_target, DisplayBridge::TimelineCommand::Play);
        break;
    case Action::Stop:
        if (m_target)
            bridge.timelineCommand(m_target, DisplayBridge::TimelineCommand::Stop);
        break;
    case Action::ToggleQuality:
        bridge.toggleQuality();
        break;
    case Action::StopSounds:
        bridge.stopSounds();
        break;
    case Action::Add: {
        auto [left, right] = popNumberPair();
        push(Value(left + right));
        break;
    }
    case Action::Subtract: {
        auto [left, right] = popNumberPair();
        push(Value(left - right));
        break;
    }
    case Action::Multiply: {
        auto [left, right] = popNumberPair();
        push(Value(left * right));
        break;
    }
    case Action::Divide: {
        auto [left, right] = popNumberPair();
        if (right == 0 && m_swfVersion < 5)
            push(Value(QStringLiteral("#ERROR#")));
        else
            push(Value(left / right));
        break;
    }
    case Action::Equals: {
        auto [left, right] = popNumberPair(true);
        pushBoolean(left == right);
        break;
    }
    case Action::Less: {
        auto [left, right] = popNumberPair();
        pushBoolean(left < right);
        break;
    }
    case Action::And: {
        bool right = machine.toBoolean(pop());
        bool left = machine.toBoolean(pop());
        pushBoolean(left && right);
        break;
    }
    case Action::Or: {
        bool right = machine.toBoolean(pop());
        bool left = machine.toBoolean(pop());
        pushBoolean(left || right);
        break;
    }
    case Action::Not:
        pushBoolean(!machine.toBoolean(pop()));
        break;
    case Action::StringEquals: {
        QString right = popString();
        QString left = popString();
        pushBoolean(left == right);
        break;
    }
    case Action::StringLess: {
        QString right = popString();
        QString left = popString();
        pushBoolean(left < right);
        break;
    }
    case Action::StringGreater: {
        QString right = popString();
        QString left = popString();
        pushBoolean(left > right);
        break;
    }
    case Action::StringLength:
    case Action::MBStringLength:
        push(Value(double(popString().size())));
        break;
    case Action::StringExtract:
    case Action::MBStringExtract: {
        double count = popNumber();
        double index = popNumber();
        QString text = popString();
        // One-based; an index below 1 counts as 1 and a negative count means "to the end".
        qsizetype start = std::isfinite(index) ? qsizetype(std::max(0.0, std::min(index - 1, double(text.size())))) : 0;
        qsizetype length = std::isfinite(count) && count >= 0 ? qsizetype(std::min(count, double(text.size()))) : text.size();
        push(Value(text.mid(start, length)));
        break;
    }
    case Action::StringAdd: {
        QString right = popString();
        QString left = popString();
        machine.checkStringLength(left.size() + right.size());
        push(Value(left + right));
        break;
    }
    case Action::Pop:
        pop();
        break;
    case Action::ToInteger: {
        double number = popNumber();
        push(Value(double(number_text::toInt32(number))));
        break;
    }
    case Action::GetVariable:
        push(getVariable(popString()));
        break;
    case Action::SetVariable: {
        Value value = pop();
        setVariable(popString(), value);
        break;
    }
    case Action::SetTarget2: {
        // A clip is found again by its path, so a clip that shares its name with one below it
        // gives way to that one. Anything else is made text (objects through their toString) and
        // read as a path.
        Value value = pop();
        Object* object = value.asObject();
        if (object && machine.bridge().isClip(object))
            setTargetPath(machine.bridge().targetPath(object, false));
        else
            setTargetPath(machine.toString(value));
        break;
    }
    case Action::SetTarget: {
        size_t after;
        setTargetPath(decodeString(payload, payload + payloadLength, after));
        break;
    }
    case Action::GetProperty: {
        int index = propertyIndex(popNumber());
        Value targetValue = pop();
        Object* clip = targetValue.isString() && targetValue.asString().isEmpty() ? m_target : targetFromValue(targetValue);
        push(getProperty(clip, index));
        break;
    }
    case Action::SetProperty: {
        Value value = pop();
        int index = propertyIndex(popNumber());
        Value targetValue = pop();
        Object* clip = targetValue.isString() && targetValue.asString().isEmpty() ? m_target : targetFromValue(targetValue);
        setProperty(clip, index, value);
        break;
    }
    case Action::CloneSprite: {
        double depth = popNumber();
        QString name = popString();
        Object* source = targetFromValue(pop());
        // The action takes the depth as the file stores it, 16384 above the depth scripts see
        // (duplicateMovieClip() compiles to this action with 16384 added).
        if (source && std::isfinite(depth))
            bridge.duplicateClip(source, name, int(depth) - 16384);
        break;
    }
    case Action::RemoveSprite: {
        if (Object* clip = targetFromValue(pop()))
            bridge.removeClip(clip);
        break;
    }
    case Action::Trace: {
        Value value = pop();
        // trace shows "undefined" in every SWF version, though the conversion to text gives ""
        // before SWF 7.
        bridge.trace(value.isUndefined() ? QStringLiteral("undefined") : machine.toString(value));
        break;
    }
    case Action::StartDrag: {
        Object* clip = targetFromValue(pop());
        bool lockCenter = machine.toBoolean(pop());
        bool constrained = machine.toBoolean(pop());
        double left = 0, top = 0, right = 0, bottom = 0;
        if (constrained) {
            bottom = popNumber();
            right = popNumber();
            top = popNumber();
            left = popNumber();
        }
        if (clip)
            bridge.startDrag(clip, lockCenter, constrained, left, top, right, bottom);
        break;
    }
    case Action::EndDrag:
        bridge.stopDrag();
        break;
    case Action::Throw:
        throw ScriptThrow{pop()};
    case Action::CastOp: {
        Value object = pop();
        Value constructor = pop();
        Object* instance = object.asObject();
        push(instance && machine.instanceOf(instance, constructor.asObject()) ? object : Value::null());
        break;
    }
    case Action::ImplementsOp: {
        Object* constructor = pop().asObject();
        Arguments interfaces = popArguments();
        if (!constructor)
            break;
        Object* prototype = constructor->get(machine, QStringLiteral("prototype")).asObject();
        if (!prototype)
            break;
        for (const Value& interface : interfaces) {
            if (Object* object = interface.asObject())
                prototype->interfaces().push_back(object);
        }
        break;
    }
    case Action::RandomNumber: {
        double maximum = popNumber();
        // A maximum beyond an int draws from the whole int range rather than converting out of it.
        const int limit = !std::isfinite(maximum) || maximum <= 0 ? 0
            : maximum >= double(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max()
                                                                 : int(maximum);
        push(Value(limit > 0 ? double(QRandomGenerator::global()->bounded(limit)) : 0.0));
        break;
    }
    case Action::CharToAscii:
    case Action::MBCharToAscii: {
        QString text = popString();
        push(text.isEmpty() ? Value(0.0) : Value(double(text[0].unicode())));
        break;
    }
    case Action::AsciiToChar:
    case Action::MBAsciiToChar: {
        uint16_t unit = uint16_t(number_text::toUint32(popNumber()));
        push(unit == 0 ? Value(QString()) : Value(QString(QChar(unit))));
        break;
    }
    case Action::GetTime:
        push(Value(std::floor(bridge.milliseconds())));
        break;
    case Action::Delete: {
        QString name = popString();
        Value object = pop();
        Object* target = object.asObject();
        push(Value(target ? target->remove(machine, name) : false));
        break;
    }
    case Action::Delete2: {
        QString name = popString();
        bool removed = false;
        QString path;
        QString variable;
        if (target_path::splitVariable(name, path, variable)) {
            // "o.a" and "o:a" delete a of whatever o names, found as GetVariable finds it.
            for (const Scope* link = m_scope.get(); link; link = link->parent.get()) {
                Object* start = link->object;
                if (Object* object = target_path::resolve(machine, start, path)) {
                    removed = object->hasOwnProperty(machine, variable) && object->remove(machine, variable);
                    break;
                }
            }
            push(Value(removed));
            break;
        }
        for (const Scope* link = m_scope.get(); link; link = link->parent.get()) {
            Object* object = link->object;
            if (object && object->hasOwnProperty(machine, name)) {
                removed = object->remove(machine, name);
                break;
            }
        }
        push(Value(removed));
        break;
    }
    case Action::DefineLocal: {
        Value value = pop();
        QString name = popString();
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
        break;
    }
    case Action::DefineLocal2: {
        QString name = popString();
        Object* locals = localsObject();
        // A name the locals inherit (from MovieClip.prototype on a timeline) is left alone.
        if (locals && !locals->has(machine, name))
            locals->define(name, Value());
        break;
    }
    case Action::CallFunction: {
        QString name = popString();
        Arguments arguments = popArguments();
        push(callFunctionNamed(name, arguments));
        if (baseClipLeftDuringRun())
            return Outcome::Return;
        break;
    }
    case Action::Return:
        m_returnValue = pop();
        return Outcome::Return;
    case Action::Modulo: {
        double right = popNumber();
        double left = popNumber();
        push(Value(std::fmod(left, right)));
        break;
    }
    case Action::NewObject: {
        QString name = popString();
        Arguments arguments = popArguments();
        push(machine.construct(getVariable(name), arguments));
        if (baseClipLeftDuringRun())
            return Outcome::Return;
        break;
    }
    case Action::NewMethod: {
        Value nameValue = pop();
        Value object = pop();
        Arguments arguments = popArguments();
        QString name = nameValue.isUndefined() ? QString() : machine.toString(nameValue);
        if (name.isEmpty())
            push(machine.construct(object, arguments));
        else
            push(machine.construct(machine.getMember(object, name), arguments));
        if (!object.isNullish() && baseClipLeftDuringRun())
            return Outcome::Return;
        break;
    }
    case Action::InitArray: {
        // A count beyond the values on the stack makes Flash give undefined and take nothing.
        double count = m_machine.toNumber(m_stack.empty() ? Value() : m_stack.back());
        if (std::isfinite(count) && count > double(m_stack.size()) - 1) {
            pop();
            push(Value());
            break;
        }
        Arguments elements = popArguments();
        push(Value(machine.makeArray(std::move(elements))));
        break;
    }
    case Action::InitObject: {
        double count = popNumber();
        Object* object = machine.makeObject();
        const size_t pairs = stackCount(count, m_stack.size() / 2);
        for (size_t i = 0; i < pairs; ++i) {
            Value value = pop();
            QString name = popString();
            object->set(machine, name, value);
        }
        push(Value(object));
        break;
    }
    case Action::TypeOf:
        push(Value(machine.typeOf(pop())));
        break;
    case Action::TargetPath: {
        Value value = pop();
        Object* object = value.asObject();
        if (object && bridge.isClip(object))
            push(Value(bridge.targetPath(object, false)));
        else
            push(Value());
        break;
    }
    case Action::Enumerate:
        enumerate(getVariable(popString()));
        break;
    case Action::Enumerate2:
        enumerate(pop());
        break;
    case Action::Add2: {
        Value right = pop();
        Value left = pop();
        push(machine.add(left, right));
        break;
    }
    case Action::Less2: {
        Value right = pop();
        Value left = pop();
        push(machine.lessThan(left, right));
        break;
    }
    case Action::Greater: {
        Value right = pop();
        Value left = pop();
        push(machine.lessThan(right, left));
        break;
    }
    case Action::Equals2: {
        Value right = pop();
        Value left = pop();
        push(Value(machine.looseEquals(left, right)));
        break;
    }
    case Action::StrictEquals: {
        Value right = pop();
        Value left = pop();
        // Unlike ECMAScript, Flash's strict equality finds NaN equal to NaN.
        bool equal = left.strictlyEquals(right)
                     || (left.isNumber() && right.isNumber() && std::isnan(left.asNumber()) && std::isnan(right.asNumber()));
        push(Value(equal));
        break;
    }
    case Action::ToNumber:
        push(Value(popNumber()));
        break;
    case Action::ToString:
        push(Value(popString()));
        break;
    case Action::PushDuplicate: {
        Value top = m_stack.empty() ? Value() : m_stack.back();
        push(top);
        break;
    }
    case Action::StackSwap: {
        Value first = pop();
        Value second = pop();
        push(first);
        push(second);
        break;
    }
    case Action::GetMember: {
        Value nameValue = pop();
        Value object = pop();
        push(machine.getMember(object, machine.toString(nameValue)));
        break;
    }
    case Action::SetMember: {
        Value value = pop();
        Value nameValue = pop();
        Value object = pop();
        machine.setMember(object, machine.toString(nameValue), value);
        break;
    }
    case Action::Increment:
        push(Value(popNumber() + 1));
        break;
    case Action::Decrement:
        push(Value(popNumber() - 1));
        break;
    case Action::CallMethod: {
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
                Object* holder = superObject->holder();
                Value constructor = holder ? holder->get(machine, QStringLiteral("__constructor__")) : Value();
                Object* callee = constructor.asObject();
                if (callee && callee->kind() == ObjectKind::Function && !static_cast<FunctionObject*>(callee)->isNative())
                    push(Interpreter::invoke(machine, static_cast<FunctionObject*>(callee), superObject->thisObject(), arguments, base));
                else
                    push(machine.call(constructor, superObject->thisObject(), arguments));
            } else {
                push(machine.call(object, m_thisObject, arguments));
            }
        } else {
            push(machine.callMethod(object, name, arguments));
        }
        // A method asked of nothing is not called, and the script goes on whatever happened.
        if (!object.isNullish() && baseClipLeftDuringRun())
            return Outcome::Return;
        break;
    }
    case Action::InstanceOf: {
        Value constructor = pop();
        Value object = pop();
        push(Value(machine.instanceOf(object.asObject(), constructor.asObject())));
        break;
    }
    case Action::BitAnd: {
        int32_t right = machine.toInt32(pop());
        int32_t left = machine.toInt32(pop());
        push(Value(double(left & right)));
        break;
    }
    case Action::BitOr: {
        int32_t right = machine.toInt32(pop());
        int32_t left = machine.toInt32(pop());
        push(Value(double(left | right)));
        break;
    }
    case Action::BitXor: {
        int32_t right = machine.toInt32(pop());
        int32_t left = machine.toInt32(pop());
        push(Value(double(left ^ right)));
        break;
    }
    case Action::BitLShift: {
        uint32_t count = uint32_t(machine.toInt32(pop())) & 31;
        int32_t value = machine.toInt32(pop());
        push(Value(double(int32_t(uint32_t(value) << count))));
        break;
    }
    case Action::BitRShift: {
        uint32_t count = uint32_t(machine.toInt32(pop())) & 31;
        int32_t value = machine.toInt32(pop());
        push(Value(double(value >> count)));
        break;
    }
    case Action::BitURShift: {
        uint32_t count = uint32_t(machine.toInt32(pop())) & 31;
        uint32_t value = uint32_t(machine.toInt32(pop()));
        push(Value(double(value >> count)));
        break;
    }
    case Action::Extends: {
        Object* superclass = pop().asObject();
        Object* subclass = pop().asObject();
        if (!superclass || !subclass)
            break;
        Object* superPrototype = superclass->get(machine, QStringLiteral("prototype")).asObject();
        Object* prototype = machine.make<Object>(superPrototype);
        prototype->define(QStringLiteral("__constructor__"), Value(superclass), property_flag::DontEnum);
        prototype->define(QStringLiteral("constructor"), Value(superclass), property_flag::DontEnum);
        subclass->set(machine, QStringLiteral("prototype"), Value(prototype));
        break;
    }
    case Action::GotoFrame:
        if (m_target)
            bridge.gotoFrame(m_target, readU16(bytes, payload), false);
        break;
    case Action::GetUrl: {
        size_t after;
        QString url = decodeString(payload, payload + payloadLength, after);
        QString target = decodeString(after, payload + payloadLength, after);
        // A target of "_levelN" loads a movie into that level.
        bool isLevel = target.startsWith(QLatin1String("_level"));
        getUrl(url, target, 0, isLevel, false);
        break;
    }
    case Action::StoreRegister: {
        uint8_t index = payload < bytes.size() ? bytes[payload] : 0;
        if (Value* slot = registerSlot(index))
            *slot = m_stack.empty() ? Value() : m_stack.back();
        break;
    }
    case Action::ConstantPool: {
        auto pool = std::make_shared<std::vector<QString>>();
        uint16_t count = readU16(bytes, payload);
        size_t position = payload + 2;
        size_t end = payload + payloadLength;
        for (uint16_t i = 0; i < count && position < end; ++i)
            pool->push_back(decodeString(position, end, position));
        m_constantPool = std::move(pool);
        break;
    }
    case Action::WaitForFrame: {
        int frame = readU16(bytes, payload);
        uint8_t skip = payload + 2 < bytes.size() ? bytes[payload + 2] : 0;
        if (m_target && frame >= bridge.framesLoaded(m_target))
            m_skipActions = skip;
        break;
    }
    case Action::WaitForFrame2: {
        uint8_t skip = payload < bytes.size() ? bytes[payload] : 0;
        Value frame = pop();
        if (m_target) {
            // An infinite or huge frame number must not overflow on its way to an int.
            int64_t number = frame.isString() ? bridge.frameOf(m_target, frame.asString()) : int64_t(machine.toInt32(frame)) - 1;
            if (number >= bridge.framesLoaded(m_target))
                m_skipActions = skip;
        }
        break;
    }
    case Action::GotoLabel: {
        size_t after;
        QString label = decodeString(payload, payload + payloadLength, after);
        if (m_target)
            bridge.gotoLabel(m_target, label, false);
        break;
    }
    case Action::DefineFunction:
    case Action::DefineFunction2:
        defineFunction(payload, payloadLength, next, code == uint8_t(Action::DefineFunction2));
        break;
    case Action::Try:
        return runTry(payload, payloadLength, next);
    case Action::With:
        return runWith(payload, next);
    case Action::Push:
        pushValues(payload, payloadLength);
        break;
    case Action::Jump: {
        int16_t offset = int16_t(readU16(bytes, payload));
        next = size_t(int64_t(next) + offset);
        break;
    }
    case Action::If: {
        int16_t offset = int16_t(readU16(bytes, payload));
        if (machine.toBoolean(pop()))
            next = size_t(int64_t(next) + offset);
        break;
    }
    case Action::GetUrl2: {
        uint8_t flags = payload < bytes.size() ? bytes[payload] : 0;
        QString target = popString();
        QString url = popString();
        getUrl(url, target, flags & 3, flags & 0x40, flags & 0x80);
        break;
    }
    case Action::Call: {
        Value frame = pop();
        Object* clip = m_target;
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
        break;
    }
    case Action::GotoFrame2: {
        uint8_t flags = payload < bytes.size() ? bytes[payload] : 0;
        int bias = (flags & 2) ? readU16(bytes, payload + 1) : 0;
        gotoFrameValue(pop(), flags & 1, bias);
        break;
    }
    default:
        // Unknown actions are skipped by their length, as Flash does.
        break;
    }
    return Outcome::Normal;
}

} // namespace player::avm1
