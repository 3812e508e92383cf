#include "opening/shared_recipe.h"

#include <algorithm>

#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QUrl>

#include "terminal_text/printable.h"
#include "files/recipe_file.h"
#include "share_codes/share_code.h"

namespace genart {
namespace {

// A recipe text is about 1 KB; anything handed over as one and longer than this is not one.
constexpr qsizetype kLongestRecipe = 64 * 1024;
// Of a pasted text, only so much is looked at to tell what it is.
constexpr qsizetype kLongestLook = 4 * 1024;

RecipeError refused(const std::string& message)
{
    return RecipeError{message};
}

QString recipeMimeType()
{
    return QString::fromLatin1(kRecipeMimeType);
}

std::variant<Recipe, RecipeError> recipeFromUrl(const QUrl& url)
{
    if (!url.isLocalFile())
        return refused("only files on this computer can be opened, not "
                       + printable(url.toDisplayString().left(kLongestLook).toStdString()));
    return readRecipeFile(QFile::encodeName(url.toLocalFile()).toStdString());
}

std::variant<Recipe, RecipeError> recipeFromPastedText(const QString& pasted)
{
    const QString text = pasted.left(kLongestLook).trimmed();
    if (text.startsWith(QLatin1String("file:")))
        return recipeFromUrl(QUrl(text.section(QLatin1Char('\n'), 0, 0).trimmed()));
    if (text.startsWith(QLatin1String(kShareCodePrefix)))
        return parseShareCode(text.toStdString());
    if (text.startsWith(QLatin1String(kRecipeKey))) {
        if (pasted.size() > kLongestRecipe)
            return refused("the text is too long to be a genart recipe");
        return parseRecipe(pasted.toStdString());
    }
    return refused("the text is neither a genart share code nor a recipe");
}

} // namespace

std::variant<Recipe, RecipeError> recipeFromArgument(const std::string& argument)
{
    if (looksLikeShareCode(argument))
        return parseShareCode(argument);
    return readRecipeFile(argument);
}

bool mayHoldRecipe(const QMimeData& data)
{
    return data.hasFormat(recipeMimeType()) || data.hasUrls() || data.hasImage() || data.hasText();
}

std::variant<Recipe, RecipeError> recipeFromMimeData(const QMimeData& data)
{
    if (data.hasFormat(recipeMimeType())) {
        const QByteArray text = data.data(recipeMimeType());
        if (text.size() > kLongestRecipe)
            return refused("the recipe handed over is too long to be one");
        return parseRecipe(text.toStdString());
    }
    // A browser's picture comes with its web address: the picture itself is what can be read.
    const QList<QUrl> urls = data.urls();
    const bool allLocal = std::all_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
    if (!urls.isEmpty() && (allLocal || !data.hasImage())) {
        if (urls.size() != 1)
            return refused("genart opens one file at a time, not " + std::to_string(urls.size()));
        return recipeFromUrl(urls.constFirst());
    }
    if (data.hasImage()) {
        const QImage image = qvariant_cast<QImage>(data.imageData());
        const QString text = image.text(QString::fromLatin1(kRecipeKey));
        if (text.isEmpty())
            return refused("this picture carries no genart recipe");
        if (text.size() > kLongestRecipe)
            return refused("this picture's recipe is too long to be one");
        return parseRecipe(text.toStdString());
    }
    if (data.hasText())
        return recipeFromPastedText(data.text());
    return refused("nothing genart can open: no picture, file, recipe or share code");
}

QMimeData* pictureMimeData(const QImage& picture, const Recipe& recipe)
{
    const std::string text = recipeText(recipe);
    QImage withRecipe = picture;
    withRecipe.setText(QString::fromLatin1(kRecipeKey), QString::fromStdString(text));
    auto* data = new QMimeData;
    data->setImageData(withRecipe);
    data->setData(recipeMimeType(), QByteArray::fromStdString(text));
    return data;
}

} // namespace genart
