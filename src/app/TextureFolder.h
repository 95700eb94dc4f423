#pragma once

#include <QString>

namespace imaging {
class BottomUpBitmap;
}

namespace app {

// The folder of this run's texture files: a folder of its own inside the temporary folder,
// readable by this user only, so that no one else can read the textures, guess their names or
// plant anything at them. The movie gets each texture's full path. remove() at shutdown deletes
// the textures and the folder.
class TextureFolder {
public:
    TextureFolder() = default;
    ~TextureFolder() = default;
    TextureFolder(const TextureFolder&) = delete;
    TextureFolder& operator=(const TextureFolder&) = delete;

    // Makes the folder (mode 0700) inside the given temporary folder; false when that fails,
    // in which case the folder stays unset and no texture can be written.
    bool create(const QString& temporaryFolder);
    bool isCreated() const { return !m_path.isEmpty(); }
    const QString& path() const { return m_path; }

    // Texture files are this prefix, three decimal digits and ".jpg".
    QString texturePathPrefix() const;
    QString texturePath(int number) const;

    // Writes a texture as a JPEG of quality 90. A symbolic link at the name is replaced, never
    // followed. Throws RuntimeError as the JPEG writer does.
    void writeTexture(const imaging::BottomUpBitmap& bitmap, const QString& path) const;

    // Deletes the texture files (the prefix followed by three characters and ".jpg"), in name
    // order, stopping quietly at the first that cannot be deleted; then the folder, if that
    // left it empty.
    void remove();

private:
    QString m_path;
};

} // namespace app
