#pragma once

#include "DisplayContainer.h"

namespace player::display {

class TimelineServices;

// A DefineButton/2 instance. Its children are the records of the current state (up, over or
// down); hit testing uses the hit-state records, kept apart.
class ButtonInstance : public DisplayContainer {
public:
    enum class State : uint8_t { Up, Over, Down };

    ButtonInstance(TimelineServices& services, std::shared_ptr<const MovieLibrary> library,
                   std::shared_ptr<const swf::Character> character, uint16_t characterId);
    const swf::Button& button() const;

    State state() const { return m_state; }
    // Rebuilds the children for a state (does nothing when the state is unchanged and built).
    void setState(State state);

    // The hit area's shapes (records with hitTest set), in the button's coordinates.
    const ChildMap& hitArea() const { return m_hitArea; }

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

private:
    void build(State state);

    TimelineServices* m_services;
    State m_state = State::Up;
    bool m_built = false;
    bool m_enabled = true;
    ChildMap m_hitArea;
};

} // namespace player::display
