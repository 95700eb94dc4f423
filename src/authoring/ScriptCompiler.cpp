#include "ScriptCompiler.h"

#include "ScriptParser.h"

#include <array>
#include <cctype>
#include <cmath>
#include <map>
#include <optional>
#include <set>

namespace authoring {

namespace {

using Kind = SyntaxNode::Kind;

// Register 3 holds an assigned value while it is stored; registers 0 to 2 hold the names that
// nested for-in loops take from the stack. Frame scripts have four registers; every compiled
// function asks for the same four.
constexpr uint8_t valueRegister = 3;
constexpr int forInRegisters = 3;
constexpr uint8_t functionRegisterCount = 4;
// Registers hold at most this many values; locals that would need more stay named.
constexpr int registerLimit = 255;

// GetURL2 flags.
constexpr uint8_t loadTargetFlag = 0x40;
constexpr uint8_t loadVariablesFlag = 0x80;

const std::map<std::string, ActionCode> binaryActions = {
    {"+", ActionCode::Add2},         {"-", ActionCode::Subtract},     {"*", ActionCode::Multiply},
    {"/", ActionCode::Divide},       {"%", ActionCode::Modulo},       {"&", ActionCode::BitAnd},
    {"|", ActionCode::BitOr},        {"^", ActionCode::BitXor},       {"<<", ActionCode::BitLShift},
    {">>", ActionCode::BitRShift},   {">>>", ActionCode::BitURShift}, {"==", ActionCode::Equals2},
    {"===", ActionCode::StrictEquals}, {"<", ActionCode::Less2},      {">", ActionCode::Greater},
    {"instanceof", ActionCode::InstanceOf},
};

// a <= b is !(a > b) and a >= b is !(a < b), as Flash's own compiler writes them.
const std::map<std::string, ActionCode> negatedBinaryActions = {
    {"!=", ActionCode::Equals2}, {"!==", ActionCode::StrictEquals}, {"<=", ActionCode::Greater}, {">=", ActionCode::Less2},
};

class Compiler {
public:
    explicit Compiler(ActionAssembler& code, bool inFunction) : m_code(code), m_inFunction(inFunction) {}

    void body(const SyntaxNode& block)
    {
        // Function declarations are hoisted: they can be called above the place they are written.
        for (const auto& statement : block.children) {
            if (statement->kind == Kind::FunctionDeclaration)
                function(*statement, true);
        }
        for (const auto& statement : block.children) {
            if (statement->kind != Kind::FunctionDeclaration)
                this->statement(*statement);
        }
    }

private:
    struct Loop {
        Label breakTarget;
        Label continueTarget;
        bool isForIn = false;
    };

    [[noreturn]] static void failAt(const SyntaxNode& node, const std::string& message)
    {
        throw CompileFailure({node.line, node.column, message});
    }

    void statement(const SyntaxNode& node)
    {
        switch (node.kind) {
        case Kind::Empty:
            return;
        case Kind::ExpressionStatement:
            expression(*node.children[0], false);
            return;
        case Kind::Var:
            for (size_t i = 0; i < node.names.size(); ++i) {
                if (const auto local = localRegister(node.names[i])) {
                    // A local in a register starts undefined: only an initialiser stores.
                    if (node.children[i]) {
                        expression(*node.children[i], true);
                        m_code.storeRegister(*local);
                        m_code.op(ActionCode::Pop);
                    }
                    continue;
                }
                m_code.pushString(node.names[i]);
                if (node.children[i]) {
                    expression(*node.children[i], true);
                    m_code.op(ActionCode::DefineLocal);
                } else {
                    m_code.op(ActionCode::DefineLocal2);
                }
            }
            return;
        case Kind::Block:
            for (const auto& child : node.children)
                statement(*child);
            return;
        case Kind::FunctionDeclaration:
            function(node, true);
            return;
        case Kind::If: {
            const Label elseLabel = m_code.newLabel();
            condition(*node.children[0], elseLabel);
            statement(*node.children[1]);
            if (node.children[2]) {
                const Label endLabel = m_code.newLabel();
                m_code.jump(endLabel);
                m_code.bind(elseLabel);
                statement(*node.children[2]);
                m_code.bind(endLabel);
            } else {
                m_code.bind(elseLabel);
            }
            return;
        }
        case Kind::TellTarget: {
            // A literal path goes into SetTarget itself, as Flash's compiler writes it.
            const SyntaxNode& target = *node.children[0];
            if (target.kind == Kind::String) {
                m_code.setTarget(target.text);
            } else {
                value(target);
                m_code.op(ActionCode::SetTarget2);
            }
            statement(*node.children[1]);
            m_code.setTarget("");
            return;
        }
        case Kind::With: {
            // The block is one action's payload, so a break or continue cannot leave it.
            value(*node.children[0]);
            ActionAssembler blockCode = m_code.nested();
            Compiler inner(blockCode, m_inFunction);
            inner.statement(*node.children[1]);
            m_code.with(blockCode);
            return;
        }
        case Kind::While: {
            const Loop loop{m_code.newLabel(), m_code.newLabel()};
            m_code.bind(loop.continueTarget);
            condition(*node.children[0], loop.breakTarget);
            loopBody(*node.children[1], loop);
            m_code.jump(loop.continueTarget);
            m_code.bind(loop.breakTarget);
            return;
        }
        case Kind::DoWhile: {
            const Loop loop{m_code.newLabel(), m_code.newLabel()};
            const Label top = m_code.newLabel();
            m_code.bind(top);
            loopBody(*node.children[0], loop);
            m_code.bind(loop.continueTarget);
            expression(*node.children[1], true);
            m_code.ifTrue(top);
            m_code.bind(loop.breakTarget);
            return;
        }
        case Kind::For: {
            if (node.children[0])
                statement(*node.children[0]);
            const Loop loop{m_code.newLabel(), m_code.newLabel()};
            const Label top = m_code.newLabel();
            m_code.bind(top);
            if (node.children[1])
                condition(*node.children[1], loop.breakTarget);
            loopBody(*node.children[3], loop);
            m_code.bind(loop.continueTarget);
            if (node.children[2])
                expression(*node.children[2], false);
            m_code.jump(top);
            m_code.bind(loop.breakTarget);
            return;
        }
        case Kind::ForIn:
            forIn(node);
            return;
        case Kind::Return:
            if (!m_inFunction)
                failAt(node, "'return' outside a function");
            // The names of unfinished for-in loops are still on the stack; drop them first.
            for (auto loop = m_loops.rbegin(); loop != m_loops.rend(); ++loop) {
                if (loop->isForIn)
                    dropEnumeratedNames();
            }
            if (node.children[0])
                expression(*node.children[0], true);
            else
                m_code.push(PushUndefined{});
            m_code.op(ActionCode::Return);
            return;
        case Kind::Break:
            if (m_loops.empty())
                failAt(node, "'break' outside a loop");
            m_code.jump(m_loops.back().breakTarget);
            return;
        case Kind::Continue:
            if (m_loops.empty())
                failAt(node, "'continue' outside a loop");
            m_code.jump(m_loops.back().continueTarget);
            return;
        default:
            failAt(node, "not a statement");
        }
    }

    void loopBody(const SyntaxNode& body, const Loop& loop)
    {
        m_loops.push_back(loop);
        statement(body);
        m_loops.pop_back();
    }

    // Jumps to falseTarget unless the condition holds.
    void condition(const SyntaxNode& node, Label falseTarget)
    {
        expression(node, true);
        m_code.op(ActionCode::Not);
        m_code.ifTrue(falseTarget);
    }

    // Pops enumerated names up to and including the null that Enumerate2 pushed first.
    void dropEnumeratedNames()
    {
        const Label again = m_code.newLabel();
        m_code.bind(again);
        m_code.push(PushNull{});
        m_code.op(ActionCode::Equals2);
        m_code.op(ActionCode::Not);
        m_code.ifTrue(again);
    }

    void forIn(const SyntaxNode& node)
    {
        if (m_forInDepth >= forInRegisters)
            failAt(node, "for-in loops nested more than three deep");
        const auto nameRegister = uint8_t(m_forInDepth);
        expression(*node.children[0], true);
        m_code.op(ActionCode::Enumerate2);
        Loop loop{m_code.newLabel(), m_code.newLabel(), true};
        const Label finished = m_code.newLabel();
        m_code.bind(loop.continueTarget);
        m_code.storeRegister(nameRegister);
        m_code.push(PushNull{});
        m_code.op(ActionCode::Equals2);
        m_code.ifTrue(finished);
        if (const auto local = localRegister(node.text)) {
            m_code.push(PushRegister{nameRegister});
            m_code.storeRegister(*local);
            m_code.op(ActionCode::Pop);
        } else {
            m_code.pushString(node.text);
            m_code.push(PushRegister{nameRegister});
            m_code.op(node.flag ? ActionCode::DefineLocal : ActionCode::SetVariable);
        }
        ++m_forInDepth;
        loopBody(*node.children[1], loop);
        --m_forInDepth;
        m_code.jump(loop.continueTarget);
        // A break leaves the remaining names on the stack.
        m_code.bind(loop.breakTarget);
        dropEnumeratedNames();
        m_code.bind(finished);
    }

    void function(const SyntaxNode& node, bool declaration)
    {
        ActionAssembler bodyCode = m_code.nested();
        Compiler inner(bodyCode, true);
        const SyntaxNode& body = *node.children[0];
        std::set<std::string> seen;
        for (const std::string& name : node.names) {
            if (!seen.insert(name).second)
                failAt(node, "parameter '" + name + "' given twice");
        }
        inner.m_locals = localRegisters(node);
        std::vector<FunctionParameter> parameters;
        for (const std::string& name : node.names)
            parameters.push_back({name, inner.localRegister(name).value_or(0)});
        inner.body(body);
        const auto registerCount = uint8_t(functionRegisterCount + inner.m_locals.size());
        m_code.defineFunction2(declaration ? node.text : std::string(), parameters, registerCount,
                               suppressedImplicits(body), bodyCode);
    }

    std::optional<uint8_t> localRegister(const std::string& name) const
    {
        const auto found = m_locals.find(name);
        if (found == m_locals.end())
            return std::nullopt;
        return found->second;
    }

    // What keeps a function's locals by name: code that may reach its activation by a name
    // known only when it runs (eval, with, set, delete), or a nested function, which sees the
    // locals through its scope chain. A name that differs from a local only in case may be
    // the same variable in movies whose names ignore case.
    struct NameUse {
        bool dynamic = false;
        std::set<std::string> identifiers;
        std::set<std::string> called;
        std::vector<std::string> declared;
    };

    static void collectNameUse(const SyntaxNode& node, NameUse& use)
    {
        switch (node.kind) {
        case Kind::Function:
        case Kind::FunctionDeclaration:
        case Kind::With:
            use.dynamic = true;
            return;
        case Kind::Identifier:
            use.identifiers.insert(node.text);
            use.dynamic = use.dynamic || node.text == "eval";
            break;
        case Kind::Unary:
            use.dynamic = use.dynamic || (node.text == "delete" && node.children[0]->kind == Kind::Identifier);
            break;
        case Kind::Call:
        case Kind::New:
            use.dynamic = use.dynamic || (node.children[0]->kind == Kind::Identifier && node.children[0]->text == "set");
            if (node.children[0]->kind == Kind::Identifier)
                use.called.insert(node.children[0]->text);
            break;
        case Kind::Var:
            use.declared.insert(use.declared.end(), node.names.begin(), node.names.end());
            break;
        case Kind::ForIn:
            use.identifiers.insert(node.text);
            if (node.flag)
                use.declared.push_back(node.text);
            break;
        default:
            break;
        }
        for (const SyntaxNodePointer& child : node.children) {
            if (child)
                collectNameUse(*child, use);
        }
    }

    static std::string lowerCase(std::string text)
    {
        for (char& c : text)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        return text;
    }

    // Registers for the parameters and var locals of a function, as Flash's compiler gives
    // them, after the four every function keeps for itself; none when the function must keep
    // them by name.
    static std::map<std::string, uint8_t> localRegisters(const SyntaxNode& function)
    {
        NameUse use;
        collectNameUse(*function.children[0], use);
        std::map<std::string, uint8_t> registers;
        if (use.dynamic)
            return registers;
        std::vector<std::string> locals = function.names;
        locals.insert(locals.end(), use.declared.begin(), use.declared.end());
        std::map<std::string, std::string> byLowerCase;
        for (const std::string& name : locals) {
            // Names the player treats specially before any variable stay by name.
            if (name == "this" || name == "arguments" || name == "super" || name == "_global")
                return {};
            byLowerCase.emplace(lowerCase(name), name);
        }
        for (const std::string& name : use.identifiers) {
            const auto found = byLowerCase.find(lowerCase(name));
            if (found != byLowerCase.end() && found->second != name)
                return {};
        }
        int next = functionRegisterCount;
        for (const std::string& name : locals) {
            // A function called by its name runs on the script's clip: one in a register would
            // be called on nothing, so a local that is called stays named.
            if (registers.count(name) || use.called.count(name))
                continue;
            if (next >= registerLimit)
                return {};
            registers.emplace(name, uint8_t(next++));
        }
        return registers;
    }

    // Which of this, arguments and super a function may name. Nested functions count as well
    // (a name there may be meant for the outer one), and eval or with may name anything.
    struct ImplicitNames {
        bool thisObject = false;
        bool arguments = false;
        bool super = false;
        bool anything = false;
    };

    static void collectImplicitNames(const SyntaxNode& node, ImplicitNames& names)
    {
        if (node.kind == Kind::This)
            names.thisObject = true;
        else if (node.kind == Kind::With)
            names.anything = true;
        else if (node.kind == Kind::Identifier) {
            names.arguments = names.arguments || node.text == "arguments";
            names.super = names.super || node.text == "super";
            names.anything = names.anything || node.text == "eval";
        }
        for (const SyntaxNodePointer& child : node.children) {
            if (child)
                collectImplicitNames(*child, names);
        }
    }

    // As Flash's compiler does, a function leaves out the this, arguments and super it never
    // names: calling it then makes neither an arguments array nor a super object.
    static uint16_t suppressedImplicits(const SyntaxNode& body)
    {
        ImplicitNames names;
        collectImplicitNames(body, names);
        if (names.anything)
            return 0;
        uint16_t flags = 0;
        if (!names.thisObject && !names.super)
            flags |= function_flags::SuppressThis;
        if (!names.arguments)
            flags |= function_flags::SuppressArguments;
        if (!names.super)
            flags |= function_flags::SuppressSuper;
        return flags;
    }

    // Pushes the value of the expression when wanted; otherwise leaves the stack as it was.
    void expression(const SyntaxNode& node, bool wanted)
    {
        switch (node.kind) {
        case Kind::Assign:
            assign(node, wanted);
            return;
        case Kind::Update:
            update(node, wanted);
            return;
        case Kind::Call:
            call(node, wanted);
            return;
        default:
            break;
        }
        value(node);
        if (!wanted)
            m_code.op(ActionCode::Pop);
    }

    void value(const SyntaxNode& node)
    {
        switch (node.kind) {
        case Kind::Number:
            m_code.pushNumber(node.number);
            return;
        case Kind::String:
            m_code.pushString(node.text);
            return;
        case Kind::Boolean:
            m_code.push(node.flag);
            return;
        case Kind::Null:
            m_code.push(PushNull{});
            return;
        case Kind::Undefined:
            m_code.push(PushUndefined{});
            return;
        case Kind::Identifier:
            if (const auto local = localRegister(node.text)) {
                m_code.push(PushRegister{*local});
                return;
            }
            m_code.pushString(node.text);
            m_code.op(ActionCode::GetVariable);
            return;
        case Kind::This:
            m_code.pushString("this");
            m_code.op(ActionCode::GetVariable);
            return;
        case Kind::Member:
            value(*node.children[0]);
            m_code.pushString(node.text);
            m_code.op(ActionCode::GetMember);
            return;
        case Kind::Index:
            value(*node.children[0]);
            value(*node.children[1]);
            m_code.op(ActionCode::GetMember);
            return;
        case Kind::Call:
        case Kind::Assign:
        case Kind::Update:
            expression(node, true);
            return;
        case Kind::New:
            construct(node);
            return;
        case Kind::Unary:
            unary(node);
            return;
        case Kind::Binary:
            binary(node);
            return;
        case Kind::Logical: {
            // a && b: a when a is false, else b. a || b: a when a is true, else b.
            const Label end = m_code.newLabel();
            value(*node.children[0]);
            m_code.op(ActionCode::PushDuplicate);
            if (node.text == "&&")
                m_code.op(ActionCode::Not);
            m_code.ifTrue(end);
            m_code.op(ActionCode::Pop);
            value(*node.children[1]);
            m_code.bind(end);
            return;
        }
        case Kind::Conditional: {
            const Label otherwise = m_code.newLabel();
            const Label end = m_code.newLabel();
            condition(*node.children[0], otherwise);
            value(*node.children[1]);
            m_code.jump(end);
            m_code.bind(otherwise);
            value(*node.children[2]);
            m_code.bind(end);
            return;
        }
        case Kind::ObjectLiteral:
            for (size_t i = 0; i < node.names.size(); ++i) {
                m_code.pushString(node.names[i]);
                value(*node.children[i]);
            }
            m_code.pushNumber(double(node.names.size()));
            m_code.op(ActionCode::InitObject);
            return;
        case Kind::ArrayLiteral:
            for (auto element = node.children.rbegin(); element != node.children.rend(); ++element)
                value(**element);
            m_code.pushNumber(double(node.children.size()));
            m_code.op(ActionCode::InitArray);
            return;
        case Kind::Function:
            function(node, false);
            return;
        default:
            failAt(node, "not an expression");
        }
    }

    void unary(const SyntaxNode& node)
    {
        const SyntaxNode& operand = *node.children[0];
        const std::string& op = node.text;
        if (op == "-" && operand.kind == Kind::Number) {
            m_code.pushNumber(-operand.number);
        } else if (op == "-") {
            m_code.pushNumber(0);
            value(operand);
            m_code.op(ActionCode::Subtract);
        } else if (op == "+") {
            value(operand);
            m_code.op(ActionCode::ToNumber);
        } else if (op == "!") {
            value(operand);
            m_code.op(ActionCode::Not);
        } else if (op == "~") {
            value(operand);
            m_code.push(4294967295.0);
            m_code.op(ActionCode::BitXor);
        } else if (op == "typeof") {
            value(operand);
            m_code.op(ActionCode::TypeOf);
        } else if (op == "void") {
            expression(operand, false);
            m_code.push(PushUndefined{});
        } else if (op == "delete") {
            if (operand.kind == Kind::Identifier) {
                m_code.pushString(operand.text);
                m_code.op(ActionCode::Delete2);
            } else if (operand.kind == Kind::Member || operand.kind == Kind::Index) {
                value(*operand.children[0]);
                propertyName(operand);
                m_code.op(ActionCode::Delete);
            } else {
                failAt(node, "'delete' needs a variable or property");
            }
        }
    }

    void binary(const SyntaxNode& node)
    {
        if (node.text == ",") {
            expression(*node.children[0], false);
            value(*node.children[1]);
            return;
        }
        value(*node.children[0]);
        value(*node.children[1]);
        if (auto found = binaryActions.find(node.text); found != binaryActions.end()) {
            m_code.op(found->second);
        } else if (auto negated = negatedBinaryActions.find(node.text); negated != negatedBinaryActions.end()) {
            m_code.op(negated->second);
            m_code.op(ActionCode::Not);
        } else {
            failAt(node, "operator '" + node.text + "' is not supported");
        }
    }

    void propertyName(const SyntaxNode& target)
    {
        if (target.kind == Kind::Member)
            m_code.pushString(target.text);
        else
            value(*target.children[1]);
    }

    // Target on the stack: a variable name, or an object and a property name.
    void pushTarget(const SyntaxNode& target)
    {
        if (target.kind == Kind::Identifier) {
            m_code.pushString(target.text);
        } else {
            value(*target.children[0]);
            propertyName(target);
        }
    }

    std::optional<uint8_t> targetRegister(const SyntaxNode& target) const
    {
        return target.kind == Kind::Identifier ? localRegister(target.text) : std::nullopt;
    }

    void storeTarget(const SyntaxNode& target)
    {
        m_code.op(target.kind == Kind::Identifier ? ActionCode::SetVariable : ActionCode::SetMember);
    }

    // a += b reads a again after pushing its place; an object expression in a is evaluated twice.
    void assign(const SyntaxNode& node, bool wanted)
    {
        const SyntaxNode& target = *node.children[0];
        if (const auto local = targetRegister(target)) {
            if (node.text != "=")
                value(target);
            value(*node.children[1]);
            if (node.text != "=")
                m_code.op(binaryActions.at(node.text.substr(0, node.text.size() - 1)));
            m_code.storeRegister(*local);
            if (!wanted)
                m_code.op(ActionCode::Pop);
            return;
        }
        pushTarget(target);
        if (node.text == "=") {
            value(*node.children[1]);
        } else {
            value(target);
            value(*node.children[1]);
            const std::string op = node.text.substr(0, node.text.size() - 1);
            m_code.op(binaryActions.at(op));
        }
        if (wanted)
            m_code.storeRegister(valueRegister);
        storeTarget(target);
        if (wanted)
            m_code.push(PushRegister{valueRegister});
    }

    void update(const SyntaxNode& node, bool wanted)
    {
        const SyntaxNode& target = *node.children[0];
        const bool prefix = node.flag;
        if (wanted && !prefix) {
            value(target);
            m_code.op(ActionCode::ToNumber);
        }
        if (const auto local = targetRegister(target)) {
            value(target);
            m_code.op(node.text == "++" ? ActionCode::Increment : ActionCode::Decrement);
            m_code.storeRegister(*local);
            if (!(wanted && prefix))
                m_code.op(ActionCode::Pop);
            return;
        }
        pushTarget(target);
        value(target);
        m_code.op(node.text == "++" ? ActionCode::Increment : ActionCode::Decrement);
        if (wanted && prefix)
            m_code.storeRegister(valueRegister);
        storeTarget(target);
        if (wanted && prefix)
            m_code.push(PushRegister{valueRegister});
    }

    void pushArguments(const SyntaxNode& node, size_t first)
    {
        for (size_t i = node.children.size(); i > first; --i)
            value(*node.children[i - 1]);
        m_code.pushNumber(double(node.children.size() - first));
    }

    void construct(const SyntaxNode& node)
    {
        pushArguments(node, 1);
        const SyntaxNode& constructor = *node.children[0];
        if (constructor.kind == Kind::Identifier && !localRegister(constructor.text)) {
            m_code.pushString(constructor.text);
            m_code.op(ActionCode::NewObject);
        } else if (constructor.kind == Kind::Member || constructor.kind == Kind::Index) {
            value(*constructor.children[0]);
            propertyName(constructor);
            m_code.op(ActionCode::NewMethod);
        } else {
            value(constructor);
            m_code.push(PushUndefined{});
            m_code.op(ActionCode::NewMethod);
        }
    }

    void call(const SyntaxNode& node, bool wanted)
    {
        const SyntaxNode& callee = *node.children[0];
        if (callee.kind == Kind::Identifier && globalFunction(node, callee.text, wanted))
            return;
        pushArguments(node, 1);
        if (callee.kind == Kind::Identifier && !localRegister(callee.text)) {
            m_code.pushString(callee.text);
            m_code.op(ActionCode::CallFunction);
        } else if (callee.kind == Kind::Member || callee.kind == Kind::Index) {
            value(*callee.children[0]);
            propertyName(callee);
            m_code.op(ActionCode::CallMethod);
        } else {
            // Calling a function value: CallMethod with an undefined name calls the object itself.
            value(callee);
            m_code.push(PushUndefined{});
            m_code.op(ActionCode::CallMethod);
        }
        if (!wanted)
            m_code.op(ActionCode::Pop);
    }

    void expectArguments(const SyntaxNode& node, size_t minimum, size_t maximum)
    {
        const size_t count = node.children.size() - 1;
        if (count < minimum || count > maximum) {
            const std::string& name = node.children[0]->text;
            failAt(node, name + "() takes " + (minimum == maximum ? std::to_string(minimum)
                                                                 : std::to_string(minimum) + " to " + std::to_string(maximum))
                             + " argument" + (maximum == 1 ? "" : "s"));
        }
    }

    // getProperty and setProperty name the property as a bare word, which the actions take as
    // its number in Flash's table of clip properties.
    int propertyIndex(const SyntaxNode& node)
    {
        static constexpr std::array<std::string_view, 22> names{
            "_x", "_y", "_xscale", "_yscale", "_currentframe", "_totalframes", "_alpha", "_visible",
            "_width", "_height", "_rotation", "_target", "_framesloaded", "_name", "_droptarget", "_url",
            "_highquality", "_focusrect", "_soundbuftime", "_quality", "_xmouse", "_ymouse"};
        if (node.kind == Kind::Identifier) {
            for (size_t index = 0; index < names.size(); ++index) {
                if (names[index] == node.text)
                    return int(index);
            }
        }
        failAt(node, "not a clip property: expected a name such as _x or _alpha");
    }

    const SyntaxNode* argument(const SyntaxNode& node, size_t index)
    {
        return index + 1 < node.children.size() ? node.children[index + 1].get() : nullptr;
    }

    // Global functions that Flash's compiler turns into actions of their own. Returns false for
    // every other name, which is then called as an ordinary function.
    bool globalFunction(const SyntaxNode& node, const std::string& name, bool wanted)
    {
        bool producesValue = false;
        if (name == "trace") {
            expectArguments(node, 1, 1);
            value(*argument(node, 0));
            m_code.op(ActionCode::Trace);
        } else if (name == "fscommand") {
            expectArguments(node, 1, 2);
            const SyntaxNode* command = argument(node, 0);
            const SyntaxNode* parameters = argument(node, 1);
            if (command->kind == Kind::String && (!parameters || parameters->kind == Kind::String)) {
                m_code.getUrl("FSCommand:" + command->text, parameters ? parameters->text : "");
            } else {
                m_code.pushString("FSCommand:");
                value(*command);
                m_code.op(ActionCode::Add2);
                if (parameters)
                    value(*parameters);
                else
                    m_code.pushString("");
                m_code.getUrl2(0);
            }
        } else if (name == "getURL") {
            expectArguments(node, 1, 3);
            value(*argument(node, 0));
            if (argument(node, 1))
                value(*argument(node, 1));
            else
                m_code.pushString("");
            m_code.getUrl2(httpMethod(argument(node, 2)));
        } else if (name == "loadMovie" || name == "loadVariables") {
            expectArguments(node, 2, 3);
            value(*argument(node, 0));
            value(*argument(node, 1));
            m_code.getUrl2(uint8_t((name == "loadMovie" ? loadTargetFlag : loadTargetFlag | loadVariablesFlag)
                                   | httpMethod(argument(node, 2))));
        } else if (name == "loadMovieNum" || name == "loadVariablesNum") {
            expectArguments(node, 2, 3);
            value(*argument(node, 0));
            levelTarget(*argument(node, 1));
            m_code.getUrl2(uint8_t((name == "loadMovieNum" ? 0 : loadVariablesFlag) | httpMethod(argument(node, 2))));
        } else if (name == "unloadMovie") {
            expectArguments(node, 1, 1);
            m_code.pushString("");
            value(*argument(node, 0));
            m_code.getUrl2(loadTargetFlag);
        } else if (name == "unloadMovieNum") {
            expectArguments(node, 1, 1);
            m_code.pushString("");
            levelTarget(*argument(node, 0));
            m_code.getUrl2(0);
        } else if (name == "gotoAndStop" || name == "gotoAndPlay") {
            expectArguments(node, 1, 1);
            gotoFrame(*argument(node, 0), name == "gotoAndPlay");
        } else if (name == "play" || name == "stop" || name == "nextFrame" || name == "prevFrame" || name == "stopAllSounds") {
            expectArguments(node, 0, 0);
            m_code.op(name == "play" ? ActionCode::Play : name == "stop" ? ActionCode::Stop
                      : name == "nextFrame" ? ActionCode::NextFrame : name == "prevFrame" ? ActionCode::PreviousFrame
                                                                                          : ActionCode::StopSounds);
        } else if (name == "getTimer") {
            expectArguments(node, 0, 0);
            m_code.op(ActionCode::GetTime);
            producesValue = true;
        } else if (name == "random" || name == "int" || name == "targetPath" || name == "eval") {
            expectArguments(node, 1, 1);
            value(*argument(node, 0));
            m_code.op(name == "random" ? ActionCode::RandomNumber : name == "int" ? ActionCode::ToInteger
                      : name == "targetPath" ? ActionCode::TargetPath : ActionCode::GetVariable);
            producesValue = true;
        } else if (name == "getProperty" || name == "setProperty") {
            const bool setting = name == "setProperty";
            expectArguments(node, setting ? 3 : 2, setting ? 3 : 2);
            value(*argument(node, 0));
            m_code.pushNumber(propertyIndex(*argument(node, 1)));
            if (setting)
                value(*argument(node, 2));
            m_code.op(setting ? ActionCode::SetProperty : ActionCode::GetProperty);
            producesValue = !setting;
        } else if (name == "set") {
            expectArguments(node, 2, 2);
            value(*argument(node, 0));
            value(*argument(node, 1));
            m_code.op(ActionCode::SetVariable);
        } else if (name == "removeMovieClip") {
            expectArguments(node, 1, 1);
            value(*argument(node, 0));
            m_code.op(ActionCode::RemoveSprite);
        } else if (name == "duplicateMovieClip") {
            expectArguments(node, 3, 3);
            value(*argument(node, 0));
            value(*argument(node, 1));
            // Depths given to duplicateMovieClip start above the timeline's reserved range.
            value(*argument(node, 2));
            m_code.pushNumber(16384);
            m_code.op(ActionCode::Add2);
            m_code.op(ActionCode::CloneSprite);
        } else {
            return false;
        }
        if (producesValue && !wanted)
            m_code.op(ActionCode::Pop);
        else if (!producesValue && wanted)
            m_code.push(PushUndefined{});
        return true;
    }

    static uint8_t httpMethod(const SyntaxNode* method)
    {
        if (!method)
            return 0;
        if (method->kind != Kind::String)
            failAt(*method, "the method must be \"GET\" or \"POST\"");
        if (method->text == "GET")
            return 1;
        if (method->text == "POST")
            return 2;
        failAt(*method, "the method must be \"GET\" or \"POST\"");
    }

    void levelTarget(const SyntaxNode& level)
    {
        if (level.kind == Kind::Number) {
            m_code.pushString("_level" + std::to_string(int64_t(level.number)));
        } else {
            m_code.pushString("_level");
            value(level);
            m_code.op(ActionCode::Add2);
        }
    }

    void gotoFrame(const SyntaxNode& frame, bool play)
    {
        if (frame.kind == Kind::Number && frame.number >= 1 && frame.number <= 65536 && frame.number == std::trunc(frame.number)) {
            // Frames count from 1 in scripts and from 0 in the action.
            m_code.gotoFrame(uint16_t(frame.number - 1));
            if (play)
                m_code.op(ActionCode::Play);
        } else if (frame.kind == Kind::String) {
            m_code.gotoLabel(frame.text);
            if (play)
                m_code.op(ActionCode::Play);
        } else {
            value(frame);
            m_code.gotoFrame2(play);
        }
    }

    ActionAssembler& m_code;
    bool m_inFunction;
    std::vector<Loop> m_loops;
    int m_forInDepth = 0;
    // The function's locals kept in registers, by name.
    std::map<std::string, uint8_t> m_locals;
};

} // namespace

CompileResult ScriptCompiler::compile(std::string_view source)
{
    try {
        const SyntaxNodePointer program = parseScript(source);
        ActionAssembler code;
        Compiler compiler(code, false);
        compiler.body(*program);
        if (!code.fitsLengthFields())
            return {{}, CompileError{1, 1, "script too long: a jump, function or value outgrows its 16-bit length; split the script"}};
        return {code.finish(), std::nullopt};
    } catch (const CompileFailure& failure) {
        return {{}, failure.error};
    }
}

} // namespace authoring
