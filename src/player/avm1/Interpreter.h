#pragma once

#include "ActionCodes.h"
#include "DecodedActions.h"
#include "FoundFunctionMemo.h"
#include "FunctionObject.h"
#include "Scope.h"
#include "Value.h"
#include "ValueStack.h"
#include "player/swf/Movie.h"

#include <array>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace player::avm1 {

class Machine;

// Runs one action list or function body: the operand stack, the registers, the scope chain,
// the clip that timeline actions address, and the constant pool.
class Interpreter {
public:
    // Runs a whole action list on a clip, with the given scope chain, to its end or to a Return;
    // what running changes on the machine is put back afterwards. The code must outlive the run.
    static void runList(Machine& machine, const swf::ActionCode& code, int swfVersion, ScopeChain scope, Object* clip);

    // Calls a script function: a new activation with its arguments, locals and registers.
    static Value invoke(Machine& machine, FunctionObject* function, Object* self, const Arguments& arguments, Object* methodHolder);

    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

private:
    friend class Machine;
    enum class Outcome { Normal, Return };

    // Made only by the two runs above, where they are defined (every call makes one, so they
    // are inline there). The code and the constant pool are not copied: they must outlive the
    // interpreter (the function that holds them, or the caller of a frame's script, keeps
    // them). No pool is given as a null pointer.
    Interpreter(Machine& machine, const swf::ActionCode& code, size_t start, size_t end, int swfVersion, ScopeChain scope,
                Object* thisObject, Object* target, const std::shared_ptr<const std::vector<QString>>* constantPool);
    ~Interpreter();

    Value run();

    // The action being run: its code, where its payload lies, and where the next action starts
    // (jumps, function bodies and blocks move that).
    struct Step {
        uint8_t code;
        size_t payload;
        size_t length;
        size_t next;
    };

    template<class ArgumentList>
    static Value enter(Machine& machine, FunctionObject* function, Object* self, ArgumentList&& arguments, Object* methodHolder);

    Outcome runRange(size_t start, size_t end, size_t& position);
    bool skipActions(DecodedActions& decoded, size_t start, size_t end, size_t& position);
    // run without putting the machine's run state back: for a caller that does so itself.
    Value runInPlace();
    // The same, for a caller that has also looked at whether the clip has left already.
    Value runBody();
    // After a branch left the range being run: widens the range to the bytes around it, true
    // when the branch landed in them.
    bool followBranchOut(size_t& position);

    // One member per action, named after it; the table below dispatches on the action code.
#define SKRV_AVM1_ACTION_MEMBER(name, code) Outcome action##name(Step& step);
    SKRV_AVM1_ACTIONS(SKRV_AVM1_ACTION_MEMBER)
#undef SKRV_AVM1_ACTION_MEMBER
    Outcome actionUnknown(Step& step);

    using ActionHandler = Outcome (Interpreter::*)(Step&);
    static const std::array<ActionHandler, 256> actionHandlers;

    // The two-operand actions: their operands and operation come from the table of operations.
    Outcome binaryAction(uint8_t code);
    bool joinTexts(Value& left, const Value& right);
    void joinTwoTexts(Value& text, const Value& first, const Value& second);
    bool appendToRegister(const DecodedActions& decoded, const DecodedActions::Step& action);
    void appendTexts(QString& text, QStringView first, QStringView second);

    Value pop();
    void push(const Value& value) { m_stack.push_back(value); }
    void push(Value&& value) { m_stack.push_back(std::move(value)); }
    // The values of a Push action.
    void pushValues(const DecodedActions& decoded, const DecodedActions::Step& action);
    // The same, less the last leftOut of them.
    void pushValuesBut(const DecodedActions& decoded, const DecodedActions::Step& action, size_t leftOut);
    void usePool(const std::shared_ptr<const std::vector<QString>>* pool);
    QString popString();
    double popNumber();
    // Pops two operands and converts them to numbers, the left one first unless told otherwise.
    std::pair<double, double> popNumberPair(bool rightFirst = false);
    QString decodeString(size_t start, size_t limit, size_t& after) const;

    bool seesGlobals() const;
    Value getVariable(const QString& name);
    void setVariable(const QString& name, const Value& value);
    Object* pathHolder(const QString& path) const;
    bool definesOnTimeline() const;
    // Defines a variable named by a path on a timeline (undefined when no value is given, and only
    // where the name is missing); false when the name is to be defined as it is.
    bool definePathVariable(const QString& name, const Value* value);
    Object* localsObject() const;
    void defineFunction(Step& step, bool version2);
    Object* targetFromValue(const Value& value);
    void setTarget(Object* target);
    // tellTarget with a path: the clip it names from the frame's clip, or none when it names no
    // clip. Without a target, timeline actions do nothing and names resolve on the root.
    void setTargetPath(const QString& path);
    Object* targetOrRoot() const;
    Value* registerSlot(size_t index)
    {
        return index < m_registerCount ? &m_registers[index] : globalRegisterSlot(index);
    }
    Value* globalRegisterSlot(size_t index);
    Object* scopeObject(const Scope& link) const;
    bool baseClipRemoved() const;
    bool baseClipLeftDuringRun() const;
    Value getProperty(Object* clip, int index);
    void setProperty(Object* clip, int index, const Value& value);
    void gotoFrameValue(const Value& frame, bool play, int bias);
    void getUrl(const QString& url, const QString& target, int method, bool loadTarget, bool loadVariables);
    // The arguments are given up: they may be moved from.
    Value callFunctionNamed(const QString& name, Arguments& arguments);
    // CallFunction with its name taken off the stack, or never put on it.
    Outcome callByName(const QString& name);
    Value callFound(const Value& function, Object* self, Arguments& arguments);
    // The function CallFunction names and the object it runs on, found without running a script
    // (no getter, no conversion); false when only callFunctionNamed can tell.
    bool findFunctionWithoutScripts(const QString& name, Value& function, Object*& self);
    void rememberFoundFunction(const QString& name, const Scope& link);
    // What a function found by name is called on: the with object or timeline it was found on;
    // the target when it was found elsewhere, except that SWF 5 code calls a local on nothing.
    Object* receiverOf(Object* holder, bool foundLocal) const
    {
        return holder || (foundLocal && m_swfVersion < 6) ? holder : m_target;
    }
    Arguments popArguments();
    void enumerate(const Value& object);

    Machine& m_machine;
    // The code being run: the caller's, read in place, or the movie's tag stream once a branch
    // has left the caller's bytes (then held in m_followedCode).
    const swf::ActionCode* m_code;
    swf::ActionCode m_followedCode;
    size_t m_start;
    size_t m_end;
    int m_swfVersion;
    ScopeChain m_scope;
    Object* m_thisObject;
    Object* m_target;
    Object* m_baseClip;
    // The constant pool in force: the one the code was made with, read in place (it lives as long
    // as the code does), or the one this run defined, held in m_ownConstantPool.
    const std::shared_ptr<const std::vector<QString>>* m_constantPool;
    std::shared_ptr<const std::vector<QString>> m_ownConstantPool;
    // The entries of the pool in force, for Push: set with it, as the pool cannot change
    // otherwise while the code runs.
    const QString* m_poolEntries = nullptr;
    size_t m_poolSize = 0;
    ValueStack& m_stack; // the machine's
    // The function's own registers, on the machine's register stack; none for a frame script.
    Value* m_registers = nullptr;
    size_t m_registerCount = 0;
    Value m_returnValue;
    FunctionObject* m_callee = nullptr;
    bool m_baseClipGoneAtStart = false;
    Object* m_superObject = nullptr;
    int m_skipActions = 0;
    // Made when the first function is found by name: most calls call nothing by name.
    std::optional<FoundFunctionMemo> m_foundFunctions;
};

} // namespace player::avm1
