#include "ActionCode.h"

namespace authoring {

const char* actionName(ActionCode code)
{
    switch (code) {
#define SKRV_ACTION_NAME(name, value) \
    case ActionCode::name:            \
        return #name;
        SKRV_AUTHORING_ACTION_CODES(SKRV_ACTION_NAME)
#undef SKRV_ACTION_NAME
    }
    return "Unknown";
}

} // namespace authoring
