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
    for (int round = 0; round < 50; ++round)
        workers.run([&](int band) { ++runs[band]; });
    for (const auto& n : runs)
        EXPECT_EQ(n.load(), 50);
}

// The other bands still use the job when band 0 fails: run waits for them
// before the failure goes on, so the job never dies under a running band.
TEST(BandWorkers, AFailingFirstBandWaitsForTheOthers)
{
    BandWorkers workers(3);
    std::atomic<int> finished = 0;
    for (int round = 0; round < 20; ++round) {
        finished = 0;
        EXPECT_THROW(workers.run([&](int band) {
            if (band == 0)
                throw std::runtime_error("band 0");
            volatile int spin = 0;
            for (int i = 0; i < 20000; ++i)
                spin = spin + i;
            ++finished;
        }),
                     std::runtime_error);
        EXPECT_EQ(finished.load(), 2);
    }
}

} // namespace
