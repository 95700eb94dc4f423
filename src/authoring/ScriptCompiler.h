#pragma once

#include "ActionAssembler.h"
#include "CompileError.h"

#include <QByteArray>

#include <optional>
#include <string_view>

namespace authoring {

struct CompileResult {
    QByteArray actions; // ends with the End action; empty on error
    std::optional<CompileError> error;

    bool ok() const { return !error; }
};

// Compiles the ActionScript 1 that templates use into AVM1 actions for SWF 6 to 8 movies:
// statements, operators, functions (as DefineFunction2), objects and arrays, and the global
// functions (trace, fscommand, loadMovie, gotoAndStop ...) as their dedicated actions.
class ScriptCompiler {
public:
    static CompileResult compile(std::string_view source);
};

} // namespace authoring
