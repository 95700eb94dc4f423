#pragma once

#include "../swf/SwfBuilder.h"

#include "player/display/MovieClip.h"
#include "player/display/ScriptHost.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

namespace swf_test {

inline QByteArray toQByteArray(const Bytes& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// Scripts in these tests are single marker bytes; the host notes which ran, in which clip, as
// "dot path:marker".
class RecordingHost : public player::display::ScriptHost {
public:
    std::vector<QString> log;
    std::function<void(uint8_t)> onMarker;
    int created = 0;

    void objectCreated(player::display::DisplayObject&) override { ++created; }
    void objectRemoved(player::display::DisplayObject&) override {}
    void runActions(player::display::MovieClip& scope, const player::swf::ActionCode& code) override
    {
        log.push_back(scope.dotPath() + QLatin1Char(':') + QString::number(code->at(0)));
        if (onMarker)
            onMarker(code->at(0));
    }
    void callHandler(player::display::DisplayObject&, const char*) override {}
    player::display::DisplayObject* resolveTarget(const QString&) override { return nullptr; }
    bool setVariable(const QString&, const QString&) override { return false; }
    std::optional<QString> getVariable(const QString&) override { return std::nullopt; }
    void runTimers(double, const std::function<void()>&) override {}
};

} // namespace swf_test
