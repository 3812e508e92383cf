// PNGs written through libpng: every level decodes to the pixels drawn, the recipe comes back
// with its line breaks through Qt's reader and genart's own, progress counts the rows.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "files/picture_export.h"
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
    const QImage poster = exportPicture(drawn.session.recipe(), PictureSize::timesNormal(2))->picture;
    std::vector<qsizetype> sizes;
    for (const int level : {kLowestPngLevel, -1, kHighestPngLevel}) {
        for (const QImage* image : {&drawn.picture.image(), &drawn.strip.image(), &poster}) {
            const QByteArray png = encodePng(*image, recipeText(drawn.session.recipe()), PngSettings{level, {}});
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
    std::vector<int> rows;
    PngSettings counting;
    counting.progress = [&](int done, int total) {
        EXPECT_EQ(total, kPictureHeight);
        rows.push_back(done);
        return true;
    };
    EXPECT_FALSE(encodePng(drawn.picture.image(), {}, counting).isEmpty());
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kPictureHeight));
    for (std::size_t n = 0; n < rows.size(); ++n)
        ASSERT_EQ(rows[n], static_cast<int>(n) + 1);

    PngSettings stopping;
    int calls = 0;
    stopping.progress = [&](int done, int) {
        ++calls;
        return done < 100;
    };
    EXPECT_TRUE(encodePng(drawn.picture.image(), {}, stopping).isEmpty());
    EXPECT_EQ(calls, 100);
}

} // namespace
} // namespace genart
