#pragma once

#include "ByteWriter.h"
#include "PlaceObjectRecord.h"
#include "TagCode.h"

#include <QByteArray>

#include <string_view>

namespace authoring {

// The tag stream of one timeline (the movie's root or a sprite): definitions and control tags in
// the order written, frames ended by showFrame().
class TimelineWriter {
public:
    void addTag(TagCode code, const QByteArray& body);
    void placeObject(const PlaceObjectRecord& record);
    void removeObject(uint16_t depth);
    void doAction(const QByteArray& actions);
    void frameLabel(std::string_view name);
    void showFrame();

    // Frames ended so far, plus one when tags follow the last ShowFrame.
    int frameCount() const { return m_shownFrames + (m_openFrame ? 1 : 0); }
    // The stream with a ShowFrame added if the last frame was left open, and the End tag.
    QByteArray finished() const;

private:
    ByteWriter m_tags;
    int m_shownFrames = 0;
    bool m_openFrame = false;
};

QByteArray tagBytes(TagCode code, const QByteArray& body);

} // namespace authoring
