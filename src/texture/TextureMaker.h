#pragma once

#include "texture/TextureNames.h"
#include "tools/ColourReference.h"

#include <QImage>
#include <QString>

namespace app {
class TextureFolder;
}
namespace player {
class MoviePlayer;
}

namespace texture {

// Turns pictures into the movie's textures: each becomes a JPEG of quality 90 under a new name
// of this run's texture folder, and the item's variable receives the file's full path once the
// file is complete; the template then shows it by itself. Colour items get their colour text.
// Nothing here asks the user anything: the menu's sources and the batch command share it.
class TextureMaker {
public:
    TextureMaker(player::MoviePlayer& player, app::TextureFolder& folder);

    // Writes the picture at its own size as a new texture and hands its path to the variable;
    // returns the path. Throws RuntimeError when the picture or the file cannot be made, in
    // which case the variable keeps its value.
    QString makeTexture(const QImage& picture, const QString& variable);
    // The same for an image file (JPEG, Windows bitmap or GIF, see readImageFile()).
    QString makeImageTexture(const QString& imagePath, const QString& variable);
    // A 256 x 256 texture of one colour.
    QString makeOneColourTexture(tools::ColourReference colour, const QString& variable);
    // A colour item's variable gets the colour as "0xRRGGBB".
    void setColour(const QString& variable, tools::ColourReference colour);

    TextureNames& names() { return m_names; }

    // Whether the file's header says it is of the type named ("gif", "jpg", "png" or "bmp",
    // any case); the file's extension plays no part. Throws RuntimeError when the file cannot
    // be read.
    static bool hasImageType(const QString& path, const QString& typeName);
    // A JPEG, Windows bitmap or GIF file by its header; a PNG is not one. Throws as above.
    static bool isSupportedImage(const QString& path);
    static QImage plainColourPicture(tools::ColourReference colour);

private:
    player::MoviePlayer& m_player;
    app::TextureFolder& m_folder;
    TextureNames m_names;
};

} // namespace texture
