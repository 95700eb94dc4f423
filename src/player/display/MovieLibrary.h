#pragma once

#include "player/swf/Movie.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace player::display {

// The characters of one loaded movie, by id. Every display object knows the library of the movie
// it came from, since a movie loaded into a level or a clip has ids of its own.
class MovieLibrary {
public:
    MovieLibrary(std::shared_ptr<const swf::Movie> movie, QString url);

    const swf::Movie& movie() const { return *m_movie; }
    const std::shared_ptr<const swf::Movie>& moviePointer() const { return m_movie; }

    // The character with this id, or null.
    std::shared_ptr<const swf::Character> character(uint16_t id) const;

    // Shortcuts for the renderer; null when the id is missing or of another kind.
    const swf::BitmapDefinition* bitmap(uint16_t id) const;
    const swf::Font* font(uint16_t id) const;
    const swf::ScalingGrid* scalingGrid(uint16_t id) const;

    // The id exported under a name (attachMovie's linkage names); matched case-insensitively,
    // as Flash does.
    std::optional<uint16_t> exportedId(const std::string& name) const;

    uint8_t swfVersion() const { return m_movie->header.version; }
    const QString& url() const { return m_url; }
    double frameRate() const { return m_movie->header.frameRate; }
    const swf::Rect& stageRect() const { return m_movie->header.frameSize; }

private:
    std::shared_ptr<const swf::Movie> m_movie;
    QString m_url;
};

} // namespace player::display
