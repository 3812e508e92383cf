#include "app/animation_save.h"

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

namespace genart {
namespace {

const char* const kFolderKey = "save/folder"; // shared with the picture saves
const char* const kFramesKey = "animation/frames";
const char* const kFpsKey = "animation/fps";
const char* const kScaleKey = "animation/scale";

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

std::optional<AnimationChoice> askForAnimation(QWidget* parent, const QString& name)
{
    QSettings settings;
    const QString webp = QObject::tr("Animated WebP (*.webp)");
    const QString mp4 = QObject::tr("MP4 video (*.mp4)");
    QFileDialog dialog(parent, QObject::tr("Save animation"), QDir(startingFolder(settings)).filePath(name + QStringLiteral(".webp")),
                       webp + QStringLiteral(";;") + mp4);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("webp"));
    dialog.setOption(QFileDialog::DontUseNativeDialog); // so the animation's choices can sit in it
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        dialog.setDefaultSuffix(filter == mp4 ? QStringLiteral("mp4") : QStringLiteral("webp"));
    });

    auto* frames = new QSpinBox(&dialog);
    frames->setObjectName(QStringLiteral("animationFrames"));
    frames->setRange(1, kLargestFrames);
    frames->setValue(settings.value(QLatin1String(kFramesKey), framesOfOneTurn(kDefaultFps)).toInt());
    auto* fps = new QSpinBox(&dialog);
    fps->setObjectName(QStringLiteral("animationFps"));
    fps->setRange(1, kLargestFps);
    fps->setSuffix(QObject::tr(" frames a second"));
    fps->setValue(settings.value(QLatin1String(kFpsKey), kDefaultFps).toInt());
    auto* duration = new QLabel(&dialog);
    const auto showDuration = [=] {
        duration->setText(QObject::tr("one turn of the colours in %1 s").arg(double(frames->value()) / fps->value(), 0, 'f', 1));
    };
    QObject::connect(frames, &QSpinBox::valueChanged, duration, showDuration);
    QObject::connect(fps, &QSpinBox::valueChanged, duration, showDuration);
    showDuration();
    auto* size = new QComboBox(&dialog);
    size->setObjectName(QStringLiteral("animationSize"));
    for (const int scale : {1, 2, 4})
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
    choice.request.frames = frames->value();
    choice.request.fps = fps->value();
    choice.request.size = PictureSize::timesNormal(size->currentData().toInt());
    settings.setValue(QLatin1String(kFolderKey), QFileInfo(choice.path).absolutePath());
    settings.setValue(QLatin1String(kFramesKey), choice.request.frames);
    settings.setValue(QLatin1String(kFpsKey), choice.request.fps);
    settings.setValue(QLatin1String(kScaleKey), size->currentData().toInt());
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
    watcher_.setFuture(QtConcurrent::run([this, recipe, request, path](QPromise<std::optional<std::string>>& promise) {
        promise.setProgressRange(0, request.frames);
        promise.addResult(writeAnimation(
            recipe, request, path, true, [&](int done, int) { promise.setProgressValue(done); }, &cancel_));
    }));
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
