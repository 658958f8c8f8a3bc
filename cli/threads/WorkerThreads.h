#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Threads {

// Runs the parts of one job on several threads at once, the calling thread included.
class WorkerPool
{
public:
    explicit WorkerPool(int nThreads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int GetThreadCount() const { return static_cast<int>(m_threads.size()) + 1; }
    // Calls task(0) .. task(nCount - 1), in any order and at once; returns when all have returned.
    void ParallelFor(size_t nCount, const std::function<void(size_t)>& task);
    // Calls produce(i, nSlot) for i = 0 .. nCount - 1 at once, and consume(i, nSlot) in the order
    // of i, each by whichever thread completes the next one due while the others go on producing.
    // A part starts only once its slot (i % nSlots) has been consumed, so at most nSlots results
    // wait. Stops at the first consume that returns false; true when every part was consumed.
    bool ProduceInOrder(size_t nCount, size_t nSlots, const std::function<void(size_t, size_t)>& produce,
                        const std::function<bool(size_t, size_t)>& consume);

private:
    void Work();
    void RunParts();

    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    const std::function<void(size_t)>* m_task = nullptr;
    size_t m_count = 0;
    std::atomic<size_t> m_next{0};
    unsigned long m_generation = 0;
    int m_busy = 0;
    bool m_stop = false;
};

// One thread that runs posted jobs one after the other, so the poster can go on meanwhile.
class SerialWorker
{
public:
    SerialWorker();
    ~SerialWorker();
    SerialWorker(const SerialWorker&) = delete;
    SerialWorker& operator=(const SerialWorker&) = delete;

    // Waits for the job before, then hands this one over.
    void Post(std::function<void()> job);
    void Wait();

private:
    void Work();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::function<void()> m_job;
    bool m_stop = false;
    // Last: the thread starts in the constructor and must find the members above ready.
    std::thread m_thread;
};

// Runs numbered jobs ahead of the caller on worker threads and hands their outcomes back in
// order, so that the caller works on one job's result while the next ones run. At most as many
// outcomes as there are workers wait at once, which bounds what they hold. Jobs that must not
// run beside each other are left to the caller's thread at their turn.
class RunAhead
{
public:
    using Job = std::function<bool(size_t nIndex, std::string& strError)>;
    using Predicate = std::function<bool(size_t nIndex)>;

    // No threads are started for nWorkers < 1: every job then runs in Take.
    RunAhead(size_t nCount, Job job, Predicate runsAhead, int nWorkers);
    // Starts no further jobs and waits for the running ones.
    ~RunAhead();
    RunAhead(const RunAhead&) = delete;
    RunAhead& operator=(const RunAhead&) = delete;

    // Job nIndex's outcome, running it here if no worker has taken it. Called for 0, 1, 2, ...
    bool Take(size_t nIndex, std::string& strError);

private:
    enum class State {
        Waiting,
        Running,
        Done
    };
    struct Outcome
    {
        State state = State::Waiting;
        bool succeeded = false;
        std::string error;
    };

    void Work();
    bool MayStart() const { return m_next < m_outcomes.size() && m_next < m_taken + m_ahead; }

    const Job m_job;
    const Predicate m_runsAhead;
    const size_t m_ahead;
    std::vector<Outcome> m_outcomes;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    size_t m_next = 0;  // the first job no worker has considered
    size_t m_taken = 0; // the outcomes handed back
    bool m_stop = false;
    std::vector<std::thread> m_threads;
};

// The threads tesscli may use: every core, or fewer when MAGICK_THREAD_LIMIT (which ImageMagick
// users already set to cap its threads) holds a smaller positive number.
int UsableThreadCount();

} // namespace Threads
