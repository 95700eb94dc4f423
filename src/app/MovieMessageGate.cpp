#include "app/MovieMessageGate.h"

namespace app {

bool MovieMessageGate::admit()
{
    if (isHoldingBack())
        return false;
    ++m_shownSinceUserAction;
    return true;
}

} // namespace app
