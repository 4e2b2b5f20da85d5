#pragma once
// A few persistent threads that run the bands of one frame side by side with
// the calling thread. The threads start with the object and end with it;
// between frames they sleep. A frame hands its bands over twice (positions,
// then rows) within microseconds, so each side first looks for the other for
// a few microseconds before going to sleep: waking a sleeping thread costs
// more than the hand-over itself.
//
// Every thread, the calling one included, takes the next band nobody has
// taken until none is left. So a thread that is slow to wake (the machine
// busy with other work) leaves its band to the calling thread rather than
// holding the frame up; which thread runs a band never changes the result.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
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

    // Runs job(0) .. job(bands() - 1) and returns when all have returned;
    // then throws what the first band to fail threw, if one did.
    void run(const std::function<void(int)>& job);

private:
    void serve();
    void stop();
    // Runs bands of round `round` with `job` until none is left to take;
    // `job` is called only while that round lasts.
    void take(std::uint64_t round, const std::function<void(int)>* job);

    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::condition_variable m_start, m_done;
    const std::function<void(int)>* m_job = nullptr;
    // Changed under the mutex, read without it while looking.
    std::atomic<std::uint64_t> m_round{0}; // bumped for each run
    // The round (high bits) and the next band to take (low bits): a thread
    // takes a band only of the round whose job it holds.
    std::atomic<std::uint64_t> m_next{0};
    std::atomic<int> m_pending{0}; // bands of this round not yet finished
    std::exception_ptr m_failure;  // the first band of this round that threw
    bool m_stopping = false;
};

} // namespace tolva
