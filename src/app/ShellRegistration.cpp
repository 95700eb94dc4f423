#include "app/ShellRegistration.h"

#include "platform/ClassAssociations.h"
#include "platform/modRegistry.h"

namespace app {

using platform::CreateRegistryKey;
using platform::HKEY_CLASSES_ROOT;
using platform::SetRegistryDword;
using platform::SetRegistryString;

QString registrationCommandText(const QString& programFolder, const QString& executableName)
{
    return QStringLiteral("\"") + programFolder + QLatin1Char('/') + executableName + QStringLiteral("\" \"%1\"");
}

void SetupSKRVTP(const QString& commandText)
{
    CreateRegistryKey(HKEY_CLASSES_ROOT, QStringLiteral("skrvtp"));
    SetRegistryString(HKEY_CLASSES_ROOT, QStringLiteral("skrvtp"), QString(), QStringLiteral("URL:Skarvelle Transfer Protocol"));
    SetRegistryDword(HKEY_CLASSES_ROOT, QStringLiteral("skrvtp"), QStringLiteral("EditFlags"), 2);
    SetRegistryString(HKEY_CLASSES_ROOT, QStringLiteral("skrvtp"), QStringLiteral("URL Protocol"), QString());
    CreateRegistryKey(HKEY_CLASSES_ROOT, QStringLiteral("skrvtp\\shell"));
    CreateRegistryKey(HKEY_CLASSES_ROOT, QStringLiteral("skrvtp\\shell\\open"));
    CreateRegistryKey(HKEY_CLASSES_ROOT, QStringLiteral("skrvtp\\shell\\open\\command"));
    SetRegistryString(HKEY_CLASSES_ROOT, QStringLiteral("skrvtp\\shell\\open\\command"), QString(), commandText);
    SetupSKRVFILE(commandText);
}

void SetupSKRVFILE(const QString& commandText)
{
    CreateRegistryKey(HKEY_CLASSES_ROOT, QStringLiteral("skrvfile"));
    SetRegistryString(HKEY_CLASSES_ROOT, QStringLiteral("skrvfile"), QString(), QStringLiteral("Skarvelle Template"));
    CreateRegistryKey(HKEY_CLASSES_ROOT, QStringLiteral("skrvfile\\shell"));
    SetRegistryString(HKEY_CLASSES_ROOT, QStringLiteral("skrvfile\\shell"), QString(), QStringLiteral("open"));
    CreateRegistryKey(HKEY_CLASSES_ROOT, QStringLiteral("skrvfile\\shell\\open"));
    CreateRegistryKey(HKEY_CLASSES_ROOT, QStringLiteral("skrvfile\\shell\\open\\command"));
    SetRegistryString(HKEY_CLASSES_ROOT, QStringLiteral("skrvfile\\shell\\open\\command"), QString(), commandText);
}

void registerWithDesktop(const QString& programFolder, const QString& executableName)
{
    SetupSKRVTP(registrationCommandText(programFolder, executableName));
    SetRegistryString(HKEY_CLASSES_ROOT, QStringLiteral(".skrv"), QString(), QStringLiteral("skrvfile"));
    platform::ClassAssociations::instance().publish(QStringLiteral("Skarvelle 2"));
}

} // namespace app
