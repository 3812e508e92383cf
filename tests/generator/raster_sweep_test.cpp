#include <gtest/gtest.h>

#include <vector>

#include "session/picture_session.h"
#include "platform/qt/image_surface.h"
#include "support/replay_random.h"

namespace genart {
namespace {

// A picture surface that notes, at every set-pixel, what the generation state held.
class RecordingSurface final : public Surface {
public:
    struct Call { int i, j; float px, py; double x, y, ba, fi1, fit; };

    const GenerationState* state = nullptr;
    std::vector<Call> calls;

    int width() const override { return 600; }
    int height() const override { return 450; }
    void PSet(float px, float py, Colour) override
    {
        calls.push_back({state->position.i, state->position.j, px, py, state->position.x, state->position.y, state->carried.ba, state->drift.fi1, state->position.fit});
    }
    Colour Point(float, float) const override { return kOutside; }
    void Line(float, float, float, float, Colour) override {}
    void setFontSize(double) override {}
    void setForeColor(Colour) override {}
    void setCurrentX(float) override {}
    void setCurrentY(float) override {}
    void Print(const std::string&) override {}
};

constexpr int kRows = 451;
constexpr std::size_t kPositions = 601 * kRows;

// One picture drawn with shape formula 15, whose quotient r / abs(x) fails on column 300.
class RasterSweep : public ::testing::Test {
protected:
    void SetUp() override
    {
        picture.state = &session.state();
        setFixedState(session.state());
        session.generator().DrawParameters();
        ASSERT_EQ(session.state().picture.tip1, 15);
        session.generator().RenderImage();
        ASSERT_EQ(picture.calls.size(), kPositions);
    }
    const RecordingSurface::Call& at(int i, int j) const { return picture.calls[i * kRows + j]; }

    testing::ReplayRandom random{{testing::kLargestRandom, 0, 0, 0.5f, 0.25f, 0.5f, 0, 0, 0}};
    FixedClock clock{2006, 3, 9, 7, 5, 3};
    RecordingSurface picture;
    ImageSurface strip{601, 33};
    PictureSession session{random, clock, picture, strip};
};

TEST_F(RasterSweep, VisitsColumnByColumnOnTheWorldGrid)
{
    std::size_t outOfOrder = 0;
    for (std::size_t n = 0; n < kPositions; ++n) {
        const auto& c = picture.calls[n];
        if (c.i != static_cast<int>(n / kRows) || c.j != static_cast<int>(n % kRows) || c.px != c.i
            || c.py != c.j)
            ++outOfOrder;
    }
    EXPECT_EQ(outOfOrder, 0u);

    for (const auto& [column, x] : {std::pair{0, -6.0}, std::pair{300, 0.0}, std::pair{600, 6.0}})
        EXPECT_EQ(at(column, 17).x, x) << column;
    for (const auto& [row, y] : {std::pair{0, 4.5}, std::pair{225, 0.0}, std::pair{450, -4.5}})
        EXPECT_EQ(at(17, row).y, y) << row;
}

TEST_F(RasterSweep, DriftAccumulatesOneStepPerPosition)
{
    double expected = 0;
    for (std::size_t n = 0; n < kPositions; ++n)
        expected = expected + 0.00003;
    // The step is added before it is used, so the first position already sees one.
    EXPECT_EQ(picture.calls.front().fi1, 0.00003);
    EXPECT_EQ(picture.calls.front().fit, session.state().picture.fi0 + 0.00003);
    EXPECT_EQ(session.state().drift.fi1, expected);
    EXPECT_NE(session.state().drift.fi1, kPositions * 0.00003); // summed, not multiplied
    EXPECT_NEAR(session.state().drift.fi1, 8.13153, 1e-5);
}

TEST_F(RasterSweep, ColumnWhereXIsZeroKeepsTheLastShapeOfTheColumnBefore)
{
    const double kept = at(299, 450).ba;
    EXPECT_NE(kept, at(299, 449).ba);
    for (int j = 0; j < kRows; ++j)
        EXPECT_EQ(at(300, j).ba, kept) << "row " << j;
    EXPECT_NE(at(301, 0).ba, kept);
}

} // namespace
} // namespace genart
