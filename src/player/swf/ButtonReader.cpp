#include "ButtonReader.h"

#include "Records.h"

namespace player::swf {

namespace {

std::vector<ButtonRecord> readButtonRecords(ByteReader& reader, int version)
{
    std::vector<ButtonRecord> records;
    while (!reader.overrun() && !reader.atEnd()) {
        const uint8_t flags = reader.u8();
        if (flags == 0)
            break;
        ButtonRecord record;
        record.hitTest = flags & 0x08;
        record.down = flags & 0x04;
        record.over = flags & 0x02;
        record.up = flags & 0x01;
        record.characterId = reader.u16();
        record.depth = reader.u16();
        record.matrix = readMatrix(reader);
        if (version >= 2) {
            record.colorTransform = readColorTransform(reader, true);
            if (flags & 0x10)
                record.filters = readFilterList(reader);
            if (flags & 0x20)
                record.blendMode = readBlendMode(reader);
        }
        if (reader.overrun())
            break;
        records.push_back(std::move(record));
    }
    return records;
}

ActionCode shareActions(ByteReader& reader, size_t size)
{
    return std::make_shared<const ActionBytes>(reader.bytes(size));
}

} // namespace

Button readButton(ByteReader& reader, int version)
{
    Button button;
    button.version = version;
    button.id = reader.u16();
    if (version == 1) {
        button.records = readButtonRecords(reader, 1);
        ButtonAction action;
        action.conditions = OverDownToOverUp;
        action.actions = shareActions(reader, reader.remaining());
        button.actions.push_back(std::move(action));
        return button;
    }
    button.trackAsMenu = reader.u8() & 0x01;
    const size_t actionStart = reader.position();
    const uint16_t actionOffset = reader.u16();
    button.records = readButtonRecords(reader, 2);
    if (actionOffset == 0 || reader.overrun())
        return button;
    const size_t firstAction = actionStart + actionOffset;
    if (firstAction < reader.position() || firstAction > reader.size())
        return button;
    reader.skip(firstAction - reader.position());
    while (!reader.overrun() && !reader.atEnd()) {
        const size_t recordStart = reader.position();
        const uint16_t recordSize = reader.u16();
        const uint16_t conditions = reader.u16();
        ButtonAction action;
        action.conditions = conditions & 0x01FF;
        action.keyCode = static_cast<uint8_t>(conditions >> 9);
        // A size of 0 marks the last record, which runs to the end of the tag.
        const size_t used = reader.position() - recordStart;
        const size_t codeSize = recordSize == 0 || recordSize < used ? reader.remaining() : recordSize - used;
        action.actions = shareActions(reader, codeSize);
        button.actions.push_back(std::move(action));
        if (recordSize == 0)
            break;
    }
    return button;
}

void readButtonColorTransform(ByteReader& reader, Button& button)
{
    const ColorTransform transform = readColorTransform(reader, false);
    if (reader.overrun())
        return;
    for (ButtonRecord& record : button.records)
        record.colorTransform = transform;
}

} // namespace player::swf
