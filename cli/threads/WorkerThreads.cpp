#include "threads/WorkerThreads.h"

#include <algorithm>
#include <cstdlib>

namespace Threads {

WorkerPool::WorkerPool(int nThreads)
{
    for (int i = 1; i < nThreads; ++i)
        m_threads.emplace_back(&WorkerPool::Work, this);
}

WorkerPool::~WorkerPool()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

void WorkerPool::RunParts()
{
    for (size_t i = m_next++; i < m_count; i = m_next++)
        (*m_task)(i);
}

void WorkerPool::ParallelFor(size_t nCount, const std::function<void(size_t)>& task)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_task = &task;
        m_count = nCount;
        m_next = 0;
        m_busy = static_cast<int>(m_threads.size());
        ++m_generation;
    }
    m_wake.notify_all();
    RunParts();
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return m_busy == 0; });
    m_task = nullptr;
}

bool WorkerPool::ProduceInOrder(size_t nCount, size_t nSlots, const std::function<void(size_t, size_t)>& produce,
                                const std::function<bool(size_t, size_t)>& consume)
{
    std::vector<char> done(nSlots, 0);
    std::mutex mutex;
    std::condition_variable consumed;
    size_t nNextDue = 0;
    bool bConsuming = false;
    bool bFailed = false;

    // Called with the lock held by a thread that completed a part; hands the lock back held.
    auto consumeDue = [&](std::unique_lock<std::mutex>& lock) {
        bConsuming = true;
        while (!bFailed && nNextDue < nCount && done[nNextDue % nSlots]) {
            lock.unlock();
            const bool bOk = consume(nNextDue, nNextDue % nSlots);
            lock.lock();
            done[nNextDue % nSlots] = 0;
            bFailed = !bOk;
            ++nNextDue;
            consumed.notify_all();
        }
        bConsuming = false;
    };

    ParallelFor(nCount, [&](size_t i) {
        std::unique_lock<std::mutex> lock(mutex);
        consumed.wait(lock, [&] { return bFailed || i < nNextDue + nSlots; });
        if (bFailed)
            return;
        lock.unlock();
        produce(i, i % nSlots);
        lock.lock();
        done[i % nSlots] = 1;
        if (!bConsuming)
            consumeDue(lock);
    });
    return !bFailed;
}

void WorkerPool::Work()
{
    unsigned long nSeen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [&] { return m_stop || m_generation != nSeen; });
            if (m_stop)
                return;
            nSeen = m_generation;
        }
        RunParts();
        std::lock_guard<std::mutex> lock(m_mutex);
        if (--m_busy == 0)
            m_idle.notify_all();
    }
}

SerialWorker::SerialWorker() : m_thread(&SerialWorker::Work, this) {}

SerialWorker::~SerialWorker()
{
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_job; });
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void SerialWorker::Post(std::function<void()> job)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_job; });
    m_job = std::move(job);
    m_changed.notify_all();
}

void SerialWorker::Wait()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_job; });
}

void SerialWorker::Work()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stop || m_job; });
        if (m_stop)
            return;
        lock.unlock();
        m_job();
        lock.lock();
        m_job = nullptr;
        m_changed.notify_all();
    }
}

RunAhead::RunAhead(size_t nCount, Job job, Predicate runsAhead, int nWorkers)
    : m_job(std::move(job)), m_runsAhead(std::move(runsAhead)), m_ahead(static_cast<size_t>(std::max(nWorkers, 0))),
      m_outcomes(nCount)
{
    for (int i = 0; i < nWorkers; ++i)
        m_threads.emplace_back(&RunAhead::Work, this);
}

RunAhead::~RunAhead()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

void RunAhead::Work()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stop || m_next >= m_outcomes.size() || MayStart(); });
        if (m_stop || m_next >= m_outcomes.size())
            return;
        const size_t nIndex = m_next++;
        if (!m_runsAhead(nIndex))
            continue;
        Outcome& outcome = m_outcomes[nIndex];
        outcome.state = State::Running;
        lock.unlock();
        std::string strError;
        const bool bSucceeded = m_job(nIndex, strError);
        lock.lock();
        outcome.succeeded = bSucceeded;
        outcome.error = std::move(strError);
        outcome.state = State::Done;
        m_changed.notify_all();
    }
}

bool RunAhead::Take(size_t nIndex, std::string& strError)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    Outcome& outcome = m_outcomes.at(nIndex);
    if (outcome.state == State::Waiting) {
        // Not for the workers, or not reached by them yet: it runs here, and they skip it.
        m_next = std::max(m_next, nIndex + 1);
        lock.unlock();
        outcome.succeeded = m_job(nIndex, outcome.error);
        lock.lock();
        outcome.state = State::Done;
    }
    m_changed.wait(lock, [&] { return outcome.state == State::Done; });
    m_taken = nIndex + 1;
    m_changed.notify_all();
    strError = std::move(outcome.error);
    return outcome.succeeded;
}

int UsableThreadCount()
{
    int nThreads = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    if (const char* pszLimit = std::getenv("MAGICK_THREAD_LIMIT")) {
        const int nLimit = std::atoi(pszLimit);
        if (nLimit > 0)
            nThreads = std::min(nThreads, nLimit);
    }
    return nThreads;
}

} // namespace Threads
