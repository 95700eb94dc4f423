#pragma once

#include "SwfRecords.h"
#include "TimelineWriter.h"

#include <QByteArray>

#include <cstdint>
#include <string_view>

namespace authoring {

// A whole SWF movie: header, FileAttributes, background and the root tag stream. Definitions
// are written into the root stream in the order they are added, so define before placing.
class MovieWriter {
public:
    MovieWriter(int version, int widthPixels, int heightPixels, double frameRate);

    int version() const { return m_version; }
    void setBackground(const Rgba& color) { m_background = color; }
    uint16_t allocateCharacterId() { return m_nextCharacterId++; }
    TimelineWriter& root() { return m_root; }

    void defineSprite(uint16_t characterId, const TimelineWriter& sprite);
    void exportAsset(uint16_t characterId, std::string_view name);
    void doInitAction(uint16_t spriteId, const QByteArray& actions);

    // The file: "CWS" with the body zlib-compressed, or "FWS".
    QByteArray toBytes(bool compressed) const;

private:
    int m_version;
    int m_widthPixels;
    int m_heightPixels;
    double m_frameRate;
    Rgba m_background{255, 255, 255, 255};
    uint16_t m_nextCharacterId = 1;
    TimelineWriter m_root;
};

} // namespace authoring
