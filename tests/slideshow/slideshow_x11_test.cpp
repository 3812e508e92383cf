// The slideshow as a screensaver and on the screens, run as the program under a private X
// server, its pixels read back from the windows it draws in.
#include <csignal>

#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include "picture_files/picture_at_size.h"
#include "platform/qt/image_surface.h"
#include "session/picture_session.h"
#include "support/private_session.h"
#include "support/x11_pixels.h"

namespace genart {
namespace {

using testing::PrivateSession;
using testing::X11Reader;

constexpr int kScreenWidth = 320;
constexpr int kScreenHeight = 240;

class SlideshowX11Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.startDisplay(kScreenWidth, kScreenHeight));
        reader = std::make_unique<X11Reader>();
        ASSERT_TRUE(x().connected());
    }
    void TearDown() override
    {
        slideshow.terminate();
        slideshow.waitForFinished();
    }

    void start(const QStringList& arguments, const QProcessEnvironment& environment)
    {
        slideshow.setProcessEnvironment(environment);
        slideshow.start(QStringLiteral(GENART_BINARY),
                        QStringList{QStringLiteral("--slideshow"), QStringLiteral("--seed"), QStringLiteral("7")}
                            + arguments);
    }

    // The `n`th picture of seed 7 at `size` without its caption, as the show draws it.
    static QImage picture(int n, QSize size)
    {
        TwisterRandom random;
        SystemClock clock;
        ImageSurface picture1(kPictureWidth, kPictureHeight), picture2(kStripWidth, kStripHeight);
        PictureSession pictures(random, clock, picture1, picture2);
        pictures.startUp(7);
        for (int press = 0; press < n; ++press)
            pictures.perform(Action::Both);
        return drawPicture(pictures.recipe(), PictureSize::covering(size.width(), size.height()), false)->picture;
    }

    bool shows(xcb_drawable_t window, const QImage& expected) const
    {
        return QTest::qWaitFor(
            [&] { return testing::samePixels(x().pixels(window, expected.width(), expected.height()), expected); },
            30000);
    }

    // Stopped as xscreensaver stops its hacks: it ends at once, cleanly.
    void expectEndsOnSigterm()
    {
        slideshow.terminate();
        ASSERT_TRUE(slideshow.waitForFinished(10000));
        EXPECT_EQ(slideshow.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(slideshow.exitCode(), 0) << slideshow.readAllStandardError().toStdString();
    }

    const X11Reader& x() const { return *reader; }

    PrivateSession session;
    std::unique_ptr<X11Reader> reader; // once the display is there
    QProcess slideshow;
};

TEST_F(SlideshowX11Test, FillsTheWindowItIsGivenPictureAfterPictureUntilTold)
{
    const xcb_window_t window = x().makeWindow(160, 120);
    start({QStringLiteral("--window-id"), QStringLiteral("0x%1").arg(window, 0, 16), QStringLiteral("--seconds"),
           QStringLiteral("1")},
          session.environment);
    EXPECT_TRUE(shows(window, picture(0, QSize(160, 120))));
    EXPECT_TRUE(shows(window, picture(1, QSize(160, 120))));
    expectEndsOnSigterm();
    EXPECT_TRUE(x().exists(window)); // the window is its owner's
}

TEST_F(SlideshowX11Test, TakesTheScreensaversWindowFromItsVariable)
{
    const xcb_window_t window = x().makeWindow(200, 100);
    QProcessEnvironment environment = session.environment;
    environment.insert(QStringLiteral("XSCREENSAVER_WINDOW"), QStringLiteral("0x%1").arg(window, 0, 16));
    start({}, environment);
    EXPECT_TRUE(shows(window, picture(0, QSize(200, 100))));
    expectEndsOnSigterm();
}

TEST_F(SlideshowX11Test, FillsTheRootWindowAndEveryScreen)
{
    const QImage first = picture(0, QSize(kScreenWidth, kScreenHeight));
    start({QStringLiteral("--root")}, session.environment);
    EXPECT_TRUE(shows(x().root(), first));
    expectEndsOnSigterm();

    // The root window keeps the last frame until it is painted again; then a window of genart's
    // own covers the screen, and the root window's pixels are what shows.
    xcb_clear_area(x().connection(), 0, x().root(), 0, 0, 0, 0);
    xcb_flush(x().connection());
    ASSERT_FALSE(testing::samePixels(x().pixels(x().root(), kScreenWidth, kScreenHeight), first));
    start({}, session.environment);
    EXPECT_TRUE(shows(x().root(), first));
    expectEndsOnSigterm();
}

TEST_F(SlideshowX11Test, AWindowThatIsNotThereIsRefused)
{
    const auto run = session.run(QStringLiteral(GENART_BINARY),
                                 {QStringLiteral("--slideshow"), QStringLiteral("--window-id"),
                                  QStringLiteral("0x1fffff0")});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors, QStringLiteral("genart: --slideshow: there is no window 0x1fffff0\n"));
}

} // namespace
} // namespace genart
