#pragma once

#include "DisplayBridge.h"
#include "ExecutionLimits.h"
#include "FunctionObject.h"
#include "Object.h"
#include "RegisterStack.h"
#include "Scope.h"
#include "StringAppender.h"
#include "ValueStack.h"
#include "ValueVectorPool.h"
#include "Value.h"

#include <QString>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace player::avm1 {

class ArrayObject;
class Marker;

// The prototypes and constructors of the built-in classes that native code makes objects of.
struct BuiltinPrototypes {
    Object* object = nullptr;
    Object* function = nullptr;
    Object* array = nullptr;
    Object* string = nullptr;
    Object* number = nullptr;
    Object* boolean = nullptr;
    Object* date = nullptr;
    Object* error = nullptr;
    Object* movieClip = nullptr;
    Object* button = nullptr;
    Object* textField = nullptr;
    Object* video = nullptr;
    Object* point = nullptr;
    Object* rectangle = nullptr;
    Object* matrix = nullptr;
    Object* colorTransform = nullptr;
    Object* xmlNode = nullptr;
    // flash.filters classes, in the order of builtins::FilterKind.
    std::array<Object*, 10> filters {};
};

// The ActionScript 1/2 virtual machine: heap, global object, conversions, calls and the
// interval timers. One machine serves all levels of a player.
class Machine {
public:
    explicit Machine(DisplayBridge& bridge);
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    DisplayBridge& bridge() { return m_bridge; }
    ExecutionLimits& limits() { return m_limits; }

    // Objects live on the machine's heap until the collector finds them unreachable.
    template<class T, class... Arguments>
    T* make(Arguments&&... arguments)
    {
        auto object = std::make_unique<T>(std::forward<Arguments>(arguments)...);
        T* raw = object.get();
        m_heap.push_back(std::move(object));
        return raw;
    }
    Object* makeObject() { return make<Object>(m_prototypes.object); }
    ArrayObject* makeArray(std::vector<Value> elements = {});
    FunctionObject* makeNative(NativeFunction function, NativeFunction constructor = {});
    // A native function put on an object as a hidden method. Scripts may replace it, as they
    // may replace any built-in method, but not delete it.
    FunctionObject* defineMethod(Object* object, const QString& name, NativeFunction function,
                                 uint16_t flags = property_flag::DontEnum | property_flag::DontDelete);

    Object* global() const { return m_global; }
    const BuiltinPrototypes& prototypes() const { return m_prototypes; }
    BuiltinPrototypes& prototypes() { return m_prototypes; }

    // The SWF version of the code that runs: conversions and name lookup depend on it.
    int swfVersion() const { return m_swfVersion; }
    bool caseSensitive() const { return m_swfVersion >= 7; }
    // How names compare in the running code: by case from SWF 7 on, without before.
    Qt::CaseSensitivity nameCase() const { return caseSensitive() ? Qt::CaseSensitive : Qt::CaseInsensitive; }
    // Code of SWF 6 and older and code of SWF 7 on see two different sets of globals (see
    // GlobalSet): setting the version brings in the set of that version.
    void setSwfVersion(int version)
    {
        m_swfVersion = version;
        if ((version < 7) != m_olderGlobalsInUse)
            switchGlobals();
    }
    // Whether focused objects get the yellow rectangle, player-wide: the levels' _focusrect.
    bool stageFocusRect() const { return m_stageFocusRect; }
    void setStageFocusRect(bool shown) { m_stageFocusRect = shown; }
    // The drawing quality scripts see, player-wide: LOW, MEDIUM, HIGH or BEST.
    const QString& quality() const { return m_quality; }
    void setQuality(const QString& quality) { m_quality = quality; }
    // Player-wide from the first getBounds that SWF 8 code makes, or that any code makes under
    // a SWF 8 root movie: an empty clip's bounds seen from another clip read 6710886.4 from
    // then on, where they read 6710886.35 before.
    bool newInvalidBounds() const { return m_newInvalidBounds; }
    void setNewInvalidBounds() { m_newInvalidBounds = true; }
    // The seconds of streamed sound buffered before it plays, player-wide: _soundbuftime.
    int soundBufferTime() const { return m_soundBufferTime; }
    void setSoundBufferTime(int seconds) { m_soundBufferTime = seconds; }

    // Conversions, calling valueOf and toString of objects where Flash does.
    double toNumber(const Value& value);
    QString toString(const Value& value);
    bool toBoolean(const Value& value) const;
    int32_t toInt32(const Value& value);
    // The primitive for arithmetic and comparison (valueOf); objects whose valueOf gives no
    // primitive stay objects.
    Value toPrimitiveNumber(const Value& value);
    // The primitive for "+": valueOf, but toString for dates from SWF 6.
    Value toPrimitiveForAdd(const Value& value);
    // An object for a value: objects stay, strings, numbers and booleans are boxed by the class
    // that _global holds under String, Number or Boolean at the time (scripts may replace it),
    // anything else, or a failed boxing, gives nothing.
    Object* toObject(const Value& value);
    QString typeOf(const Value& value);

    bool looseEquals(const Value& left, const Value& right);
    // left < right: true, false, or undefined when a NaN is involved.
    Value lessThan(const Value& left, const Value& right);
    Value add(const Value& left, const Value& right);

    // Property access on any value (primitives are boxed).
    Value getMember(const Value& target, const QString& name);
    void setMember(const Value& target, const QString& name, const Value& value);

    // Calls. "this" may be null; functions that are not callable give undefined.
    Value call(const Value& function, Object* self, const Arguments& arguments);
    // Calls the getter or setter of a property of holder. Calls of one property's accessors nest
    // only so deep: Flash skips a deeper one without a word, and it gives undefined.
    Value callAccessor(Object* holder, const QString& name, Object* accessor, Object* self, const Arguments& arguments);
    static constexpr int maximumAccessorNesting = 65;
    // A method the object lacks is asked of its __resolve handler, unless resolveMissingNames is
    // false (the player's own conversions through valueOf and toString never ask it).
    Value callMethod(const Value& target, const QString& name, const Arguments& arguments, bool resolveMissingNames = true);
    Value construct(const Value& constructor, const Arguments& arguments);
    // super(...) reaching a built-in class. The String, Number and Boolean constructors give an
    // object of their subclass its value, in place, and return it; other built-ins run as
    // functions on the object.
    Value constructSuperNative(FunctionObject* callee, Object* self, const Arguments& arguments);
    // The object that holds the native state of self: self itself, or, for an object new made
    // plain whose prototype a script then pointed at a built-in class, the object that class's
    // constructor made for it when super() reached it. Flash gives such an object the state in
    // place; here it lives beside it, and the built-in methods find it through this.
    Object* nativePartOf(Object* self) const
    {
        if (m_nativeParts.empty() || !self)
            return self;
        const auto found = m_nativeParts.find(self);
        return found == m_nativeParts.end() ? self : found->second;
    }
    bool isCallable(const Value& value) const;
    bool instanceOf(Object* object, Object* constructor);

    // Runs an action list as a timeline script of a clip: the top level of execution.
    void runTopLevel(Object* clip, const swf::ActionCode& code, int swfVersion);
    // Frame scripts share one stack and the four global registers through a frame: what one
    // leaves there, the next one finds. The player empties both as each frame starts.
    void clearFrameState();
    // Runs a function as the top level (event handlers, timers, host callbacks).
    Value callTopLevel(const Value& function, Object* self, const Arguments& arguments, int swfVersion);
    int callDepth() const { return m_callDepth; }
    // The clip the running action list addresses (its target, as tellTarget changes it): where
    // natives that take a target path, such as setMask, start looking.
    Object* scriptTarget() const { return m_scriptTarget; }
    // Whether the innermost script function that runs was called by "new" (native functions
    // between it and the question do not count).
    bool runningAsConstructor() const { return m_runningAsConstructor; }
    // The script function that runs now (null at the top level): arguments.caller of a call.
    Object* runningFunction() const { return m_runningFunction; }
    void setRunningFunction(Object* function) { m_runningFunction = function; }

    // setInterval and setTimeout; timers that fell due run by the player's clock.
    int addTimer(Object* target, const Value& callback, const QString& methodName, double interval, Arguments arguments, bool repeat);
    // A call made on the next run of the timers, outside the setInterval numbering: how loads
    // deliver their data. The target's method of that name is called, or the callback when
    // there is no name.
    void addDeferredCall(Object* target, const Value& callback, const QString& methodName, Arguments arguments);
    bool removeTimer(int id);
    // The timers that fall due before untilMilliseconds (the start of the next frame) run in
    // the order of their times; an interval shorter than the frame runs as many times as its
    // period fits. afterEachCall runs after each of them (the player's queued scripts). Timers
    // set from then on count their time from untilMilliseconds.
    void runTimers(double untilMilliseconds, const std::function<void()>& afterEachCall = {});

    // A built-in class whose objects carry native state tells how to make a blank one, so that
    // new on a subclass makes an object of that kind for the constructor, reached through
    // super(), to set up in place. The prototype stays alive.
    using InstanceMaker = Object* (*)(Machine& machine, Object* prototype);
    void registerInstanceMaker(Object* classPrototype, InstanceMaker maker);

    // Objects that must survive collection whatever refers to them (clip objects, registered
    // classes): the engine adds and removes them.
    void addRoot(Object* object);
    void removeRoot(Object* object);
    // Frees unreachable objects; only between action lists, when no script runs.
    void collectGarbage();
    size_t heapSize() const { return m_heap.size(); }

    // Object.registerClass: export name to constructor, looked up by attachMovie.
    std::map<QString, Value>& registeredClasses() { return m_registeredClasses; }
    // The numbered native functions ASnative(table, index) hands out: the built-ins' own.
    std::map<std::pair<int, int>, Object*>& nativeTable() { return m_nativeTable; }

    // Guards on memory: strings and arrays beyond these sizes are refused with an abort.
    static constexpr qsizetype maximumStringLength = 64 * 1024 * 1024;
    static constexpr size_t maximumArrayLength = 16 * 1024 * 1024;
    void checkStringLength(qsizetype length);
    // Joins two strings for the concatenating actions, appending in place where it can.
    QString concatenate(const QString& left, const QString& right) { return m_appender.concatenate(left, right); }

    // Used by the interpreter for its calls: one more level, refused past the movie's limit.
    struct DepthGuard {
        explicit DepthGuard(Machine& machine)
            : machine(machine)
        {
            // Whatever runs next is no longer the call the player made.
            machine.m_nextCallIsPlayers = false;
            // The action list itself counts as the first level.
            if (machine.m_callDepth + 1 >= machine.m_limits.maximumDepth()) [[unlikely]]
                machine.refuseDeeperCall();
            ++machine.m_callDepth;
        }
        ~DepthGuard() { --machine.m_callDepth; }
        DepthGuard(const DepthGuard&) = delete;
        DepthGuard& operator=(const DepthGuard&) = delete;
        Machine& machine;
    };

    // Puts back, however a script or a call ends (a return, a throw, an abort), what running it
    // changes on the machine: the SWF version, the clip it addresses, the running function and
    // whether that function constructs.
    class SavedRunState {
    public:
        explicit SavedRunState(Machine& machine)
            : m_machine(machine)
            , m_swfVersion(machine.m_swfVersion)
            , m_scriptTarget(machine.m_scriptTarget)
            , m_runningFunction(machine.m_runningFunction)
            , m_runningAsConstructor(machine.m_runningAsConstructor)
        {
        }
        ~SavedRunState()
        {
            m_machine.setSwfVersion(m_swfVersion);
            m_machine.m_scriptTarget = m_scriptTarget;
            m_machine.m_runningFunction = m_runningFunction;
            m_machine.m_runningAsConstructor = m_runningAsConstructor;
        }
        SavedRunState(const SavedRunState&) = delete;
        SavedRunState& operator=(const SavedRunState&) = delete;

    private:
        Machine& m_machine;
        int m_swfVersion;
        Object* m_scriptTarget;
        Object* m_runningFunction;
        bool m_runningAsConstructor;
    };

    static constexpr size_t GlobalRegisterCount = 4;

private:
    // The outermost run of an action list or a call: it starts the time limit and the count of
    // levels, and may collect garbage when it ends. Runs nested in it (a handler that a script
    // set off) keep both, and give an abort on to the outer run.
    class TopLevelRun {
    public:
        TopLevelRun(Machine& machine, int swfVersion);
        ~TopLevelRun();
        TopLevelRun(const TopLevelRun&) = delete;
        TopLevelRun& operator=(const TopLevelRun&) = delete;
        bool isNested() const { return m_machine.m_topLevelDepth > 1; }

    private:
        Machine& m_machine;
        int m_savedVersion;
        int m_savedDepth;
    };

    // The one operand stack of every script: frame scripts share it through a frame, and a
    // called function pushes onto its caller's stack, so what a function leaves behind stays
    // there when it returns (movies made by other tools than Flash rely on that).
    ValueStack m_stack;
    StringAppender m_appender;
    // Room for the arguments of calls, used again from call to call.
    ValueVectorPool m_vectorPool;
    // The registers of the script functions that run.
    RegisterStack m_registerStack;
    Value m_globalRegisters[GlobalRegisterCount];
    friend class Interpreter;
    void installBuiltins();
    // The abort of a call one level too deep.
    [[noreturn]] void refuseDeeperCall();
    void beginTopLevel(int swfVersion);
    void endTopLevel();
    void reportUncaught(const Value& thrown);
    Value resolveMissing(Object* object, const QString& name);
    // toString or valueOf called for a conversion.
    Value callConversionMethod(const Value& value, const QString& name);

    struct Timer {
        int id = 0;
        Object* target = nullptr;
        Value callback;
        QString methodName;
        double interval = 0;
        double due = 0;
        Arguments arguments;
        bool repeat = true;
        int swfVersion = 8;
    };

    DisplayBridge& m_bridge;
    ExecutionLimits m_limits;
    std::vector<std::unique_ptr<Object>> m_heap;
    // See nativePartOf: an object's native part lives as long as the object.
    std::unordered_map<Object*, Object*> m_nativeParts;
    size_t m_heapSizeAfterCollection = 0;
    Object* m_global = nullptr;
    // The properties whose accessors are running, innermost last.
    std::vector<std::pair<const Object*, QString>> m_runningAccessors;
    BuiltinPrototypes m_prototypes;
    // The built-in String, Number and Boolean classes, to tell them from what a script put in
    // their place on _global.
    struct PrimitiveClass {
        Object* original = nullptr;
        Object* prototype = nullptr;
        ObjectKind kind = ObjectKind::Plain;
        QString name;
    };
    const PrimitiveClass* primitiveClassOf(const Value& value) const;
    // The class _global holds for a primitive's type now (its getter runs; no __resolve).
    Value currentPrimitiveClass(const PrimitiveClass& primitive);
    Object* boxWith(const PrimitiveClass& primitive, const Value& constructor, const Value& value);
    // A fresh object for "new": one that can hold a string, number or boolean when the
    // prototype descends from String, Number or Boolean, so that their constructors, reached
    // through super(), can give it its value.
    Object* makeInstance(Object* prototype);
    std::vector<std::pair<Object*, InstanceMaker>> m_instanceMakers;
    PrimitiveClass m_stringClass;
    PrimitiveClass m_numberClass;
    PrimitiveClass m_booleanClass;
    // Flash keeps two sets of globals: code of SWF 6 and older sees one, code of SWF 7 on the
    // other, each with its own _global, built-in classes, registered classes and native tables.
    // An object made by one set's classes is no instance of the other set's. The machine's fields
    // hold the set of the running code; the other one waits here, made the first time code of
    // its versions runs.
    struct GlobalSet {
        Object* global = nullptr;
        BuiltinPrototypes prototypes;
        PrimitiveClass stringClass;
        PrimitiveClass numberClass;
        PrimitiveClass booleanClass;
        std::map<QString, Value> registeredClasses;
        std::map<std::pair<int, int>, Object*> nativeTable;
    };
    std::unique_ptr<GlobalSet> m_otherGlobals;
    bool m_olderGlobalsInUse = false;
    void switchGlobals();
    void markGlobals(Marker& marker, const GlobalSet* other) const;
    int m_swfVersion = 8;
    bool m_stageFocusRect = true;
    QString m_quality = QStringLiteral("HIGH");
    bool m_newInvalidBounds = false;
    int m_soundBufferTime = 5;
    Object* m_runningFunction = nullptr;
    bool m_runningAsConstructor = false;
    // Set by construct for the script function it is about to run.
    bool m_nextCallConstructs = false;
    // Set where the player itself calls a function (conversions, getters and setters, event
    // handlers), not a script's call action: such a call of a function made by SWF 6 code or
    // later runs on the clip the function was made on even when SWF 5 code is the caller.
    bool m_nextCallIsPlayers = false;
    int m_callDepth = 0;
    int m_topLevelDepth = 0;
    std::vector<Object*> m_roots;
    std::map<QString, Value> m_registeredClasses;
    std::map<std::pair<int, int>, Object*> m_nativeTable;
    std::vector<Timer> m_timers;
    int m_nextTimerId = 1;
    int m_nextDeferredCallId = -1;
    double m_clock = 0;
    Object* m_scriptTarget = nullptr;
};

} // namespace player::avm1
