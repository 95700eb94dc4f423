#include "TextFieldVariables.h"

#include "ClipObject.h"
#include "builtins/Builtins.h"
#include "player/display/DisplayObject.h"

#include <algorithm>

namespace player::avm1 {

void TextFieldVariables::add(const std::shared_ptr<display::DisplayObject>& field)
{
    m_fields.push_back(field);
}

void TextFieldVariables::refresh(Machine& machine)
{
    std::erase_if(m_fields, [](const std::weak_ptr<display::DisplayObject>& field) {
        auto object = field.lock();
        return !object || object->isRemoved();
    });
    // Copied first: a variable's getter may create or remove fields.
    std::vector<std::weak_ptr<display::DisplayObject>> fields = m_fields;
    for (const auto& field : fields) {
        if (auto object = field.lock())
            builtins::showTextFieldVariable(machine, scriptObjectOf(object.get()));
    }
}

} // namespace player::avm1
