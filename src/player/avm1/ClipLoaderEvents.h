#pragma once

#include "Value.h"
#include "player/display/LoadListener.h"

#include <QString>
#include <functional>
#include <vector>

namespace player::display {
class DisplayObject;
}

namespace player::avm1 {

class Machine;
class Object;

// Passes a load's progress to a MovieClipLoader as Flash does: each event is broadcast to the
// loader's listeners (the loader itself is one of them) with the target clip first. The loader
// is a collection root until the load is over.
class ClipLoaderEvents final : public display::LoadListener {
public:
    using ObjectLookup = std::function<Object*(display::DisplayObject*)>;
    ClipLoaderEvents(Machine& machine, Object* loader, ObjectLookup objectFor, int swfVersion);
    ~ClipLoaderEvents() override;
    ClipLoaderEvents(const ClipLoaderEvents&) = delete;
    ClipLoaderEvents& operator=(const ClipLoaderEvents&) = delete;

    void loadStarted(display::DisplayObject& target) override;
    void loadProgressed(display::DisplayObject& target, qint64 loaded, qint64 total) override;
    void loadCompleted(display::DisplayObject& target) override;
    void loadInitialized(display::DisplayObject& target) override;
    void loadFailed(display::DisplayObject* target, const QString& reason) override;

private:
    void broadcast(const QString& event, display::DisplayObject* target, std::vector<Value> more);

    Machine& m_machine;
    Object* m_loader;
    ObjectLookup m_objectFor;
    int m_swfVersion;
};

} // namespace player::avm1
