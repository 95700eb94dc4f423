#pragma once

#include "BitmapDecoder.h"
#include "ConvertedShape.h"

#include "player/swf/Movie.h"

#include <QImage>
#include <map>
#include <memory>
#include <utility>

namespace player::render {

// What the renderer keeps between frames: converted shapes, morphs at the ratios they were
// shown at, and decoded bitmaps. Entries are keyed by the address of the definition and remember
// its owner weakly, so that a definition freed with its movie (and an address used again by a
// later movie) is never mistaken for a cached one.
class RenderCache {
public:
    using Owner = std::shared_ptr<const void>;

    const ConvertedShape& shape(const Owner& owner, const swf::Shape& shape);
    // A font glyph: its outline filled with a single placeholder style, whatever fill indices its
    // records use (glyphs have no styles of their own).
    const ConvertedShape& glyph(const Owner& owner, const swf::Shape& glyph);
    const ConvertedShape& morph(const Owner& owner, const swf::MorphShape& morph, uint16_t ratio);

    // The decoded bitmap, premultiplied, through the colour transform; null when it cannot be
    // decoded (the reason is kept in lastBitmapError()).
    QImage bitmap(const Owner& owner, const swf::BitmapDefinition& bitmap, const swf::Bytes& jpegTables,
                  const swf::ColorTransform& colorTransform = {});
    const QString& lastBitmapError() const { return m_lastBitmapError; }

    // Drops entries whose definitions are gone.
    void purgeExpired();
    void clear();
    std::size_t entryCount() const { return m_shapes.size() + m_glyphs.size() + m_morphs.size() + m_bitmaps.size(); }

private:
    struct ShapeEntry {
        std::weak_ptr<const void> owner;
        ConvertedShape converted;
    };
    struct BitmapEntry {
        std::weak_ptr<const void> owner;
        QImage decoded;
        // The last colour-transformed variant, since a transform is usually shown many frames.
        swf::ColorTransform transformedWith;
        QImage transformed;
    };

    template <typename Entry>
    static bool isCurrent(const Entry& entry, const Owner& owner);
    void purgeIfLarge();

    std::map<const void*, ShapeEntry> m_shapes;
    std::map<const void*, ShapeEntry> m_glyphs;
    std::map<std::pair<const void*, uint16_t>, ShapeEntry> m_morphs;
    std::map<const void*, BitmapEntry> m_bitmaps;
    QString m_lastBitmapError;
};

} // namespace player::render
