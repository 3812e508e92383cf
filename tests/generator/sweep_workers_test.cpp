// Helper threads kept for many sweeps: every job done once, helpers shared by callers that
// never wait for one busy elsewhere, and pictures swept on them the same as on one thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "generator/fast_renderer.h"
#include "generator/sweep_workers.h"
#include "support/seeded_session.h"

namespace genart {
namespace {

using testing::MemorySurface;
using testing::SeededSession;

// A job of many small pieces taken from a counter, as the sweep takes its blocks.
struct Pieces {
    static constexpr int kCount = 20000;
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    std::atomic<int> byHelpers{0};
    void take(bool helper)
    {
        while (next++ < kCount) {
            ++done;
            if (helper)
                ++byHelpers;
        }
    }
};

TEST(SweepWorkers, EveryPieceOnceOverManyJobsAndHelpersDoTheirShare)
{
    SweepWorkers workers(3);
    EXPECT_EQ(workers.helpers(), 3);
    int helped = 0;
    for (int job = 0; job < 200; ++job) {
        Pieces pieces;
        workers.runAlongside(
            job % 4, [&] { pieces.take(true); }, [&] { pieces.take(false); });
        ASSERT_EQ(pieces.done.load(), Pieces::kCount) << "job " << job;
        helped += pieces.byHelpers > 0;
        if (job % 4 == 0) {
            EXPECT_EQ(pieces.byHelpers.load(), 0) << "job " << job << " asked for no helper";
        }
    }
    EXPECT_GT(helped, 0);
}

TEST(SweepWorkers, ACallerDoesNotWaitForAHelperBusyWithAnotherJob)
{
    SweepWorkers workers(1);
    std::atomic<bool> helperBusy{false};
    std::atomic<bool> release{false};
    std::thread longJob([&] {
        workers.runAlongside(
            1,
            [&] {
                helperBusy = true;
                while (!release)
                    std::this_thread::yield();
            },
            [&] {
                while (!helperBusy)
                    std::this_thread::yield();
            });
    });
    while (!helperBusy)
        std::this_thread::yield();
    // The only helper is held by the long job: this one is done by its caller alone.
    Pieces pieces;
    workers.runAlongside(
        1, [&] { pieces.take(true); }, [&] { pieces.take(false); });
    EXPECT_EQ(pieces.done.load(), Pieces::kCount);
    EXPECT_EQ(pieces.byHelpers.load(), 0);
    release = true;
    longJob.join();
}

TEST(SweepWorkers, PicturesAndPostersSweptOnKeptHelpersAreTheSameAsOnOneThread)
{
    SweepWorkers workers(3);
    for (const int scale : {1, 3}) {
        SeededSession session(31, testing::testClock(), scale);
        session.setUpWithPalette();
        session.generator().DrawParameters();
        const GenerationState start = session.state();
        FastRenderOptions alone;
        alone.scale = scale;
        alone.threads = 1;
        GenerationState aloneState = start;
        ASSERT_TRUE(renderFast(aloneState, session.strip, session.picture, alone));
        for (int run = 0; run < 3; ++run) {
            FastRenderOptions helped = alone;
            helped.threads = 4;
            helped.columnsPerBlock = 5;
            helped.workers = &workers;
            MemorySurface picture(kPictureWidth * scale, kPictureHeight * scale);
            GenerationState helpedState = start;
            ASSERT_TRUE(renderFast(helpedState, session.strip, picture, helped));
            EXPECT_TRUE(helpedState == aloneState) << "scale " << scale;
            for (int y = 0; y < picture.height(); y += 7)
                for (int x = 0; x < picture.width(); ++x)
                    ASSERT_EQ(picture.Point(x, y), session.picture.Point(x, y))
                        << "scale " << scale << " at " << x << ", " << y;
        }
    }
}

} // namespace
} // namespace genart
