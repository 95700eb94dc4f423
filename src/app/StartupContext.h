#pragma once

#include <QString>
#include <QStringList>

namespace app {

// The program's own executable file name; the desktop registration is made only when the
// program runs from it (so never from a test executable).
inline const QString ProgramExecutableName = QStringLiteral("skarvelle2");

// Where the program runs from, where its own movies lie and what it was started with.
struct StartupContext {
    QString programFolder;  // the executable's folder, without a trailing "/"
    QString executableName; // the executable's file name
    // The folder of the sample templates and the effects movie: the program folder in a build
    // tree, <prefix>/share/skarvelle2 when installed. Empty means the program folder.
    QString contentFolder;
    // The folder that templates the user installs go to (and that the template list shows with
    // the program's own). Empty means $XDG_DATA_HOME/skarvelle2/templates.
    QString userTemplateFolder;
    QStringList arguments; // the command-line arguments, without the program itself

    static StartupContext fromApplication();

    // True when the program folder holds the program's own executable and that is what runs.
    bool runsFromOwnExecutable() const;
    QString executablePath() const;
    QString contentFilePath(const QString& fileName) const;
    QString contentFolderPath() const;
    QString userTemplateFolderPath() const;
};

// Where an installed program keeps its movies, from the folder of its executable: the program
// folder itself when the effects movie lies there (a build tree), otherwise ../share/skarvelle2
// when that exists.
QString contentFolderFor(const QString& programFolder);

} // namespace app
