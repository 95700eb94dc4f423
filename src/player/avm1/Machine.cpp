#include "Machine.h"

#include "ArrayObject.h"
#include "BoxedValue.h"
#include "ClipObject.h"
#include "FunctionPrototype.h"
#include "Interpreter.h"
#include "Marker.h"
#include "NumberText.h"
#include "ScriptExceptions.h"
#include "SuperObject.h"
#include "builtins/Builtins.h"

#include <algorithm>
#include <cmath>

namespace player::avm1 {

namespace {

// Flash runs no interval more often than every ten milliseconds, whatever period it was given.
constexpr double shortestTimerPeriod = 10;

// Whether `object` is one of the objects made since the heap held `sizeBefore` (nothing is
// collected while a script runs, so those are the ones past that size).
bool madeSince(const std::vector<std::unique_ptr<Object>>& heap, size_t sizeBefore, const Object* object)
{
    return heap.size() > sizeBefore
        && std::any_of(heap.begin() + ptrdiff_t(sizeBefore), heap.end(),
                       [object](const std::unique_ptr<Object>& made) { return made.get() == object; });
}

} // namespace

Machine::Machine(DisplayBridge& bridge)
    : m_bridge(bridge)
{
    installBuiltins();
    m_heapSizeAfterCollection = m_heap.size();
}

Machine::~Machine() = default;

void Machine::installBuiltins()
{
    // Object.prototype and Function.prototype come first: every other built-in hangs off them.
    m_prototypes.object = make<Object>(nullptr);
    m_prototypes.function = make<FunctionPrototype>(m_prototypes.object);
    // Flash's _global is a bare object: it inherits nothing, not even Object.prototype.
    m_global = make<Object>(nullptr);
    builtins::installAll(*this);
    auto remember = [this](PrimitiveClass& primitive, const QString& name, Object* prototype, ObjectKind kind) {
        primitive.original = m_global->get(*this, name).asObject();
        primitive.prototype = prototype;
        primitive.kind = kind;
        primitive.name = name;
    };
    remember(m_stringClass, QStringLiteral("String"), m_prototypes.string, ObjectKind::String);
    remember(m_numberClass, QStringLiteral("Number"), m_prototypes.number, ObjectKind::Number);
    remember(m_booleanClass, QStringLiteral("Boolean"), m_prototypes.boolean, ObjectKind::Boolean);
    // Flash's own start-up script uses a global "o" as scratch space and clears it to null
    // instead of deleting it, so every movie finds "o" defined as null.
    m_global->define(QStringLiteral("o"), Value::null(), property_flag::DontEnum);
}

ArrayObject* Machine::makeArray(std::vector<Value> elements)
{
    if (elements.size() > maximumArrayLength)
        throw ScriptAbort{QStringLiteral("An array grew too long.")};
    return make<ArrayObject>(m_prototypes.array, std::move(elements));
}

FunctionObject* Machine::makeNative(NativeFunction function, NativeFunction constructor)
{
    return make<FunctionObject>(m_prototypes.function, std::move(function), std::move(constructor));
}

FunctionObject* Machine::defineMethod(Object* object, const QString& name, NativeFunction function, uint16_t flags)
{
    FunctionObject* method = makeNative(std::move(function));
    object->define(name, Value(method), flags);
    return method;
}

double Machine::toNumber(const Value& value)
{
    switch (value.type()) {
    case Value::Type::Undefined:
    case Value::Type::Null:
        return m_swfVersion < 7 ? 0.0 : std::nan("");
    case Value::Type::Boolean:
        return value.asBoolean() ? 1.0 : 0.0;
    case Value::Type::Number:
        return value.asNumber();
    case Value::Type::String:
        return number_text::fromText(value.asString(), m_swfVersion);
    case Value::Type::Object: {
        Value primitive = toPrimitiveNumber(value);
        // An object without a primitive value counts as 0 in SWF 4 movies, NaN later. One with
        // no valueOf at all (a function in SWF 5 code) gets undefined from the call, which then
        // converts as undefined does in the movie's version.
        if (primitive.isObject())
            return m_swfVersion < 5 ? 0.0 : std::nan("");
        return toNumber(primitive);
    }
    }
    return std::nan("");
}

QString Machine::toString(const Value& value)
{
    switch (value.type()) {
    case Value::Type::Undefined:
        return m_swfVersion < 7 ? QString() : QStringLiteral("undefined");
    case Value::Type::Null:
        return QStringLiteral("null");
    case Value::Type::Boolean:
        if (m_swfVersion < 5)
            return value.asBoolean() ? QStringLiteral("1") : QStringLiteral("0");
        return value.asBoolean() ? QStringLiteral("true") : QStringLiteral("false");
    case Value::Type::Number:
        return number_text::toText(value.asNumber());
    case Value::Type::String:
        return value.asString();
    case Value::Type::Object: {
        Object* object = value.asObject();
        // Clips turn into their target path whatever their toString says.
        if (object->kind() == ObjectKind::Clip)
            return m_bridge.targetPath(object, false);
        Value text = callConversionMethod(value, QStringLiteral("toString"));
        if (text.isString())
            return text.asString();
        return object->kind() == ObjectKind::Function ? QStringLiteral("[type Function]") : QStringLiteral("[type Object]");
    }
    }
    return QString();
}

bool Machine::toBoolean(const Value& value) const
{
    switch (value.type()) {
    case Value::Type::Undefined:
    case Value::Type::Null:
        return false;
    case Value::Type::Boolean:
        return value.asBoolean();
    case Value::Type::Number:
        return !std::isnan(value.asNumber()) && value.asNumber() != 0;
    case Value::Type::String: {
        if (m_swfVersion >= 7)
            return !value.asString().isEmpty();
        // Before SWF 7 a string is true when it reads as a number other than zero.
        double number = number_text::fromText(value.asString(), m_swfVersion);
        return !std::isnan(number) && number != 0;
    }
    case Value::Type::Object:
        return true;
    }
    return false;
}

int32_t Machine::toInt32(const Value& value)
{
    return number_text::toInt32(toNumber(value));
}

Value Machine::toPrimitiveNumber(const Value& value)
{
    Object* object = value.asObject();
    if (!object || object->kind() == ObjectKind::Clip)
        return value;
    return callConversionMethod(value, QStringLiteral("valueOf"));
}

Value Machine::toPrimitiveForAdd(const Value& value)
{
    Object* object = value.asObject();
    if (!object)
        return value;
    Value result;
    if (object->kind() == ObjectKind::Clip)
        return value;
    if (m_swfVersion > 5 && object->kind() == ObjectKind::Date)
        result = callConversionMethod(value, QStringLiteral("toString"));
    else
        result = callConversionMethod(value, QStringLiteral("valueOf"));
    return result.isPrimitive() ? result : value;
}

const Machine::PrimitiveClass* Machine::primitiveClassOf(const Value& value) const
{
    switch (value.type()) {
    case Value::Type::String:
        return &m_stringClass;
    case Value::Type::Number:
        return &m_numberClass;
    case Value::Type::Boolean:
        return &m_booleanClass;
    default:
        return nullptr;
    }
}

Value Machine::currentPrimitiveClass(const PrimitiveClass& primitive)
{
    // The built-in class still in place is by far the common case: its slot is read directly.
    if (const Property* property = m_global->findOwn(primitive.name, true);
        property && !property->getter && !property->setter && property->value.asObject() == primitive.original)
        return property->value;
    return m_global->get(*this, primitive.name);
}

// The built-in class boxes the value in an object of its own kind; a script's class is run
// as a constructor with the value, and what it makes stands for the primitive. Anything that
// is no function, or a constructor that refuses the value, makes nothing.
Object* Machine::boxWith(const PrimitiveClass& primitive, const Value& constructor, const Value& value)
{
    if (primitive.original && constructor.asObject() == primitive.original) {
        auto* box = make<BoxedValue>(primitive.prototype, primitive.kind, value);
        box->rememberBoxingClass(constructor, m_swfVersion < 7);
        return box;
    }
    if (!isCallable(constructor))
        return nullptr;
    return construct(constructor, Arguments{value}).asObject();
}

Object* Machine::makeInstance(Object* prototype)
{
    int depth = 0;
    for (Object* link = prototype; link && depth < 256; link = link->prototype(), ++depth) {
        for (const PrimitiveClass* primitive : {&m_stringClass, &m_numberClass, &m_booleanClass}) {
            if (link == primitive->prototype)
                return make<BoxedValue>(prototype, primitive->kind, Value());
        }
        if (link == m_prototypes.array)
            return make<ArrayObject>(prototype, std::vector<Value>{});
        if (link == m_prototypes.date)
            return make<BoxedValue>(prototype, ObjectKind::Date, Value(0.0));
        for (const auto& [classPrototype, maker] : m_instanceMakers) {
            if (link == classPrototype)
                return maker(*this, prototype);
        }
    }
    return make<Object>(prototype);
}

void Machine::registerInstanceMaker(Object* classPrototype, InstanceMaker maker)
{
    addRoot(classPrototype);
    m_instanceMakers.emplace_back(classPrototype, maker);
}

Value Machine::constructSuperNative(FunctionObject* callee, Object* self, const Arguments& arguments)
{
    DepthGuard guard(*this);
    for (const PrimitiveClass* primitive : {&m_stringClass, &m_numberClass, &m_booleanClass}) {
        if (callee == primitive->original && self && self->kind() == primitive->kind && callee->nativeConstructor())
            return callee->nativeConstructor()(*this, self, arguments);
    }
    // Other built-in classes run as constructors on the object: those that keep their state in
    // the object's properties set it up there (an array or date made by new for a subclass gets
    // its elements or time in place), and super() gives what the constructor gives. Function
    // makes nothing of the object and hands back its argument as when called.
    const Property* slot = callee->findOwn(QStringLiteral("prototype"), caseSensitive());
    const bool functionClass = slot && slot->value.asObject() == m_prototypes.function;
    if (!callee->nativeConstructor() || functionClass)
        return callee->native()(*this, self, arguments);
    // Array's constructor on an object that is no array (one whose prototype a script changed
    // after new made it) fills it in as Array's methods see any object: a single number is its
    // length, anything else its elements "0", "1"... and their count. super() gives the object.
    const bool arrayClass = slot && slot->value.asObject() == m_prototypes.array;
    if (arrayClass && self && self->kind() != ObjectKind::Array && self->kind() != ObjectKind::Clip) {
        if (arguments.size() == 1 && arguments[0].isNumber()) {
            self->set(*this, QStringLiteral("length"), Value(double(number_text::toInt32(arguments[0].asNumber()))));
        } else {
            for (size_t index = 0; index < arguments.size(); ++index)
                self->set(*this, ArrayObject::indexName(index), arguments[index]);
            self->set(*this, QStringLiteral("length"), Value(double(arguments.size())));
        }
        return Value(self);
    }
    const size_t heapSizeBefore = m_heap.size();
    Value made;
    try {
        made = callee->nativeConstructor()(*this, self, arguments);
    } catch (const ConstructionRefused&) {
        return Value();
    }
    // A constructor whose objects are of a kind of their own made a fresh one for "this" (with
    // its prototype), as "this" is not of that kind: that one becomes the native part of "this",
    // so that the class's methods and properties work on "this" as on an object the class made.
    // An object handed back from elsewhere (Object(5) boxes the number) is no such part.
    Object* madeObject = made.asObject();
    if (self && madeObject && madeObject != self && self->kind() != ObjectKind::Clip
        && madeObject->prototype() == self->prototype() && madeSince(m_heap, heapSizeBefore, madeObject))
        m_nativeParts[self] = madeObject;
    return made;
}

Object* Machine::toObject(const Value& value)
{
    if (value.isObject())
        return value.asObject();
    const PrimitiveClass* primitive = primitiveClassOf(value);
    if (!primitive)
        return nullptr;
    return boxWith(*primitive, currentPrimitiveClass(*primitive), value);
}

QString Machine::typeOf(const Value& value)
{
    switch (value.type()) {
    case Value::Type::Undefined:
        return QStringLiteral("undefined");
    case Value::Type::Null:
        return QStringLiteral("null");
    case Value::Type::Boolean:
        return QStringLiteral("boolean");
    case Value::Type::Number:
        return QStringLiteral("number");
    case Value::Type::String:
        return QStringLiteral("string");
    case Value::Type::Object:
        switch (value.asObject()->kind()) {
        case ObjectKind::Function:
            return QStringLiteral("function");
        case ObjectKind::Clip:
            return m_bridge.isClip(value.asObject()) ? QStringLiteral("movieclip") : QStringLiteral("object");
        default:
            return QStringLiteral("object");
        }
    }
    return QStringLiteral("undefined");
}

bool Machine::looseEquals(const Value& leftIn, const Value& rightIn)
{
    // Flash looks at the right operand first, which shows in the order valueOf runs.
    Value left = rightIn;
    Value right = leftIn;
    if (m_swfVersion <= 5) {
        // SWF 5 asks both sides for valueOf even when both are objects.
        left = toPrimitiveNumber(left);
        right = toPrimitiveNumber(right);
    }
    using Type = Value::Type;
    if (left.isNullish() && right.isNullish())
        return true;
    if (left.type() == right.type()) {
        switch (left.type()) {
        case Type::Boolean:
            return left.asBoolean() == right.asBoolean();
        case Type::Number:
            // Flash Player 7 and later find NaN equal to NaN here.
            return left.asNumber() == right.asNumber() || (std::isnan(left.asNumber()) && std::isnan(right.asNumber()));
        case Type::String:
            return left.asString() == right.asString();
        case Type::Object:
            if (left.asObject() == right.asObject())
                return true;
            if (left.asObject()->kind() == ObjectKind::Clip && right.asObject()->kind() == ObjectKind::Clip)
                return toString(left) == toString(right);
            return false;
        default:
            return false;
        }
    }
    if (left.isBoolean())
        return looseEquals(Value(left.asBoolean() ? 1.0 : 0.0), right);
    if (right.isBoolean())
        return looseEquals(left, Value(right.asBoolean() ? 1.0 : 0.0));
    if (left.isNumber() && right.isString())
        return left.asNumber() == toNumber(right);
    if (left.isString() && right.isNumber())
        return toNumber(left) == right.asNumber();
    // An object without a valueOf (a bare one such as _global) turns into undefined, and so
    // equals null.
    if (left.isObject()) {
        Value primitive = toPrimitiveNumber(left);
        return primitive.isPrimitive() && looseEquals(primitive, right);
    }
    if (right.isObject()) {
        Value primitive = toPrimitiveNumber(right);
        return primitive.isPrimitive() && looseEquals(left, primitive);
    }
    return false;
}

Value Machine::lessThan(const Value& leftIn, const Value& rightIn)
{
    Value left = toPrimitiveNumber(leftIn);
    if (left.isObject() && left.asObject()->kind() != ObjectKind::Clip)
        return Value(false);
    Value right = toPrimitiveNumber(rightIn);
    if (right.isObject() && right.asObject()->kind() != ObjectKind::Clip)
        return Value(false);
    if (left.isString() && right.isString())
        return Value(left.asString() < right.asString());
    double a = toNumber(left);
    double b = toNumber(right);
    if (std::isnan(a) || std::isnan(b))
        return Value();
    return Value(a < b);
}

Value Machine::add(const Value& leftIn, const Value& rightIn)
{
    // Flash converts the right operand first; valueOf side effects show the order.
    Value right = toPrimitiveForAdd(rightIn);
    Value left = toPrimitiveForAdd(leftIn);
    if (left.isString() || right.isString()) {
        QString text = toString(left);
        QString tail = toString(right);
        checkStringLength(text.size() + tail.size());
        return Value(concatenate(text, tail));
    }
    return Value(toNumber(left) + toNumber(right));
}

void Machine::checkStringLength(qsizetype length)
{
    if (length > maximumStringLength)
        throw ScriptAbort{QStringLiteral("A string grew beyond %1 characters.").arg(maximumStringLength)};
}

Value Machine::getMember(const Value& target, const QString& name)
{
    switch (target.type()) {
    case Value::Type::Object: {
        Object* object = target.asObject();
        if (const Property* slot = object->plainOwnSlot(*this, name))
            return slot->value;
        Value value = object->get(*this, name);
        if (!value.isUndefined() || object->has(*this, name))
            return value;
        return resolveMissing(object, name);
    }
    case Value::Type::String:
    case Value::Type::Number:
    case Value::Type::Boolean: {
        const PrimitiveClass& primitive = *primitiveClassOf(target);
        const Value constructor = currentPrimitiveClass(primitive);
        if (!primitive.original || constructor.asObject() != primitive.original) {
            // A class a script put in place of the built-in one boxes the value first.
            Object* boxed = boxWith(primitive, constructor, target);
            return boxed ? getMember(Value(boxed), name) : Value();
        }
        if (target.isString() && name.compare(QLatin1String("length"), nameCase()) == 0)
            return Value(double(target.asString().size()));
        // The object a primitive is boxed in names its class, as constructed objects do.
        if (m_swfVersion >= 6 && name.size() == 15 && name.compare(QLatin1String("__constructor__"), nameCase()) == 0)
            return constructor;
        return primitive.prototype->get(*this, name);
    }
    default:
        return Value();
    }
}

// A name an object does not have is asked of its __resolve handler: the first one along the
// prototype chain that is an object, passing over numbers, strings and clips set there. It is
// called on the object with the name; a handler that is no function gives undefined.
Value Machine::resolveMissing(Object* object, const QString& name)
{
    static const QString handlerName = QStringLiteral("__resolve");
    if (name.compare(handlerName, nameCase()) == 0)
        return Value();
    Object* holder = object;
    for (int depth = 0; holder && depth < 256; ++depth, holder = holder->prototype()) {
        Property* property = holder->findOwn(handlerName, caseSensitive());
        if (!property)
            continue;
        if (property->getter)
            return Value();
        Object* handler = property->value.asObject();
        if (!handler || m_bridge.isClip(handler))
            continue;
        return call(Value(handler), object, Arguments{Value(name)});
    }
    return Value();
}

void Machine::setMember(const Value& target, const QString& name, const Value& value)
{
    Object* object = target.asObject();
    if (object && !object->assignPlainOwnSlot(*this, name, value))
        object->set(*this, name, value);
}

bool Machine::isCallable(const Value& value) const
{
    Object* object = value.asObject();
    return object && object->kind() == ObjectKind::Function;
}

Value Machine::call(const Value& function, Object* self, const Arguments& arguments)
{
    Object* object = function.asObject();
    if (!object || object->kind() != ObjectKind::Function)
        return Value();
    auto* callee = static_cast<FunctionObject*>(object);
    if (callee->isNative()) {
        DepthGuard guard(*this);
        return callee->native()(*this, self, arguments);
    }
    return Interpreter::invoke(*this, callee, self, arguments, self ? self->prototype() : nullptr);
}

Value Machine::callAccessor(Object* holder, const QString& name, Object* accessor, Object* self, const Arguments& arguments)
{
    const auto running = std::pair<const Object*, QString>(holder, name);
    if (std::count(m_runningAccessors.begin(), m_runningAccessors.end(), running) >= maximumAccessorNesting)
        return Value();
    m_runningAccessors.push_back(running);
    struct Leave {
        std::vector<std::pair<const Object*, QString>>& calls;
        ~Leave() { calls.pop_back(); }
    } leave{m_runningAccessors};
    m_nextCallIsPlayers = true;
    return call(Value(accessor), self, arguments);
}

Value Machine::callConversionMethod(const Value& value, const QString& name)
{
    m_nextCallIsPlayers = true;
    return callMethod(value, name, {}, false);
}

Value Machine::callMethod(const Value& target, const QString& name, const Arguments& arguments, bool resolveMissingNames)
{
    Object* object = target.isObject() ? target.asObject() : toObject(target);
    if (!object)
        return Value();
    if (object->kind() == ObjectKind::Super) {
        auto* super = static_cast<SuperObject*>(object);
        Object* holder = super->base();
        Value method = holder ? holder->get(*this, name) : Value();
        Object* callee = method.asObject();
        if (!callee || callee->kind() != ObjectKind::Function)
            return Value();
        auto* function = static_cast<FunctionObject*>(callee);
        if (function->isNative()) {
            DepthGuard guard(*this);
            return function->native()(*this, super->thisObject(), arguments);
        }
        // Find which prototype holds the method, so that a "super" inside it goes one higher.
        Object* owner = holder;
        for (int depth = 0; owner && depth < 256 && !owner->hasOwnProperty(*this, name); ++depth)
            owner = owner->prototype();
        return Interpreter::invoke(*this, function, super->thisObject(), arguments, owner ? owner : holder);
    }
    Value method = object->get(*this, name);
    if (resolveMissingNames && method.isUndefined() && !object->has(*this, name))
        method = resolveMissing(object, name);
    Object* callee = method.asObject();
    if (!callee || callee->kind() != ObjectKind::Function)
        return Value();
    auto* function = static_cast<FunctionObject*>(callee);
    if (function->isNative()) {
        DepthGuard guard(*this);
        return function->native()(*this, object, arguments);
    }
    Object* owner = object;
    for (int depth = 0; owner && depth < 256 && !owner->hasOwnProperty(*this, name); ++depth)
        owner = owner->prototype();
    return Interpreter::invoke(*this, function, object, arguments, owner ? owner : object);
}

Value Machine::construct(const Value& constructor, const Arguments& arguments)
{
    Object* object = constructor.asObject();
    if (!object || object->kind() != ObjectKind::Function)
        return Value();
    auto* function = static_cast<FunctionObject*>(object);
    Value prototype = function->get(*this, QStringLiteral("prototype"));
    Object* instance = makeInstance(prototype.asObject());
    // A prototype that is no object still becomes the new object's __proto__, as it is.
    if (!prototype.isObject() && !prototype.isUndefined())
        instance->set(*this, QStringLiteral("__proto__"), prototype);
    // Whatever the constructor, built-in or a script's, the new object knows it by two hidden
    // names before it runs: __constructor__, which SWF 5 code does not see, and up to SWF 6
    // constructor.
    const auto nameConstructor = [&](Object* made) {
        made->define(QStringLiteral("__constructor__"), constructor, property_flag::DontEnum | property_flag::FromVersion6);
        if (m_swfVersion < 7)
            made->define(QStringLiteral("constructor"), constructor, property_flag::DontEnum);
    };
    nameConstructor(instance);
    if (function->isNative() && function->nativeConstructor()) {
        const size_t heapSizeBefore = m_heap.size();
        DepthGuard guard(*this);
        Value made;
        try {
            made = function->nativeConstructor()(*this, instance, arguments);
        } catch (const ConstructionRefused&) {
            return Value();
        }
        Object* madeObject = made.asObject();
        if (!madeObject)
            return Value(instance);
        // A built-in class whose objects are of a kind of their own makes a fresh one in place
        // of the plain instance; that one is what new made, and is named the same way. An
        // object handed back from elsewhere (new Object(someObject)) is left alone.
        if (madeObject != instance && madeObject->prototype() == instance->prototype()
            && madeSince(m_heap, heapSizeBefore, madeObject))
            nameConstructor(madeObject);
        return made;
    }
    if (function->isNative()) {
        DepthGuard guard(*this);
        function->native()(*this, instance, arguments);
    } else {
        // The constructor runs as a method of its own prototype, so "super" inside it reaches
        // the superclass.
        m_nextCallConstructs = true;
        Interpreter::invoke(*this, function, instance, arguments, prototype.isObject() ? prototype.asObject() : instance);
    }
    return Value(instance);
}

namespace {

// instanceof gives up after this many prototypes, so that cycles made through __proto__ or
// interfaces cannot hang the player.
constexpr int maximumInstanceOfSteps = 256;

} // namespace

bool Machine::instanceOf(Object* object, Object* constructor)
{
    if (!object || !constructor)
        return false;
    // The class's own prototype slot is read as stored: no getter runs and nothing is inherited.
    // A string, number or boolean there is boxed (by its current class), which matches nothing.
    const Property* slot = constructor->findOwn(QStringLiteral("prototype"), caseSensitive());
    Value prototypeValue = slot ? slot->value : Value();
    if (prototypeValue.isBoxable())
        prototypeValue = Value(toObject(prototypeValue));
    Object* prototype = prototypeValue.asObject();
    if (!prototype)
        return false;
    // Each prototype along the object's chain is compared, and so are the interface prototypes
    // it implements, with theirs in turn; the chains of interfaces are not followed.
    std::vector<Object*> pending;
    int visited = 0;
    for (Object* link = object->prototype(); link && visited < maximumInstanceOfSteps; link = link->prototype()) {
        pending.push_back(link);
        while (!pending.empty() && visited < maximumInstanceOfSteps) {
            Object* candidate = pending.back();
            pending.pop_back();
            ++visited;
            if (candidate == prototype)
                return true;
            for (Object* interface : candidate->interfaces()) {
                if (interface)
                    pending.push_back(interface);
            }
        }
    }
    return false;
}

void Machine::refuseDeeperCall()
{
    throw ScriptAbort{QStringLiteral("%1 levels of recursion were exceeded in one action list.").arg(m_limits.maximumDepth())};
}

void Machine::beginTopLevel(int swfVersion)
{
    if (m_topLevelDepth == 0) {
        m_limits.start();
        m_callDepth = 0;
    }
    ++m_topLevelDepth;
    setSwfVersion(swfVersion);
}

void Machine::endTopLevel()
{
    --m_topLevelDepth;
    if (m_topLevelDepth == 0 && m_heap.size() > m_heapSizeAfterCollection * 2 + 20000)
        collectGarbage();
}

// An exception nobody caught ends the action list; Flash writes a warning to the trace log.
void Machine::reportUncaught(const Value& thrown)
{
    QString text;
    try {
        text = toString(thrown);
    } catch (const ScriptThrow&) {
    } catch (const ScriptAbort&) {
    }
    m_bridge.trace(QStringLiteral("Warning: Uncaught exception, ") + text);
}

void Machine::clearFrameState()
{
    m_stack.clear();
    for (Value& value : m_globalRegisters)
        value = Value();
}

Machine::TopLevelRun::TopLevelRun(Machine& machine, int swfVersion)
    : m_machine(machine)
    , m_savedVersion(machine.m_swfVersion)
    , m_savedDepth(machine.m_callDepth)
{
    machine.beginTopLevel(swfVersion);
}

Machine::TopLevelRun::~TopLevelRun()
{
    m_machine.setSwfVersion(m_savedVersion);
    m_machine.m_callDepth = m_savedDepth;
    m_machine.endTopLevel();
}

void Machine::runTopLevel(Object* clip, const swf::ActionCode& code, int swfVersion)
{
    if (!code || code->empty())
        return;
    TopLevelRun run(*this, swfVersion);
    const size_t stackDepth = m_stack.size();
    try {
        if (!m_limits.expired()) {
            ScopeChain scope = Scope::make(Scope::Kind::Global, m_global, nullptr);
            scope = Scope::make(Scope::Kind::Target, clip, scope);
            // The interpreter reads the code where it is kept: a copy of the reference keeps it
            // alive whatever the script does to the place the caller holds it in.
            const swf::ActionCode kept = code;
            Interpreter::runList(*this, kept, swfVersion, std::move(scope), clip);
        }
    } catch (const ScriptThrow& thrown) {
        // An uncaught exception empties the stack; one in a frame run from another script (by
        // Call) drops only what that frame left.
        m_stack.resize(run.isNested() ? std::min(m_stack.size(), stackDepth) : 0);
        reportUncaught(thrown.value);
    } catch (const ScriptAbort& abort) {
        if (run.isNested())
            throw;
        m_limits.countStop(abort.reason);
    }
}

Value Machine::callTopLevel(const Value& function, Object* self, const Arguments& arguments, int swfVersion)
{
    TopLevelRun run(*this, swfVersion);
    Value result;
    try {
        if (!m_limits.expired()) {
            m_nextCallIsPlayers = true;
            result = call(function, self, arguments);
        }
    } catch (const ScriptThrow& thrown) {
        reportUncaught(thrown.value);
    } catch (const ScriptAbort& abort) {
        if (run.isNested())
            throw;
        m_limits.countStop(abort.reason);
    }
    return result;
}

int Machine::addTimer(Object* target, const Value& callback, const QString& methodName, double interval, Arguments arguments, bool repeat)
{
    Timer timer;
    timer.id = m_nextTimerId++;
    timer.target = target;
    timer.callback = callback;
    timer.methodName = methodName;
    timer.interval = std::isfinite(interval) && interval > 0 ? interval : 0;
    timer.due = m_clock + std::max(timer.interval, shortestTimerPeriod);
    timer.arguments = std::move(arguments);
    timer.repeat = repeat;
    timer.swfVersion = m_swfVersion;
    m_timers.push_back(std::move(timer));
    return m_timers.back().id;
}

void Machine::addDeferredCall(Object* target, const Value& callback, const QString& methodName, Arguments arguments)
{
    Timer timer;
    timer.id = m_nextDeferredCallId--;
    timer.target = target;
    timer.callback = callback;
    timer.methodName = methodName;
    timer.due = m_clock;
    timer.arguments = std::move(arguments);
    timer.repeat = false;
    timer.swfVersion = m_swfVersion;
    m_timers.push_back(std::move(timer));
}

bool Machine::removeTimer(int id)
{
    if (id <= 0)
        return false; // deferred calls are not the scripts' to clear
    auto found = std::find_if(m_timers.begin(), m_timers.end(), [id](const Timer& timer) { return timer.id == id; });
    if (found == m_timers.end())
        return false;
    m_timers.erase(found);
    return true;
}

void Machine::runTimers(double untilMilliseconds, const std::function<void()>& afterEachCall)
{
    // A new frame: scripts stopped by the time limit may run again.
    m_limits.resetExpiry();
    // A frame runs a bounded number of timer calls however far the timers fell behind.
    constexpr int mostCallsInOneRun = 1000;
    for (int calls = 0;; ++calls) {
        // The earliest timer due before the end of the frame; of equal times, the oldest.
        auto found = m_timers.end();
        for (auto timer = m_timers.begin(); timer != m_timers.end(); ++timer) {
            if (timer->due < untilMilliseconds && (found == m_timers.end() || timer->due < found->due))
                found = timer;
        }
        if (found == m_timers.end())
            break;
        if (calls == mostCallsInOneRun) {
            for (Timer& late : m_timers)
                late.due = std::max(late.due, untilMilliseconds);
            break;
        }
        // Timers a callback sets count from the time its own timer fell due.
        m_clock = std::max(m_clock, found->due);
        Timer timer = *found;
        // A timer that calls a method of a clip ends, without a call, once the clip is removed:
        // it does not follow the clip's path to a clip placed under the same name since.
        if (!timer.methodName.isEmpty() && timer.target && timer.target->kind() == ObjectKind::Clip
            && !static_cast<ClipObject*>(timer.target)->displayObject()) {
            m_timers.erase(found);
            continue;
        }
        if (timer.repeat)
            found->due += std::max(found->interval, shortestTimerPeriod);
        else
            m_timers.erase(found);
        if (timer.methodName.isEmpty()) {
            callTopLevel(timer.callback, timer.target, timer.arguments, timer.swfVersion);
        } else if (timer.target) {
            int savedVersion = m_swfVersion;
            setSwfVersion(timer.swfVersion);
            Value method = timer.target->get(*this, timer.methodName);
            setSwfVersion(savedVersion);
            callTopLevel(method, timer.target, timer.arguments, timer.swfVersion);
        }
        if (afterEachCall)
            afterEachCall();
    }
    m_clock = std::max(m_clock, untilMilliseconds);
}

void Machine::addRoot(Object* object)
{
    if (object)
        m_roots.push_back(object);
}

void Machine::removeRoot(Object* object)
{
    auto found = std::find(m_roots.begin(), m_roots.end(), object);
    if (found != m_roots.end())
        m_roots.erase(found);
}

void Machine::switchGlobals()
{
    const bool firstSwitch = !m_otherGlobals;
    if (firstSwitch)
        m_otherGlobals = std::make_unique<GlobalSet>();
    GlobalSet& other = *m_otherGlobals;
    std::swap(m_global, other.global);
    std::swap(m_prototypes, other.prototypes);
    std::swap(m_stringClass, other.stringClass);
    std::swap(m_numberClass, other.numberClass);
    std::swap(m_booleanClass, other.booleanClass);
    m_registeredClasses.swap(other.registeredClasses);
    m_nativeTable.swap(other.nativeTable);
    m_olderGlobalsInUse = !m_olderGlobalsInUse;
    if (firstSwitch) {
        // The built-ins are made as they are for the first set: seen by SWF 8 code, so that
        // those that came later than the running code still find one another.
        const int version = m_swfVersion;
        m_swfVersion = 8;
        installBuiltins();
        m_swfVersion = version;
    }
}

// Marks one set of globals: the one in use when other is null.
void Machine::markGlobals(Marker& marker, const GlobalSet* other) const
{
    const BuiltinPrototypes& prototypes = other ? other->prototypes : m_prototypes;
    marker.mark(other ? other->global : m_global);
    for (Object* prototype : {prototypes.object, prototypes.function, prototypes.array, prototypes.string,
                              prototypes.number, prototypes.boolean, prototypes.date, prototypes.error,
                              prototypes.movieClip, prototypes.button, prototypes.textField, prototypes.point,
                              prototypes.rectangle, prototypes.matrix, prototypes.colorTransform, prototypes.xmlNode})
        marker.mark(prototype);
    for (Object* prototype : prototypes.filters)
        marker.mark(prototype);
    if (other) {
        for (const PrimitiveClass* primitive : {&other->stringClass, &other->numberClass, &other->booleanClass})
            marker.mark(primitive->original);
    } else {
        for (const PrimitiveClass* primitive : {&m_stringClass, &m_numberClass, &m_booleanClass})
            marker.mark(primitive->original);
    }
    for (const auto& entry : other ? other->registeredClasses : m_registeredClasses)
        marker.mark(entry.second);
    for (const auto& entry : other ? other->nativeTable : m_nativeTable)
        marker.mark(entry.second);
}

void Machine::collectGarbage()
{
    if (m_topLevelDepth > 0)
        return;
    // Between scripts the growing string buffer lets go of its spare room.
    m_appender.release();
    Marker marker;
    markGlobals(marker, nullptr);
    if (m_otherGlobals)
        markGlobals(marker, m_otherGlobals.get());
    for (Object* root : m_roots)
        marker.mark(root);
    // What frame scripts leave for each other: the stack of this frame and the global registers.
    for (const Value& value : m_stack)
        marker.mark(value);
    for (const Value& value : m_globalRegisters)
        marker.mark(value);
    for (const Timer& timer : m_timers) {
        marker.mark(timer.target);
        marker.mark(timer.callback);
        for (const Value& argument : timer.arguments)
            marker.mark(argument);
    }
    marker.drain();
    // A native part lives while its object does; it may in turn keep other such objects alive.
    for (bool grew = !m_nativeParts.empty(); grew;) {
        grew = false;
        for (const auto& [object, part] : m_nativeParts) {
            if (object->isMarked() && !part->isMarked()) {
                marker.mark(part);
                grew = true;
            }
        }
        marker.drain();
    }
    std::erase_if(m_nativeParts, [](const auto& entry) { return !entry.first->isMarked(); });
    auto firstDead = std::partition(m_heap.begin(), m_heap.end(), [](const std::unique_ptr<Object>& object) { return object->isMarked(); });
    m_heap.erase(firstDead, m_heap.end());
    for (const auto& object : m_heap)
        object->setMarked(false);
    m_heapSizeAfterCollection = m_heap.size();
}

} // namespace player::avm1
