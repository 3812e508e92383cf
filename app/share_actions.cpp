#include "app/share_actions.h"

#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QSettings>
#include <QStandardPaths>

#include "app/form1.h"
#include "files/output_files.h"
#include "files/recipe_file.h"
#include "opening/shared_recipe.h"
#include "share_codes/share_code.h"

namespace genart {
namespace {

const char* const kOpenFolderKey = "open/folder";
const char* const kRecipeFolderKey = "recipe/folder";

QString folderFrom(const QSettings& settings, const char* key)
{
    const QString folder = settings.value(QLatin1String(key)).toString();
    if (!folder.isEmpty() && QDir(folder).exists())
        return folder;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QDir(pictures).exists() ? pictures : QDir::homePath();
}

} // namespace

ShareActions::ShareActions(Form1& form) : QObject(&form), form_(form)
{
    form.setAcceptDrops(true);
    form.installEventFilter(this);
}

bool ShareActions::openFile(const QString& path)
{
    return show(readRecipeFile(QFile::encodeName(path).toStdString()));
}

bool ShareActions::openMimeData(const QMimeData& data)
{
    return show(recipeFromMimeData(data));
}

bool ShareActions::show(const std::variant<Recipe, RecipeError>& read)
{
    if (const auto* error = std::get_if<RecipeError>(&read)) {
        form_.tell(tr("Not opened: %1").arg(QString::fromStdString(error->message)));
        return false;
    }
    const Recipe& recipe = std::get<Recipe>(read);
    form_.showNewEntry({recipe, recipe.palette}, "opened");
    form_.tell(tr("Opened %1").arg(QString::fromStdString(recipe.imeslike)));
    return true;
}

bool ShareActions::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (drag->mimeData() && mayHoldRecipe(*drag->mimeData()))
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->mimeData())
            openMimeData(*drop->mimeData());
        drop->acceptProposedAction();
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

void ShareActions::askWhatToOpen()
{
    QSettings settings;
    QFileDialog dialog(&form_, tr("Open"), folderFrom(settings, kOpenFolderKey));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({tr("genart pictures and recipes (*.png *.jpg *.jpeg *.webp *.%1 *.txt)")
                               .arg(QLatin1String(kRecipeExtension)),
                           tr("All files (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    settings.setValue(QLatin1String(kOpenFolderKey), QFileInfo(path).absolutePath());
    openFile(path);
}

void ShareActions::paste()
{
    if (const QMimeData* data = QGuiApplication::clipboard()->mimeData())
        openMimeData(*data);
    else
        form_.tell(tr("Not opened: the clipboard is empty"));
}

void ShareActions::copyCode()
{
    QGuiApplication::clipboard()->setText(QString::fromStdString(shareCode(form_.recipeShown())));
    form_.tell(tr("Copied the share code of %1").arg(QString::fromStdString(form_.recipeShown().imeslike)));
}

void ShareActions::saveRecipeAs()
{
    QSettings settings;
    const QString name = QString::fromStdString(form_.recipeShown().imeslike) + QLatin1Char('.')
        + QLatin1String(kRecipeExtension);
    QFileDialog dialog(&form_, tr("Save recipe"), QDir(folderFrom(settings, kRecipeFolderKey)).filePath(name));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({tr("genart recipes (*.%1)").arg(QLatin1String(kRecipeExtension)), tr("All files (*)")});
    dialog.setDefaultSuffix(QLatin1String(kRecipeExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    settings.setValue(QLatin1String(kRecipeFolderKey), QFileInfo(path).absolutePath());

    // The dialog has asked before replacing a file.
    const std::string text = recipeText(form_.recipeShown());
    OutputFiles file(true, newRunToken());
    std::string failure = file.stage(path.toStdString(), text.data(), text.size());
    if (failure.empty())
        failure = file.place();
    if (failure.empty())
        failure = file.finish();
    if (!failure.empty())
        QMessageBox::warning(&form_, tr("Save recipe"),
                             tr("The recipe was not saved.\n\n%1").arg(QString::fromStdString(failure)));
    else
        form_.tell(tr("Saved %1").arg(QDir::toNativeSeparators(path)));
}

} // namespace genart
