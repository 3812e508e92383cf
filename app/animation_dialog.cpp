#include "app/animation_dialog.h"

#include <algorithm>
#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QSettings>
#include <QSpinBox>

#include "animation_files/gif_animation.h"
#include "animation_files/loop_budget.h"
#include "app/save_dialog.h"
#include "limits/limits.h"

namespace genart {
namespace {

const char* const kFramesKey = "animation/frames";
const char* const kFpsKey = "animation/fps";
const char* const kScaleKey = "animation/scale";
const char* const kCaptionKey = "animation/caption";
const char* const kShareKey = "animation/share";

// The dialog's own fields, below the file name.
struct AnimationFields {
    QSpinBox* frames;
    QSpinBox* fps;
    QLabel* length;
    QComboBox* size;
    QCheckBox* caption;
    QCheckBox* share;
    QLabel* estimate;
};

QSpinBox* numberBox(QWidget* parent, const char* name, const Range& range, int value)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(static_cast<int>(range.lowest), static_cast<int>(range.highest));
    box->setValue(value);
    return box;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& text, bool checked)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    box->setChecked(checked);
    return box;
}

AnimationFields addFields(QFileDialog& dialog, const QSettings& settings)
{
    const int fps = settings.value(QLatin1String(kFpsKey), kDefaultFps).toInt();
    AnimationFields f{
        numberBox(&dialog, "animationFrames", kFrames, settings.value(QLatin1String(kFramesKey), framesOfOneTurn(fps)).toInt()),
        numberBox(&dialog, "animationFps", kFps, fps), new QLabel(&dialog), new QComboBox(&dialog),
        checkBox(&dialog, "animationCaption", QObject::tr("Caption: the picture's name, web address and credit line"),
                 settings.value(QLatin1String(kCaptionKey), true).toBool()),
        checkBox(&dialog, "animationShare",
                 QObject::tr("Fit for sharing: at most %1 MB, size and quality chosen to fit")
                     .arg(static_cast<double>(kShareBudget) / 1e6, 0, 'f', 0),
                 settings.value(QLatin1String(kShareKey), false).toBool()),
        new QLabel(&dialog)};
    f.length->setObjectName(QStringLiteral("animationLength"));
    f.size->setObjectName(QStringLiteral("animationSize"));
    f.estimate->setObjectName(QStringLiteral("animationEstimate"));
    f.fps->setSuffix(QObject::tr(" frames a second"));
    for (const int scale : kOfferedLoopScales)
        f.size->addItem(QObject::tr("%1× (%2 × %3 pixels)").arg(scale).arg(kPictureWidth * scale).arg(kPictureHeight * scale),
                        scale);
    f.size->setCurrentIndex(std::max(0, f.size->findData(settings.value(QLatin1String(kScaleKey), 1).toInt())));
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        int row = grid->rowCount();
        grid->addWidget(new QLabel(QObject::tr("Frames:"), &dialog), row, 0);
        grid->addWidget(f.frames, row++, 1);
        grid->addWidget(new QLabel(QObject::tr("Speed:"), &dialog), row, 0);
        grid->addWidget(f.fps, row++, 1);
        grid->addWidget(f.length, row++, 1);
        grid->addWidget(new QLabel(QObject::tr("Size:"), &dialog), row, 0);
        grid->addWidget(f.size, row++, 1);
        grid->addWidget(f.caption, row++, 1);
        grid->addWidget(f.share, row++, 1);
        grid->addWidget(f.estimate, row, 1);
    }
    return f;
}

AnimationChoice choiceOf(const AnimationFields& f)
{
    AnimationChoice choice;
    choice.loop.frames = f.frames->value();
    choice.loop.fps = f.fps->value();
    choice.loop.budget = f.share->isChecked() ? kShareBudget : 0;
    choice.size = PictureSize::timesNormal(f.size->currentData().toInt());
    choice.caption = f.caption->isChecked();
    return choice;
}

// The loop's length, and whether it is the window's turn; the file's size, about.
void describe(const AnimationFields& f, FileFormat format)
{
    const AnimationChoice choice = choiceOf(f);
    const AnimationRequest request{choice.loop.frames, choice.loop.fps, choice.size, choice.caption, kFormatsOwnQuality};
    const QString seconds = QString::number(request.seconds(), 'f', 1);
    f.length->setText(request.frames == framesOfOneTurn(request.fps)
                          ? QObject::tr("Loop: %1 s, one turn of the colours as the window shows it").arg(seconds)
                          : QObject::tr("Loop: %1 s for one turn of the colours").arg(seconds));
    const double about = static_cast<double>(estimatedLoopBytes(format, request)) / 1e6;
    const double most = static_cast<double>(kShareBudget) / 1e6;
    f.estimate->setText(f.share->isChecked() && about > most
                            ? QObject::tr("File: at most %1 MB (about %2 MB as it is)").arg(most, 0, 'f', 1).arg(about, 0, 'f', 1)
                            : QObject::tr("File: about %1 MB").arg(about, 0, 'f', 1));
}

// Keeps the fields' description and limits up to date as they and the file type change.
void followChanges(QFileDialog& dialog, const AnimationFields& fields, const QStringList& filters)
{
    const FileFormat formats[] = {FileFormat::WebP, FileFormat::Gif, FileFormat::Mp4};
    auto format = std::make_shared<FileFormat>(FileFormat::WebP);
    const auto update = [fields, format] {
        // A GIF shows no more than its frames a second; the loop keeps its length where it can.
        fields.fps->setMaximum(*format == FileFormat::Gif ? GifAnimation::kMostFps : static_cast<int>(kFps.highest));
        describe(fields, *format);
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [=, &dialog](const QString& filter) {
        *format = formats[std::max<qsizetype>(0, filters.indexOf(filter))];
        dialog.setDefaultSuffix(QLatin1String(extensionOf(*format)));
        update();
    });
    auto lastFps = std::make_shared<int>(fields.fps->value());
    QObject::connect(fields.fps, &QSpinBox::valueChanged, &dialog, [=](int fps) {
        if (fields.frames->value() == framesOfOneTurn(*lastFps))
            fields.frames->setValue(framesOfOneTurn(fps)); // still the window's turn
        *lastFps = fps;
        update();
    });
    QObject::connect(fields.frames, &QSpinBox::valueChanged, &dialog, update);
    QObject::connect(fields.size, &QComboBox::currentIndexChanged, &dialog, update);
    QObject::connect(fields.caption, &QCheckBox::toggled, &dialog, update);
    QObject::connect(fields.share, &QCheckBox::toggled, &dialog, update);
    update();
}

} // namespace

std::optional<AnimationChoice> askForAnimation(QWidget* parent, const QString& name)
{
    QSettings settings;
    const QStringList filters{QObject::tr("Animated WebP (*.webp)"), QObject::tr("Animated GIF (*.gif)"),
                              QObject::tr("MP4 video (*.mp4)")};
    QFileDialog dialog(parent, QObject::tr("Save animation"),
                       QDir(startingSaveFolder(settings)).filePath(name + QStringLiteral(".webp")),
                       filters.join(QStringLiteral(";;")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("webp"));
    dialog.setOption(QFileDialog::DontUseNativeDialog); // so the animation's choices can sit in it
    const AnimationFields fields = addFields(dialog, settings);
    followChanges(dialog, fields, filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;

    AnimationChoice choice = choiceOf(fields);
    choice.path = dialog.selectedFiles().constFirst();
    rememberSaveFolder(settings, choice.path);
    settings.setValue(QLatin1String(kFramesKey), choice.loop.frames);
    settings.setValue(QLatin1String(kFpsKey), choice.loop.fps);
    settings.setValue(QLatin1String(kScaleKey), fields.size->currentData().toInt());
    settings.setValue(QLatin1String(kCaptionKey), choice.caption);
    settings.setValue(QLatin1String(kShareKey), fields.share->isChecked());
    return choice;
}

} // namespace genart
