// GIF loops decoded again with giflib: their frames, delays, loop and recipe; exact colours when
// they fit, and the grouping of palette entries that stands in when they do not.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <array>
#include <map>
#include <set>

#include <QTemporaryDir>

#include "animation_files/animation_file.h"
#include "support/loop_jobs.h"
#include "support/image_session.h"
#include "animation_files/gif_animation.h"
#include "animation_files/neighbour_groups.h"
#include "files/recipe_file.h"
#include "platform/qt/image_surface.h"
#include "session/cycling_picture.h"
#include "support/decoded_gif.h"

namespace genart {
namespace {

Recipe recipeOfSeed(std::uint32_t seed)
{
    return testing::ImageSession(seed).session.recipe();
}

// The frames of the loop as the core paints them, and the palette entries its picture uses.
struct CoreLoop {
    std::vector<QImage> frames;
    std::size_t entriesUsed = 0;
};

CoreLoop coreLoop(const Recipe& recipe, const AnimationRequest& request)
{
    ImageSurface picture(request.size.width, request.size.height);
    ImageSurface strip(kStripWidth, kStripHeight);
    CyclingPicture cycling;
    cycling.draw(recipe, picture, strip, request.size.scale, {}, nullptr, request.caption);
    CoreLoop loop;
    loop.entriesUsed = std::set<std::uint16_t>(cycling.entries().begin(), cycling.entries().end()).size();
    for (int t = 0; t < request.frames; ++t) {
        cycling.paintFrame(t, request.frames, picture, strip);
        loop.frames.push_back(picture.image().copy());
    }
    return loop;
}

double meanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

TEST(GifLoop, LoopsForeverWithItsRecipeAndDelaysThatAddUpToItsLength)
{
    QTemporaryDir folder;
    const Recipe recipe = recipeOfSeed(42);
    struct Case {
        int frames, fps, hundredths;
    };
    // 7 frames at 3 a second: 233⅓ hundredths, shown as 33 and 34; 30 a second: 3⅓ each.
    for (const Case c : {Case{7, 3, 233}, Case{30, 30, 100}, Case{5, 50, 10}}) {
        const QString path = folder.filePath(QStringLiteral("loop-%1.gif").arg(c.fps));
        ASSERT_EQ(testing::writeLoop(recipe, {c.frames, c.fps, PictureSize::covering(120, 90), true}, path.toStdString(), false),
                  std::optional<std::string>(""));
        const testing::DecodedGif gif = testing::decodeGif(path);
        ASSERT_TRUE(gif.read);
        EXPECT_EQ(gif.frames.size(), static_cast<std::size_t>(c.frames));
        EXPECT_EQ(gif.loopCount, 0);
        int total = 0;
        for (const int delay : gif.delays) {
            EXPECT_GE(delay, 100 / c.fps);
            EXPECT_LE(delay, 100 / c.fps + 1);
            total += delay;
        }
        EXPECT_EQ(total, c.hundredths) << c.frames << " frames at " << c.fps;
        ASSERT_EQ(gif.comments.size(), 1u);
        EXPECT_EQ(gif.comments[0], std::string(kRecipeKey) + ": " + recipeText(recipe));
        const auto read = readRecipeFile(path.toStdString());
        ASSERT_TRUE(std::holds_alternative<Recipe>(read));
        EXPECT_TRUE(std::get<Recipe>(read) == recipe);
    }
}

TEST(GifLoop, FramesAreExactWhenTheirColoursFit)
{
    QTemporaryDir folder;
    // A small picture whose palette entries fit the 255 places, caption left off.
    const AnimationRequest request{24, 12, PictureSize::covering(40, 30), false};
    Recipe recipe;
    CoreLoop core;
    for (std::uint32_t seed = 1; seed < 40 && (core.frames.empty() || core.entriesUsed > 255); ++seed) {
        recipe = recipeOfSeed(seed);
        core = coreLoop(recipe, request);
    }
    ASSERT_LE(core.entriesUsed, 255u);
    const QString path = folder.filePath(QStringLiteral("small.gif"));
    ASSERT_EQ(testing::writeLoop(recipe, request, path.toStdString(), false), std::optional<std::string>(""));
    const testing::DecodedGif gif = testing::decodeGif(path);
    ASSERT_EQ(gif.frames.size(), core.frames.size());
    for (std::size_t t = 0; t < core.frames.size(); ++t)
        EXPECT_EQ(gif.frames[t], core.frames[t].convertToFormat(QImage::Format_RGB32)) << "frame " << t;
}

// Whether every pixel of each palette entry shows one colour, above the caption's rows.
bool entriesShareColours(const QImage& frame, const std::vector<std::uint16_t>& entries, int rows)
{
    std::map<std::uint16_t, QRgb> colourOf;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const std::uint16_t entry = entries[static_cast<std::size_t>(y * frame.width() + x)];
            if (!colourOf.emplace(entry, frame.pixel(x, y)).second && colourOf[entry] != frame.pixel(x, y))
                return false;
        }
    return true;
}

TEST(GifLoop, ColoursThatDoNotFitAreReducedByNeighboursNotPixelNoise)
{
    QTemporaryDir folder;
    const Recipe recipe = recipeOfSeed(2026);
    const AnimationRequest request{60, 30, PictureSize::covering(300, 225), true};
    const CoreLoop core = coreLoop(recipe, request);
    ASSERT_GT(core.entriesUsed, 255u);
    const QString path = folder.filePath(QStringLiteral("reduced.gif"));
    ASSERT_EQ(testing::writeLoop(recipe, request, path.toStdString(), false), std::optional<std::string>(""));
    const testing::DecodedGif gif = testing::decodeGif(path);
    ASSERT_EQ(gif.frames.size(), core.frames.size());
    ImageSurface picture(300, 225);
    ImageSurface strip(kStripWidth, kStripHeight);
    CyclingPicture cycling;
    cycling.draw(recipe, picture, strip, request.size.scale);
    for (std::size_t t = 0; t < core.frames.size(); ++t) {
        // Close on the whole; each entry one colour, as in the true frame, never dithered.
        EXPECT_LT(meanDifference(gif.frames[t], core.frames[t]), 3.0) << "frame " << t;
        EXPECT_TRUE(entriesShareColours(gif.frames[t], cycling.entries(), 200)) << "frame " << t;
    }
}

// The least spread a grouping into runs can have, by trying every one.
double bestSpread(const std::vector<std::uint64_t>& weights, int groups)
{
    std::vector<std::size_t> used;
    for (std::size_t e = 0; e < weights.size(); ++e)
        if (weights[e] > 0)
            used.push_back(e);
    double best = 1e300;
    const std::size_t n = used.size();
    for (std::uint32_t cuts = 0; cuts < (1u << (n - 1)); ++cuts) {
        if (__builtin_popcount(cuts) != groups - 1)
            continue;
        double total = 0;
        std::size_t start = 0;
        for (std::size_t i = 0; i < n; ++i)
            if (i == n - 1 || (cuts >> i & 1u)) {
                double w = 0, s = 0, q = 0;
                for (std::size_t k = start; k <= i; ++k) {
                    const double x = static_cast<double>(used[k]), v = static_cast<double>(weights[used[k]]);
                    w += v;
                    s += v * x;
                    q += v * x * x;
                }
                total += q - s * s / w;
                start = i + 1;
            }
        best = std::min(best, total);
    }
    return best;
}

double spreadOf(const std::vector<std::uint64_t>& weights, const std::vector<int>& group)
{
    std::map<int, std::array<double, 3>> sums;
    for (std::size_t e = 0; e < weights.size(); ++e)
        if (group[e] >= 0) {
            auto& s = sums[group[e]];
            const double v = static_cast<double>(weights[e]), x = static_cast<double>(e);
            s[0] += v;
            s[1] += v * x;
            s[2] += v * x * x;
        }
    double total = 0;
    for (const auto& [g, s] : sums)
        total += s[2] - s[1] * s[1] / s[0];
    return total;
}

TEST(NeighbourGroups, FindsTheLeastSpreadRunsOfNeighbours)
{
    std::mt19937 random(5);
    for (int trial = 0; trial < 40; ++trial) {
        std::vector<std::uint64_t> weights(16);
        for (auto& w : weights)
            w = random() % 3 == 0 ? 0 : random() % 1000 + 1; // some entries unused
        const int used = static_cast<int>(std::count_if(weights.begin(), weights.end(), [](auto w) { return w > 0; }));
        const int groups = 1 + static_cast<int>(random() % static_cast<unsigned>(std::max(used - 1, 1)));
        const std::vector<int> group = neighbourGroups(weights, groups);
        // Runs of neighbours, numbered in order, unused entries in none.
        int last = -1;
        for (std::size_t e = 0; e < weights.size(); ++e) {
            if (weights[e] == 0) {
                EXPECT_EQ(group[e], -1);
                continue;
            }
            EXPECT_TRUE(group[e] == last || group[e] == last + 1) << "trial " << trial;
            last = group[e];
        }
        EXPECT_EQ(last, std::min(groups, used) - 1);
        EXPECT_NEAR(spreadOf(weights, group), bestSpread(weights, std::min(groups, used)), 1e-6) << "trial " << trial;
    }
}

TEST(GifLoop, SizesAndSpeedsAGifCannotHoldAreRefused)
{
    AnimationRequest request;
    request.size = {GifAnimation::kLargestSide + 1, 100, 1};
    EXPECT_NE(loopProblem(FileFormat::Gif, request).find("65535"), std::string::npos);
    request.size = {600, 450, 1};
    request.fps = 60;
    EXPECT_NE(loopProblem(FileFormat::Gif, request).find("50 frames a second"), std::string::npos);
    request.fps = 50;
    EXPECT_EQ(loopProblem(FileFormat::Gif, request), "");
    request.size = PictureSize::timesNormal(16); // 9600 x 7200: beyond H.264's largest frame
    EXPECT_NE(loopProblem(FileFormat::Mp4, request), "");
    EXPECT_EQ(loopProblem(FileFormat::Mp4, {1, 30, PictureSize::timesNormal(8), true}), "");
    request.size = {16384, 100, 1};
    EXPECT_NE(loopProblem(FileFormat::WebP, request).find("16383"), std::string::npos);
}

} // namespace
} // namespace genart
