#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace platform {

// What SuperShell asks of the desktop.
struct ShellRequest {
    QString verb;          // "open", "explore", "edit", "print", "properties", "find", "play"
    QString target;        // trimmed, never empty
    QString parameters;    // may be empty
    QString workingFolder; // may be empty
    std::int32_t showMode = 1;
    std::int32_t owner = 0;
};

// A launch answers like the shell did: a number above 32 on success, otherwise a failure code
// (2 file not found, 3 path not found, 31 nothing can open it, ...).
using ShellLauncher = std::function<int(const ShellRequest&)>;

// Opens a file, folder, web or mail address through the desktop. Returns true when the desktop
// took it; otherwise false with the failure's number, source ("SuperShell()" or
// "ShellExecute()") and description in the out-parameters, and, when showErrors is true, in an
// exclamation box titled "  Error". verbNumber 1 to 6 picks "explore", "edit", "print",
// "properties", "find", "play"; any other number "open". An owner of -1 means the program itself.
bool SuperShell(const QString& target, const QString& parameters, std::int32_t verbNumber, std::int32_t showMode,
    const QString& workingFolder, std::int32_t owner, bool showErrors, std::int32_t& errorNumber,
    QString& errorSource, QString& errorDescription);

// The text that SuperShell reports for a failure code of the shell.
QString shellErrorDescription(int code);

// The seam tests use: while a launcher is installed, SuperShell hands every request to it
// instead of the desktop. An empty launcher restores the desktop's.
void setShellLauncher(ShellLauncher launcher);

// The desktop's launcher. Addresses with a scheme go to the desktop as they are; anything else
// is a local path, which must exist (2 when its folder exists, 3 when that is missing too).
// Linux desktops have no printing, property or search verb for documents, so "print",
// "properties" and "find" answer 31 as for a document no program can handle.
int launchThroughDesktop(const ShellRequest& request);

} // namespace platform
