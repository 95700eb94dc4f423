#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace authoring {

struct ScriptToken {
    enum class Kind { Identifier, Keyword, Number, String, Punctuator, End };
    Kind kind = Kind::End;
    std::string text; // identifier, keyword or punctuator spelling; a string's decoded value
    double number = 0.0;
    int line = 1;
    int column = 1;
    bool newlineBefore = false; // for semicolons left out at line ends

    bool is(Kind k, std::string_view spelling) const { return kind == k && text == spelling; }
    bool isPunctuator(std::string_view spelling) const { return is(Kind::Punctuator, spelling); }
    bool isKeyword(std::string_view spelling) const { return is(Kind::Keyword, spelling); }
};

// Splits ActionScript source into tokens; throws CompileFailure at the first bad character,
// unterminated string or comment.
std::vector<ScriptToken> tokenizeScript(std::string_view source);

} // namespace authoring
