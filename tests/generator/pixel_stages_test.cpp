#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "support/seeded_session.h"

// States are set with designated initializers; every member left out keeps its default.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace genart {
namespace {

constexpr double kPi = std::numbers::pi;

// The per-pixel steps act on a state set by hand; the strip holds a distinct colour per
// column, 1000 + k, so the column a pixel was read from is its colour + 100 - 1000.
constexpr int kBlackPixel = -900;
struct StageFixture {
    StageFixture()
    {
        picture.fill(kWhite);
        for (int k = 0; k < strip.width(); ++k)
            strip.Line(k, 0, k, kStripHeight, 1000 + k);
    }
    int plottedColumn() const { return picture.Point(s.position.i, s.position.j) - 900; }

    testing::ReplayedSession session{{}, FixedClock(2006, 3, 9, 7, 5, 3)}; // draws no random value
    GenerationState& s = session.state();
    ImageGenerator& generator = session.generator();
    testing::MemorySurface& picture = session.picture;
    testing::MemorySurface& strip = session.strip;
};

TEST(PolarFrame, MeasuresFromACentreAtTwoZero)
{
    struct Case { double x, y, r, fi; };
    const Case cases[] = {
        {-1, 3, std::sqrt(18.0), -kPi / 4},
        {5, -3, std::sqrt(18.0), -kPi / 4}, // the opposite direction has the same angle
        {0, 0, 2, 0},
        {2, -1, 1, kPi / 2},  // straight below the centre: infinite slope
        {2, 1, 1, -kPi / 2},
        {2, 0, 0, 0},         // the centre itself has no direction
    };
    for (const Case& c : cases) {
        StageFixture f;
        f.s.picture.r0 = 2;
        f.s.position.x = c.x;
        f.s.position.y = c.y;
        f.generator.PolarFrame();
        EXPECT_DOUBLE_EQ(f.s.position.r, c.r) << c.x << ", " << c.y;
        EXPECT_DOUBLE_EQ(f.s.position.fi, c.fi) << c.x << ", " << c.y;
    }
}

// Each case: the selector, then the value of ba; ba starts at 5 so a skipped formula shows.
struct ShapeCase { float tip1; double r, fi, x, y, fit, ba; };

TEST(ShapeStage, FormulasAtAHandSetPixel)
{
    const ShapeCase cases[] = {
        {1, 2, .5, 1, -1, .25, 4},        {2, 2, .5, 1, -1, .25, 1},
        {3, 2, .5, 1, -1, .25, 3.63719},  {4, 2, .5, 1, -1, .25, 2},
        {5, 2, .5, 1, -1, .25, 0.982591}, {6, 2, .5, 1, -1, .25, 1.32016},
        {7, 2, .5, 1, -1, .25, 0.546302}, {8, 2, .5, 1, -1, .25, -3.67730},
        {9, 2, .5, 1, -1, .25, 5.50154},  {10, 2, .5, 1, -1, .25, 3.52667},
        {11, 2, .5, 1, -1, .25, 4},       {12, 2, .5, 1, -1, .25, 0.709927},
        {13, 2, .5, 1, -1, .25, 4},       {14, 2, .5, 1, -1, .25, 10.1364},
        {15, 2, .5, 1, -1, .25, 6.90136},
        // Only the cosine factor of formula 12 follows fit: (2 (1 + sin 2)) (1 + cos 2) / 2.
        {12, 2, .5, 1, -1, 0, 1.11475},
        {6, 1, .5, 1, -1, 0, 2},
        // Selectors round half to even; out of range runs formula 1.
        {0, 2, .5, 1, -1, .25, 4},        {16, 2, .5, 1, -1, .25, 4},
        {2.5f, 2, .5, 1, -1, .25, 1},     {3.5f, 2, .5, 1, -1, .25, 2},
        {-2, 2, .5, 1, -1, .25, 4},       {1e9f, 2, .5, 1, -1, .25, 4},
        // Failing formulas keep the previous ba.
        {15, 2, .5, 0, -1, .25, 5},       {11, 2, 0, 1, -1, .25, 5},
        {11, 2, 0, -1, -1, .25, 5},       {13, 2, 0, 1, -1, .25, 5},
        {14, 2, 0, 1, -1, .25, 5},
        // The power overflows, so the statement fails although the quotient would be 0.
        {6, 400, .5, 1, -1, 0, 5},
    };
    for (const ShapeCase& c : cases) {
        StageFixture f;
        f.s = {.picture = {.tip1 = c.tip1},
               .carried = {.ba = 5},
               .position = {.x = c.x, .y = c.y, .fit = c.fit, .r = c.r, .fi = c.fi}};
        f.generator.ShapeStage();
        EXPECT_NEAR(f.s.carried.ba, c.ba, std::abs(c.ba) * 5e-6) << "tip1 " << c.tip1 << " r " << c.r;
    }
}

struct ChannelCase { float tip2; double ba, r, fit; float fak1, fak2, fak3; double re, gr, bl; };

TEST(ChannelStage, VariantsAndSkippedStatements)
{
    // re, gr and bl start at 1, 2 and 3, so an untouched channel shows.
    const ChannelCase cases[] = {
        {1, -2, 0, 0, 15, 12, 18, 30, 24, 36},
        {2, 2, 0, 0, 15, 12, 18, 20, 22, 20},
        {3, -1, 0, 0, 12, 15, 18, 12, 16, 18},
        {0, -2, 0, 0, 15, 12, 18, 30, 24, 36},
        {4, -2, 0, 0, 15, 12, 18, 30, 24, 36},
        {1, 0, 0, 0, 15, 12, 18, 0, 0, 0},
        {2, 0, 1, 1, 15, 12, 18, 0, 0, 0},
        {3, 0, 1, 1, 15, 12, 18, 0, 0, 0},
        {1, 1e308, 0, 0, 15, 12, 18, 1, 2, 3},
        // Factors 10, 11, 10: only the middle product passes the largest double.
        {2, 1.7e307, 0, 0, 15, 12, 18, 1.7e308, 2, 1.7e308},
    };
    for (const ChannelCase& c : cases) {
        StageFixture f;
        f.s = {.picture = {.tip2 = c.tip2, .fak1 = c.fak1, .fak2 = c.fak2, .fak3 = c.fak3},
               .carried = {.ba = c.ba, .re = 1, .gr = 2, .bl = 3},
               .position = {.fit = c.fit, .r = c.r}};
        f.generator.ChannelStage();
        EXPECT_DOUBLE_EQ(f.s.carried.re, c.re) << "tip2 " << c.tip2 << " ba " << c.ba;
        EXPECT_DOUBLE_EQ(f.s.carried.gr, c.gr) << "tip2 " << c.tip2 << " ba " << c.ba;
        EXPECT_DOUBLE_EQ(f.s.carried.bl, c.bl) << "tip2 " << c.tip2 << " ba " << c.ba;
    }
}

struct ToneCase { float tip3; double re, gr, bl, r, fit, barva; };

TEST(ToneStage, VariantsAndSkippedStatement)
{
    // barva starts at 42, so a skipped statement shows.
    const ToneCase cases[] = {
        {1, 1, 2, 3, 0, 0, 6},          {2, 1, 2, 3, 0, 0, 6},
        {2, 1, 2, 3, kPi / 2, 0, 9},    {3, 1, 2, 3, 4, 0, 1.25},
        {4, 1, 2, 3, 0, kPi / 2, 4},    {4, 5, 2, 3, 0, 3 * kPi / 2, -2},
        {0, 1, 2, 3, 4, 1, 6},          {5, 1, 2, 3, 4, 1, 6},
        {3, 1, 2, 3, 0, 0, 42},         {3, 0, 0, 0, 0, 0, 42},
        {4, 0, 0, 0, 1, 1, 0},          {1, 1e308, 1e308, 0, 1, 1, 42},
    };
    for (const ToneCase& c : cases) {
        StageFixture f;
        f.s = {.picture = {.tip3 = c.tip3},
               .carried = {.re = c.re, .gr = c.gr, .bl = c.bl, .barva = 42},
               .position = {.fit = c.fit, .r = c.r}};
        f.generator.ToneStage();
        EXPECT_NEAR(f.s.carried.barva, c.barva, 1e-12) << "tip3 " << c.tip3 << " r " << c.r;
    }
}

struct PlotCase { double barva; float pozic0; int column; double barvaAfter; };

TEST(PlotPixel, ToneChoosesThePaletteColumn)
{
    const PlotCase cases[] = {
        {0, 100, 101, 1},         {0.3, 100, 100, 0.3},      {0.5, 100, 100, 0.5},
        {675, 100, 215, 675},     {1e6, 100, 215, 675},      {560, 100, 100, 560},
        {279, 100, 379, 279},     {280.5, 100, 100, 280.5},  {281.5, 100, 102, 281.5},
        {-0.5, 100, 100, -0.5},   {-1, 100, 99, -1},
        // -2^31 keeps the dividend's sign: -128.
        {-2147483648.4, 300, 172, -2147483648.4},
        // Left of the strip, or too negative for a 32-bit whole number: black.
        {-300, 5, kBlackPixel, -300},  {-2147483649.0, 100, kBlackPixel, -2147483649.0},
        {-1e300, 100, kBlackPixel, -1e300},
    };
    for (const PlotCase& c : cases) {
        StageFixture f;
        f.s.position.i = 7;
        f.s.position.j = 9;
        f.s.carried.barva = c.barva;
        f.s.picture.pozic0 = c.pozic0;
        f.generator.PlotPixel();
        EXPECT_EQ(f.plottedColumn(), c.column) << "barva " << c.barva;
        EXPECT_EQ(f.s.carried.barva, c.barvaAfter);
    }
}

TEST(PlotPixel, HundredIsTakenFromThePackedColour)
{
    struct Case { Colour strip, plotted; };
    const Case cases[] = {{252, 152}, {64562, 64462}, {50, kBlack}, {rgb(0, 0, 1), 65436}};
    for (const Case& c : cases) {
        StageFixture f;
        f.strip.PSet(100, 10, c.strip);
        f.s = {.picture = {.pozic0 = 100}, .carried = {.barva = 0.3}};
        f.generator.PlotPixel();
        EXPECT_EQ(f.picture.Point(0, 0), c.plotted) << c.strip;
    }
}

TEST(PlotPixel, ColumnSixHundredAndRowFourFiftyLeaveNoMark)
{
    StageFixture f;
    f.s = {.picture = {.pozic0 = 100}, .carried = {.barva = 0.3}};
    const testing::MemorySurface before = f.picture;
    for (const auto& [i, j] : {std::pair{kPictureWidth, 0}, std::pair{0, kPictureHeight},
                               std::pair{kPictureWidth, kPictureHeight}}) {
        f.s.position.i = static_cast<std::int16_t>(i);
        f.s.position.j = static_cast<std::int16_t>(j);
        f.generator.PlotPixel();
    }
    EXPECT_EQ(testing::differences(before, f.picture), "");
    f.s.position.i = kPictureWidth - 1;
    f.s.position.j = kPictureHeight - 1;
    f.generator.PlotPixel();
    EXPECT_EQ(f.plottedColumn(), 100); // the last pixel inside is painted
}

} // namespace
} // namespace genart
