#include "app/animation_save.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPromise>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>

#include "animation_files/gif_animation.h"
#include "animation_files/loop_budget.h"
#include "files/output_files.h"

namespace genart {
namespace {

const char* const kFolderKey = "save/folder"; // shared with the picture saves
const char* const kFramesKey = "animation/frames";
const char* const kFpsKey = "animation/fps";
const char* const kScaleKey = "animation/scale";
const char* const kCaptionKey = "animation/caption";
const char* const kShareKey = "animation/share";

const QColor kPanelText(230, 230, 230);

constexpr int kLargestFrames = 3600;

QString startingFolder(const QSettings& settings)
{
    QString folder = settings.value(QLatin1String(kFolderKey)).toString();
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return folder;
}

// Every frame is shown for the same time: the drawing, then each frame encoded, then writing.
int percentOf(int framesDone, int frames)
{
    return 2 + framesDone * 96 / std::max(frames, 1);
}

QString stageOf(int framesDone, int frames)
{
    if (framesDone == 0)
        return QObject::tr("Drawing the picture…");
    if (framesDone < frames)
        return QObject::tr("Encoding frame %1 of %2…").arg(framesDone + 1).arg(frames);
    return QObject::tr("Writing the animation…");
}

} // namespace

namespace {

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

AnimationFields addFields(QFileDialog& dialog, const QSettings& settings)
{
    AnimationFields f{new QSpinBox(&dialog), new QSpinBox(&dialog), new QLabel(&dialog), new QComboBox(&dialog),
                      new QCheckBox(QObject::tr("Caption: the picture's name, web address and credit line"), &dialog),
                      new QCheckBox(QObject::tr("Fit for sharing: at most %1 MB, size and quality chosen to fit")
                                        .arg(static_cast<double>(kShareBudget) / 1e6, 0, 'f', 0),
                                    &dialog),
                      new QLabel(&dialog)};
    f.frames->setObjectName(QStringLiteral("animationFrames"));
    f.fps->setObjectName(QStringLiteral("animationFps"));
    f.length->setObjectName(QStringLiteral("animationLength"));
    f.size->setObjectName(QStringLiteral("animationSize"));
    f.caption->setObjectName(QStringLiteral("animationCaption"));
    f.share->setObjectName(QStringLiteral("animationShare"));
    f.estimate->setObjectName(QStringLiteral("animationEstimate"));
    f.fps->setRange(1, kLargestFps);
    f.fps->setSuffix(QObject::tr(" frames a second"));
    f.fps->setValue(settings.value(QLatin1String(kFpsKey), kDefaultFps).toInt());
    f.frames->setRange(1, kLargestFrames);
    f.frames->setValue(settings.value(QLatin1String(kFramesKey), framesOfOneTurn(f.fps->value())).toInt());
    for (const int scale : {1, 2, 4})
        f.size->addItem(QObject::tr("%1× (%2 × %3 pixels)").arg(scale).arg(kPictureWidth * scale).arg(kPictureHeight * scale),
                        scale);
    f.size->setCurrentIndex(std::max(0, f.size->findData(settings.value(QLatin1String(kScaleKey), 1).toInt())));
    f.caption->setChecked(settings.value(QLatin1String(kCaptionKey), true).toBool());
    f.share->setChecked(settings.value(QLatin1String(kShareKey), false).toBool());
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

AnimationRequest requestOf(const AnimationFields& f)
{
    return {f.frames->value(), f.fps->value(), PictureSize::timesNormal(f.size->currentData().toInt()),
            f.caption->isChecked(), kFormatsOwnQuality};
}

// The loop's length, and whether it is the window's turn; the file's size, about.
void describe(const AnimationFields& f, FileFormat format)
{
    const AnimationRequest request = requestOf(f);
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

} // namespace

std::optional<AnimationChoice> askForAnimation(QWidget* parent, const QString& name)
{
    QSettings settings;
    const QStringList filters{QObject::tr("Animated WebP (*.webp)"), QObject::tr("Animated GIF (*.gif)"),
                              QObject::tr("MP4 video (*.mp4)")};
    const FileFormat formats[] = {FileFormat::WebP, FileFormat::Gif, FileFormat::Mp4};
    QFileDialog dialog(parent, QObject::tr("Save animation"), QDir(startingFolder(settings)).filePath(name + QStringLiteral(".webp")),
                       filters.join(QStringLiteral(";;")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("webp"));
    dialog.setOption(QFileDialog::DontUseNativeDialog); // so the animation's choices can sit in it
    const AnimationFields fields = addFields(dialog, settings);
    FileFormat format = FileFormat::WebP;
    const auto update = [&] {
        // A GIF shows no more than its frames a second; the loop keeps its length where it can.
        fields.fps->setMaximum(format == FileFormat::Gif ? GifAnimation::kMostFps : kLargestFps);
        describe(fields, format);
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        format = formats[std::max<qsizetype>(0, filters.indexOf(filter))];
        dialog.setDefaultSuffix(QLatin1String(extensionOf(format)));
        update();
    });
    int lastFps = fields.fps->value();
    QObject::connect(fields.fps, &QSpinBox::valueChanged, &dialog, [&](int fps) {
        if (fields.frames->value() == framesOfOneTurn(lastFps))
            fields.frames->setValue(framesOfOneTurn(fps)); // still the window's turn
        lastFps = fps;
        update();
    });
    QObject::connect(fields.frames, &QSpinBox::valueChanged, &dialog, update);
    QObject::connect(fields.size, &QComboBox::currentIndexChanged, &dialog, update);
    QObject::connect(fields.caption, &QCheckBox::toggled, &dialog, update);
    QObject::connect(fields.share, &QCheckBox::toggled, &dialog, update);
    update();
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;

    AnimationChoice choice{dialog.selectedFiles().constFirst(), requestOf(fields), std::nullopt};
    if (fields.share->isChecked())
        choice.budget = kShareBudget;
    settings.setValue(QLatin1String(kFolderKey), QFileInfo(choice.path).absolutePath());
    settings.setValue(QLatin1String(kFramesKey), choice.request.frames);
    settings.setValue(QLatin1String(kFpsKey), choice.request.fps);
    settings.setValue(QLatin1String(kScaleKey), fields.size->currentData().toInt());
    settings.setValue(QLatin1String(kCaptionKey), choice.request.caption);
    settings.setValue(QLatin1String(kShareKey), fields.share->isChecked());
    return choice;
}

AnimationSave::AnimationSave(const Recipe& recipe, const AnimationChoice& choice, QWidget* canvas, const QRect& area,
                             QObject* parent)
    : QObject(parent), path_(choice.path), frames_(choice.request.frames)
{
    // Like the poster saves' panel: inside the window, above the picture, taking no focus from
    // the buttons.
    panel_ = new QProgressDialog(stageOf(0, frames_), tr("Cancel"), 0, 100, canvas);
    panel_->setWindowFlags(Qt::Widget);
    panel_->setWindowModality(Qt::NonModal);
    panel_->setAutoClose(false);
    panel_->setAutoReset(false);
    QPalette readable = panel_->palette();
    readable.setColor(QPalette::WindowText, kPanelText);
    panel_->setPalette(readable);
    panel_->setGeometry(area);
    panel_->setFixedSize(area.size());
    for (QPushButton* button : panel_->findChildren<QPushButton*>())
        button->setFocusPolicy(Qt::NoFocus);
    panel_->show();
    connect(panel_, &QProgressDialog::canceled, this, &AnimationSave::cancel);

    connect(&watcher_, &QFutureWatcher<std::optional<std::string>>::progressValueChanged, this, [this](int done) {
        const int percent = percentOf(done, frames_);
        const QString stage = stageOf(done, frames_);
        if (panel_) {
            panel_->setValue(percent);
            panel_->setLabelText(stage);
        }
        emit progress(percent, stage);
    });
    connect(&watcher_, &QFutureWatcher<std::optional<std::string>>::finished, this, [this] {
        const bool done = watcher_.future().resultCount() > 0;
        const std::optional<std::string> outcome = done ? watcher_.result() : std::nullopt;
        delete panel_;
        panel_ = nullptr;
        emit finished(path_, outcome ? QString::fromStdString(*outcome) : QString(), !outcome);
    });

    const std::string path = path_.toStdString();
    const AnimationRequest request = choice.request;
    const std::optional<std::size_t> budget = choice.budget;
    watcher_.setFuture(QtConcurrent::run([this, recipe, request, path, budget](QPromise<std::optional<std::string>>& promise) {
        promise.setProgressRange(0, request.frames);
        const auto told = [&](int done, int) { promise.setProgressValue(done); };
        promise.addResult(budget ? writeFitted(recipe, request, path, *budget, told)
                                 : writeAnimation(recipe, request, path, true, told, &cancel_));
    }));
}

std::optional<std::string> AnimationSave::writeFitted(const Recipe& recipe, const AnimationRequest& request,
                                                      const std::string& path, std::size_t budget,
                                                      const AnimationProgress& progress)
{
    OutputFiles files(true, newRunToken());
    LoopFitting fitting = fitLoop(recipe, request, formatOfPath(path), budget, files, path, progress, &cancel_);
    if (std::holds_alternative<Cancelled>(fitting))
        return std::nullopt;
    if (const auto* failure = std::get_if<std::string>(&fitting))
        return *failure;
    const FittedLoop& fitted = std::get<FittedLoop>(fitting);
    chosen_ = QString::fromStdString(describeFit(fitted, budget)); // read once the thread is done
    return placeLoop(files, &cancel_);
}

AnimationSave::~AnimationSave()
{
    cancel_ = true;
    watcher_.waitForFinished();
    delete panel_;
}

void AnimationSave::cancel()
{
    cancel_ = true;
}

} // namespace genart
