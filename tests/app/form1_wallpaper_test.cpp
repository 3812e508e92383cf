// "Set as wallpaper" in the picture's menu, through a private session bus with dconf behind
// GNOME's settings: the picture shown, at the screen's size, and the outcome on the status line.
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "app/wallpaper_action.h"
#include "files/recipe_file.h"
#include "platform/qt/surface_view.h"
#include "support/window_parts.h"
#include "support/private_session.h"

namespace genart {
namespace {

class WallpaperFromTheWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.startBus());
        window.Form_Load();
    }

    // Chooses "Set as wallpaper" in the picture's own menu and waits for its outcome.
    QString setAsWallpaper()
    {
        EXPECT_TRUE(testing::view(window, "Picture1")->actions().contains(testing::action(window, "wallpaperAction")));
        QSignalSpy finished(window.findChild<WallpaperAction*>(), &WallpaperAction::finished);
        testing::action(window, "wallpaperAction")->trigger();
        EXPECT_FALSE(testing::action(window, "wallpaperAction")->isEnabled()); // one at a time
        EXPECT_TRUE(finished.wait(60000));
        EXPECT_TRUE(testing::action(window, "wallpaperAction")->isEnabled());
        EXPECT_TRUE(testing::label(window, "statusLine")->isVisible());
        return testing::label(window, "statusLine")->text();
    }

    testing::PrivateSession session;
    TwisterRandom random;
    FixedClock clock{2026, 7, 8, 9, 10, 11};
    Form1 window{random, clock, 77u};
};

TEST_F(WallpaperFromTheWindow, ThePictureShownBecomesTheWallpaperAtTheScreensSize)
{
    session.set("XDG_CURRENT_DESKTOP", QStringLiteral("GNOME"));
    testing::button(window, "Command5")->click(); // a picture other than the first
    const QString status = setAsWallpaper();
    EXPECT_TRUE(status.startsWith(QStringLiteral("Set as the wallpaper: "))) << status.toStdString();
    EXPECT_TRUE(status.endsWith(QStringLiteral("shown through GNOME settings"))) << status.toStdString();

    const QString uri = session.gsettings("org.gnome.desktop.background", "picture-uri");
    const QString file = QUrl(uri.mid(1, uri.size() - 2)).toLocalFile();
    EXPECT_TRUE(status.contains(file));
    EXPECT_EQ(QImage(file).size(), QGuiApplication::primaryScreen()->size());
    const auto recipe = readRecipeFile(file.toStdString());
    ASSERT_TRUE(std::holds_alternative<Recipe>(recipe));
    EXPECT_EQ(std::get<Recipe>(recipe), window.session().recipe());
}

TEST_F(WallpaperFromTheWindow, AFailureIsToldOnTheStatusLine)
{
    session.set("XDG_CURRENT_DESKTOP", QStringLiteral("MATE")); // its schema is not installed here
    const QString status = setAsWallpaper();
    EXPECT_TRUE(status.startsWith(QStringLiteral("The wallpaper was not set: nothing could set the wallpaper "
                                                 "(tried MATE settings: no schema org.mate.background")))
        << status.toStdString();
}

} // namespace
} // namespace genart
