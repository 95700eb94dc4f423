#include "ClipBinding.h"

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

} // namespace player::avm1
