#include "ActionCodes.h"

namespace player::avm1 {

const char* actionName(uint8_t code)
{
    switch (code) {
#define SKRV_AVM1_ACTION_NAME(name, value) case value: return #name;
        SKRV_AVM1_ACTIONS(SKRV_AVM1_ACTION_NAME)
#undef SKRV_AVM1_ACTION_NAME
    }
    return nullptr;
}

} // namespace player::avm1
