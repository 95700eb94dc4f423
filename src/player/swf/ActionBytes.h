#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace player::avm1 {
class DecodedActions;
}

namespace player::swf {

// Where the virtual machine keeps the form it read an action list into, with the bytes it read.
// A copy of the bytes starts without one, as the copy may be changed before it runs.
struct DecodedActionsCache {
    DecodedActionsCache() = default;
    DecodedActionsCache(const DecodedActionsCache&) {}
    DecodedActionsCache& operator=(const DecodedActionsCache&)
    {
        forms[0].reset();
        forms[1].reset();
        return *this;
    }
    // One per text rule (Windows-1252, UTF-8).
    mutable std::shared_ptr<avm1::DecodedActions> forms[2];
};

using Bytes = std::vector<uint8_t>;

// The bytes of one action list. Flash runs a frame's actions straight from the movie's tag
// stream, so a branch may leave its block and go on in the bytes around it (an earlier DoAction
// of the frame, say). A block read from a timeline therefore knows that stream, shared by all
// the movie's blocks, and where its first action lies in it; other lists know none.
struct ActionBytes : Bytes {
    ActionBytes() = default;
    explicit ActionBytes(Bytes bytes) : Bytes(std::move(bytes)) {}
    ActionBytes(Bytes bytes, std::shared_ptr<const ActionBytes> tagStream, size_t offsetInStream)
        : Bytes(std::move(bytes)), stream(std::move(tagStream)), offset(offsetInStream)
    {
    }

    std::shared_ptr<const ActionBytes> stream;
    size_t offset = 0;
    DecodedActionsCache decoded;
};

// Action code is shared, never copied: functions defined by a script keep it alive.
using ActionCode = std::shared_ptr<const ActionBytes>;

} // namespace player::swf
