// PNGs written through libpng: every level decodes to the pixels drawn, the recipe comes back
// with its line breaks through Qt's reader and genart's own, progress counts the rows.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "files/png_output.h"
#include "files/recipe_file.h"
#include "platform/qt/image_surface.h"
#include "session/picture_session.h"
#include "support/image_session.h"

namespace genart {
namespace {

// Start-up's picture and one press of new img / new palette.
struct Drawn : testing::ImageSession {
    explicit Drawn(std::uint32_t seed) : ImageSession(seed, {Action::Both}) {}
};

QImage decoded(const QByteArray& png)
{
    return QImage::fromData(png, "png");
}

TEST(PngOutput, PicturesPostersAndStripsComeBackPixelForPixelAtEveryLevel)
{
    const Drawn drawn(77);
    ImageSurface posterSurface(1200, 900);
    ImageSurface posterStrip(kStripWidth, kStripHeight);
    drawRecipe(drawn.session.recipe(), posterSurface, posterStrip, 2);
    const QImage poster = posterSurface.image();
    std::vector<qsizetype> sizes;
    for (const int level : {static_cast<int>(kPngLevels.lowest), -1, static_cast<int>(kPngLevels.highest)}) {
        for (const QImage* image : {&drawn.picture.image(), &drawn.strip.image(), &poster}) {
            const QByteArray png = encodePng(*image, recipeText(drawn.session.recipe()), PngSettings{level, {}, nullptr});
            ASSERT_FALSE(png.isEmpty()) << "level " << level;
            const QImage back = decoded(png);
            EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), *image) << "level " << level;
            EXPECT_EQ(back.dotsPerMeterX(), image->dotsPerMeterX());
            if (image == &poster)
                sizes.push_back(png.size());
        }
    }
    // The level reaches zlib: stored data is the largest, level 9 the smallest.
    ASSERT_EQ(sizes.size(), 3u);
    EXPECT_GT(sizes[0], sizes[1]);
    EXPECT_GE(sizes[1], sizes[2]);
}

TEST(PngOutput, OtherFormatsKeepTheirColoursAndTheirAlpha)
{
    QImage translucent(37, 11, QImage::Format_ARGB32);
    QImage packed(37, 11, QImage::Format_RGB888);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 37; ++x) {
            translucent.setPixel(x, y, qRgba(x * 7, y * 23, 255 - x, (x * y * 13) % 256));
            packed.setPixel(x, y, qRgb(x * 5, 200 - y, (x + y) * 3));
        }
    const QImage alphaBack = decoded(encodePng(translucent));
    ASSERT_TRUE(alphaBack.hasAlphaChannel());
    EXPECT_EQ(alphaBack.convertToFormat(QImage::Format_ARGB32), translucent);
    EXPECT_EQ(decoded(encodePng(packed)).convertToFormat(QImage::Format_RGB888), packed);
    EXPECT_TRUE(encodePng(QImage()).isEmpty());
}

TEST(PngOutput, TheRecipeReadsBackWithItsLineBreaks)
{
    const Drawn drawn(4242);
    const std::string text = recipeText(drawn.session.recipe());
    ASSERT_NE(text.find('\n'), std::string::npos);
    const QByteArray png = encodePng(drawn.picture.image(), text);

    EXPECT_EQ(decoded(png).text(QString::fromLatin1(kRecipeKey)).toStdString(), text);

    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("picture.png"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(png), png.size());
    file.close();
    const auto read = readRecipeFile(path.toStdString());
    ASSERT_TRUE(std::holds_alternative<Recipe>(read)) << std::get<RecipeError>(read).message;
    EXPECT_EQ(std::get<Recipe>(read), drawn.session.recipe());

    // Without a recipe the file carries no text at all.
    EXPECT_TRUE(decoded(encodePng(drawn.picture.image())).textKeys().isEmpty());
}

TEST(PngOutput, ProgressCountsEveryRowAndCanStopTheEncoding)
{
    const Drawn drawn(9);
    std::vector<double> rows;
    PngSettings counting;
    counting.progress = [&](Stage stage, double done) {
        EXPECT_EQ(stage, Stage::Encoding);
        rows.push_back(done);
    };
    EXPECT_FALSE(encodePng(drawn.picture.image(), {}, counting).isEmpty());
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kPictureHeight));
    for (std::size_t n = 0; n < rows.size(); ++n)
        ASSERT_DOUBLE_EQ(rows[n], static_cast<double>(n + 1) / kPictureHeight);

    PngSettings stopping;
    CancelToken cancel;
    int calls = 0;
    stopping.cancel = &cancel;
    stopping.progress = [&](Stage, double) {
        if (++calls == 100)
            cancel.cancel();
    };
    EXPECT_TRUE(encodePng(drawn.picture.image(), {}, stopping).isEmpty());
    EXPECT_EQ(calls, 100);
}

} // namespace
} // namespace genart
