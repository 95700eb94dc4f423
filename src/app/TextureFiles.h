#pragma once

#include <QString>

namespace app {

// `TexturePathPrefix` for a temporary folder: the folder with a trailing "/" ensured, then
// "SkrvImport". Texture files are this prefix, three characters and ".jpg".
QString texturePathPrefixFor(const QString& temporaryFolder);

// Deletes the files that match the prefix followed by "???.jpg", in name order, and stops
// quietly at the first one that cannot be deleted. Every run's texture files match, so files
// left behind by an earlier run go too.
void deleteTextureFiles(const QString& texturePathPrefix);

} // namespace app
