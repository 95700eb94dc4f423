// Decoding texture pictures: the player's loader (which takes JPEG, PNG and GIF into a clip)
// and its bitmap decoder, and the texture sources' reading of a picture file (JPEG, BMP, GIF).
#include "player/MovieLoader.h"
#include "player/display/MovieLibrary.h"
#include "player/render/BitmapDecoder.h"
#include "platform/RuntimeError.h"
#include "texture/ImageFileReader.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace {

// The texture sources read files only; one file is written afresh for each input.
QString pictureFile()
{
    static QTemporaryDir folder;
    return folder.filePath(QStringLiteral("picture"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    volatile qint64 seen = 0;

    QString error;
    if (auto library = player::MovieLoader::libraryFromBytes(bytes, QStringLiteral("picture"), 8, &error)) {
        for (const auto& [id, character] : library->movie().characters) {
            if (const auto* bitmap = std::get_if<player::swf::BitmapDefinition>(character.get())) {
                const player::render::DecodedBitmap decoded = player::render::BitmapDecoder::decode(*bitmap, {});
                seen = seen + decoded.image.width();
            }
        }
    }

    QFile file(pictureFile());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size()) {
        file.close();
        try {
            seen = seen + texture::readImageFile(file.fileName()).width();
        } catch (const RuntimeError&) {
        }
    }
    (void)seen;
    return 0;
}
