#include "app/animation_dialog.h"

#include <algorithm>

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>

#include "app/save_dialog.h"
#include "limits/limits.h"

namespace genart {
namespace {

const char* const kFramesKey = "animation/frames";
const char* const kFpsKey = "animation/fps";
const char* const kScaleKey = "animation/scale";

QSpinBox* numberBox(QWidget* parent, const char* name, const Range& range, int value)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(static_cast<int>(range.lowest), static_cast<int>(range.highest));
    box->setValue(value);
    return box;
}

} // namespace

std::optional<AnimationChoice> askForAnimation(QWidget* parent, const QString& name)
{
    QSettings settings;
    const QString webp = QObject::tr("Animated WebP (*.webp)");
    const QString mp4 = QObject::tr("MP4 video (*.mp4)");
    QFileDialog dialog(parent, QObject::tr("Save animation"),
                       QDir(startingSaveFolder(settings)).filePath(name + QStringLiteral(".webp")),
                       webp + QStringLiteral(";;") + mp4);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("webp"));
    dialog.setOption(QFileDialog::DontUseNativeDialog); // so the animation's choices can sit in it
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        dialog.setDefaultSuffix(filter == mp4 ? QStringLiteral("mp4") : QStringLiteral("webp"));
    });

    QSpinBox* frames = numberBox(&dialog, "animationFrames", kFrames,
                                 settings.value(QLatin1String(kFramesKey), kDefaultFrames).toInt());
    QSpinBox* fps = numberBox(&dialog, "animationFps", kFps, settings.value(QLatin1String(kFpsKey), kDefaultFps).toInt());
    fps->setSuffix(QObject::tr(" frames a second"));
    auto* duration = new QLabel(&dialog);
    const auto showDuration = [=] {
        duration->setText(QObject::tr("one turn of the colours in %1 s")
                              .arg(static_cast<double>(frames->value()) / fps->value(), 0, 'f', 1));
    };
    QObject::connect(frames, &QSpinBox::valueChanged, duration, showDuration);
    QObject::connect(fps, &QSpinBox::valueChanged, duration, showDuration);
    showDuration();
    auto* size = new QComboBox(&dialog);
    size->setObjectName(QStringLiteral("animationSize"));
    for (const int scale : kOfferedLoopScales)
        size->addItem(QObject::tr("%1× (%2 × %3 pixels)").arg(scale).arg(kPictureWidth * scale).arg(kPictureHeight * scale),
                      scale);
    size->setCurrentIndex(std::max(0, size->findData(settings.value(QLatin1String(kScaleKey), 1).toInt())));
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        int row = grid->rowCount();
        grid->addWidget(new QLabel(QObject::tr("Frames:"), &dialog), row, 0);
        grid->addWidget(frames, row++, 1);
        grid->addWidget(new QLabel(QObject::tr("Speed:"), &dialog), row, 0);
        grid->addWidget(fps, row++, 1);
        grid->addWidget(duration, row++, 1);
        grid->addWidget(new QLabel(QObject::tr("Size:"), &dialog), row, 0);
        grid->addWidget(size, row, 1);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;

    AnimationChoice choice;
    choice.path = dialog.selectedFiles().constFirst();
    choice.loop = {frames->value(), fps->value()};
    choice.size = PictureSize::timesNormal(size->currentData().toInt());
    rememberSaveFolder(settings, choice.path);
    settings.setValue(QLatin1String(kFramesKey), choice.loop.frames);
    settings.setValue(QLatin1String(kFpsKey), choice.loop.fps);
    settings.setValue(QLatin1String(kScaleKey), size->currentData().toInt());
    return choice;
}

} // namespace genart
