// Feeds the recipe reader arbitrary bytes: as a text, as a file (PNG, JPEG, WebP or not), and as
// the chunks of a PNG after its signature and header. It must answer with a recipe or one printable line, and
// a recipe it accepts must write back to the same text. Run with -rss_limit_mb and
// -malloc_limit_mb, so that reading more than a recipe needs is a finding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <variant>

#include <QGuiApplication>
#include <QTemporaryFile>

#include "terminal_text/printable.h"
#include "files/recipe_file.h"
#include "session/recipe.h"

namespace {

// What printable() makes of a text that needs no other escape.
std::string backslashesDoubled(const std::string& text)
{
    std::string doubled;
    for (const char c : text)
        doubled += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return doubled;
}

void check(const std::variant<genart::Recipe, genart::RecipeError>& result, bool fromFile)
{
    if (const auto* error = std::get_if<genart::RecipeError>(&result)) {
        if (error->message.empty() || error->message.find('\n') != std::string::npos)
            std::abort();
        if (fromFile && genart::printable(error->message) != backslashesDoubled(error->message))
            std::abort(); // something echoed from the file reached the message unescaped
        return;
    }
    const genart::Recipe& recipe = std::get<genart::Recipe>(result);
    const auto again = genart::parseRecipe(genart::recipeText(recipe));
    if (!std::holds_alternative<genart::Recipe>(again) || std::get<genart::Recipe>(again) != recipe)
        std::abort();
}

void checkFile(const std::string& bytes)
{
    QTemporaryFile file;
    if (!file.open())
        return;
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    file.close();
    check(genart::readRecipeFile(file.fileName().toStdString()), true);
}

// A PNG's signature and the header chunk of a 1 by 1 picture.
const std::string kPngStart("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0\x90\x77\x53\xde", 33);

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    check(genart::parseRecipe(text), false);
    checkFile(text);
    if (text.compare(0, 8, kPngStart, 0, 8) != 0)
        checkFile(kPngStart + text);
    return 0;
}
