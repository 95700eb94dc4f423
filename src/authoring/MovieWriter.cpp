#include "MovieWriter.h"

#include "BitmapEncoder.h"

namespace authoring {

MovieWriter::MovieWriter(int version, int widthPixels, int heightPixels, double frameRate)
    : m_version(version), m_widthPixels(widthPixels), m_heightPixels(heightPixels), m_frameRate(frameRate)
{
}

void MovieWriter::defineSprite(uint16_t characterId, const TimelineWriter& sprite)
{
    ByteWriter body;
    body.u16(characterId);
    body.u16(uint32_t(sprite.frameCount() > 0 ? sprite.frameCount() : 1));
    body.raw(sprite.finished());
    m_root.addTag(TagCode::DefineSprite, body.bytes());
}

void MovieWriter::exportAsset(uint16_t characterId, std::string_view name)
{
    ByteWriter body;
    body.u16(1);
    body.u16(characterId);
    body.string(name);
    m_root.addTag(TagCode::ExportAssets, body.bytes());
}

void MovieWriter::doInitAction(uint16_t spriteId, const QByteArray& actions)
{
    ByteWriter body;
    body.u16(spriteId);
    body.raw(actions);
    m_root.addTag(TagCode::DoInitAction, body.bytes());
}

QByteArray MovieWriter::toBytes(bool compressed) const
{
    ByteWriter body;
    writeRect(body, {0, m_widthPixels * twipsPerPixel, 0, m_heightPixels * twipsPerPixel});
    body.fixed8(m_frameRate);
    const int frames = m_root.frameCount();
    body.u16(uint32_t(frames > 0 ? frames : 1));
    if (m_version >= 8) {
        ByteWriter attributes;
        attributes.u32(0); // no network access, no metadata, ActionScript 1/2
        body.raw(tagBytes(TagCode::FileAttributes, attributes.bytes()));
    }
    ByteWriter background;
    writeRgb(background, m_background);
    body.raw(tagBytes(TagCode::SetBackgroundColor, background.bytes()));
    body.raw(m_root.finished());

    ByteWriter file;
    file.u8(compressed ? 'C' : 'F');
    file.u8('W');
    file.u8('S');
    file.u8(uint32_t(m_version));
    file.u32(uint32_t(8 + body.size()));
    file.raw(compressed ? zlibCompress(body.bytes()) : body.bytes());
    return file.bytes();
}

} // namespace authoring
