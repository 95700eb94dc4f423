#include "RowWorkers.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace player::render {

namespace {

std::atomic<bool> workersEnabled { true };

// Whether this thread is running one part of a split: the worker always is, a caller while it
// runs its own part. A part that asks for a split of its own is not given the worker (it is
// already busy with the other part, or is this very thread).
thread_local bool insidePart = false;

// Marks the calling thread as running a part for as long as it lives.
class PartScope {
public:
    PartScope() : m_was(insidePart) { insidePart = true; }
    ~PartScope() { insidePart = m_was; }
    PartScope(const PartScope&) = delete;
    PartScope& operator=(const PartScope&) = delete;

private:
    bool m_was;
};

// The one worker thread: it waits for a task, runs it, reports it done, and waits again.
class Worker {
public:
    ~Worker()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_one();
        if (m_thread.joinable())
            m_thread.join();
    }

    // Runs `work(0)` here and `work(1)` on the worker and returns true, or runs nothing and
    // returns false when the worker is taken (by another caller, or by the part this thread runs).
    bool trySplit(const std::function<void(int)>& work)
    {
        if (insidePart)
            return false;
        std::unique_lock owner(m_owner, std::try_to_lock);
        if (!owner.owns_lock())
            return false;
        {
            const std::lock_guard lock(m_mutex);
            if (!m_thread.joinable())
                m_thread = std::thread([this] { run(); });
            m_task = &work;
            m_done = false;
        }
        m_wake.notify_one();
        {
            const PartScope part;
            work(0);
        }
        std::unique_lock lock(m_mutex);
        m_finished.wait(lock, [this] { return m_done; });
        return true;
    }

private:
    void run()
    {
        insidePart = true;
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stopping || m_task != nullptr; });
            if (m_task == nullptr)
                return;
            const std::function<void(int)>* task = m_task;
            lock.unlock();
            (*task)(1);
            lock.lock();
            m_task = nullptr;
            m_done = true;
            m_finished.notify_one();
        }
    }

    // Held by the caller whose task the worker runs.
    std::mutex m_owner;
    // Guards the task, the flags and the thread's start.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_finished;
    const std::function<void(int)>* m_task = nullptr;
    bool m_done = false;
    bool m_stopping = false;
    std::thread m_thread;
};

Worker& worker()
{
    static Worker kept;
    return kept;
}

} // namespace

bool RowWorkers::trySplit(const std::function<void(int part)>& work)
{
    static const bool twoCores = std::thread::hardware_concurrency() >= 2;
    return enabled() && twoCores && worker().trySplit(work);
}

void RowWorkers::split(const std::function<void(int part)>& work)
{
    if (trySplit(work))
        return;
    work(0);
    work(1);
}

void RowWorkers::share(int count, const std::function<void(int item, int thread)>& work)
{
    std::atomic<int> next { 0 };
    split([&](int thread) {
        for (int item = next.fetch_add(1); item < count; item = next.fetch_add(1))
            work(item, thread);
    });
}

bool RowWorkers::enabled()
{
    return workersEnabled.load(std::memory_order_relaxed);
}

void RowWorkers::setEnabled(bool enabled)
{
    workersEnabled.store(enabled, std::memory_order_relaxed);
}

} // namespace player::render
