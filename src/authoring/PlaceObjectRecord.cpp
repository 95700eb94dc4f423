#include "PlaceObjectRecord.h"

#include <algorithm>

namespace authoring {

namespace {

void writeFilter(ByteWriter& out, const BitmapFilter& filter)
{
    out.u8(uint8_t(filter.kind));
    const int passes = std::clamp(filter.passes, 1, 31);
    switch (filter.kind) {
    case BitmapFilter::Kind::Blur:
        out.fixed16(filter.blurX);
        out.fixed16(filter.blurY);
        out.u8(uint32_t(passes) << 3);
        break;
    case BitmapFilter::Kind::DropShadow:
    case BitmapFilter::Kind::Glow: {
        writeRgba(out, filter.color);
        out.fixed16(filter.blurX);
        out.fixed16(filter.blurY);
        if (filter.kind == BitmapFilter::Kind::DropShadow) {
            out.fixed16(filter.angle);
            out.fixed16(filter.distance);
        }
        out.fixed8(filter.strength);
        // Inner, knockout, composite source (always set by Flash's tools), then the passes.
        out.u8((filter.inner ? 0x80u : 0u) | (filter.knockout ? 0x40u : 0u) | 0x20u | uint32_t(passes));
        break;
    }
    }
}

void writeClipEvents(ByteWriter& out, const std::vector<ClipEventHandler>& handlers)
{
    out.u16(0);
    uint32_t allEvents = 0;
    for (const ClipEventHandler& handler : handlers)
        allEvents |= handler.events;
    out.u32(allEvents);
    for (const ClipEventHandler& handler : handlers) {
        out.u32(handler.events);
        out.u32(uint32_t(handler.actions.size()));
        out.raw(handler.actions);
    }
    out.u32(0);
}

} // namespace

QByteArray PlaceObjectRecord::toBytes(bool asPlaceObject3) const
{
    ByteWriter out;
    uint32_t flags = 0;
    if (!clipEvents.empty())
        flags |= 0x80;
    if (clipDepth)
        flags |= 0x40;
    if (name)
        flags |= 0x20;
    if (ratio)
        flags |= 0x10;
    if (colorTransform)
        flags |= 0x08;
    if (transform)
        flags |= 0x04;
    if (characterId)
        flags |= 0x02;
    if (isMove)
        flags |= 0x01;
    out.u8(flags);
    if (asPlaceObject3) {
        uint32_t moreFlags = 0;
        if (cacheAsBitmap)
            moreFlags |= 0x04;
        if (blendMode)
            moreFlags |= 0x02;
        if (!filters.empty())
            moreFlags |= 0x01;
        out.u8(moreFlags);
    }
    out.u16(depth);
    if (characterId)
        out.u16(*characterId);
    if (transform)
        writeMatrix(out, *transform);
    if (colorTransform)
        writeColorTransformWithAlpha(out, *colorTransform);
    if (ratio)
        out.u16(*ratio);
    if (name)
        out.string(*name);
    if (clipDepth)
        out.u16(*clipDepth);
    if (asPlaceObject3) {
        if (!filters.empty()) {
            out.u8(uint32_t(std::min<size_t>(filters.size(), 255)));
            for (size_t i = 0; i < filters.size() && i < 255; ++i)
                writeFilter(out, filters[i]);
        }
        if (blendMode)
            out.u8(uint8_t(*blendMode));
        if (cacheAsBitmap)
            out.u8(1);
    }
    if (!clipEvents.empty())
        writeClipEvents(out, clipEvents);
    return out.bytes();
}

} // namespace authoring
