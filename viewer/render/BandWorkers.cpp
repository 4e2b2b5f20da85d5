#include "render/BandWorkers.h"

#include <chrono>
#include <exception>

namespace tolva {

namespace {

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
        for (int band = 1; band < bands; ++band)
            m_threads.emplace_back([this, band] { serve(band); });
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

void BandWorkers::run(const std::function<void(int)>& job)
{
    if (m_threads.empty()) {
        job(0);
        return;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_job = &job;
        m_pending = int(m_threads.size());
        ++m_round;
    }
    m_start.notify_all();
    // The other bands still read `job`: wait for them even when band 0 throws.
    std::exception_ptr failure;
    try {
        job(0);
    } catch (...) {
        failure = std::current_exception();
    }
    LookFor([this] { return m_pending.load() == 0; });
    {
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [this] { return m_pending == 0; });
        m_job = nullptr;
    }
    if (failure)
        std::rethrow_exception(failure);
}

void BandWorkers::serve(int band)
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
        (*job)(band);
        bool last;
        {
            const std::lock_guard lock(m_mutex);
            last = --m_pending == 0;
        }
        if (last)
            m_done.notify_one();
    }
}

} // namespace tolva
