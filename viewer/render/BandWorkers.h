#pragma once
// A few persistent threads that run the bands of one frame side by side: the
// calling thread runs band 0 and waits for the others. The threads start with
// the object and end with it; between frames they sleep. A frame hands its
// bands over twice (positions, then rows) within microseconds, so each side
// first looks for the other for a few microseconds before going to sleep:
// waking a sleeping thread costs more than the hand-over itself.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tolva {

class BandWorkers {
public:
    // `bands` jobs run at once: the calling thread and bands - 1 threads.
    // Throws std::system_error when a thread cannot be started.
    explicit BandWorkers(int bands);
    ~BandWorkers();
    BandWorkers(const BandWorkers&) = delete;
    BandWorkers& operator=(const BandWorkers&) = delete;

    int bands() const { return int(m_threads.size()) + 1; }

    // Runs job(0) .. job(bands() - 1) and returns when all have returned.
    void run(const std::function<void(int)>& job);

private:
    void serve(int band);
    void stop();

    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::condition_variable m_start, m_done;
    const std::function<void(int)>* m_job = nullptr;
    // Changed under the mutex, read without it while looking.
    std::atomic<std::uint64_t> m_round{0}; // bumped for each run
    std::atomic<int> m_pending{0};         // jobs of this round still running on threads
    bool m_stopping = false;
};

} // namespace tolva
