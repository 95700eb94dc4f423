#pragma once

#include "catalogue/TemplateDetails.h"

#include <QDeadlineTimer>
#include <QString>
#include <functional>
#include <memory>

namespace catalogue {

class TemplateMovie;

// Reads one template's details from its movie. Opening a template loads the movie, reads the
// variables it describes itself with, then moves it to each of its frames from 1 to the last so
// that it reports its parts ("addpart") one frame after the other; frame counts beyond 32767
// end the walk there, and a frame count that cannot be read ends it at once. The commands the
// movie sends meanwhile set the sheet size and the option list, and "selectpart" picks a part,
// which ends the collection of parts: the movie is loaded again at that part's frame and its
// details are read there.
//
// A movie that cannot be read, runs into a limit of the player or takes longer than the time
// limit (OpenTimeLimit unless set) as a whole gives the empty, unreadable details.
class PartWalk {
public:
    // Frames above this are never visited (the frame counter was a signed 16-bit number).
    static constexpr int MaximumFrame = 32767;
    // How long the whole reading of one template may take, in milliseconds.
    static constexpr int OpenTimeLimit = 1000;

    PartWalk();
    ~PartWalk();
    PartWalk(const PartWalk&) = delete;
    PartWalk& operator=(const PartWalk&) = delete;

    void setTimeLimit(int milliseconds) { m_timeLimit = milliseconds; }

    // Reads the template at path afresh, in a new player.
    void open(const QString& path);
    // Takes up a template whose details were read before (the catalogue's cache) without
    // loading its movie; the movie is loaded when a part is picked.
    void resume(const QString& path, const TemplateDetails& details);
    // Picks a part (a frame counted from 0): loads the movie again, moves it there and reads
    // the details the movie gives at that frame. A part that is not in the list does nothing.
    void selectPart(int part);

    const QString& path() const { return m_path; }
    const TemplateDetails& details() const { return m_details; }
    // True from the start of the walk until a part is picked.
    bool isCollectingParts() const { return m_collectingParts; }

    // The detail player's command handler; the movie's commands arrive here.
    void handleCommand(const QString& command, const QString& args);

    // Told of each frame the walk moves the movie to, before it goes there.
    std::function<void(int frame)> onFrameVisited;

private:
    TemplateMovie& movie();
    void newMovie();
    void showPart(int part);
    void readDescription();
    void readGuids();
    void readSites();
    void walkFrames();
    bool hasFailed() const;

    QString m_path;
    TemplateDetails m_details;
    std::unique_ptr<TemplateMovie> m_movie;
    bool m_collectingParts = false;
    bool m_failed = false;
    int m_timeLimit = OpenTimeLimit;
    QDeadlineTimer m_deadline = QDeadlineTimer::Forever;
};

} // namespace catalogue
