#pragma once

#include <memory>
#include <vector>

namespace player::display {
class DisplayObject;
} // namespace player::display

namespace player::avm1 {

class Machine;

// The text fields that show a variable. Flash copies each bound variable into its field once a
// frame, so a script that only sets "score = 5" still sees the field change; fields are held
// weakly and forgotten once they leave the stage.
class TextFieldVariables {
public:
    void add(const std::shared_ptr<display::DisplayObject>& field);
    void refresh(Machine& machine);

private:
    std::vector<std::weak_ptr<display::DisplayObject>> m_fields;
};

} // namespace player::avm1
