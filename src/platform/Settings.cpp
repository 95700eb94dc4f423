#include "platform/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace platform {

namespace {

// QSettings reads "/" (and "\") in a key as a step into a subgroup, so a section or key that
// holds one would land somewhere else. Escaping those two, and the escape character itself,
// keeps every name distinct and lets it read back unchanged. Blanks need nothing from us:
// QSettings escapes them in the file and restores them on reading.
QString escapedName(const QString& name)
{
    QString result;
    result.reserve(name.size());
    for (const QChar character : name) {
        if (character == u'%')
            result += QStringLiteral("%25");
        else if (character == u'/')
            result += QStringLiteral("%2F");
        else if (character == u'\\')
            result += QStringLiteral("%5C");
        else
            result += character;
    }
    return result;
}

QString settingsKey(const QString& section, const QString& key)
{
    return escapedName(section) + u'/' + escapedName(key);
}

} // namespace

QString applicationName()
{
    QString executable;
    if (QCoreApplication::instance())
        executable = QCoreApplication::applicationFilePath();
    if (executable.isEmpty())
        executable = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return QFileInfo(executable).completeBaseName();
}

QString settingsFilePath()
{
    // GenericConfigLocation follows XDG_CONFIG_HOME as it is at the time of the call, unlike
    // QSettings' own default paths, which are fixed at first use.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(folder).filePath(applicationName() + QStringLiteral(".ini"));
}

QString getSetting(const QString& section, const QString& key, const QString& defaultValue)
{
    const QSettings settings(settingsFilePath(), QSettings::IniFormat);
    const QVariant value = settings.value(settingsKey(section, key));
    if (!value.isValid())
        return defaultValue;
    return value.toString();
}

bool saveSetting(const QString& section, const QString& key, const QString& value)
{
    const QString path = settingsFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(settingsKey(section, key), value);
    // QSettings writes through a temporary file and renames it into place, so a failed write
    // leaves the previous settings file as it was.
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace platform
