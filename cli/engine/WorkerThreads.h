#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace Engine {

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

private:
    void Work();
    void RunParts();

    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    const std::function<void(size_t)>* m_pTask = nullptr;
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

// The threads an encoder may use: every core, or fewer when MAGICK_THREAD_LIMIT (which
// ImageMagick users already set to cap its threads) holds a smaller positive number.
int EncoderThreadCount();

} // namespace Engine
