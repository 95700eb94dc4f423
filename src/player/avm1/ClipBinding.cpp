#include "ClipBinding.h"

#include "ClipObject.h"
#include "Machine.h"

namespace player::avm1 {

ClipBinding::ClipBinding(const std::shared_ptr<Machine>& machine, Object* object)
    : m_machine(machine)
    , m_object(object)
{
    machine->addRoot(object);
}

ClipBinding::~ClipBinding()
{
    if (auto machine = m_machine.lock())
        machine->removeRoot(m_object);
}

void ClipBinding::leavingStage(const display::DisplayObject& object)
{
    auto machine = m_machine.lock();
    if (machine && m_object->kind() == ObjectKind::Clip)
        static_cast<ClipObject*>(m_object)->leaveStage(*machine, object);
}

} // namespace player::avm1
