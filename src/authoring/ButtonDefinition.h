#pragma once

#include "SwfRecords.h"

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace authoring {

// DefineButton2: characters for its states and actions run on state transitions.
struct ButtonDefinition {
    enum State : uint8_t { Up = 0x01, Over = 0x02, Down = 0x04, HitTest = 0x08 };
    // Transition bits in file order: the first byte's bits, then the second byte's.
    enum Condition : uint16_t {
        OverDownToOverUp = 0x0800, // a release over the button
        OverUpToOverDown = 0x0400, // a press
        IdleToOverUp = 0x0100,     // roll over
        OverUpToIdle = 0x0200,     // roll out
    };
    struct Record {
        uint8_t states = Up | Over | Down | HitTest;
        uint16_t characterId = 0;
        uint16_t depth = 1;
        Matrix transform;
    };
    struct ConditionAction {
        uint16_t conditions = OverDownToOverUp;
        QByteArray actions;
    };
    bool trackAsMenu = false;
    std::vector<Record> records;
    std::vector<ConditionAction> actions;

    QByteArray tagBody(uint16_t characterId) const;
};

} // namespace authoring
