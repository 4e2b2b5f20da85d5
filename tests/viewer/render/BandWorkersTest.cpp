// The band workers run every band of a frame and return only when all are done.
#include "render/BandWorkers.h"
#include "render/RasterizerInternal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <vector>
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

// The other bands still use the job when one band fails, the first or the
// last, whichever thread runs it: run waits for them before the failure goes
// on, so the job never dies under a running band.
TEST(BandWorkers, AFailingBandWaitsForTheOthersThenReachesTheCaller)
{
    for (const int failing : {0, 2}) {
        SCOPED_TRACE(::testing::Message() << "band " << failing << " fails");
        BandWorkers workers(3);
        std::atomic<int> finished = 0;
        const auto job = [&](int band) {
            if (band == failing)
                throw std::runtime_error("band");
            for (volatile int spin = 0; spin < 20000;)
                spin = spin + 1;
            ++finished;
        };
        for (int round = 0; round < 20; ++round) {
            finished = 0;
            EXPECT_THROW(workers.run(job), std::runtime_error);
            EXPECT_EQ(finished.load(), 2);
        }
    }
}

} // namespace

// The bands' shares follow the threads' speeds: with one thread 25 % slower,
// the shares settle where both bands take equally long, without swinging
// about. One stalled frame leaves a band a third of the work, and a clock too
// coarse to measure the bands changes nothing. The shares always add up to one.
TEST(BandShares, SettleWhereEveryBandTakesEquallyLong)
{
    const double speed[2] = {1.0, 0.8};
    std::vector<float> shares{0.5f, 0.5f};
    double lastGap = 1.0;
    for (int frame = 0; frame < 30; ++frame) {
        const std::vector<double> seconds{shares[0] / speed[0], shares[1] / speed[1]};
        tolva::raster::AdjustBandShares(shares, seconds);
        const double gap = std::abs(seconds[0] - seconds[1]);
        EXPECT_LE(gap, lastGap + 1e-6) << "frame " << frame;
        lastGap = gap;
        EXPECT_NEAR(shares[0] + shares[1], 1.0, 1e-6);
    }
    EXPECT_NEAR(shares[0], 1.0 / 1.8, 1e-3);

    std::vector<float> stalled{0.5f, 0.5f};
    tolva::raster::AdjustBandShares(stalled, {0.001, 0.1});
    EXPECT_GT(stalled[1], 0.33f);

    std::vector<float> unmeasured{0.1f, 0.2f, 0.3f, 0.4f};
    tolva::raster::AdjustBandShares(unmeasured, {0.0, 0.0, 0.0, 0.0});
    EXPECT_EQ(unmeasured, (std::vector<float>{0.1f, 0.2f, 0.3f, 0.4f}));
}
