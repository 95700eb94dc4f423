#pragma once

#include <QString>
#include <QtGlobal>

namespace player::display {

class DisplayObject;

// What the script that asked for a load hears (MovieClipLoader's events). The target is the clip
// or level root whose content was replaced; on failure it is the clip named by the request, or
// null for an empty level.
class LoadListener {
public:
    virtual ~LoadListener() = default;
    virtual void loadStarted(DisplayObject& target) = 0;
    virtual void loadProgressed(DisplayObject& target, qint64 loaded, qint64 total) = 0;
    virtual void loadCompleted(DisplayObject& target) = 0;
    virtual void loadInitialized(DisplayObject& target) = 0;
    virtual void loadFailed(DisplayObject* target, const QString& reason) = 0;
};

} // namespace player::display
