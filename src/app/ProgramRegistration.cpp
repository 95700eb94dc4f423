#include "app/ProgramRegistration.h"

namespace app {

platform::DesktopRegistration programRegistration(const QString& executablePath)
{
    platform::DesktopRegistration registration;
    registration.applicationId = QStringLiteral("skarvelle2");
    registration.name = QStringLiteral("Skarvelle 2");
    registration.comment = QStringLiteral("Make textures for game objects from templates");
    registration.executable = executablePath;
    registration.icon = QStringLiteral("skarvelle2");
    registration.categories = {QStringLiteral("Graphics")};
    registration.linkSchemes = {QStringLiteral("skrvtp")};
    registration.fileTypes = {
        {QStringLiteral("application/x-skrvfile"), QStringLiteral("Skarvelle Template"), QStringLiteral("*.skrv")}};
    return registration;
}

void registerWithDesktop(const QString& executablePath)
{
    platform::publishDesktopRegistration(programRegistration(executablePath));
}

} // namespace app
