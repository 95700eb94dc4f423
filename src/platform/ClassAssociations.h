#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <map>
#include <optional>
#include <vector>

namespace platform {

// The desktop files that the registered keys amount to.
struct DesktopAssociationFiles {
    QString desktopFileName;  // "skarvelle2.desktop": the command's executable name + ".desktop"
    QByteArray desktopEntry;  // the applications/ entry that opens the program
    QString mimePackageName;  // "skarvelle2.xml"
    QByteArray mimePackage;   // the shared-mime-info package for the file types; may be empty
    QStringList mimeTypes;    // every type the entry handles, in the order the keys were made
};

// Linux has no class registry, so the keys and values that the shell registration writes are
// kept here, in the process, and published as the desktop's own associations: a desktop entry
// in $XDG_DATA_HOME/applications and a MIME package in $XDG_DATA_HOME/mime/packages.
//
// The keys are read the way the shell read them. A root key with a value "URL Protocol" is a
// link scheme (x-scheme-handler/<key>); any other root key with a "shell\open\command" is a
// file type (application/x-<key>) whose default value is its description. A root key that
// starts with "." and whose default value names a file type links that extension to it. The
// command text is the quoted executable path followed by "%1" in quotes; "%1" becomes the
// desktop entry's %u. Key and value names compare without regard to case, like the registry's.
class ClassAssociations {
public:
    static ClassAssociations& instance();

    void createKey(const QString& keyPath);
    void setValue(const QString& keyPath, const QString& valueName, const QVariant& data);
    bool hasKey(const QString& keyPath) const;
    std::optional<QVariant> value(const QString& keyPath, const QString& valueName) const;
    void clear();

    // What publish() would write; nothing when no key carries an open command.
    std::optional<DesktopAssociationFiles> desktopFiles(const QString& displayName) const;

    // Writes the files into the data folder (empty: $XDG_DATA_HOME, else ~/.local/share) and
    // then refreshes the desktop's databases and makes the entry the default handler of its
    // types, with each tool that is installed. Every failure is silent. Files whose content is
    // already right are left alone, so publishing twice leaves the same files.
    void publish(const QString& displayName, const QString& dataFolder = {}) const;

    // The user's data folder as the desktop sees it.
    static QString userDataFolder();

private:
    struct Key {
        QString path;
        std::map<QString, std::pair<QString, QVariant>> values; // by lower-case name
    };

    Key& touch(const QString& keyPath);
    const Key* find(const QString& keyPath) const;
    std::optional<QString> openCommand(const QString& rootKey) const;

    std::map<QString, Key> m_keys;   // by lower-case path
    std::vector<QString> m_creation; // lower-case paths in the order they were made
};

// The desktop entry's Exec line for a command text such as "\"/opt/skr/skarvelle2\" \"%1\"".
QString desktopExecLine(const QString& commandText);

} // namespace platform
