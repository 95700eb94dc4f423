#include "app/StartupContext.h"

#include "platform/DesktopRegistration.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace app {

StartupContext StartupContext::fromApplication()
{
    StartupContext context;
    const QFileInfo executable(QCoreApplication::applicationFilePath());
    context.programFolder = executable.absolutePath();
    context.executableName = executable.fileName();
    context.contentFolder = contentFolderFor(context.programFolder);
    context.arguments = QCoreApplication::arguments().mid(1);
    return context;
}

bool StartupContext::runsFromOwnExecutable() const
{
    return executableName == ProgramExecutableName && QFileInfo(executablePath()).isFile();
}

QString StartupContext::executablePath() const
{
    return programFolder + QLatin1Char('/') + executableName;
}

QString StartupContext::contentFolderPath() const
{
    return contentFolder.isEmpty() ? programFolder : contentFolder;
}

QString StartupContext::contentFilePath(const QString& fileName) const
{
    return contentFolderPath() + QLatin1Char('/') + fileName;
}

QString StartupContext::userTemplateFolderPath() const
{
    if (!userTemplateFolder.isEmpty())
        return userTemplateFolder;
    return platform::userDataFolder() + QStringLiteral("/skarvelle2/templates");
}

QString contentFolderFor(const QString& programFolder)
{
    if (QFileInfo(programFolder + QStringLiteral("/Effects.swf")).isFile())
        return programFolder;
    const QString shared = QDir::cleanPath(programFolder + QStringLiteral("/../share/skarvelle2"));
    if (QFileInfo(shared).isDir())
        return shared;
    return programFolder;
}

} // namespace app
