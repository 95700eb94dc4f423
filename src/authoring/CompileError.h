#pragma once

#include <stdexcept>
#include <string>

namespace authoring {

// A syntax or compile error at a place in the script (1-based line and column).
struct CompileError {
    int line = 0;
    int column = 0;
    std::string message;

    // "file.as:12:5: expected ')'"
    std::string describe(const std::string& fileName) const
    {
        return fileName + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + message;
    }
};

// Thrown inside the lexer, parser and compiler; ScriptCompiler::compile turns it into a value.
struct CompileFailure : std::runtime_error {
    explicit CompileFailure(CompileError error) : std::runtime_error(error.message), error(std::move(error)) {}
    CompileError error;
};

} // namespace authoring
