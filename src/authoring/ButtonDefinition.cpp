#include "ButtonDefinition.h"

namespace authoring {

QByteArray ButtonDefinition::tagBody(uint16_t characterId) const
{
    ByteWriter out;
    out.u16(characterId);
    out.u8(trackAsMenu ? 1 : 0);
    const int actionOffsetPosition = out.size();
    out.u16(0);
    for (const Record& record : records) {
        out.u8(record.states & 0x0f);
        out.u16(record.characterId);
        out.u16(record.depth);
        writeMatrix(out, record.transform);
        writeColorTransformWithAlpha(out, ColorTransform{});
    }
    out.u8(0);
    if (!actions.empty())
        out.patchU16(actionOffsetPosition, uint32_t(out.size() - actionOffsetPosition));
    for (size_t i = 0; i < actions.size(); ++i) {
        const ConditionAction& action = actions[i];
        const bool last = i + 1 == actions.size();
        // The size counts from this field to the next record; the last record stores 0.
        out.u16(last ? 0 : uint32_t(4 + action.actions.size()));
        out.u8(action.conditions >> 8);
        out.u8(action.conditions & 0xff);
        out.raw(action.actions);
    }
    return out.bytes();
}

} // namespace authoring
