#include "ScriptParser.h"

#include "CompileError.h"

#include <array>

namespace authoring {

namespace {

using Kind = SyntaxNode::Kind;
using TokenKind = ScriptToken::Kind;

// Binary operators by precedence level, loosest first.
const std::vector<std::vector<std::string>> binaryLevels = {
    {"|"}, {"^"}, {"&"}, {"==", "!=", "===", "!=="}, {"<", ">", "<=", ">=", "instanceof"},
    {"<<", ">>", ">>>"}, {"+", "-"}, {"*", "/", "%"},
};

constexpr std::array assignmentOperators = {"=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>=", ">>>="};

class Parser {
public:
    explicit Parser(std::vector<ScriptToken> tokens) : m_tokens(std::move(tokens)) {}

    SyntaxNodePointer program()
    {
        auto block = node(Kind::Block, current());
        while (current().kind != TokenKind::End)
            block->children.push_back(statement());
        return block;
    }

private:
    // Bounds the parser's (and so the compiler's) recursion, so that a script of a hundred
    // thousand "(" is an error rather than a stack overflow.
    static constexpr int maximumNesting = 400;

    class NestingGuard {
    public:
        NestingGuard(Parser& parser) : m_parser(parser)
        {
            if (++m_parser.m_nesting > maximumNesting)
                m_parser.failAt(m_parser.current(), "nested too deeply");
        }
        ~NestingGuard() { --m_parser.m_nesting; }

    private:
        Parser& m_parser;
    };

    // A left-leaning chain (a + b + c ..., a.b.c ...) is parsed in a loop but compiled by
    // recursion, so each link counts as one level of nesting too.
    class ChainDepth {
    public:
        ChainDepth(Parser& parser) : m_parser(parser) {}
        ~ChainDepth() { m_parser.m_nesting -= m_links; }
        void addLink()
        {
            ++m_links;
            if (++m_parser.m_nesting > maximumNesting)
                m_parser.failAt(m_parser.current(), "nested too deeply");
        }

    private:
        Parser& m_parser;
        int m_links = 0;
    };

    const ScriptToken& current() const { return m_tokens[m_index]; }
    const ScriptToken& next() const { return m_tokens[std::min(m_index + 1, m_tokens.size() - 1)]; }
    void skip() { if (m_index + 1 < m_tokens.size()) ++m_index; }

    [[noreturn]] void failAt(const ScriptToken& token, const std::string& message)
    {
        throw CompileFailure({token.line, token.column, message});
    }

    static std::string describe(const ScriptToken& token)
    {
        switch (token.kind) {
        case TokenKind::End: return "end of script";
        case TokenKind::String: return "a string";
        case TokenKind::Number: return "number " + token.text;
        default: return "'" + token.text + "'";
        }
    }

    bool acceptPunctuator(std::string_view spelling)
    {
        if (!current().isPunctuator(spelling))
            return false;
        skip();
        return true;
    }

    void expectPunctuator(std::string_view spelling)
    {
        if (!acceptPunctuator(spelling))
            failAt(current(), "expected '" + std::string(spelling) + "' but found " + describe(current()));
    }

    void expectKeyword(std::string_view spelling)
    {
        if (!current().isKeyword(spelling))
            failAt(current(), "expected '" + std::string(spelling) + "' but found " + describe(current()));
        skip();
    }

    std::string expectIdentifier()
    {
        if (current().kind != TokenKind::Identifier)
            failAt(current(), "expected a name but found " + describe(current()));
        std::string name = current().text;
        skip();
        return name;
    }

    // A statement ends at ';', or without one before '}', at the end, or at a line break.
    void endStatement()
    {
        if (acceptPunctuator(";"))
            return;
        if (current().isPunctuator("}") || current().kind == TokenKind::End || current().newlineBefore)
            return;
        failAt(current(), "expected ';' but found " + describe(current()));
    }

    static SyntaxNodePointer node(Kind kind, const ScriptToken& at)
    {
        auto result = std::make_unique<SyntaxNode>();
        result->kind = kind;
        result->line = at.line;
        result->column = at.column;
        return result;
    }

    SyntaxNodePointer statement()
    {
        const NestingGuard guard(*this);
        const ScriptToken& start = current();
        if (start.isPunctuator("{")) {
            skip();
            auto block = node(Kind::Block, start);
            while (!current().isPunctuator("}")) {
                if (current().kind == TokenKind::End)
                    failAt(current(), "expected '}' but found end of script");
                block->children.push_back(statement());
            }
            skip();
            return block;
        }
        if (start.isPunctuator(";")) {
            skip();
            return node(Kind::Empty, start);
        }
        if (start.isKeyword("var")) {
            skip();
            auto result = varList(start);
            endStatement();
            return result;
        }
        if (start.isKeyword("function") && next().kind == TokenKind::Identifier) {
            skip();
            return function(Kind::FunctionDeclaration, start);
        }
        if (start.isKeyword("if")) {
            skip();
            auto result = node(Kind::If, start);
            result->children.push_back(parenthesised());
            result->children.push_back(statement());
            if (current().isKeyword("else")) {
                skip();
                result->children.push_back(statement());
            } else {
                result->children.push_back(nullptr);
            }
            return result;
        }
        // tellTarget and with read as a call followed by a statement; they are words, not keywords.
        if ((start.is(TokenKind::Identifier, "tellTarget") || start.is(TokenKind::Identifier, "with"))
            && next().isPunctuator("(")) {
            skip();
            auto result = node(start.text == "with" ? Kind::With : Kind::TellTarget, start);
            result->children.push_back(parenthesised());
            result->children.push_back(statement());
            return result;
        }
        if (start.isKeyword("while")) {
            skip();
            auto result = node(Kind::While, start);
            result->children.push_back(parenthesised());
            result->children.push_back(statement());
            return result;
        }
        if (start.isKeyword("do")) {
            skip();
            auto result = node(Kind::DoWhile, start);
            result->children.push_back(statement());
            expectKeyword("while");
            result->children.push_back(parenthesised());
            endStatement();
            return result;
        }
        if (start.isKeyword("for"))
            return forStatement();
        if (start.isKeyword("return")) {
            skip();
            auto result = node(Kind::Return, start);
            const bool hasValue = !current().isPunctuator(";") && !current().isPunctuator("}")
                && current().kind != TokenKind::End && !current().newlineBefore;
            result->children.push_back(hasValue ? expression() : nullptr);
            endStatement();
            return result;
        }
        if (start.isKeyword("break") || start.isKeyword("continue")) {
            skip();
            auto result = node(start.text == "break" ? Kind::Break : Kind::Continue, start);
            endStatement();
            return result;
        }
        auto result = node(Kind::ExpressionStatement, start);
        result->children.push_back(expression());
        endStatement();
        return result;
    }

    SyntaxNodePointer varList(const ScriptToken& start)
    {
        auto result = node(Kind::Var, start);
        do {
            result->names.push_back(expectIdentifier());
            result->children.push_back(acceptPunctuator("=") ? assignment() : nullptr);
        } while (acceptPunctuator(","));
        return result;
    }

    SyntaxNodePointer parenthesised()
    {
        expectPunctuator("(");
        auto result = expression();
        expectPunctuator(")");
        return result;
    }

    SyntaxNodePointer forStatement()
    {
        const ScriptToken& start = current();
        skip();
        expectPunctuator("(");
        // for (var name in object) and for (name in object)
        const bool declared = current().isKeyword("var");
        const size_t nameIndex = m_index + (declared ? 1 : 0);
        if (m_tokens[nameIndex].kind == TokenKind::Identifier && nameIndex + 1 < m_tokens.size()
            && m_tokens[nameIndex + 1].isKeyword("in")) {
            m_index = nameIndex;
            auto result = node(Kind::ForIn, start);
            result->text = expectIdentifier();
            result->flag = declared;
            skip(); // in
            result->children.push_back(expression());
            expectPunctuator(")");
            result->children.push_back(statement());
            return result;
        }
        auto result = node(Kind::For, start);
        if (current().isPunctuator(";")) {
            result->children.push_back(nullptr);
        } else if (current().isKeyword("var")) {
            const ScriptToken& varToken = current();
            skip();
            result->children.push_back(varList(varToken));
        } else {
            auto init = node(Kind::ExpressionStatement, current());
            init->children.push_back(expression());
            result->children.push_back(std::move(init));
        }
        expectPunctuator(";");
        result->children.push_back(current().isPunctuator(";") ? nullptr : expression());
        expectPunctuator(";");
        result->children.push_back(current().isPunctuator(")") ? nullptr : expression());
        expectPunctuator(")");
        result->children.push_back(statement());
        return result;
    }

    // After the keyword "function": optional name, parameters and body.
    SyntaxNodePointer function(Kind kind, const ScriptToken& start)
    {
        auto result = node(kind, start);
        if (current().kind == TokenKind::Identifier)
            result->text = expectIdentifier();
        expectPunctuator("(");
        if (!current().isPunctuator(")")) {
            do {
                result->names.push_back(expectIdentifier());
            } while (acceptPunctuator(","));
        }
        expectPunctuator(")");
        if (!current().isPunctuator("{"))
            failAt(current(), "expected '{' but found " + describe(current()));
        result->children.push_back(statement());
        return result;
    }

    SyntaxNodePointer expression()
    {
        auto result = assignment();
        ChainDepth chain(*this);
        // The comma operator: evaluate left, keep right.
        while (current().isPunctuator(",")) {
            chain.addLink();
            const ScriptToken& at = current();
            skip();
            auto sequence = node(Kind::Binary, at);
            sequence->text = ",";
            sequence->children.push_back(std::move(result));
            sequence->children.push_back(assignment());
            result = std::move(sequence);
        }
        return result;
    }

    static bool isAssignable(const SyntaxNode& target)
    {
        return target.kind == Kind::Identifier || target.kind == Kind::Member || target.kind == Kind::Index;
    }

    SyntaxNodePointer assignment()
    {
        const NestingGuard guard(*this);
        const ScriptToken& start = current();
        auto target = conditional();
        for (const char* op : assignmentOperators) {
            if (current().isPunctuator(op)) {
                if (!isAssignable(*target))
                    failAt(current(), "cannot assign to this expression");
                const ScriptToken& at = current();
                skip();
                auto result = node(Kind::Assign, at);
                result->line = start.line;
                result->column = start.column;
                result->text = op;
                result->children.push_back(std::move(target));
                result->children.push_back(assignment());
                return result;
            }
        }
        return target;
    }

    SyntaxNodePointer conditional()
    {
        auto condition = logical(0);
        if (!current().isPunctuator("?"))
            return condition;
        auto result = node(Kind::Conditional, current());
        skip();
        result->children.push_back(std::move(condition));
        result->children.push_back(assignment());
        expectPunctuator(":");
        result->children.push_back(assignment());
        return result;
    }

    // level 0: "||", level 1: "&&", then the binary levels.
    SyntaxNodePointer logical(int level)
    {
        if (level >= 2)
            return binary(0);
        const char* op = level == 0 ? "||" : "&&";
        auto left = logical(level + 1);
        ChainDepth chain(*this);
        while (current().isPunctuator(op)) {
            chain.addLink();
            auto result = node(Kind::Logical, current());
            skip();
            result->text = op;
            result->children.push_back(std::move(left));
            result->children.push_back(logical(level + 1));
            left = std::move(result);
        }
        return left;
    }

    bool atBinaryOperator(int level) const
    {
        for (const std::string& op : binaryLevels[size_t(level)]) {
            if ((current().kind == TokenKind::Punctuator || current().kind == TokenKind::Keyword) && current().text == op)
                return true;
        }
        return false;
    }

    SyntaxNodePointer binary(int level)
    {
        if (level >= int(binaryLevels.size()))
            return unary();
        auto left = binary(level + 1);
        ChainDepth chain(*this);
        while (atBinaryOperator(level)) {
            chain.addLink();
            auto result = node(Kind::Binary, current());
            result->text = current().text;
            skip();
            result->children.push_back(std::move(left));
            result->children.push_back(binary(level + 1));
            left = std::move(result);
        }
        return left;
    }

    SyntaxNodePointer unary()
    {
        const NestingGuard guard(*this);
        const ScriptToken& start = current();
        if (start.isPunctuator("++") || start.isPunctuator("--")) {
            skip();
            auto result = node(Kind::Update, start);
            result->text = start.text;
            result->flag = true;
            auto target = unary();
            if (!isAssignable(*target))
                failAt(start, "'" + start.text + "' needs a variable or property");
            result->children.push_back(std::move(target));
            return result;
        }
        const bool isUnaryOperator = start.isPunctuator("!") || start.isPunctuator("-") || start.isPunctuator("+")
            || start.isPunctuator("~") || start.isKeyword("typeof") || start.isKeyword("delete") || start.isKeyword("void");
        if (isUnaryOperator) {
            skip();
            auto result = node(Kind::Unary, start);
            result->text = start.text;
            result->children.push_back(unary());
            return result;
        }
        return postfix();
    }

    SyntaxNodePointer postfix()
    {
        auto operand = callOrMember();
        if ((current().isPunctuator("++") || current().isPunctuator("--")) && !current().newlineBefore) {
            if (!isAssignable(*operand))
                failAt(current(), "'" + current().text + "' needs a variable or property");
            auto result = node(Kind::Update, current());
            result->text = current().text;
            skip();
            result->children.push_back(std::move(operand));
            return result;
        }
        return operand;
    }

    void arguments(SyntaxNode& call)
    {
        expectPunctuator("(");
        if (!current().isPunctuator(")")) {
            do {
                call.children.push_back(assignment());
            } while (acceptPunctuator(","));
        }
        expectPunctuator(")");
    }

    SyntaxNodePointer callOrMember()
    {
        SyntaxNodePointer result;
        if (current().isKeyword("new")) {
            const ScriptToken& start = current();
            skip();
            auto constructed = node(Kind::New, start);
            // The constructor is a member chain without calls: new a.b.C(x)
            auto callee = primary();
            ChainDepth calleeChain(*this);
            while (current().isPunctuator(".") || current().isPunctuator("[")) {
                calleeChain.addLink();
                callee = memberSuffix(std::move(callee));
            }
            constructed->children.push_back(std::move(callee));
            if (current().isPunctuator("("))
                arguments(*constructed);
            result = std::move(constructed);
        } else {
            result = primary();
        }
        ChainDepth chain(*this);
        while (true) {
            chain.addLink();
            if (current().isPunctuator(".") || current().isPunctuator("[")) {
                result = memberSuffix(std::move(result));
            } else if (current().isPunctuator("(")) {
                auto call = node(Kind::Call, current());
                call->line = result->line;
                call->column = result->column;
                call->children.push_back(std::move(result));
                arguments(*call);
                result = std::move(call);
            } else {
                return result;
            }
        }
    }

    SyntaxNodePointer memberSuffix(SyntaxNodePointer object)
    {
        const ScriptToken& at = current();
        if (acceptPunctuator(".")) {
            // Keywords are fine as property names after a dot (o.delete, clip.new).
            if (current().kind != TokenKind::Identifier && current().kind != TokenKind::Keyword)
                failAt(current(), "expected a property name but found " + describe(current()));
            auto result = node(Kind::Member, at);
            result->text = current().text;
            skip();
            result->children.push_back(std::move(object));
            return result;
        }
        expectPunctuator("[");
        auto result = node(Kind::Index, at);
        result->children.push_back(std::move(object));
        result->children.push_back(expression());
        expectPunctuator("]");
        return result;
    }

    SyntaxNodePointer primary()
    {
        const ScriptToken& start = current();
        switch (start.kind) {
        case TokenKind::Number: {
            skip();
            auto result = node(Kind::Number, start);
            result->number = start.number;
            return result;
        }
        case TokenKind::String: {
            skip();
            auto result = node(Kind::String, start);
            result->text = start.text;
            return result;
        }
        case TokenKind::Identifier: {
            skip();
            auto result = node(Kind::Identifier, start);
            result->text = start.text;
            return result;
        }
        case TokenKind::Keyword:
            if (start.text == "true" || start.text == "false") {
                skip();
                auto result = node(Kind::Boolean, start);
                result->flag = start.text == "true";
                return result;
            }
            if (start.text == "null" || start.text == "undefined" || start.text == "this") {
                skip();
                return node(start.text == "null" ? Kind::Null : start.text == "this" ? Kind::This : Kind::Undefined, start);
            }
            if (start.text == "function") {
                skip();
                return function(Kind::Function, start);
            }
            break;
        case TokenKind::Punctuator:
            if (start.text == "(") {
                skip();
                auto result = expression();
                expectPunctuator(")");
                return result;
            }
            if (start.text == "[") {
                skip();
                auto result = node(Kind::ArrayLiteral, start);
                if (!current().isPunctuator("]")) {
                    do {
                        result->children.push_back(assignment());
                    } while (acceptPunctuator(","));
                }
                expectPunctuator("]");
                return result;
            }
            if (start.text == "{") {
                skip();
                return objectLiteral(start);
            }
            break;
        case TokenKind::End:
            break;
        }
        failAt(start, "unexpected " + describe(start));
    }

    SyntaxNodePointer objectLiteral(const ScriptToken& start)
    {
        auto result = node(Kind::ObjectLiteral, start);
        if (!current().isPunctuator("}")) {
            do {
                const ScriptToken& key = current();
                if (key.kind == TokenKind::Identifier || key.kind == TokenKind::Keyword || key.kind == TokenKind::String) {
                    result->names.push_back(key.text);
                } else if (key.kind == TokenKind::Number) {
                    result->names.push_back(key.text);
                } else {
                    failAt(key, "expected a property name but found " + describe(key));
                }
                skip();
                expectPunctuator(":");
                result->children.push_back(assignment());
            } while (acceptPunctuator(","));
        }
        expectPunctuator("}");
        return result;
    }

    std::vector<ScriptToken> m_tokens;
    size_t m_index = 0;
    int m_nesting = 0;
};

} // namespace

SyntaxNodePointer parseScript(std::string_view source)
{
    return Parser(tokenizeScript(source)).program();
}

} // namespace authoring
