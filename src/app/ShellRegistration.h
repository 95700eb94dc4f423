#pragma once

#include <QString>

namespace app {

// The command that opens a link or template file: the executable's full path in double quotes,
// a blank, and "%1" in double quotes, for which the desktop puts the link or file path.
QString registrationCommandText(const QString& programFolder, const QString& executableName);

// Registers the "skrvtp" link scheme, then (as its last step) the template file type.
void SetupSKRVTP(const QString& commandText);
// Registers the "skrvfile" template file type.
void SetupSKRVFILE(const QString& commandText);

// The whole registration made at start-up: both of the above, the ".skrv" extension link that
// an installer used to make, and the desktop files that the keys amount to. Every failure is
// silent.
void registerWithDesktop(const QString& programFolder, const QString& executableName);

} // namespace app
