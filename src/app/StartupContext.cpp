#include "app/StartupContext.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace app {

StartupContext StartupContext::fromApplication()
{
    StartupContext context;
    const QFileInfo executable(QCoreApplication::applicationFilePath());
    context.programFolder = executable.absolutePath();
    context.executableName = executable.fileName();
    context.arguments = QCoreApplication::arguments().mid(1);
    return context;
}

bool StartupContext::runsFromOwnExecutable() const
{
    return executableName == ProgramExecutableName && QFileInfo(programFilePath(executableName)).isFile();
}

QString StartupContext::programFilePath(const QString& fileName) const
{
    return programFolder + QLatin1Char('/') + fileName;
}

} // namespace app
