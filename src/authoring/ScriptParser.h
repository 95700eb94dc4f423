#pragma once

#include "ScriptLexer.h"
#include "ScriptSyntax.h"

#include <string_view>

namespace authoring {

// Parses a whole script into a Block node; throws CompileFailure with the place of the first
// syntax error.
SyntaxNodePointer parseScript(std::string_view source);

} // namespace authoring
