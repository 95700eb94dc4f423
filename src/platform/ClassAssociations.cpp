#include "platform/ClassAssociations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace platform {

namespace {

QString normalised(QString keyPath)
{
    keyPath.replace(QLatin1Char('/'), QLatin1Char('\\'));
    while (keyPath.startsWith(QLatin1Char('\\')))
        keyPath.remove(0, 1);
    while (keyPath.endsWith(QLatin1Char('\\')))
        keyPath.chop(1);
    return keyPath;
}

// Splits a command text into its words; double quotes group blanks into a word and are dropped.
QStringList commandWords(const QString& commandText)
{
    QStringList words;
    QString word;
    bool quoted = false;
    bool inWord = false;
    for (QChar character : commandText) {
        if (character == QLatin1Char('"')) {
            quoted = !quoted;
            inWord = true;
        } else if (character == QLatin1Char(' ') && !quoted) {
            if (inWord)
                words.append(word);
            word.clear();
            inWord = false;
        } else {
            word.append(character);
            inWord = true;
        }
    }
    if (inWord)
        words.append(word);
    return words;
}

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

QString xmlEscaped(const QString& text)
{
    return text.toHtmlEscaped();
}

// Writes only when the content differs, through a temporary name renamed into place.
void writeFileIfChanged(const QString& path, const QByteArray& content)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
        return;
    existing.close();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(content);
    file.commit();
}

// Runs a desktop tool if it is installed; it gets ten seconds, then it is stopped.
void runTool(const QString& program, const QStringList& arguments)
{
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(path, arguments);
    if (!process.waitForStarted(10000))
        return;
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(1000);
    }
}

} // namespace

ClassAssociations& ClassAssociations::instance()
{
    static ClassAssociations store;
    return store;
}

ClassAssociations::Key& ClassAssociations::touch(const QString& keyPath)
{
    const QString path = normalised(keyPath);
    // Like the registry, making a key makes its missing parents.
    const QStringList pieces = path.split(QLatin1Char('\\'));
    QString partial;
    Key* key = nullptr;
    for (const QString& piece : pieces) {
        partial = partial.isEmpty() ? piece : partial + QLatin1Char('\\') + piece;
        const QString id = partial.toLower();
        auto [position, inserted] = m_keys.try_emplace(id);
        if (inserted) {
            position->second.path = partial;
            m_creation.push_back(id);
        }
        key = &position->second;
    }
    return *key;
}

const ClassAssociations::Key* ClassAssociations::find(const QString& keyPath) const
{
    const auto position = m_keys.find(normalised(keyPath).toLower());
    return position == m_keys.end() ? nullptr : &position->second;
}

void ClassAssociations::createKey(const QString& keyPath)
{
    if (normalised(keyPath).isEmpty())
        return;
    touch(keyPath);
}

void ClassAssociations::setValue(const QString& keyPath, const QString& valueName, const QVariant& data)
{
    if (normalised(keyPath).isEmpty())
        return;
    touch(keyPath).values[valueName.toLower()] = {valueName, data};
}

bool ClassAssociations::hasKey(const QString& keyPath) const
{
    return find(keyPath) != nullptr;
}

std::optional<QVariant> ClassAssociations::value(const QString& keyPath, const QString& valueName) const
{
    const Key* key = find(keyPath);
    if (!key)
        return std::nullopt;
    const auto position = key->values.find(valueName.toLower());
    if (position == key->values.end())
        return std::nullopt;
    return position->second.second;
}

void ClassAssociations::clear()
{
    m_keys.clear();
    m_creation.clear();
}

std::optional<QString> ClassAssociations::openCommand(const QString& rootKey) const
{
    const auto command = value(rootKey + QStringLiteral("\\shell\\open\\command"), QString());
    if (!command || command->toString().trimmed().isEmpty())
        return std::nullopt;
    return command->toString();
}

QString desktopExecLine(const QString& commandText)
{
    QStringList execWords;
    for (const QString& word : commandWords(commandText))
        execWords.append(word == QLatin1String("%1") ? QStringLiteral("%u") : quotedExecWord(word));
    QString line = execWords.join(QLatin1Char(' '));
    // The entry's values are strings with their own escapes, so each backslash is doubled again.
    line.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return line;
}

std::optional<DesktopAssociationFiles> ClassAssociations::desktopFiles(const QString& displayName) const
{
    std::optional<QString> command;
    QStringList mimeTypes;
    QString packageBody;
    for (const QString& id : m_creation) {
        if (id.contains(QLatin1Char('\\')) || id.startsWith(QLatin1Char('.')))
            continue;
        const Key& key = m_keys.at(id);
        const auto keyCommand = openCommand(key.path);
        // One desktop entry serves one program: keys that open another command are not ours.
        if (!keyCommand || (command && *keyCommand != *command))
            continue;
        command = keyCommand;
        if (value(key.path, QStringLiteral("URL Protocol"))) {
            mimeTypes.append(QStringLiteral("x-scheme-handler/") + id);
            continue;
        }
        const QString type = QStringLiteral("application/x-") + id;
        mimeTypes.append(type);
        packageBody += QStringLiteral("  <mime-type type=\"%1\">\n").arg(xmlEscaped(type));
        const QString description = value(key.path, QString()).value_or(QVariant()).toString();
        if (!description.isEmpty())
            packageBody += QStringLiteral("    <comment>%1</comment>\n").arg(xmlEscaped(description));
        for (const QString& extensionId : m_creation) {
            if (!extensionId.startsWith(QLatin1Char('.')) || extensionId.contains(QLatin1Char('\\')))
                continue;
            const auto linked = value(extensionId, QString());
            if (linked && linked->toString().compare(key.path, Qt::CaseInsensitive) == 0)
                packageBody += QStringLiteral("    <glob pattern=\"*%1\"/>\n").arg(xmlEscaped(m_keys.at(extensionId).path));
        }
        packageBody += QStringLiteral("  </mime-type>\n");
    }
    if (!command)
        return std::nullopt;

    const QStringList words = commandWords(*command);
    const QString executableName = words.isEmpty() ? QString() : QFileInfo(words.first()).completeBaseName();
    if (executableName.isEmpty())
        return std::nullopt;

    DesktopAssociationFiles files;
    files.desktopFileName = executableName + QStringLiteral(".desktop");
    files.mimePackageName = executableName + QStringLiteral(".xml");
    files.mimeTypes = mimeTypes;
    QString entry = QStringLiteral("[Desktop Entry]\nType=Application\n");
    entry += QStringLiteral("Name=%1\n").arg(displayName.isEmpty() ? executableName : displayName);
    entry += QStringLiteral("Exec=%1\n").arg(desktopExecLine(*command));
    entry += QStringLiteral("Terminal=false\nNoDisplay=true\n");
    entry += QStringLiteral("MimeType=%1;\n").arg(mimeTypes.join(QLatin1Char(';')));
    files.desktopEntry = entry.toUtf8();
    if (!packageBody.isEmpty()) {
        files.mimePackage = (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n")
                             + packageBody + QStringLiteral("</mime-info>\n"))
                                .toUtf8();
    }
    return files;
}

QString ClassAssociations::userDataFolder()
{
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!dataHome.isEmpty() && QDir::isAbsolutePath(dataHome))
        return dataHome;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

void ClassAssociations::publish(const QString& displayName, const QString& dataFolder) const
{
    const auto files = desktopFiles(displayName);
    if (!files)
        return;
    const QString folder = dataFolder.isEmpty() ? userDataFolder() : dataFolder;
    const QString applications = folder + QStringLiteral("/applications");
    const QString mime = folder + QStringLiteral("/mime");
    writeFileIfChanged(applications + QLatin1Char('/') + files->desktopFileName, files->desktopEntry);
    if (!files->mimePackage.isEmpty()) {
        writeFileIfChanged(mime + QStringLiteral("/packages/") + files->mimePackageName, files->mimePackage);
        runTool(QStringLiteral("update-mime-database"), {mime});
    }
    runTool(QStringLiteral("update-desktop-database"), {applications});
    runTool(QStringLiteral("xdg-mime"), QStringList{QStringLiteral("default"), files->desktopFileName} + files->mimeTypes);
}

} // namespace platform
