// Pictures as JPEG and WebP files: what comes back when they are read, and the recipe they
// carry, including from files made to mislead the reader.
#include <cstdio>

#include <QBuffer>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "files/image_encoding.h"
#include "files/recipe_file.h"
#include "files/webp_output.h"
#include "files/webp_recipe.h"
#include "platform/qt/image_surface.h"
#include "session/picture_session.h"
#include "support/image_session.h"

namespace genart {
namespace {

QImage decoded(const QByteArray& bytes, const char* format)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, format);
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

class ImageFormats : public ::testing::Test {
protected:
    std::string file(const char* name, const QByteArray& bytes) const
    {
        const std::string path = dir.filePath(QString::fromUtf8(name)).toStdString();
        FILE* out = std::fopen(path.c_str(), "wb");
        EXPECT_NE(out, nullptr);
        if (out != nullptr) {
            std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), out);
            std::fclose(out);
        }
        return path;
    }
    std::string refusal(const std::string& path) const
    {
        const auto read = readRecipeFile(path);
        const auto* error = std::get_if<RecipeError>(&read);
        return error ? error->message : std::string("<accepted>");
    }

    testing::ImageSession shown{31};
    QTemporaryDir dir;
};

TEST_F(ImageFormats, LosslessWebpKeepsEveryPixelAndLossyStaysClose)
{
    const QImage& picture = shown.picture.image();
    const std::string recipe = recipeText(shown.session.recipe());
    const QByteArray lossless = encodeImage(picture, FileFormat::WebP, recipe);
    ASSERT_FALSE(lossless.isEmpty());
    EXPECT_EQ(decoded(lossless, "webp"), picture);

    EncodeSettings lossy;
    lossy.quality = 80;
    const QByteArray smaller = encodeImage(picture, FileFormat::WebP, recipe, lossy);
    const QImage near = decoded(smaller, "webp");
    ASSERT_EQ(near.size(), picture.size());
    EXPECT_LT(smaller.size(), lossless.size());
    EXPECT_NE(near, picture);
    // Colours stay near their own: on average within a few levels per channel.
    double difference = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            difference += std::abs(qGreen(near.pixel(x, y)) - qGreen(picture.pixel(x, y)));
    EXPECT_LT(difference / (picture.width() * picture.height()), 8.0);

    // Each carries the recipe, lossy or not, with its line breaks.
    for (const QByteArray& webp : {lossless, smaller}) {
        const WebpRecipe carried = webpRecipe(webp);
        ASSERT_TRUE(carried.recipe) << carried.problem;
        EXPECT_EQ(*carried.recipe, recipe);
    }
}

TEST_F(ImageFormats, JpegAndWebpRecipesReadBackAsTheRecipe)
{
    const std::string recipe = recipeText(shown.session.recipe());
    for (const auto& [name, format] : {std::pair{"a.jpg", FileFormat::Jpeg}, std::pair{"a.webp", FileFormat::WebP}}) {
        const std::string path = file(name, encodeImage(shown.picture.image(), format, recipe));
        const auto read = readRecipeFile(path);
        ASSERT_TRUE(std::holds_alternative<Recipe>(read)) << name << ": " << std::get<RecipeError>(read).message;
        EXPECT_EQ(std::get<Recipe>(read), shown.session.recipe()) << name;
    }
}

TEST_F(ImageFormats, PicturesWithoutARecipeOrMadeToMisleadAreRefusedInOneLine)
{
    const QImage small(8, 6, QImage::Format_RGB32);
    const QByteArray webp = encodeWebp(small, {});
    const QByteArray jpeg = encodeImage(small, FileFormat::Jpeg, {});
    const struct {
        const char* name;
        QByteArray bytes;
        const char* told;
    } cases[] = {
        {"plain.webp", webp, "carries no genart recipe"},
        {"cut.webp", webp.left(webp.size() / 2), "unreadable WebP"},
        {"riff.webp", QByteArray("RIFF\x10\0\0\0WEBPVP8X", 16) + QByteArray(64, '\xff'), "unreadable WebP"},
        {"plain.jpg", jpeg, "carries no genart recipe"},
        {"cut.jpg", jpeg.left(40), "unreadable JPEG"},
        {"text.webp", withWebpRecipe(webp, "<not a recipe>"), "not a genart recipe"},
    };
    for (const auto& c : cases) {
        const std::string told = refusal(file(c.name, c.bytes));
        EXPECT_NE(told, "<accepted>") << c.name;
        EXPECT_NE(told.find(c.told), std::string::npos) << c.name << ": " << told;
        EXPECT_EQ(told.find('\n'), std::string::npos) << c.name;
    }
}

} // namespace
} // namespace genart
