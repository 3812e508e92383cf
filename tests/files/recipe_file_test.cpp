// Recipes read from untrusted files: hostile PNGs, files that are not files, and messages that
// are one printable line with nothing from libpng around them.
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "files/hostile_pngs.h"
#include "files/png_output.h"
#include "terminal_text/printable.h"
#include "files/recipe_file.h"
#include "platform/qt/image_surface.h"
#include "session/picture_session.h"

namespace genart {
namespace {

using namespace testing::png;

class RecipeFileTest : public ::testing::Test {
protected:
    // Writes a file of the folder; the name is taken byte for byte.
    std::string file(const std::string& name, const QByteArray& bytes) const
    {
        const std::string path = dir.path().toStdString() + "/" + name;
        FILE* out = std::fopen(path.c_str(), "wb");
        EXPECT_NE(out, nullptr) << path;
        if (out != nullptr) {
            EXPECT_EQ(std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), out),
                      static_cast<std::size_t>(bytes.size()));
            std::fclose(out);
        }
        return path;
    }

    // Reads with stderr caught: the error, and whatever reached stderr meanwhile.
    std::pair<std::string, std::string> refusal(const std::string& path) const
    {
        std::fflush(stderr);
        const int saved = dup(STDERR_FILENO);
        FILE* caught = std::tmpfile();
        dup2(fileno(caught), STDERR_FILENO);
        const auto read = readRecipeFile(path);
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
        close(saved);
        std::string noise(static_cast<std::size_t>(std::ftell(caught)), '\0');
        std::rewind(caught);
        noise.resize(std::fread(noise.data(), 1, noise.size(), caught));
        std::fclose(caught);
        const auto* error = std::get_if<RecipeError>(&read);
        return {error ? error->message : std::string("<accepted>"), noise};
    }

    QTemporaryDir dir;
};

TEST_F(RecipeFileTest, RecipesStoredInAnyTextChunkAreRead)
{
    const Recipe recipe = someRecipe(3);
    const QByteArray text = QByteArray::fromStdString(recipeText(recipe));
    const QByteArray key("genart-recipe\0", 14);
    const std::pair<const char*, QByteArray> kinds[] = {
        {"qt.png", encodePng(QImage(4, 3, QImage::Format_RGB32), recipeText(recipe))},
        {"text.png", png(chunk("tEXt", key + text))},
        {"ztxt.png", png(chunk("zTXt", key + '\0' + deflated(text)))},
        {"itxt.png", png(chunk("iTXt", key + QByteArray("\1\0\0\0", 4) + deflated(text)))},
        {"recipe.txt", text},
    };
    for (const auto& [name, bytes] : kinds) {
        const auto read = readRecipeFile(file(name, bytes));
        ASSERT_TRUE(std::holds_alternative<Recipe>(read)) << name << ": " << std::get<RecipeError>(read).message;
        EXPECT_EQ(std::get<Recipe>(read), recipe) << name;
    }
}

TEST_F(RecipeFileTest, HostilePngsAreRefusedAtOnceInOneLineWithoutLibpngsWords)
{
    for (const HostilePng& c : hostilePngs()) {
        const std::string path = file("hostile.png", c.bytes);
        const auto started = std::chrono::steady_clock::now();
        const auto [message, noise] = refusal(path);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(500)) << c.what;
        EXPECT_EQ(message.rfind(path + ": ", 0), 0u) << c.what << ": " << message;
        EXPECT_NE(message.find(c.told), std::string::npos) << c.what << ": " << message;
        EXPECT_EQ(message.find('\n'), std::string::npos) << c.what;
        EXPECT_EQ(printable(message), message) << c.what;
        EXPECT_EQ(noise, "") << c.what;
    }
}

TEST_F(RecipeFileTest, WhatIsNotARegularFileIsRefusedWithoutWaiting)
{
    const std::string fifo = dir.filePath("fifo").toStdString();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0); // nobody will ever write to it
    for (const std::string& path : {std::string("/dev/zero"), std::string("/dev/urandom"), fifo, dir.path().toStdString()}) {
        const auto started = std::chrono::steady_clock::now();
        const auto [message, noise] = refusal(path);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1)) << path;
        EXPECT_EQ(message, path + ": not a regular file");
    }
    const auto [tooLong, noise] = refusal(file("long.recipe", QByteArray(64 * 1024 + 1, 'x')));
    EXPECT_NE(tooLong.find("too large"), std::string::npos) << tooLong;
}

TEST_F(RecipeFileTest, EchoedKeysAndPathsAreEscaped)
{
    std::string text = recipeText(someRecipe(4)) + "\x1b]0;owned\x07\x1b[2J=1\n";
    const auto [key, noise] = refusal(file("evil.recipe", QByteArray::fromStdString(text)));
    EXPECT_EQ(key.find('\x1b'), std::string::npos) << key;
    EXPECT_NE(key.find("recipe key \\x1b]0;owned\\x07\\x1b[2J is unknown"), std::string::npos) << key;
    const std::string raw = file("name\x9b\x1b.recipe", "genart-recipe=1\n");
    const auto [path, silence] = refusal(raw);
    EXPECT_NE(path.find("name\\x9b\\x1b.recipe: "), std::string::npos) << path;
    unlink(raw.c_str()); // a name QTemporaryDir cannot spell
}

TEST(Printable, EscapesControlsAndBrokenUtf8AndKeepsTheRest)
{
    const std::pair<const char*, const char*> cases[] = {
        {"T20260102030405.png", "T20260102030405.png"},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xa8", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xa8"},
        {"a\x1b[31mb", "a\\x1b[31mb"},
        {"tab\there\r\n", "tab\\x09here\\x0d\\x0a"},
        {"del\x7f", "del\\x7f"},
        {"c1 \xc2\x9b" "2J", "c1 \\xc2\\x9b2J"},
        {"\xff\xfe", "\\xff\\xfe"},
        {"cut \xe2\x82", "cut \\xe2\\x82"},
        {"overlong \xc0\xaf \xe0\x80\xaf", "overlong \\xc0\\xaf \\xe0\\x80\\xaf"},
        {"surrogate \xed\xa0\x80", "surrogate \\xed\\xa0\\x80"},
        {"beyond \xf4\x90\x80\x80", "beyond \\xf4\\x90\\x80\\x80"},
        {"back\\slash", "back\\\\slash"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(printable(in), out) << in;
    EXPECT_EQ(printable(std::string("nul\0byte", 8)), "nul\\x00byte");
}

} // namespace
} // namespace genart
