#pragma once

#include "player/display/DisplayObject.h"

#include <memory>

namespace player::avm1 {

class Machine;
class Object;

// What the engine hangs on a display object: its script object, kept from collection for as
// long as the display object exists. Display objects may outlive the engine (the player drops
// its engine before its levels), so the machine is held weakly.
class ClipBinding : public display::ScriptBinding {
public:
    ClipBinding(const std::shared_ptr<Machine>& machine, Object* object);
    ~ClipBinding() override;

    Object* object() const { return m_object; }
    void leavingStage(const display::DisplayObject& object) override;

private:
    std::weak_ptr<Machine> m_machine;
    Object* m_object;
};

} // namespace player::avm1
