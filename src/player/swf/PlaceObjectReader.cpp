#include "PlaceObjectReader.h"

#include "Records.h"

namespace player::swf {

namespace {

std::vector<ClipAction> readClipActions(ByteReader& reader, uint8_t swfVersion)
{
    std::vector<ClipAction> actions;
    // SWF 5 stores event masks in 16 bits; later versions in 32.
    auto readEvents = [&]() -> uint32_t { return swfVersion <= 5 ? reader.u16() : reader.u32(); };
    reader.u16(); // reserved
    // The union of all events is what the clip listens to: an event a record names but the
    // union leaves out never reaches the record.
    const uint32_t listenedEvents = readEvents();
    while (!reader.overrun() && !reader.atEnd()) {
        const uint32_t events = readEvents();
        if (events == 0)
            break;
        uint32_t size = reader.u32();
        ClipAction action;
        action.events = events & listenedEvents;
        if ((events & clip_event::KeyPress) && size > 0) {
            action.keyCode = reader.u8();
            --size;
        }
        action.actions = std::make_shared<const ActionBytes>(reader.bytes(size));
        if (reader.overrun())
            break;
        if (action.events != 0)
            actions.push_back(std::move(action));
    }
    return actions;
}

} // namespace

PlaceObject readPlaceObject(ByteReader& reader, int version, uint8_t swfVersion)
{
    PlaceObject place;
    place.version = version;
    if (version == 1) {
        place.characterId = reader.u16();
        place.depth = reader.u16();
        place.matrix = readMatrix(reader);
        if (!reader.atEnd())
            place.colorTransform = readColorTransform(reader, false);
        return place;
    }
    const uint8_t flags = reader.u8();
    const uint8_t flags3 = version >= 3 ? reader.u8() : 0;
    place.depth = reader.u16();
    place.isMove = flags & 0x01;
    const bool hasCharacter = flags & 0x02;
    if (version >= 3 && ((flags3 & 0x08) || ((flags3 & 0x10) && hasCharacter)))
        place.className = reader.cString();
    if (hasCharacter)
        place.characterId = reader.u16();
    if (flags & 0x04)
        place.matrix = readMatrix(reader);
    if (flags & 0x08)
        place.colorTransform = readColorTransform(reader, true);
    if (flags & 0x10)
        place.ratio = reader.u16();
    if (flags & 0x20)
        place.name = reader.cString();
    if (flags & 0x40)
        place.clipDepth = reader.u16();
    if (version >= 3) {
        if (flags3 & 0x01)
            place.filters = readFilterList(reader);
        if (flags3 & 0x02)
            place.blendMode = readBlendMode(reader);
        if (flags3 & 0x04)
            place.cacheAsBitmap = reader.atEnd() ? true : reader.u8() != 0;
        if (flags3 & 0x20)
            place.visible = reader.u8() != 0;
        if (flags3 & 0x40)
            place.backgroundColor = readRgba(reader);
    }
    if (flags & 0x80)
        place.clipActions = readClipActions(reader, swfVersion);
    return place;
}

RemoveObject readRemoveObject(ByteReader& reader, int version)
{
    RemoveObject remove;
    if (version == 1)
        remove.characterId = reader.u16();
    remove.depth = reader.u16();
    return remove;
}

} // namespace player::swf
