// Recipes read from untrusted files: hostile PNGs, JPEGs and WebPs, files that are not files,
// and messages that are one printable line with nothing from libpng around them.
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "files/hostile_pngs.h"
#include "files/image_encoding.h"
#include "files/jpeg_recipe.h"
#include "files/png_output.h"
#include "terminal_text/printable.h"
#include "files/recipe_file.h"
#include "files/webp_recipe.h"
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

// A GIF's head: signature, a 1 x 1 screen without colours, then `blocks`, then an image.
QByteArray gif(const QByteArray& blocks)
{
    return QByteArray("GIF89a\1\0\1\0\0\0\0", 13) + blocks + QByteArray(",\0\0\0\0\1\0\1\0\0", 10);
}

// An extension of `code` holding `data` in sub-blocks of at most 255 bytes.
QByteArray extension(char code, const QByteArray& data)
{
    QByteArray bytes("!");
    bytes += code;
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray part = data.mid(at, 255);
        bytes += static_cast<char>(part.size());
        bytes += part;
    }
    return bytes + '\0';
}

TEST_F(RecipeFileTest, GifsAreReadUpToTheirFirstImageOnly)
{
    const Recipe recipe = someRecipe(4);
    const QByteArray comment = "genart-recipe: " + QByteArray::fromStdString(recipeText(recipe));
    const char kComment = '\xfe';
    const auto read = readRecipeFile(file("loop.gif", gif(extension('\xff', "NETSCAPE2.0") + extension(kComment, "hello")
                                                          + extension(kComment, comment))));
    ASSERT_TRUE(std::holds_alternative<Recipe>(read)) << std::get<RecipeError>(read).message;
    EXPECT_EQ(std::get<Recipe>(read), recipe);

    const std::pair<QByteArray, const char*> refused[] = {
        {gif({}), "carries no genart recipe"},
        {gif(extension(kComment, comment) + extension(kComment, comment)), "more than one"},
        {gif(extension(kComment, "genart-recipe: " + QByteArray(5000, 'x'))), "too long"},
        {gif(extension('\x01', QByteArray(1 << 20, 'x'))), "unreadable GIF"}, // beyond what is read
        {gif(QByteArray(100, '!')), "unreadable GIF"},
        {QByteArray("GIF89a\1\0", 8), "unreadable GIF"},
    };
    for (const auto& [bytes, told] : refused) {
        const std::string path = file("hostile.gif", bytes);
        const auto [message, noise] = refusal(path);
        EXPECT_EQ(message.rfind(path + ": ", 0), 0u) << message;
        EXPECT_NE(message.find(told), std::string::npos) << message;
        EXPECT_EQ(message.find('\n'), std::string::npos) << message;
        EXPECT_EQ(noise, "");
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

// A JPEG segment: its marker and a payload of `size` bytes after the length.
QByteArray segment(unsigned char marker, const QByteArray& payload)
{
    const auto length = static_cast<unsigned>(payload.size() + 2);
    return QByteArray("\xff", 1) + char(marker) + char(length >> 8) + char(length & 0xff) + payload;
}

// A colour profile as photo tools add it: APP2 segments of ICC_PROFILE, `kB` in all.
QByteArray colourProfile(int kB)
{
    QByteArray segments;
    for (int left = kB * 1024; left > 0; left -= 65000)
        segments += segment(0xe2, QByteArray("ICC_PROFILE\0", 12) + QByteArray(std::min(left, 65000), '\x5a'));
    return segments;
}

QByteArray littleEndian(quint32 value)
{
    const char bytes[4] = {char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
    return QByteArray(bytes, 4);
}

// A RIFF chunk, padded to even.
QByteArray riffChunk(const char* name, const QByteArray& payload)
{
    const auto size = static_cast<quint32>(payload.size());
    return QByteArray(name, 4) + littleEndian(size) + payload + (size % 2 ? QByteArray(1, '\0') : QByteArray());
}

QByteArray riff(const QByteArray& chunks)
{
    return "RIFF" + littleEndian(static_cast<quint32>(chunks.size() + 4)) + "WEBP" + chunks;
}

TEST_F(RecipeFileTest, JpegMarkersAreWalkedUpToTheRecipeComment)
{
    const Recipe recipe = someRecipe(5);
    const QByteArray jpeg = encodeImage(QImage(8, 6, QImage::Format_RGB32), FileFormat::Jpeg, recipeText(recipe));
    const qsizetype comment = jpeg.indexOf("genart-recipe: ") - 4; // after its marker and length
    ASSERT_GT(comment, 0);
    ASSERT_EQ(jpeg.mid(comment, 2), QByteArray("\xff\xfe"));
    const qsizetype afterComment = comment + 2 + (uchar(jpeg[comment + 2]) << 8 | uchar(jpeg[comment + 3]));
    // A 325 kB profile behind the recipe, as a photo tool adds it, or in front of it; fill bytes.
    const QByteArray kinds[] = {
        jpeg.left(afterComment) + colourProfile(325) + jpeg.mid(afterComment),
        jpeg.left(2) + colourProfile(2000) + jpeg.mid(2),
        jpeg.left(2) + "\xff\xff\xff" + jpeg.mid(3),
    };
    for (const QByteArray& bytes : kinds) {
        const auto read = readRecipeFile(file("photo.jpg", bytes));
        ASSERT_TRUE(std::holds_alternative<Recipe>(read)) << std::get<RecipeError>(read).message;
        EXPECT_EQ(std::get<Recipe>(read), recipe);
    }

    // Past the limits the message says where genart stopped looking.
    QByteArray tinyMarkers;
    for (int n = 0; n < kMostJpegMarkers; ++n)
        tinyMarkers += segment(0xe5, {});
    const QByteArray far[] = {jpeg.left(2) + tinyMarkers + jpeg.mid(2),
                              jpeg.left(2) + colourProfile(static_cast<int>(kLongestJpegMetadata / 1024) + 64) + jpeg.mid(2)};
    for (const QByteArray& bytes : far) {
        const auto [message, noise] = refusal(file("far.jpg", bytes));
        EXPECT_NE(message.find("where genart stops looking"), std::string::npos) << message;
        EXPECT_NE(message.find("16 MiB"), std::string::npos) << message;
    }
    const std::pair<QByteArray, const char*> broken[] = {
        {jpeg.left(2) + segment(0xe1, {}).left(3), "unreadable JPEG"},
        {jpeg.left(2) + QByteArray("\xff\xe1\x00\x01", 4) + jpeg.mid(2), "too short"},
        {jpeg.left(comment) + "\x12\x34" + jpeg.mid(comment), "no marker"},
        {jpeg.left(comment) + segment(0xfe, "genart-recipe: " + QByteArray(5000, 'x')) + jpeg.mid(afterComment), "too long"},
    };
    for (const auto& [bytes, told] : broken) {
        const auto [message, noise] = refusal(file("broken.jpg", bytes));
        EXPECT_NE(message.find(told), std::string::npos) << message;
    }
}

TEST_F(RecipeFileTest, WebpChunksAreWalkedByTheirHeadersAlone)
{
    const Recipe recipe = someRecipe(6);
    const QByteArray still = withWebpRecipe(encodeImage(QImage(8, 6, QImage::Format_RGB32), FileFormat::WebP, {}),
                                            recipeText(recipe));
    const qsizetype xmp = still.indexOf("XMP ");
    ASSERT_GT(xmp, 0);
    const QByteArray image = still.mid(12, xmp - 12);
    const QByteArray packet = still.mid(xmp);

    // Behind three gigabytes of frames (a sparse file: nothing is written but the headers),
    // which mapping the file refused; only the headers and the packet are read.
    const std::string large = file("large.webp", {});
    {
        const quint32 frame = 0xbffffff0u;
        QByteArray header = "RIFF" + littleEndian(0) + "WEBP" + image + "ANMF" + littleEndian(frame);
        header.replace(4, 4, littleEndian(static_cast<quint32>(4 + image.size() + 8 + frame + packet.size())));
        const int fd = ::open(large.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, header.constData(), static_cast<size_t>(header.size()), 0), header.size());
        ASSERT_EQ(::pwrite(fd, packet.constData(), static_cast<size_t>(packet.size()), header.size() + off_t{frame}),
                  packet.size());
        ::close(fd);
    }
    const auto read = readRecipeFile(large);
    ASSERT_TRUE(std::holds_alternative<Recipe>(read)) << std::get<RecipeError>(read).message;
    EXPECT_EQ(std::get<Recipe>(read), recipe);
    unlink(large.c_str());

    QByteArray empties;
    for (std::size_t n = 0; n < kMostWebpChunks; ++n)
        empties += riffChunk("JUNK", {});
    const std::pair<QByteArray, const char*> refused[] = {
        {riff(image + empties + packet), "more than 131072 chunks"},
        {riff(image + packet + packet), "more than one XMP packet"},
        {riff(packet + image), "does not start with an image chunk"},
        {riff(image + packet).left(still.size() - 3), "ends early"},
        {riff(image + riffChunk("XMP ", QByteArray(70000, ' '))), "too large"},
    };
    for (const auto& [bytes, told] : refused) {
        const auto [message, noise] = refusal(file("hostile.webp", bytes));
        EXPECT_NE(message.find(told), std::string::npos) << message;
    }
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
