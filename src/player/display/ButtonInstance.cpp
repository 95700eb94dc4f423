#include "ButtonInstance.h"

#include "MovieClip.h"
#include "TimelineServices.h"

namespace player::display {

ButtonInstance::ButtonInstance(TimelineServices& services, std::shared_ptr<const MovieLibrary> library,
                               std::shared_ptr<const swf::Character> character, uint16_t characterId)
    : DisplayContainer(DisplayKind::Button, std::move(library), std::move(character), characterId),
      m_services(&services)
{
}

const swf::Button& ButtonInstance::button() const
{
    return std::get<swf::Button>(*character());
}

void ButtonInstance::setState(State state)
{
    if (m_built && state == m_state)
        return;
    build(state);
}

void ButtonInstance::build(State state)
{
    m_state = state;
    const bool firstBuild = !m_built;
    m_built = true;
    clearChildren();
    for (const swf::ButtonRecord& record : button().records) {
        const bool shown = (state == State::Up && record.up) || (state == State::Over && record.over)
            || (state == State::Down && record.down);
        if (!shown && !(firstBuild && record.hitTest))
            continue;
        // A button never contains itself; a malformed movie could ask for that.
        if (record.characterId == characterId())
            continue;
        auto makeChild = [&]() {
            std::shared_ptr<DisplayObject> child = m_services->instantiate(library(), record.characterId);
            if (child) {
                child->setMatrix(record.matrix);
                child->setColorTransform(record.colorTransform);
                child->setFilters(record.filters);
                child->setBlendMode(record.blendMode);
            }
            return child;
        };
        if (shown) {
            if (std::shared_ptr<DisplayObject> child = makeChild()) {
                // The clips, buttons and fields of a state are named and start their timelines
                // as a frame's placements do.
                const DisplayKind kind = child->kind();
                if (kind == DisplayKind::MovieClip || kind == DisplayKind::Button || kind == DisplayKind::EditText)
                    child->setName(m_services->nextInstanceName());
                insertChild(record.depth, child);
                m_services->objectPlaced(*child);
                if (MovieClip* clip = child->asMovieClip()) {
                    m_services->queueConstruction(*clip);
                    clip->runFirstFrame();
                }
            }
        }
        if (firstBuild && record.hitTest) {
            if (std::shared_ptr<DisplayObject> hit = makeChild())
                m_hitArea[record.depth] = std::move(hit);
        }
    }
}

} // namespace player::display
