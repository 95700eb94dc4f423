#pragma once

#include <QString>

namespace platform {

// Per-user text values by section and key, stored for the application named after the
// executable's file name (without extension). Reads of an absent key give the default.
//
// The values live in an INI file, "<application name>.ini", in the per-user configuration
// folder ($XDG_CONFIG_HOME, else ~/.config), looked up again on every call so that a test can
// point XDG_CONFIG_HOME elsewhere at run time. Sections and keys may hold any characters,
// blanks and slashes included; they read back exactly as written.
QString getSetting(const QString& section, const QString& key, const QString& defaultValue = {});

// Returns false when the value could not be stored (for example a read-only or full disk);
// the callers treat settings as best effort and may ignore that.
bool saveSetting(const QString& section, const QString& key, const QString& value);

// The application name the store uses: the executable's file name without extension.
QString applicationName();

// The file that holds the settings, for diagnostics and tests.
QString settingsFilePath();

} // namespace platform
