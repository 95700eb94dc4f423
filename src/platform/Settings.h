#pragma once

#include <QString>

namespace platform {

// Per-user text values by section and key, stored for the application named after the
// executable's file name (without extension). Reads of an absent key give the default.
QString getSetting(const QString& section, const QString& key, const QString& defaultValue = {});
void saveSetting(const QString& section, const QString& key, const QString& value);

// The application name the store uses: the executable's file name without extension.
QString applicationName();

} // namespace platform
