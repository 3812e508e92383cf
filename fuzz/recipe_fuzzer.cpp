// Feeds the recipe reader arbitrary bytes, as a text and as a file (PNG or not): it must answer
// with a recipe or a one-line error, and a recipe it accepts must write back to the same text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <variant>

#include <QGuiApplication>
#include <QTemporaryFile>

#include "session/recipe.h"
#include "files/recipe_file.h"

namespace {

void check(const std::variant<genart::Recipe, genart::RecipeError>& result)
{
    if (const auto* error = std::get_if<genart::RecipeError>(&result)) {
        if (error->message.empty() || error->message.find('\n') != std::string::npos)
            std::abort();
        return;
    }
    const genart::Recipe& recipe = std::get<genart::Recipe>(result);
    const auto again = genart::parseRecipe(genart::recipeText(recipe));
    if (!std::holds_alternative<genart::Recipe>(again) || std::get<genart::Recipe>(again) != recipe)
        std::abort();
}

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
    check(genart::parseRecipe(text));

    QTemporaryFile file;
    if (!file.open())
        return 0;
    file.write(text.data(), static_cast<qint64>(text.size()));
    file.close();
    check(genart::readRecipeFile(file.fileName().toStdString()));
    return 0;
}
