#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace platform {

// What a document or address is to be opened for. Linux desktops know only opening; the other
// verbs are kept for callers that ask for them.
enum class LaunchVerb { Open, Explore, Edit, Print, Properties, Find, Play };

// A file, folder, web or mail address to hand to the desktop.
struct LaunchRequest {
    QString target;        // surrounding blanks are ignored; nothing is launched for an empty one
    LaunchVerb verb = LaunchVerb::Open;
    QString parameters;    // may be empty
    QString workingFolder; // where a relative target is looked up; may be empty
    bool showErrors = false; // a failure is also shown in a message box
};

// How a launch went. A failure carries a number, the place that refused it ("SuperShell()" for
// a request without a target, "ShellExecute()" for the desktop's refusal) and a description.
struct LaunchResult {
    bool launched = false;
    std::int32_t errorNumber = 0;
    QString errorSource;
    QString errorDescription;
};

// Opens the target through the desktop. On failure, with showErrors, the error is shown in an
// exclamation box titled "  Error".
LaunchResult launch(const LaunchRequest& request);

// What a desktop answers for one request: a number above 32 when it took it, otherwise a
// failure code (2 file not found, 3 path not found, 31 nothing can open it, ...). The target
// arrives trimmed and never empty.
using LaunchBackend = std::function<int(const LaunchRequest&)>;

// The seam tests use: while a backend is installed, launch() hands every request to it instead
// of the desktop. An empty backend restores the desktop's.
void setLaunchBackend(LaunchBackend backend);

// The desktop's backend. Addresses with a scheme go to the desktop as they are; anything else
// is a local path, which must exist (2 when its folder exists, 3 when that is missing too).
// Linux desktops have no printing, property or search verb for documents, so those answer 31
// as for a document no program can handle.
int launchThroughDesktop(const LaunchRequest& request);

// The text reported for a failure code of the desktop.
QString launchErrorDescription(int code);

} // namespace platform
