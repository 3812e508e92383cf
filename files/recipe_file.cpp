#include "files/recipe_file.h"

#include <QFile>
#include <QImageReader>

namespace genart {
namespace {

constexpr qint64 kLongestTextFile = 64 * 1024;

RecipeError fileError(const std::string& path, const std::string& why)
{
    return RecipeError{path + ": " + why};
}

} // namespace

std::variant<Recipe, RecipeError> readRecipeFile(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return fileError(path, "cannot read: " + file.errorString().toStdString());
    const QByteArray start = file.peek(8);
    std::string text;
    if (start.startsWith("\x89PNG\r\n\x1a\n")) {
        // Only the header and the text chunks before the image data are read.
        QImageReader reader(&file, "png");
        const QString stored = reader.text(QString::fromLatin1(kRecipeKey));
        if (stored.isEmpty())
            return fileError(path, "this PNG carries no genart recipe");
        text = stored.toStdString();
    } else {
        if (file.size() > kLongestTextFile)
            return fileError(path, "neither a PNG nor a recipe text (too large)");
        text = file.readAll().toStdString();
    }
    auto recipe = parseRecipe(text);
    if (auto* error = std::get_if<RecipeError>(&recipe))
        error->message = path + ": " + error->message;
    return recipe;
}

QImage withRecipe(QImage image, const Recipe& recipe)
{
    image.setText(QString::fromLatin1(kRecipeKey), QString::fromStdString(recipeText(recipe)));
    return image;
}

} // namespace genart
