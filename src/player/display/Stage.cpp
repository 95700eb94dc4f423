#include "Stage.h"

namespace player::display {

MovieClip* Stage::level(int number) const
{
    auto found = m_levels.find(number);
    return found == m_levels.end() ? nullptr : found->second.get();
}

std::shared_ptr<MovieClip> Stage::setLevel(int number, std::shared_ptr<MovieClip> root)
{
    std::shared_ptr<MovieClip> previous = removeLevel(number);
    if (root) {
        root->setLevelRoot(number);
        root->setChangeCounter(m_changes);
        m_levels[number] = std::move(root);
        m_changes->note();
    }
    return previous;
}

std::shared_ptr<MovieClip> Stage::removeLevel(int number)
{
    auto found = m_levels.find(number);
    if (found == m_levels.end())
        return nullptr;
    std::shared_ptr<MovieClip> previous = std::move(found->second);
    m_levels.erase(found);
    m_changes->note();
    return previous;
}

void Stage::clear()
{
    m_levels.clear();
    m_changes->note();
}

swf::Rect Stage::stageRect() const
{
    if (const MovieClip* root = level(0); root && root->library())
        return root->library()->stageRect();
    return {0, 550 * 20, 0, 400 * 20};
}

swf::Rgba Stage::backgroundColor() const
{
    if (const MovieClip* root = level(0); root && root->library() && root->library()->movie().backgroundColor)
        return *root->library()->movie().backgroundColor;
    return {255, 255, 255, 255};
}

double Stage::frameRate() const
{
    if (const MovieClip* root = level(0); root && root->library())
        return root->library()->frameRate();
    return 12.0;
}

} // namespace player::display
