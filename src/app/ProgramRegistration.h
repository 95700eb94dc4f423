#pragma once

#include "platform/DesktopRegistration.h"

#include <QString>

namespace app {

// How the program presents itself to the desktop: the application entry in the menus, the
// handler of "skrvtp:" links and of template files (".skrv", application/x-skrvfile), each
// opened by running the executable with the link or path as its one argument.
platform::DesktopRegistration programRegistration(const QString& executablePath);

// Publishes the registration for the executable into the user's data folder. Files that are
// already right are left alone and then no desktop tool runs, so a start does not wait.
// Every failure is silent.
void registerWithDesktop(const QString& executablePath);

} // namespace app
