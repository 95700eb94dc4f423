#include "TimelineWriter.h"

namespace authoring {

QByteArray tagBytes(TagCode code, const QByteArray& body)
{
    ByteWriter out;
    const uint32_t length = uint32_t(body.size());
    if (length < 0x3f && !needsLongHeader(code)) {
        out.u16((uint32_t(code) << 6) | length);
    } else {
        out.u16((uint32_t(code) << 6) | 0x3f);
        out.u32(length);
    }
    out.raw(body);
    return out.bytes();
}

void TimelineWriter::addTag(TagCode code, const QByteArray& body)
{
    m_tags.raw(tagBytes(code, body));
    if (code != TagCode::ShowFrame)
        m_openFrame = true;
}

void TimelineWriter::placeObject(const PlaceObjectRecord& record)
{
    const bool needsVersion3 = record.needsPlaceObject3();
    addTag(needsVersion3 ? TagCode::PlaceObject3 : TagCode::PlaceObject2, record.toBytes(needsVersion3));
}

void TimelineWriter::removeObject(uint16_t depth)
{
    ByteWriter body;
    body.u16(depth);
    addTag(TagCode::RemoveObject2, body.bytes());
}

void TimelineWriter::doAction(const QByteArray& actions)
{
    addTag(TagCode::DoAction, actions);
}

void TimelineWriter::frameLabel(std::string_view name)
{
    ByteWriter body;
    body.string(name);
    addTag(TagCode::FrameLabel, body.bytes());
}

void TimelineWriter::showFrame()
{
    addTag(TagCode::ShowFrame, {});
    ++m_shownFrames;
    m_openFrame = false;
}

QByteArray TimelineWriter::finished() const
{
    QByteArray result = m_tags.bytes();
    if (m_openFrame)
        result += tagBytes(TagCode::ShowFrame, {});
    result += tagBytes(TagCode::End, {});
    return result;
}

} // namespace authoring
