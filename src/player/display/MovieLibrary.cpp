#include "MovieLibrary.h"

#include "MovieAddress.h"

namespace player::display {

namespace {
// Imports may chain (a movie imports from one that imports in turn); the chain is followed this
// far at most, which also stops a cycle made by hand.
constexpr int MaximumImportChain = 16;
}

MovieLibrary::MovieLibrary(std::shared_ptr<const swf::Movie> movie, QString url)
    : m_movie(std::move(movie)), m_url(std::move(url))
{
}

QString MovieLibrary::scriptUrl() const
{
    return movie_address::forScripts(m_url);
}

std::shared_ptr<const MovieLibrary> MovieLibrary::standIn(swf::StandIn kind, QString url, int swfVersion)
{
    auto movie = std::make_shared<swf::Movie>();
    movie->header.version = static_cast<uint8_t>(swfVersion);
    movie->standIn = kind;
    return std::make_shared<MovieLibrary>(std::move(movie), std::move(url));
}

void MovieLibrary::bindImport(uint16_t id, std::shared_ptr<const MovieLibrary> exporter, uint16_t exporterId)
{
    if (!exporter || exporter.get() == this || m_movie->characters.count(id))
        return;
    m_imports[id] = {std::move(exporter), exporterId};
}

const MovieLibrary::ImportBinding* MovieLibrary::binding(uint16_t id) const
{
    auto found = m_imports.find(id);
    return found == m_imports.end() ? nullptr : &found->second;
}

MovieLibrary::CharacterSource MovieLibrary::source(uint16_t id) const
{
    CharacterSource result{this, id};
    for (int step = 0; step < MaximumImportChain; ++step) {
        const ImportBinding* link = result.library->binding(result.id);
        if (!link)
            return result;
        result = {link->exporter.get(), link->exporterId};
    }
    return {nullptr, 0};
}

std::shared_ptr<const MovieLibrary> MovieLibrary::importedFrom(uint16_t id) const
{
    std::shared_ptr<const MovieLibrary> result;
    const MovieLibrary* current = this;
    uint16_t currentId = id;
    for (int step = 0; step < MaximumImportChain; ++step) {
        const ImportBinding* link = current->binding(currentId);
        if (!link)
            return result;
        result = link->exporter;
        current = link->exporter.get();
        currentId = link->exporterId;
    }
    return nullptr;
}

std::shared_ptr<const swf::Character> MovieLibrary::character(uint16_t id) const
{
    const CharacterSource where = source(id);
    if (!where.library)
        return nullptr;
    auto found = where.library->m_movie->characters.find(where.id);
    return found == where.library->m_movie->characters.end() ? nullptr : found->second;
}

const swf::BitmapDefinition* MovieLibrary::bitmap(uint16_t id) const
{
    std::shared_ptr<const swf::Character> found = character(id);
    return found ? std::get_if<swf::BitmapDefinition>(found.get()) : nullptr;
}

const swf::Font* MovieLibrary::font(uint16_t id) const
{
    std::shared_ptr<const swf::Character> found = character(id);
    return found ? std::get_if<swf::Font>(found.get()) : nullptr;
}

const swf::ScalingGrid* MovieLibrary::scalingGrid(uint16_t id) const
{
    const CharacterSource where = source(id);
    if (!where.library)
        return nullptr;
    auto found = where.library->m_movie->scalingGrids.find(where.id);
    return found == where.library->m_movie->scalingGrids.end() ? nullptr : &found->second;
}

const swf::SoundDefinition* MovieLibrary::sound(uint16_t id) const
{
    const CharacterSource where = source(id);
    if (!where.library)
        return nullptr;
    auto found = where.library->m_movie->sounds.find(where.id);
    return found == where.library->m_movie->sounds.end() ? nullptr : &found->second;
}

std::optional<uint16_t> MovieLibrary::exportedId(const std::string& name) const
{
    auto exact = m_movie->exports.find(name);
    if (exact != m_movie->exports.end())
        return exact->second;
    const QString wanted = QString::fromStdString(name);
    for (const auto& [exportName, id] : m_movie->exports) {
        if (QString::fromStdString(exportName).compare(wanted, Qt::CaseInsensitive) == 0)
            return id;
    }
    for (const swf::ImportedAsset& asset : m_movie->imports) {
        if (m_imports.count(asset.characterId)
            && QString::fromStdString(asset.name).compare(wanted, Qt::CaseInsensitive) == 0)
            return asset.characterId;
    }
    return std::nullopt;
}

} // namespace player::display
