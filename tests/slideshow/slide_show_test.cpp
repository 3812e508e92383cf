// The slideshow in the process, on Qt's off-screen platform: its frames, its cross-fade, its
// colour cycle, what it keeps, and the keys and clicks that end it.
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "picture_files/picture_at_size.h"
#include "slideshow/slide_show.h"
#include "slideshow/slide_window.h"
#include "support/image_session.h"

namespace genart {
namespace {

// A library that keeps what it is given.
struct RecordingLibrary final : WallpaperSource {
    std::string unavailable() const override { return {}; }
    std::variant<Recipe, std::string> randomFavourite(RandomSource&) override { return std::string("none"); }
    std::vector<Recipe> favourites() override { return {}; }
    std::variant<Recipe, std::string> entry(std::int64_t) override { return std::string("none"); }
    std::optional<std::int64_t> keep(const Recipe& recipe, const std::string& origin) override
    {
        kept.emplace_back(recipe, origin);
        return static_cast<std::int64_t>(kept.size());
    }
    std::vector<std::pair<Recipe, std::string>> kept;
};

struct RecordingCanvas final : SlideCanvas {
    QSize pixelSize() const override { return {120, 90}; }
    int refreshMilliseconds() const override { return 16; }
    void present(const QImage& frame) override { frames.push_back(frame.copy()); }
    std::vector<QImage> frames;
};

// The pictures a session of `seed` draws: start-up's, then new img / new palette's.
std::vector<Recipe> sessionPictures(std::uint32_t seed, int count)
{
    testing::ImageSession drawn(seed);
    PictureSession& session = drawn.session;
    std::vector<Recipe> pictures{session.recipe()};
    while (static_cast<int>(pictures.size()) < count) {
        session.perform(Action::Both);
        pictures.push_back(session.recipe());
    }
    return pictures;
}

// The same picture, whatever second its name was taken from.
bool samePicture(Recipe a, Recipe b)
{
    a.imeslike = b.imeslike;
    return a == b;
}

TEST(SlideShow, ShowsEachPictureFadesToTheNextAndKeepsEveryOne)
{
    RecordingLibrary library;
    SlideSource source(7, library);
    RecordingCanvas canvas;
    SlideShow show(source, canvas, {1, false});
    QSignalSpy shown(&show, &SlideShow::slideShown);
    show.start();
    const std::vector<Recipe> pictures = sessionPictures(7, 2);
    const QImage first = drawPicture(pictures[0], PictureSize::covering(120, 90), false)->picture;
    const QImage second = drawPicture(pictures[1], PictureSize::covering(120, 90), false)->picture;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !canvas.frames.empty() && canvas.frames.back() == second; }, 20000));

    EXPECT_EQ(canvas.frames.front(), first);
    const auto between = std::find_if(canvas.frames.begin(), canvas.frames.end(),
                                      [&](const QImage& frame) { return frame != first && frame != second; });
    EXPECT_NE(between, canvas.frames.end()); // the fade
    ASSERT_EQ(shown.count(), 2);
    ASSERT_EQ(library.kept.size(), 2u);
    for (std::size_t n = 0; n < 2; ++n) {
        EXPECT_TRUE(samePicture(library.kept[n].first, pictures[n]));
        EXPECT_EQ(library.kept[n].second, "slideshow");
    }
}

TEST(SlideShow, CrossFadeGoesFromOnePictureToTheOther)
{
    QImage from(4, 3, QImage::Format_RGB32), to(4, 3, QImage::Format_RGB32);
    from.fill(qRgb(10, 20, 200));
    to.fill(qRgb(210, 120, 0));
    EXPECT_EQ(crossFade(from, to, 0), from);
    EXPECT_EQ(crossFade(from, to, 1), to);
    const QRgb half = crossFade(from, to, 0.5).pixel(2, 1);
    EXPECT_NEAR(qRed(half), 110, 1);
    EXPECT_NEAR(qGreen(half), 70, 1);
    EXPECT_NEAR(qBlue(half), 100, 1);
}

TEST(SlideShow, CyclingSlidesTurnTheirColoursFromTheStillPicture)
{
    const Recipe recipe = sessionPictures(3, 1).front();
    ShownSlide slide(drawSlide(recipe, QSize(120, 90), true));
    const QImage still = drawPicture(recipe, PictureSize::covering(120, 90), false)->picture;
    EXPECT_EQ(slide.frame(0), still);
    EXPECT_NE(slide.frame(2500), still);
    EXPECT_EQ(slide.frame(0), still); // a full turn later, as at the start
}

TEST(SlideShow, FavouritesComeInTurnOverAndOver)
{
    RecordingLibrary library;
    const std::vector<Recipe> favourites = sessionPictures(5, 2);
    SlideSource source(favourites, library);
    for (const int n : {0, 1, 0})
        EXPECT_EQ(source.next(), favourites[static_cast<std::size_t>(n)]);
}

TEST(SlideWindow, AnyKeyOrClickEndsTheShow)
{
    SlideWindow window(QGuiApplication::primaryScreen());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.pixelSize(), QGuiApplication::primaryScreen()->size());
    QSignalSpy ended(&window, &SlideWindow::ended);
    QTest::keyClick(&window, Qt::Key_Space);
    QTest::keyClick(&window, Qt::Key_Escape);
    QTest::mouseClick(&window, Qt::LeftButton);
    QTest::mouseClick(&window, Qt::RightButton);
    EXPECT_EQ(ended.count(), 4);
}

} // namespace
} // namespace genart
