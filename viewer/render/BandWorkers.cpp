#include "render/BandWorkers.h"

#include <chrono>
#include <exception>
#include <utility>

namespace tolva {

namespace {

// The low bits of the next band to take hold the band, the high ones the round.
constexpr int kBandBits = 16;
constexpr std::uint64_t kBandMask = (std::uint64_t(1) << kBandBits) - 1;

// How long a side looks for the other before it sleeps.
constexpr std::chrono::microseconds kLookFor{50};

// True once `ready` holds, looking for at most kLookFor.
template <typename Ready>
bool LookFor(Ready ready)
{
    const auto until = std::chrono::steady_clock::now() + kLookFor;
    do {
        for (int i = 0; i < 64; ++i)
            if (ready())
                return true;
    } while (std::chrono::steady_clock::now() < until);
    return ready();
}

} // namespace

BandWorkers::BandWorkers(int bands)
{
    try {
        for (int thread = 1; thread < bands; ++thread)
            m_threads.emplace_back([this] { serve(); });
    } catch (...) {
        stop(); // the threads already started end before the failure goes on
        throw;
    }
}

BandWorkers::~BandWorkers()
{
    stop();
}

void BandWorkers::stop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_start.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

void BandWorkers::take(std::uint64_t round, const std::function<void(int)>* job)
{
    const auto count = std::uint64_t(bands());
    std::uint64_t next = m_next.load();
    for (;;) {
        if (next >> kBandBits != round || (next & kBandMask) >= count)
            return; // a later round, or every band taken
        if (!m_next.compare_exchange_weak(next, next + 1))
            continue;
        try {
            (*job)(int(next & kBandMask));
        } catch (...) {
            const std::lock_guard lock(m_mutex);
            if (!m_failure)
                m_failure = std::current_exception();
        }
        bool last;
        {
            const std::lock_guard lock(m_mutex);
            last = --m_pending == 0;
        }
        if (last)
            m_done.notify_one();
        next = m_next.load();
    }
}

void BandWorkers::run(const std::function<void(int)>& job)
{
    if (m_threads.empty()) {
        job(0);
        return;
    }
    std::uint64_t round;
    {
        const std::lock_guard lock(m_mutex);
        m_job = &job;
        m_pending = bands();
        m_failure = nullptr;
        round = ++m_round;
        m_next = round << kBandBits;
    }
    m_start.notify_all();
    take(round, &job);
    // Bands taken by other threads still read `job`: wait for them, even when
    // a band has thrown.
    LookFor([this] { return m_pending.load() == 0; });
    std::exception_ptr failure;
    {
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [this] { return m_pending == 0; });
        m_job = nullptr;
        failure = std::exchange(m_failure, nullptr);
    }
    if (failure)
        std::rethrow_exception(failure);
}

void BandWorkers::serve()
{
    std::uint64_t seen = 0;
    for (;;) {
        const std::function<void(int)>* job;
        LookFor([&] { return m_round.load() != seen; });
        {
            std::unique_lock lock(m_mutex);
            m_start.wait(lock, [&] { return m_stopping || m_round != seen; });
            if (m_stopping)
                return;
            seen = m_round;
            job = m_job;
        }
        // The round may be over already (its bands taken by faster threads),
        // and `job` then gone: take() looks at the round before the job.
        take(seen, job);
    }
}

} // namespace tolva
