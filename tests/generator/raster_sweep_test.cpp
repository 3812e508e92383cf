#include <gtest/gtest.h>

#include <vector>

#include "support/seeded_session.h"

namespace genart {
namespace {

constexpr int kRows = kPictureHeight + 1;
constexpr std::size_t kPositions = (kPictureWidth + 1) * kRows;

// What the generation state held at one set-pixel.
struct Call { int i, j; float px, py; double x, y, ba, fi1, fit; };

// One picture drawn with shape formula 15, whose quotient r / abs(x) fails on column 300;
// every set-pixel on the picture notes the state it was called in.
class RasterSweep : public ::testing::Test {
protected:
    void SetUp() override
    {
        const GenerationState& s = f.state();
        f.picture.onPixel = [&](float px, float py, Colour) {
            calls.push_back({s.position.i, s.position.j, px, py, s.position.x, s.position.y, s.carried.ba,
                             s.drift.fi1, s.position.fit});
        };
        setFixedState(f.state());
        f.generator().DrawParameters();
        ASSERT_EQ(s.picture.tip1, 15);
        f.generator().RenderImage();
        ASSERT_EQ(calls.size(), kPositions);
    }
    const Call& at(int i, int j) const { return calls[static_cast<std::size_t>(i * kRows + j)]; }

    testing::ReplayedSession f{{testing::kLargestRandom, 0, 0, 0.5f, 0.25f, 0.5f, 0, 0, 0},
                               FixedClock(2006, 3, 9, 7, 5, 3)};
    std::vector<Call> calls;
};

TEST_F(RasterSweep, VisitsColumnByColumnOnTheWorldGrid)
{
    std::size_t outOfOrder = 0;
    for (std::size_t n = 0; n < kPositions; ++n) {
        const auto& c = calls[n];
        if (c.i != static_cast<int>(n / kRows) || c.j != static_cast<int>(n % kRows) || c.px != c.i
            || c.py != c.j)
            ++outOfOrder;
    }
    EXPECT_EQ(outOfOrder, 0u);

    for (const auto& [column, x] : {std::pair{0, -6.0}, std::pair{300, 0.0}, std::pair{kPictureWidth, 6.0}})
        EXPECT_EQ(at(column, 17).x, x) << column;
    for (const auto& [row, y] : {std::pair{0, 4.5}, std::pair{225, 0.0}, std::pair{kPictureHeight, -4.5}})
        EXPECT_EQ(at(17, row).y, y) << row;
}

TEST_F(RasterSweep, DriftAccumulatesOneStepPerPosition)
{
    double expected = 0;
    for (std::size_t n = 0; n < kPositions; ++n)
        expected = expected + kDriftStep;
    // The step is added before it is used, so the first position already sees one.
    EXPECT_EQ(calls.front().fi1, kDriftStep);
    EXPECT_EQ(calls.front().fit, f.state().picture.fi0 + kDriftStep);
    EXPECT_EQ(f.state().drift.fi1, expected);
    EXPECT_NE(f.state().drift.fi1, kPositions * kDriftStep); // summed, not multiplied
    EXPECT_NEAR(f.state().drift.fi1, 8.13153, 1e-5);
}

TEST_F(RasterSweep, ColumnWhereXIsZeroKeepsTheLastShapeOfTheColumnBefore)
{
    const double kept = at(299, kPictureHeight).ba;
    EXPECT_NE(kept, at(299, 449).ba);
    for (int j = 0; j < kRows; ++j)
        EXPECT_EQ(at(300, j).ba, kept) << "row " << j;
    EXPECT_NE(at(301, 0).ba, kept);
}

} // namespace
} // namespace genart
