// The fast renderer against the step-by-step procedures: the same pixels and the same
// generation state afterwards, whatever the picture, the scale, the threads and the blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <limits>
#include <vector>

#include "generator/fast_renderer.h"
#include "support/seeded_session.h"
#include "support/state_differences.h"

namespace genart {
namespace {

using testing::MemorySurface;
using testing::SeededSession;
using testing::differences;

struct Variants {
    float tip1, tip2, tip3;
};

// Every combination of the 15 shape formulas, 3 channel variants and 4 tone variants.
Variants combination(int n)
{
    return {static_cast<float>(n % 15 + 1), static_cast<float>(n / 15 % 3 + 1), static_cast<float>(n / 45 % 4 + 1)};
}

// A session with its palette, whose picture is drawn both ways from the same state.
class Comparison {
public:
    explicit Comparison(std::uint32_t seed, int scale = 1)
        : scale_(scale), session_(seed, testing::testClock(), scale),
          fast_(kPictureWidth * scale, kPictureHeight * scale)
    {
        session_.setUpWithPalette();
    }

    GenerationState& state() { return session_.state(); }
    void newPalette() { session_.session.NewPalette(); }
    void drawParameters(const Variants& v)
    {
        session_.generator().DrawParameters();
        state().picture.tip1 = v.tip1;
        state().picture.tip2 = v.tip2;
        state().picture.tip3 = v.tip3;
    }

    // Draws the picture with the procedures, then from the same state with the fast renderer
    // under each of the options, and expects the same pixels and the same state every time.
    // The session goes on from the state the procedures left.
    void compare(const std::vector<FastRenderOptions>& runs, const std::string& what)
    {
        const GenerationState before = state();
        session_.generator().RenderPoster(scale_);
        for (FastRenderOptions options : runs) {
            options.scale = scale_;
            GenerationState fastState = before;
            fast_.fill(kWhite);
            const std::string where = what + ", " + std::to_string(options.threads) + " threads, "
                                      + std::to_string(options.columnsPerBlock) + " columns per block";
            EXPECT_TRUE(renderFast(fastState, session_.strip, fast_, options)) << where;
            EXPECT_EQ(differences(session_.picture, fast_), "") << where;
            EXPECT_TRUE(fastState == state()) << where << testing::stateDifferences(state(), fastState);
        }
    }

private:
    int scale_;
    SeededSession session_; // draws step by step on its picture
    MemorySurface fast_;
};

FastRenderOptions withThreads(int threads, int columnsPerBlock = 0)
{
    FastRenderOptions options;
    options.threads = threads;
    options.columnsPerBlock = columnsPerBlock;
    return options;
}

// 1, 2 and 7 threads, with the usual blocks and with very narrow ones.
const std::vector<FastRenderOptions> kThreadCounts{withThreads(1), withThreads(2), withThreads(7, 3)};

TEST(FastRenderer, EveryCombinationOfVariantsOverManySeedsAndActions)
{
    // Each seed draws a picture, every tenth a sequence of three, with a new palette before
    // some of them; the carries of one picture run into the next. The 360 pictures go twice
    // through the 180 combinations.
    int picture = 0;
    for (std::uint32_t seed = 1; seed <= 300; ++seed) {
        Comparison c(seed);
        const int pictures = seed % 10 == 0 ? 3 : 1;
        for (int n = 0; n < pictures; ++n) {
            if (n > 0 && (seed + n) % 2 == 0)
                c.newPalette();
            const Variants v = combination(picture);
            c.drawParameters(v);
            // The thread counts take turns, shifted in the second round of combinations.
            const FastRenderOptions& options = kThreadCounts[static_cast<std::size_t>(picture + picture / 180) % 3];
            c.compare({options}, "seed " + std::to_string(seed) + " picture " + std::to_string(n) + " ("
                                         + std::to_string(int(v.tip1)) + ", " + std::to_string(int(v.tip2))
                                         + ", " + std::to_string(int(v.tip3)) + ")");
            ++picture;
        }
        if (::testing::Test::HasFailure())
            return; // one seed's report is enough
    }
}

TEST(FastRenderer, FailingColumnRightAtABlockBoundary)
{
    // Formula 15 fails on the whole column where x = 0, 300: blocks that start there (or
    // consist of that column alone) begin with 451 positions that depend on the block before.
    for (int tip2 = 1; tip2 <= 3; ++tip2)
        for (int tip3 = 1; tip3 <= 4; ++tip3) {
            Comparison c(1000 + tip2 * 10 + tip3);
            c.drawParameters({15, static_cast<float>(tip2), static_cast<float>(tip3)});
            c.compare({withThreads(2, 300), withThreads(7, 50), withThreads(2, 1), withThreads(7, 20)},
                      "variants 15, " + std::to_string(tip2) + ", " + std::to_string(tip3));
        }
}

TEST(FastRenderer, FirstPositionsFailAndShowTheCarriesComingIn)
{
    // With the world's left edge at x = 0, formula 15 fails on the whole first column: the
    // shape value coming in is kept, so large that the channels overflow and keep theirs,
    // whose sum overflows, so the tone coming in is kept (and clamped) too.
    using Incoming = CarriedValues;
    for (const Incoming in : {Incoming{1e308, 1e308, 1e308, 3, 0}, Incoming{1e308, 1e308, 1e308, 3, -5e9},
                              Incoming{1e308, 1e308, 1e308, 3, 1e6}, Incoming{2, 3, 5, 7, 11},
                              Incoming{-1e308, 4, 5, 6, 300.5}})
        for (int tip3 = 1; tip3 <= 4; ++tip3) {
            Comparison c(77);
            c.drawParameters({15, 1, static_cast<float>(tip3)});
            GenerationState& s = c.state();
            s.geometry.polx = 0;
            s.carried = in;
            c.compare({withThreads(1), withThreads(2, 1), withThreads(7, 2)},
                      "incoming ba " + std::to_string(in.ba) + " barva " + std::to_string(in.barva) + ", tone "
                          + std::to_string(tip3));
        }
}

TEST(FastRenderer, LongRunsOfFailuresAndOverflowingChannelsAcrossBlocks)
{
    // With a world squeezed to x of about 1e-300, formula 15 raises quotients near 1e300 to
    // powers around 1..3: most shapes overflow and fail for whole columns on end, a few land
    // near the top of the double range, and their channels overflow in turn. Blocks of one
    // and of three columns start inside those runs again and again.
    for (int tip2 = 1; tip2 <= 3; ++tip2)
        for (int tip3 = 1; tip3 <= 4; ++tip3) {
            Comparison c(500 + tip2 * 10 + tip3);
            c.drawParameters({15, static_cast<float>(tip2), static_cast<float>(tip3)});
            c.state().geometry.dx = 1e300;
            c.state().geometry.polx = 0;
            c.compare({withThreads(7, 1), withThreads(2, 3)},
                      "squeezed world, variants 15, " + std::to_string(tip2) + ", " + std::to_string(tip3));
        }
    // A second channel factor of 1e38 overflows wherever the shape exceeds about 1e270, so
    // the second channel is hardly ever written while the first one is: a tone that reads it
    // keeps depending on the carries coming in.
    for (const float tip2 : {1.0f, 3.0f})
        for (int tip3 = 1; tip3 <= 4; ++tip3) {
            Comparison c(600 + tip3);
            c.drawParameters({15, tip2, static_cast<float>(tip3)});
            c.state().geometry.dx = 1e300;
            c.state().geometry.polx = 0;
            c.state().picture.fak2 = 1e38f;
            c.compare({withThreads(7, 1), withThreads(2)},
                      "huge second factor, channel " + std::to_string(int(tip2)) + ", tone " + std::to_string(tip3));
        }
}

TEST(FastRenderer, AChannelNeverWrittenKeepsTheValueComingInThroughout)
{
    // An infinite channel factor makes every product of that channel fail, so the channel
    // keeps the value it had before the picture to the end, and no block ever stands on its
    // own; small factors for the others keep the tones below the clamp, so it shows.
    for (int never = 0; never < 3; ++never)
        for (int tip3 = 1; tip3 <= 4; ++tip3) {
            Comparison c(700 + never * 10 + tip3);
            c.drawParameters({1, 1, static_cast<float>(tip3)});
            GenerationState& s = c.state();
            s.picture.fak1 = s.picture.fak2 = s.picture.fak3 = 1;
            (never == 0 ? s.picture.fak1 : never == 1 ? s.picture.fak2 : s.picture.fak3) = std::numeric_limits<float>::infinity();
            s.carried.re = 100;
            s.carried.gr = 200;
            s.carried.bl = 300;
            c.compare({withThreads(7, 1), withThreads(2)},
                      "channel " + std::to_string(never + 1) + " never written, tone " + std::to_string(tip3));
        }
}

TEST(FastRenderer, CentreOnAPixelFailsTheQuotientsOfThatPosition)
{
    // A centre fixed at the world origin (r0 = 0) sits on position (300, 225): there r = 0 and
    // fi = 0, so tone variant 3 and formulas 11, 13 and 14 fail, and along row 225 fi is 0
    // everywhere, so those formulas fail in every column.
    for (const float tip1 : {11.0f, 13.0f, 14.0f, 15.0f, 1.0f})
        for (const float tip3 : {3.0f, 1.0f}) {
            Comparison c(5);
            c.drawParameters({tip1, 2, tip3});
            c.state().picture.r0 = 0;
            c.compare({withThreads(1), withThreads(2, 1), withThreads(7, 300)},
                      "formula " + std::to_string(int(tip1)) + ", tone " + std::to_string(int(tip3)));
        }
}

TEST(FastRenderer, SelectorsOutOfRangeAndAStartedDrift)
{
    // Selectors outside their range run variant 1; a drift that does not start at 0 goes on
    // from where it is.
    Comparison c(9);
    c.drawParameters({0, 4, 5});
    c.state().drift.fi1 = 1.2345;
    c.compare(kThreadCounts, "selectors 0, 4, 5");
    c.drawParameters({16, -1, 2.5f});
    c.compare(kThreadCounts, "selectors 16, -1, 2.5");
}

TEST(FastRenderer, PostersAtScalesTwoAndThree)
{
    // Finer sweeps compute their drift per position; the column where x = 0 is 600 at scale 2.
    for (const Variants v : {Variants{15, 3, 4}, Variants{6, 2, 2}, Variants{13, 1, 3}}) {
        Comparison c(31 + static_cast<std::uint32_t>(v.tip1), 2);
        c.drawParameters(v);
        c.compare({withThreads(1), withThreads(2), withThreads(7, 1)}, "scale 2, formula " + std::to_string(int(v.tip1)));
    }
    Comparison c(3, 3);
    c.drawParameters({14, 3, 4});
    c.compare({withThreads(2)}, "scale 3");
}

TEST(FastRenderer, AFinerPictureCanLeaveTheNormalSweepsState)
{
    // Drawn twice as finely for a screen, the session goes on exactly as at the normal size:
    // the state comes from the last column where its positions settle the carries, from every
    // position where they never do (an infinite channel factor), and the pixels stay the finer
    // sweep's own.
    for (int n = 0; n < 24; ++n) {
        SeededSession session(static_cast<std::uint32_t>(40 + n));
        session.setUpWithPalette();
        session.generator().DrawParameters();
        const Variants v = combination(n * 7);
        GenerationState& before = session.state();
        before.picture.tip1 = v.tip1;
        before.picture.tip2 = v.tip2;
        before.picture.tip3 = v.tip3;
        if (n % 8 == 7) {
            before.picture.fak1 = std::numeric_limits<float>::infinity();
            before.carried.re = 100;
        }
        GenerationState normal = before;
        EXPECT_TRUE(renderFast(normal, session.strip, session.picture));
        FastRenderOptions finer;
        finer.scale = 2;
        MemorySurface poster(2 * kPictureWidth, 2 * kPictureHeight);
        GenerationState posterState = before;
        EXPECT_TRUE(renderFast(posterState, session.strip, poster, finer));
        finer.leaveNormalState = true;
        MemorySurface sharp(2 * kPictureWidth, 2 * kPictureHeight);
        GenerationState sharpState = before;
        EXPECT_TRUE(renderFast(sharpState, session.strip, sharp, finer));
        EXPECT_TRUE(sharpState == normal) << "picture " << n << testing::stateDifferences(normal, sharpState);
        EXPECT_EQ(differences(poster, sharp), "") << "picture " << n;
    }
}

TEST(FastRenderer, SurfaceWithoutRasterGetsTheSamePixels)
{
    SeededSession session(21);
    session.setUpWithPalette();
    session.generator().DrawParameters();
    session.state().picture.tip1 = 15;
    GenerationState fastState = session.state();
    session.generator().RenderImage();

    MemorySurface fast(kPictureWidth, kPictureHeight, MemorySurface::Access::PointByPoint);
    ASSERT_EQ(fast.pixelRows().first, nullptr);
    int pointsSet = 0;
    fast.onPixel = [&](float, float, Colour) { ++pointsSet; };
    EXPECT_TRUE(renderFast(fastState, session.strip, fast, withThreads(2)));
    EXPECT_EQ(pointsSet, kPictureWidth * kPictureHeight); // every pixel inside, each once
    EXPECT_EQ(differences(session.picture, fast), "");
    EXPECT_TRUE(fastState == session.state()) << testing::stateDifferences(session.state(), fastState);
}

TEST(FastRenderer, ReportsProgressAndStopsWhenCancelled)
{
    SeededSession session(4);
    session.setUpWithPalette();
    session.generator().DrawParameters();
    const GenerationState before = session.state();

    std::vector<double> done;
    FastRenderOptions options = withThreads(2, 10);
    options.progress = [&](Stage stage, double part) {
        EXPECT_EQ(stage, Stage::Drawing);
        done.push_back(part);
    };
    GenerationState state = before;
    EXPECT_TRUE(renderFast(state, session.strip, session.picture, options));
    ASSERT_EQ(done.size(), 61u); // 60 blocks of 10 columns and one of the last column
    EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
    EXPECT_DOUBLE_EQ(done.front(), 10.0 / (kPictureWidth + 1));
    EXPECT_EQ(done.back(), 1.0);

    // Cancelled from the first progress report on: the rest is left undone, the state untouched.
    CancelToken cancel;
    done.clear();
    options.progress = [&](Stage, double part) {
        done.push_back(part);
        cancel.cancel();
    };
    options.cancel = &cancel;
    state = before;
    EXPECT_FALSE(renderFast(state, session.strip, session.picture, options));
    EXPECT_LE(done.size(), 2u); // the blocks already under way finish
    EXPECT_TRUE(state == before);
}

} // namespace
} // namespace genart
