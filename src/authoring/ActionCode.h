#pragma once

#include "player/swf/ActionCodeList.h"

#include <cstdint>

namespace authoring {

// AVM1 action codes, from the list the player decodes with.
#define SKRV_AUTHORING_ACTION_CODES(X) SKRV_ACTION_CODES(X)

enum class ActionCode : uint8_t {
#define SKRV_ACTION_ENUM(name, code) name = code,
    SKRV_AUTHORING_ACTION_CODES(SKRV_ACTION_ENUM)
#undef SKRV_ACTION_ENUM
};

constexpr bool hasPayload(ActionCode code)
{
    return uint8_t(code) >= 0x80;
}

const char* actionName(ActionCode code);

} // namespace authoring
