#include "platform/modSuperShell.h"

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

ShellLauncher& installedLauncher()
{
    static ShellLauncher launcher;
    return launcher;
}

QString verbFor(std::int32_t verbNumber)
{
    switch (verbNumber) {
    case 1: return QStringLiteral("explore");
    case 2: return QStringLiteral("edit");
    case 3: return QStringLiteral("print");
    case 4: return QStringLiteral("properties");
    case 5: return QStringLiteral("find");
    case 6: return QStringLiteral("play");
    default: return QStringLiteral("open");
    }
}

// "http://...", "mailto:..." and the like; a single letter before ":" would be a drive, never
// a scheme, and a path with "/" before its first ":" is a path.
bool hasScheme(const QString& target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(target).hasMatch();
}

} // namespace

QString shellErrorDescription(int code)
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

void setShellLauncher(ShellLauncher launcher)
{
    installedLauncher() = std::move(launcher);
}

int launchThroughDesktop(const ShellRequest& request)
{
    if (request.verb == QLatin1String("print") || request.verb == QLatin1String("properties")
        || request.verb == QLatin1String("find"))
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

bool SuperShell(const QString& target, const QString& parameters, std::int32_t verbNumber, std::int32_t showMode,
    const QString& workingFolder, std::int32_t owner, bool showErrors, std::int32_t& errorNumber,
    QString& errorSource, QString& errorDescription)
{
    errorNumber = 0;
    errorSource.clear();
    errorDescription.clear();

    const QString trimmedTarget = target.trimmed();
    if (trimmedTarget.isEmpty()) {
        errorNumber = -1;
        errorSource = QStringLiteral("SuperShell()");
        errorDescription = QStringLiteral("No file, Email, or URL specified to open");
    } else {
        ShellRequest request;
        request.verb = verbFor(verbNumber);
        request.target = trimmedTarget;
        request.parameters = parameters;
        request.workingFolder = workingFolder;
        request.showMode = showMode;
        // The program has no instance handle on Linux; 0 stands for "the program itself".
        request.owner = owner == -1 ? 0 : owner;
        const ShellLauncher& launcher = installedLauncher();
        const int result = launcher ? launcher(request) : launchThroughDesktop(request);
        if (result > 32)
            return true;
        errorNumber = result;
        errorSource = QStringLiteral("ShellExecute()");
        errorDescription = shellErrorDescription(result);
    }

    if (showErrors) {
        // Qt's message box breaks lines at "\n"; a lone carriage return would not show as one.
        MessageRequest box;
        box.title = QStringLiteral("  Error");
        box.icon = MessageIcon::Exclamation;
        box.buttons = MessageButtons::Ok;
        box.text = QStringLiteral("The following error occured while trying to open the specified file, folder, URL, "
                                  "Email, or document:\n\nError Number = %1\nError Source = %2\nError Description = %3")
                       .arg(errorNumber)
                       .arg(errorSource, errorDescription);
        showMessage(box);
    }
    return false;
}

} // namespace platform
