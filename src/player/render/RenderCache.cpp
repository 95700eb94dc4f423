#include "RenderCache.h"

#include "ColorTransforms.h"
#include "MorphInterpolator.h"
#include "ShapeConverter.h"

#include <QDebug>

namespace player::render {

namespace {

// Past this many entries a lookup first drops the expired ones.
constexpr std::size_t PurgeThreshold = 4096;
// Morphs shown at many ratios (a tween plays every ratio once) keep only this many per morph.
constexpr std::size_t MaximumRatiosPerMorph = 64;

template <typename Map>
void eraseExpired(Map& map)
{
    for (auto entry = map.begin(); entry != map.end();) {
        if (entry->second.owner.expired())
            entry = map.erase(entry);
        else
            ++entry;
    }
}

} // namespace

template <typename Entry>
bool RenderCache::isCurrent(const Entry& entry, const Owner& owner)
{
    const Owner cachedOwner = entry.owner.lock();
    return cachedOwner && cachedOwner == owner;
}

void RenderCache::purgeIfLarge()
{
    if (entryCount() > PurgeThreshold)
        purgeExpired();
}

const ConvertedShape& RenderCache::shape(const Owner& owner, const swf::Shape& shape)
{
    auto found = m_shapes.find(&shape);
    if (found != m_shapes.end() && isCurrent(found->second, owner))
        return found->second.converted;
    purgeIfLarge();
    ShapeEntry& entry = m_shapes[&shape];
    entry = ShapeEntry { owner, ShapeConverter::convert(shape) };
    return entry.converted;
}

const ConvertedShape& RenderCache::glyph(const Owner& owner, const swf::Shape& glyph)
{
    auto found = m_glyphs.find(&glyph);
    if (found != m_glyphs.end() && isCurrent(found->second, owner))
        return found->second.converted;
    purgeIfLarge();
    swf::Shape styled = glyph;
    styled.fillStyles.assign(1, swf::FillStyle {});
    styled.lineStyles.clear();
    for (swf::ShapeRecord& record : styled.records) {
        if (auto* change = std::get_if<swf::StyleChangeRecord>(&record)) {
            change->fill0 = change->fill0 != 0 ? 1 : 0;
            change->fill1 = change->fill1 != 0 ? 1 : 0;
            change->hasLine = false;
            change->hasNewStyles = false;
        }
    }
    ShapeEntry& entry = m_glyphs[&glyph];
    entry = ShapeEntry { owner, ShapeConverter::convert(styled) };
    return entry.converted;
}

const ConvertedShape& RenderCache::morph(const Owner& owner, const swf::MorphShape& morph, uint16_t ratio)
{
    const auto key = std::make_pair(static_cast<const void*>(&morph), ratio);
    auto found = m_morphs.find(key);
    if (found != m_morphs.end() && isCurrent(found->second, owner))
        return found->second.converted;
    purgeIfLarge();

    auto first = m_morphs.lower_bound(std::make_pair(static_cast<const void*>(&morph), uint16_t(0)));
    auto last = m_morphs.upper_bound(std::make_pair(static_cast<const void*>(&morph), uint16_t(65535)));
    if (static_cast<std::size_t>(std::distance(first, last)) >= MaximumRatiosPerMorph)
        m_morphs.erase(first, last);

    ShapeEntry& entry = m_morphs[key];
    entry = ShapeEntry { owner, ShapeConverter::convert(MorphInterpolator::shapeAt(morph, ratio)) };
    return entry.converted;
}

QImage RenderCache::bitmap(const Owner& owner, const swf::BitmapDefinition& bitmap, const swf::Bytes& jpegTables,
                           const swf::ColorTransform& colorTransform)
{
    auto found = m_bitmaps.find(&bitmap);
    if (found == m_bitmaps.end() || !isCurrent(found->second, owner)) {
        purgeIfLarge();
        DecodedBitmap decoded = BitmapDecoder::decode(bitmap, jpegTables);
        if (!decoded.ok()) {
            m_lastBitmapError = decoded.error;
            qWarning("bitmap %u not shown: %s", bitmap.id, qPrintable(decoded.error));
        }
        BitmapEntry& entry = m_bitmaps[&bitmap];
        entry = BitmapEntry { owner, std::move(decoded.image), {}, {} };
        found = m_bitmaps.find(&bitmap);
    }
    BitmapEntry& entry = found->second;
    if (colorTransform.isIdentity() || entry.decoded.isNull())
        return entry.decoded;
    if (entry.transformed.isNull() || !(entry.transformedWith == colorTransform)) {
        entry.transformed = applyColorTransform(colorTransform, entry.decoded);
        entry.transformedWith = colorTransform;
    }
    return entry.transformed;
}

void RenderCache::purgeExpired()
{
    eraseExpired(m_shapes);
    eraseExpired(m_glyphs);
    eraseExpired(m_morphs);
    eraseExpired(m_bitmaps);
}

void RenderCache::clear()
{
    m_shapes.clear();
    m_glyphs.clear();
    m_morphs.clear();
    m_bitmaps.clear();
}

} // namespace player::render
