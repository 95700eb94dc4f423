#include "MovieLibrary.h"

namespace player::display {

MovieLibrary::MovieLibrary(std::shared_ptr<const swf::Movie> movie, QString url)
    : m_movie(std::move(movie)), m_url(std::move(url))
{
}

std::shared_ptr<const swf::Character> MovieLibrary::character(uint16_t id) const
{
    auto found = m_movie->characters.find(id);
    return found == m_movie->characters.end() ? nullptr : found->second;
}

const swf::BitmapDefinition* MovieLibrary::bitmap(uint16_t id) const
{
    auto found = m_movie->characters.find(id);
    if (found == m_movie->characters.end())
        return nullptr;
    return std::get_if<swf::BitmapDefinition>(found->second.get());
}

const swf::Font* MovieLibrary::font(uint16_t id) const
{
    auto found = m_movie->characters.find(id);
    if (found == m_movie->characters.end())
        return nullptr;
    return std::get_if<swf::Font>(found->second.get());
}

const swf::ScalingGrid* MovieLibrary::scalingGrid(uint16_t id) const
{
    auto found = m_movie->scalingGrids.find(id);
    return found == m_movie->scalingGrids.end() ? nullptr : &found->second;
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
    return std::nullopt;
}

} // namespace player::display
