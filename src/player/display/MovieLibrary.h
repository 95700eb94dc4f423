#pragma once

#include "player/swf/Movie.h"

#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace player::display {

// The characters of one loaded movie, by id. Every display object knows the library of the movie
// it came from, since a movie loaded into a level or a clip has ids of its own.
class MovieLibrary {
public:
    MovieLibrary(std::shared_ptr<const swf::Movie> movie, QString url);
    // The library of a clip's stand-in movie (see swf::StandIn): no frames, at that address and
    // of that version.
    static std::shared_ptr<const MovieLibrary> standIn(swf::StandIn kind, QString url, int swfVersion);

    const swf::Movie& movie() const { return *m_movie; }
    const std::shared_ptr<const swf::Movie>& moviePointer() const { return m_movie; }

    // The character with this id, or null. Imported ids give the exporting movie's character.
    std::shared_ptr<const swf::Character> character(uint16_t id) const;

    // Where an id's character really lives: this library, or for an imported id the exporting
    // movie's library and its id there. Instances of an imported sprite belong to the exporting
    // movie, so that the ids on its timeline mean what they mean in that movie.
    struct CharacterSource {
        const MovieLibrary* library = nullptr;
        uint16_t id = 0;
    };
    CharacterSource source(uint16_t id) const;
    // The exporting library of an imported id, or null when the id is this movie's own.
    std::shared_ptr<const MovieLibrary> importedFrom(uint16_t id) const;

    // Binds an id of this movie to a character another movie exports (ImportAssets). Done while
    // the library is being prepared, before anything plays from it. An id defined by this movie
    // itself keeps its own character.
    void bindImport(uint16_t id, std::shared_ptr<const MovieLibrary> exporter, uint16_t exporterId);

    // Shortcuts for the renderer; null when the id is missing or of another kind.
    const swf::BitmapDefinition* bitmap(uint16_t id) const;
    const swf::Font* font(uint16_t id) const;
    const swf::ScalingGrid* scalingGrid(uint16_t id) const;
    const swf::SoundDefinition* sound(uint16_t id) const;

    // The id exported under a name (attachMovie's linkage names); matched case-insensitively,
    // as Flash does. Names this movie imports count too, under the id they were imported as.
    std::optional<uint16_t> exportedId(const std::string& name) const;

    uint8_t swfVersion() const { return m_movie->header.version; }
    swf::StandIn standIn() const { return m_movie->standIn; }
    // The address the player keeps: a local path as given or resolved, or a URL. Loads made by
    // the movie resolve against it.
    const QString& url() const { return m_url; }
    // The address as the movie's scripts see it (_url): see movie_address::forScripts.
    QString scriptUrl() const;
    double frameRate() const { return m_movie->header.frameRate; }
    const swf::Rect& stageRect() const { return m_movie->header.frameSize; }

private:
    struct ImportBinding {
        std::shared_ptr<const MovieLibrary> exporter;
        uint16_t exporterId = 0;
    };
    const ImportBinding* binding(uint16_t id) const;

    std::shared_ptr<const swf::Movie> m_movie;
    std::map<uint16_t, ImportBinding> m_imports;
    QString m_url;
};

} // namespace player::display
