#pragma once

#include <QString>
#include <QStringList>

namespace app {

// The program's own executable file name; the desktop registration is made only when the
// program runs from it (so never from a test executable).
inline const QString ProgramExecutableName = QStringLiteral("skarvelle2");

// Where the program runs from and what it was started with.
struct StartupContext {
    QString programFolder;  // the executable's folder, without a trailing "/"
    QString executableName; // the executable's file name
    QStringList arguments;  // the command-line arguments, without the program itself

    static StartupContext fromApplication();

    // True when the program folder holds the program's own executable and that is what runs.
    bool runsFromOwnExecutable() const;
    QString programFilePath(const QString& fileName) const;
};

} // namespace app
