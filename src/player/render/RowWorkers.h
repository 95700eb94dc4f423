#pragma once

#include <functional>

namespace player::render {

// A second thread that converts, colours and blends one band of rows of a large fill (or puts
// down one band of a large masked layer) beside the thread drawing the other band, so that
// drawing uses both processor cores. The thread is made on first use and kept for the
// life of the process.
//
// split() gives the worker one part of the rows and does the other on the calling thread, and
// returns when both are done. The two parts must write disjoint pixels and only read what nobody
// writes while they run; then the pixels are the same as drawing all rows on one thread. When
// the worker is busy with another caller's work (or the caller is itself running a part), or
// workers are switched off, both parts run on the calling thread, one after the other.
class RowWorkers {
public:
    // Runs `work(0)` and `work(1)`, possibly at the same time on two threads.
    static void split(const std::function<void(int part)>& work);

    // Runs `work(0)` here and `work(1)` on the worker and returns true when the worker is free;
    // otherwise runs nothing and returns false, for callers that would rather do the whole job in
    // one piece than in two parts on one thread. Inside a part of a split or share the worker is
    // never free.
    static bool trySplit(const std::function<void(int part)>& work);

    // Runs `work(item, thread)` for every item from 0 to `count` - 1, handing the items out to the
    // calling thread (thread 0) and the worker (thread 1) as each finishes the one before, and
    // returns when all are done. `thread` tells which of the two runs the item, so that each may
    // keep state of its own; when the worker is not available, thread 0 runs them all.
    static void share(int count, const std::function<void(int item, int thread)>& work);

    // Whether split() may use the worker thread and fills are split at all (on unless switched
    // off, for tests that compare the pixels of split fills with fills drawn in one pass).
    static bool enabled();
    static void setEnabled(bool enabled);
};

} // namespace player::render
