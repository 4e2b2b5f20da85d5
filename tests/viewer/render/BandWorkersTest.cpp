// The band workers run every band of a frame and return only when all are done.
#include "render/BandWorkers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

namespace {

using tolva::BandWorkers;

TEST(BandWorkers, RunEveryBandOncePerRound)
{
    BandWorkers workers(4);
    std::atomic<int> runs[4] = {};
    // Many short rounds: threads that wake late find their round over, or
    // take a band of it as the calling thread takes the others.
    for (int round = 0; round < 2000; ++round)
        workers.run([&](int band) { ++runs[band]; });
    for (const auto& n : runs)
        EXPECT_EQ(n.load(), 2000);
}

// The other bands still use the job when one band fails, whichever thread
// runs it: run waits for them before the failure goes on, so the job never
// dies under a running band.
class FailingBand : public ::testing::TestWithParam<int> {};

TEST_P(FailingBand, WaitsForTheOthersThenReachesTheCaller)
{
    BandWorkers workers(3);
    const int failing = GetParam();
    std::atomic<int> finished = 0;
    for (int round = 0; round < 20; ++round) {
        finished = 0;
        EXPECT_THROW(workers.run([&](int band) {
            if (band == failing)
                throw std::runtime_error("band");
            volatile int spin = 0;
            for (int i = 0; i < 20000; ++i)
                spin = spin + i;
            ++finished;
        }),
                     std::runtime_error);
        EXPECT_EQ(finished.load(), 2);
    }
}

INSTANTIATE_TEST_SUITE_P(Bands, FailingBand, ::testing::Values(0, 2));

} // namespace
