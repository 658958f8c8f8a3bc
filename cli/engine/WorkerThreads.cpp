#include "engine/WorkerThreads.h"

#include <algorithm>
#include <cstdlib>

namespace Engine {

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
        (*m_pTask)(i);
}

void WorkerPool::ParallelFor(size_t nCount, const std::function<void(size_t)>& task)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pTask = &task;
        m_count = nCount;
        m_next = 0;
        m_busy = static_cast<int>(m_threads.size());
        ++m_generation;
    }
    m_wake.notify_all();
    RunParts();
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return m_busy == 0; });
    m_pTask = nullptr;
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

int EncoderThreadCount()
{
    int nThreads = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    if (const char* pszLimit = std::getenv("MAGICK_THREAD_LIMIT")) {
        const int nLimit = std::atoi(pszLimit);
        if (nLimit > 0)
            nThreads = std::min(nThreads, nLimit);
    }
    return nThreads;
}

} // namespace Engine
