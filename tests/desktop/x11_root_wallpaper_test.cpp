// Any other X11 session: the wallpaper becomes the root window's pixmap, named where desktop
// programs look for it, lasting past genart's exit; read back from a private X server.
#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

#include "picture_files/picture_at_size.h"
#include "files/recipe_file.h"
#include "support/private_session.h"
#include "support/x11_pixels.h"

namespace genart {
namespace {

using testing::PrivateSession;
using testing::X11Reader;

TEST(X11RootWallpaper, ThePictureIsTheRootPixmapAndReplacesTheOneBefore)
{
    PrivateSession session;
    ASSERT_TRUE(session.startDisplay(320, 240));
    const QDir folder(session.path("data") + QStringLiteral("/Orvanik/genart/wallpapers"));
    X11Reader x;
    ASSERT_TRUE(x.connected());

    xcb_pixmap_t before = 0;
    for (int run = 0; run < 2; ++run) {
        const auto done = session.run(QStringLiteral(GENART_BINARY), {QStringLiteral("wallpaper")});
        ASSERT_EQ(done.status, 0) << done.errors.toStdString();
        EXPECT_TRUE(done.out.contains(QStringLiteral("shown through X11 root window"))) << done.out.toStdString();
        const QStringList files = folder.entryList(QDir::Files, QDir::Time); // newest first
        ASSERT_EQ(files.size(), run + 1);
        const QString file = folder.filePath(files.front());
        EXPECT_EQ(QImage(file).size(), QSize(320, 240)); // the screen's size
        // The root shows the picture as drawn, exactly, from the recipe the file carries.
        const auto recipe = readRecipeFile(file.toStdString());
        ASSERT_TRUE(std::holds_alternative<Recipe>(recipe));
        const QImage picture = drawPicture(std::get<Recipe>(recipe), PictureSize::covering(320, 240), false)->picture;

        const xcb_pixmap_t pixmap = x.rootPixmap("_XROOTPMAP_ID");
        ASSERT_NE(pixmap, 0u);
        EXPECT_EQ(x.rootPixmap("ESETROOT_PMAP_ID"), pixmap);
        EXPECT_NE(pixmap, before);
        EXPECT_TRUE(testing::samePixels(x.pixels(pixmap, 320, 240), picture));
        if (before != 0) {
            EXPECT_FALSE(x.exists(before)); // the one it replaced is freed
        }
        before = pixmap;
    }
}

} // namespace
} // namespace genart
