#include "platform/modRegistry.h"

#include "platform/ClassAssociations.h"

namespace platform {

void CreateRegistryKey(std::uint32_t root, const QString& keyPath)
{
    if (root != HKEY_CLASSES_ROOT)
        return;
    ClassAssociations::instance().createKey(keyPath);
}

void SetRegistryString(std::uint32_t root, const QString& keyPath, const QString& valueName, const QString& data)
{
    if (root != HKEY_CLASSES_ROOT)
        return;
    ClassAssociations::instance().setValue(keyPath, valueName, data);
}

void SetRegistryDword(std::uint32_t root, const QString& keyPath, const QString& valueName, std::int32_t data)
{
    if (root != HKEY_CLASSES_ROOT)
        return;
    ClassAssociations::instance().setValue(keyPath, valueName, data);
}

} // namespace platform
