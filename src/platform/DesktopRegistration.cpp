#include "platform/DesktopRegistration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace platform {

namespace {

// A word of an Exec line in double quotes, with the characters that the desktop entry format
// reserves inside quotes escaped, and "%" doubled since a single one starts a field code.
QString quotedExecWord(const QString& word)
{
    QString quoted = QStringLiteral("\"");
    for (QChar character : word) {
        if (character == QLatin1Char('"') || character == QLatin1Char('`') || character == QLatin1Char('$')
            || character == QLatin1Char('\\'))
            quoted.append(QLatin1Char('\\'));
        if (character == QLatin1Char('%'))
            quoted.append(QLatin1Char('%'));
        quoted.append(character);
    }
    quoted.append(QLatin1Char('"'));
    return quoted;
}

// A desktop entry value: line breaks would start a new key, so they are written as escapes.
QString entryValue(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    text.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return text;
}

// Writes only when the content differs, through a temporary name renamed into place; true when
// the file now holds new content.
bool writeFileIfChanged(const QString& path, const QByteArray& content)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
        return false;
    existing.close();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(content);
    return file.commit();
}

} // namespace

QString desktopExecLine(const QString& executable)
{
    // The entry's values are strings with their own escapes, so each backslash is doubled again.
    QString line = quotedExecWord(executable) + QStringLiteral(" %u");
    line.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return line;
}

DesktopFiles desktopFilesFor(const DesktopRegistration& registration)
{
    DesktopFiles files;
    files.desktopFileName = registration.applicationId + QStringLiteral(".desktop");
    for (const QString& scheme : registration.linkSchemes)
        files.mimeTypes.append(QStringLiteral("x-scheme-handler/") + scheme);

    QString packageBody;
    for (const DesktopFileType& type : registration.fileTypes) {
        files.mimeTypes.append(type.mimeType);
        packageBody += QStringLiteral("  <mime-type type=\"%1\">\n").arg(type.mimeType.toHtmlEscaped());
        if (!type.description.isEmpty())
            packageBody += QStringLiteral("    <comment>%1</comment>\n").arg(type.description.toHtmlEscaped());
        if (!type.glob.isEmpty())
            packageBody += QStringLiteral("    <glob pattern=\"%1\"/>\n").arg(type.glob.toHtmlEscaped());
        packageBody += QStringLiteral("  </mime-type>\n");
    }
    if (!packageBody.isEmpty()) {
        files.mimePackageName = registration.applicationId + QStringLiteral(".xml");
        files.mimePackage = (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n")
                             + packageBody + QStringLiteral("</mime-info>\n"))
                                .toUtf8();
    }

    QString entry = QStringLiteral("[Desktop Entry]\nType=Application\n");
    entry += QStringLiteral("Name=%1\n").arg(entryValue(registration.name));
    if (!registration.comment.isEmpty())
        entry += QStringLiteral("Comment=%1\n").arg(entryValue(registration.comment));
    if (!registration.icon.isEmpty())
        entry += QStringLiteral("Icon=%1\n").arg(entryValue(registration.icon));
    entry += QStringLiteral("Exec=%1\n").arg(desktopExecLine(registration.executable));
    entry += QStringLiteral("Terminal=false\n");
    if (!registration.categories.isEmpty())
        entry += QStringLiteral("Categories=%1;\n").arg(registration.categories.join(QLatin1Char(';')));
    if (!files.mimeTypes.isEmpty())
        entry += QStringLiteral("MimeType=%1;\n").arg(files.mimeTypes.join(QLatin1Char(';')));
    files.desktopEntry = entry.toUtf8();
    return files;
}

void startDesktopTool(const QString& program, const QStringList& arguments)
{
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return;
    QProcess process;
    process.setProgram(path);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.startDetached();
}

bool publishDesktopRegistration(const DesktopRegistration& registration, const QString& dataFolder,
                                const DesktopToolRunner& runner)
{
    if (registration.applicationId.isEmpty() || registration.executable.isEmpty())
        return false;
    const DesktopFiles files = desktopFilesFor(registration);
    const QString folder = dataFolder.isEmpty() ? userDataFolder() : dataFolder;
    const QString applications = folder + QStringLiteral("/applications");
    const QString mime = folder + QStringLiteral("/mime");

    bool changed = writeFileIfChanged(applications + QLatin1Char('/') + files.desktopFileName, files.desktopEntry);
    bool mimeChanged = false;
    if (!files.mimePackage.isEmpty())
        mimeChanged = writeFileIfChanged(mime + QStringLiteral("/packages/") + files.mimePackageName, files.mimePackage);
    changed = changed || mimeChanged;
    if (!changed)
        return false;

    const DesktopToolRunner run = runner ? runner : DesktopToolRunner(startDesktopTool);
    if (mimeChanged)
        run(QStringLiteral("update-mime-database"), {mime});
    run(QStringLiteral("update-desktop-database"), {applications});
    if (!files.mimeTypes.isEmpty())
        run(QStringLiteral("xdg-mime"), QStringList{QStringLiteral("default"), files.desktopFileName} + files.mimeTypes);
    return true;
}

QString userDataFolder()
{
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!dataHome.isEmpty() && QDir::isAbsolutePath(dataHome))
        return dataHome;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

} // namespace platform
