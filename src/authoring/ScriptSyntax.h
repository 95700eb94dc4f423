#pragma once

#include <memory>
#include <string>
#include <vector>

namespace authoring {

// The syntax tree of an ActionScript 1 script. One node type with a kind keeps the parser and
// the compiler short; the comment on each kind says how its fields are used.
struct SyntaxNode {
    enum class Kind {
        // Expressions
        Number,      // number
        String,      // text
        Boolean,     // flag
        Null,
        Undefined,
        Identifier,  // text = name
        This,
        Member,      // children: object; text = property name
        Index,       // children: object, index
        Call,        // children: callee, arguments...
        New,         // children: constructor, arguments...
        Unary,       // text = operator ("!", "-", "+", "~", "typeof", "delete", "void"); children: operand
        Binary,      // text = operator; children: left, right
        Logical,     // text = "&&" or "||"; children: left, right
        Conditional, // children: condition, then, else
        Assign,      // text = "=", "+=", ...; children: target, value
        Update,      // text = "++" or "--"; flag = prefix; children: target
        ObjectLiteral, // names = keys; children: values
        ArrayLiteral,  // children: elements
        Function,      // text = name (may be empty); names = parameters; children: body block
        // Statements
        ExpressionStatement, // children: expression
        Var,                 // names; children: initialisers (null when absent)
        Block,               // children: statements
        If,                  // children: condition, then, else (may be null)
        While,               // children: condition, body
        DoWhile,             // children: body, condition
        For,                 // children: init, condition, update (each may be null), body
        ForIn,               // text = variable; flag = declared with var; children: object, body
        Return,              // children: value (may be null)
        TellTarget,          // children: target, body
        With,                // children: object, body
        Break,
        Continue,
        FunctionDeclaration, // as Function
        Empty,
    };

    Kind kind = Kind::Empty;
    int line = 0;
    int column = 0;
    std::string text;
    double number = 0.0;
    bool flag = false;
    std::vector<std::string> names;
    std::vector<std::unique_ptr<SyntaxNode>> children;
};

using SyntaxNodePointer = std::unique_ptr<SyntaxNode>;

} // namespace authoring
