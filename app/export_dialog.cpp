#include "app/export_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>

namespace genart {
namespace {

struct Offered {
    const char* label;
    int width, height; // 0: the picture times `scale`
    int scale;
};

const Offered kSizes[] = {
    {"1× (600 × 450)", 0, 0, 1},          {"2× (1200 × 900)", 0, 0, 2},
    {"4× (2400 × 1800)", 0, 0, 4},        {"8× (4800 × 3600)", 0, 0, 8},
    {"16× (9600 × 7200)", 0, 0, 16},      {"Full HD (1920 × 1080)", 1920, 1080, 0},
    {"QHD (2560 × 1440)", 2560, 1440, 0}, {"4K UHD (3840 × 2160)", 3840, 2160, 0},
    {"Other size…", -1, -1, 0},
};

PictureSize sizeOf(const Offered& offered, int width, int height)
{
    if (offered.width < 0)
        return PictureSize::covering(width, height);
    if (offered.width > 0)
        return PictureSize::covering(offered.width, offered.height);
    return PictureSize::timesNormal(offered.scale);
}

} // namespace

std::optional<ExportChoice> askHowToExport(QWidget* parent, int count)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(count == 1 ? QObject::tr("Export 1 picture") : QObject::tr("Export %1 pictures").arg(count));
    auto* form = new QFormLayout(&dialog);

    auto* folder = new QLineEdit(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation), &dialog);
    folder->setObjectName(QStringLiteral("exportFolder"));
    auto* choose = new QPushButton(QObject::tr("Choose…"), &dialog);
    QObject::connect(choose, &QPushButton::clicked, &dialog, [&dialog, folder] {
        const QString chosen = QFileDialog::getExistingDirectory(&dialog, QObject::tr("Export into"), folder->text());
        if (!chosen.isEmpty())
            folder->setText(chosen);
    });
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folder);
    folderRow->addWidget(choose);
    form->addRow(QObject::tr("Folder:"), folderRow);

    auto* size = new QComboBox(&dialog);
    size->setObjectName(QStringLiteral("exportSize"));
    for (const Offered& offered : kSizes)
        size->addItem(QString::fromUtf8(offered.label));
    auto* width = new QSpinBox(&dialog);
    auto* height = new QSpinBox(&dialog);
    for (auto [box, value] : {std::pair{width, 1080}, std::pair{height, 1920}}) {
        box->setRange(static_cast<int>(kSides.lowest), static_cast<int>(kSides.highest));
        box->setValue(value);
        box->setEnabled(false);
    }
    QObject::connect(size, &QComboBox::currentIndexChanged, &dialog, [size, width, height] {
        const bool other = kSizes[size->currentIndex()].width < 0;
        width->setEnabled(other);
        height->setEnabled(other);
    });
    auto* customRow = new QHBoxLayout;
    customRow->addWidget(width);
    customRow->addWidget(height);
    form->addRow(QObject::tr("Size:"), size);
    form->addRow(QString(), customRow);

    auto* format = new QComboBox(&dialog);
    format->setObjectName(QStringLiteral("exportFormat"));
    format->addItem(QStringLiteral("PNG"), QStringLiteral("png"));
    format->addItem(QStringLiteral("JPEG"), QStringLiteral("jpg"));
    format->addItem(QStringLiteral("WebP"), QStringLiteral("webp"));
    form->addRow(QObject::tr("Format:"), format);
    auto* caption = new QCheckBox(QObject::tr("Caption: the picture's name, web address and credit line"), &dialog);
    caption->setChecked(true);
    form->addRow(QString(), caption);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted || folder->text().isEmpty())
        return std::nullopt;
    return ExportChoice{folder->text(), sizeOf(kSizes[size->currentIndex()], width->value(), height->value()),
                        format->currentData().toString(), caption->isChecked()};
}

} // namespace genart
