#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace platform {

// A file type the program opens: its MIME type, what the desktop calls it and its file name
// pattern.
struct DesktopFileType {
    QString mimeType;    // "application/x-skrvfile"
    QString description; // "Skarvelle Template"
    QString glob;        // "*.skrv"
};

// How the program presents itself to the desktop: one application entry that opens the link
// schemes and file types, each by running the program with the link or path as its one argument.
struct DesktopRegistration {
    QString applicationId; // names the files: "<id>.desktop" and the MIME package "<id>.xml"
    QString name;
    QString comment;
    QString executable; // absolute path
    QString icon;       // an icon name from the theme, or empty
    QStringList categories;
    QStringList linkSchemes; // "skrvtp" becomes x-scheme-handler/skrvtp
    QList<DesktopFileType> fileTypes;
};

// The two files a registration amounts to.
struct DesktopFiles {
    QString desktopFileName; // "<id>.desktop", for $XDG_DATA_HOME/applications
    QByteArray desktopEntry;
    QString mimePackageName; // "<id>.xml", for $XDG_DATA_HOME/mime/packages; empty without file types
    QByteArray mimePackage;
    QStringList mimeTypes; // every type the entry handles: schemes first, then file types
};

DesktopFiles desktopFilesFor(const DesktopRegistration& registration);

// The Exec line's value for an executable: its path quoted as the desktop entry format wants,
// then %u, for which the desktop puts the link or file.
QString desktopExecLine(const QString& executable);

// Runs one of the desktop's tools (update-desktop-database and the like).
using DesktopToolRunner = std::function<void(const QString& program, const QStringList& arguments)>;

// Starts the tool and does not wait for it; tools that are not installed are skipped.
void startDesktopTool(const QString& program, const QStringList& arguments);

// Writes the registration's files into the data folder (empty: the user's, see
// userDataFolder()), each only when its content differs, through a temporary name. When a file
// was written, the desktop's databases are refreshed and the entry is made the default handler
// of its types through the runner (empty: startDesktopTool), so a start on which nothing
// changed runs no tool at all. Returns whether anything was written. Every failure is silent.
bool publishDesktopRegistration(const DesktopRegistration& registration, const QString& dataFolder = {},
                                const DesktopToolRunner& runner = {});

// The user's data folder as the desktop sees it: $XDG_DATA_HOME, else ~/.local/share.
QString userDataFolder();

} // namespace platform
