#pragma once

#include <QString>
#include <cstdint>

namespace platform {

// The root key of the shell's class associations, as the program has always passed it.
inline constexpr std::uint32_t HKEY_CLASSES_ROOT = 0x80000000u;

// The three writes that the shell registration needs. Key paths are relative to the root, with
// "\" between levels; an empty value name stands for the key's default value. On Linux the
// writes go to the class-association store (ClassAssociations), which turns them into the
// desktop's own associations when it is published. Every failure is ignored: nothing is
// reported and the caller goes on. A root other than HKEY_CLASSES_ROOT is such a failure.
void CreateRegistryKey(std::uint32_t root, const QString& keyPath);
void SetRegistryString(std::uint32_t root, const QString& keyPath, const QString& valueName, const QString& data);
void SetRegistryDword(std::uint32_t root, const QString& keyPath, const QString& valueName, std::int32_t data);

} // namespace platform
