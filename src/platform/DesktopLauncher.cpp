#include "platform/DesktopLauncher.h"

#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace platform {

namespace {

// Any value above 32 meant success to the callers; this is the one the desktop launcher gives.
constexpr int launchAccepted = 42;
constexpr int noAssociation = 31;

LaunchBackend& installedBackend()
{
    static LaunchBackend backend;
    return backend;
}

// "http://...", "mailto:..." and the like; a single letter before ":" would be a drive, never
// a scheme, and a path with "/" before its first ":" is a path.
bool hasScheme(const QString& target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(target).hasMatch();
}

} // namespace

QString launchErrorDescription(int code)
{
    switch (code) {
    case 0: return QStringLiteral("The operating system is out of memory or resources.");
    case 2: return QStringLiteral("The specified file was not found.");
    case 3: return QStringLiteral("The specified path was not found.");
    case 5: return QStringLiteral("The operating system denied access to the specified file.");
    case 8: return QStringLiteral("There was not enough memory to complete the operation.");
    case 11: return QStringLiteral("The .exe file is invalid (non-Win32\u00AE .exe or error in .exe image).");
    case 26: return QStringLiteral("A sharing violation occurred.");
    case 27: return QStringLiteral("The file name association is incomplete or invalid.");
    case 28: return QStringLiteral("The DDE transaction could not be completed because the request timed out.");
    case 29: return QStringLiteral("The DDE transaction failed.");
    case 30:
        return QStringLiteral("The DDE transaction could not be completed because other DDE transactions were being processed.");
    case 31:
        return QStringLiteral("There is no application associated with the given file name extension. "
                              "This error will also be returned if you attempt to print a file that is not printable.");
    case 32: return QStringLiteral("The specified dynamic-link library was not found.");
    default: return QStringLiteral("Unknown Error");
    }
}

void setLaunchBackend(LaunchBackend backend)
{
    installedBackend() = std::move(backend);
}

int launchThroughDesktop(const LaunchRequest& request)
{
    if (request.verb == LaunchVerb::Print || request.verb == LaunchVerb::Properties || request.verb == LaunchVerb::Find)
        return noAssociation;
    QUrl url;
    if (hasScheme(request.target)) {
        url = QUrl(request.target);
        if (!url.isValid())
            return 2;
    } else {
        QString path = request.target;
        if (QDir::isRelativePath(path) && !request.workingFolder.isEmpty())
            path = QDir(request.workingFolder).filePath(path);
        const QFileInfo file(path);
        if (!file.exists())
            return file.absoluteDir().exists() ? 2 : 3;
        url = QUrl::fromLocalFile(file.absoluteFilePath());
    }
    return QDesktopServices::openUrl(url) ? launchAccepted : noAssociation;
}

LaunchResult launch(const LaunchRequest& request)
{
    LaunchResult result;
    const QString target = request.target.trimmed();
    if (target.isEmpty()) {
        result.errorNumber = -1;
        result.errorSource = QStringLiteral("SuperShell()");
        result.errorDescription = QStringLiteral("No file, Email, or URL specified to open");
    } else {
        LaunchRequest trimmed = request;
        trimmed.target = target;
        const LaunchBackend& backend = installedBackend();
        const int code = backend ? backend(trimmed) : launchThroughDesktop(trimmed);
        if (code > 32) {
            result.launched = true;
            return result;
        }
        result.errorNumber = code;
        result.errorSource = QStringLiteral("ShellExecute()");
        result.errorDescription = launchErrorDescription(code);
    }

    if (request.showErrors) {
        // Qt's message box breaks lines at "\n"; a lone carriage return would not show as one.
        MessageRequest box;
        box.title = QStringLiteral("  Error");
        box.icon = MessageIcon::Exclamation;
        box.buttons = MessageButtons::Ok;
        box.text = QStringLiteral("The following error occured while trying to open the specified file, folder, URL, "
                                  "Email, or document:\n\nError Number = %1\nError Source = %2\nError Description = %3")
                       .arg(result.errorNumber)
                       .arg(result.errorSource, result.errorDescription);
        showMessage(box);
    }
    return result;
}

} // namespace platform
