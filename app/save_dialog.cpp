#include "app/save_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>

#include <functional>

#include "files/image_encoding.h"
#include "library_files/entry_files.h"

namespace genart {
namespace {

const char* const kFolderKey = "save/folder";
const char* const kSizeKey = "save/size";
const char* const kCustomKey = "save/custom";
const char* const kCaptionKey = "save/caption";
const char* const kFilterKey = "save/type";

// The file types offered, each with the suffix a name without one gets.
struct FileType {
    const char* filter;
    const char* suffix;
};
const FileType kFileTypes[] = {
    {"PNG pictures (*.png)", "png"},
    {"JPEG pictures (*.jpg *.jpeg)", "jpg"},
    {"WebP pictures (*.webp)", "webp"},
};

// The sizes offered, by the key the settings keep them under.
struct SizeEntry {
    QString key;
    QString label;
    PictureSize size;
};

QString pixels(int width, int height)
{
    return QObject::tr("%1 × %2 pixels").arg(width).arg(height);
}

std::vector<SizeEntry> sizeEntries(QSize screen)
{
    std::vector<SizeEntry> entries;
    for (const int scale : kOfferedScales) {
        const PictureSize size = PictureSize::timesNormal(scale);
        entries.push_back({QStringLiteral("%1x").arg(scale),
                           QObject::tr("%1× (%2)").arg(scale).arg(pixels(size.width, size.height)), size});
    }
    if (kSides.contains(screen.width()) && kSides.contains(screen.height()))
        entries.push_back({QStringLiteral("screen"),
                           QObject::tr("This screen (%1)").arg(pixels(screen.width(), screen.height())),
                           PictureSize::covering(screen.width(), screen.height())});
    const struct {
        const char* name;
        int width, height;
    } kScreens[] = {{"Full HD", 1920, 1080}, {"QHD", 2560, 1440}, {"4K UHD", 3840, 2160}};
    for (const auto& screenSize : kScreens)
        entries.push_back({QStringLiteral("%1x%2").arg(screenSize.width).arg(screenSize.height),
                           QObject::tr("%1 (%2)").arg(QString::fromLatin1(screenSize.name),
                                                      pixels(screenSize.width, screenSize.height)),
                           PictureSize::covering(screenSize.width, screenSize.height)});
    entries.push_back({QStringLiteral("custom"), QObject::tr("Other size…"), {}});
    return entries;
}

// A save dialog that will not close on a name genart cannot write, such as a picture.gif or a
// WebP larger than WebP holds: it says why and stays open, with the name there to correct.
class PictureFileDialog final : public QFileDialog {
public:
    PictureFileDialog(QWidget* parent, const QString& path, std::function<PictureSize()> size)
        : QFileDialog(parent, QObject::tr("Save picture"), path), size_(std::move(size))
    {
    }

    void accept() override
    {
        const QStringList chosen = selectedFiles();
        // A folder's name opens the folder, as the dialog always does.
        if (!chosen.isEmpty() && !QFileInfo(chosen.constFirst()).isDir()) {
            const PictureSize size = size_();
            const std::string problem = pictureFileProblem(QFile::encodeName(chosen.constFirst()).toStdString(),
                                                           size.width, size.height);
            if (!problem.empty()) {
                QMessageBox::warning(this, windowTitle(),
                                     QObject::tr("%1: %2").arg(QFileInfo(chosen.constFirst()).fileName(),
                                                               QString::fromStdString(problem)));
                return;
            }
        }
        QFileDialog::accept();
    }

private:
    std::function<PictureSize()> size_;
};

} // namespace

QString startingSaveFolder(const QSettings& settings)
{
    for (const QString& folder : {settings.value(QLatin1String(kFolderKey)).toString(),
                                  QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)})
        if (!folder.isEmpty() && QDir(folder).exists())
            return folder;
    return QDir::homePath();
}

void rememberSaveFolder(QSettings& settings, const QString& savedFile)
{
    settings.setValue(QLatin1String(kFolderKey), QFileInfo(savedFile).absolutePath());
}

std::optional<SaveChoice> askWhereToSave(QWidget* parent, const QString& name, QSize screenPixels)
{
    QSettings settings;
    QStringList filters;
    for (const FileType& type : kFileTypes)
        filters << QObject::tr(type.filter);
    const int typeIndex = std::clamp(settings.value(QLatin1String(kFilterKey), 0).toInt(), 0,
                                     static_cast<int>(std::size(kFileTypes)) - 1);
    const QString folder = startingSaveFolder(settings);
    // The size chosen, once the controls below exist.
    std::function<PictureSize()> chosenSize = [] { return PictureSize{}; };
    PictureFileDialog dialog(parent, unusedPath(folder, name, QLatin1String(kFileTypes[typeIndex].suffix)),
                             [&] { return chosenSize(); });
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog); // so the size choice can sit in it
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters[typeIndex]);
    dialog.setDefaultSuffix(QLatin1String(kFileTypes[typeIndex].suffix));
    // Another type chosen: the name and a name typed without a suffix follow it.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, filters](const QString& filter) {
        const auto index = filters.indexOf(filter);
        if (index < 0)
            return;
        const QString suffix = QLatin1String(kFileTypes[index].suffix);
        dialog.setDefaultSuffix(suffix);
        const QStringList chosen = dialog.selectedFiles();
        if (!chosen.isEmpty())
            dialog.selectFile(QFileInfo(chosen.constFirst()).completeBaseName() + QLatin1Char('.') + suffix);
    });

    const std::vector<SizeEntry> entries = sizeEntries(screenPixels);
    auto* size = new QComboBox(&dialog);
    size->setObjectName(QStringLiteral("sizeChoice"));
    for (const SizeEntry& entry : entries)
        size->addItem(entry.label, entry.key);
    size->setCurrentIndex(std::max(0, size->findData(settings.value(QLatin1String(kSizeKey), QStringLiteral("1x")))));

    // Any width and height, shown while "Other size…" is chosen.
    auto* custom = new QWidget(&dialog);
    auto* customRow = new QHBoxLayout(custom);
    customRow->setContentsMargins(0, 0, 0, 0);
    auto* width = new QSpinBox(custom);
    auto* height = new QSpinBox(custom);
    width->setObjectName(QStringLiteral("customWidth"));
    height->setObjectName(QStringLiteral("customHeight"));
    const QSize remembered = settings.value(QLatin1String(kCustomKey), QSize(1080, 1920)).toSize();
    for (auto [box, value] : {std::pair{width, remembered.width()}, std::pair{height, remembered.height()}}) {
        box->setRange(static_cast<int>(kSides.lowest), static_cast<int>(kSides.highest));
        box->setValue(value);
        box->setSuffix(QObject::tr(" px"));
    }
    customRow->addWidget(width);
    customRow->addWidget(new QLabel(QStringLiteral("×"), custom));
    customRow->addWidget(height);
    customRow->addStretch();
    const auto showCustom = [size, custom] {
        custom->setVisible(size->currentData().toString() == QLatin1String("custom"));
    };
    QObject::connect(size, &QComboBox::currentIndexChanged, custom, showCustom);
    showCustom();

    auto* caption = new QCheckBox(QObject::tr("Caption: the picture's name, web address and credit line"), &dialog);
    caption->setObjectName(QStringLiteral("captionChoice"));
    caption->setChecked(settings.value(QLatin1String(kCaptionKey), true).toBool());

    const auto entry = [&entries](const QString& key) {
        return std::find_if(entries.begin(), entries.end(), [&](const SizeEntry& e) { return e.key == key; });
    };
    chosenSize = [&] {
        const QString key = size->currentData().toString();
        return key == QLatin1String("custom") ? PictureSize::covering(width->value(), height->value())
                                              : entry(key)->size;
    };

    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        const int row = grid->rowCount();
        grid->addWidget(new QLabel(QObject::tr("Size:"), &dialog), row, 0);
        grid->addWidget(size, row, 1);
        grid->addWidget(custom, row + 1, 1);
        grid->addWidget(caption, row + 2, 1);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;

    SaveChoice choice;
    choice.path = dialog.selectedFiles().constFirst();
    const QString key = size->currentData().toString();
    choice.size = chosenSize();
    choice.caption = caption->isChecked();
    rememberSaveFolder(settings, choice.path);
    settings.setValue(QLatin1String(kSizeKey), key);
    settings.setValue(QLatin1String(kCustomKey), QSize(width->value(), height->value()));
    settings.setValue(QLatin1String(kCaptionKey), choice.caption);
    settings.setValue(QLatin1String(kFilterKey), std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter())));
    return choice;
}

} // namespace genart
