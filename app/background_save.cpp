#include "app/background_save.h"

#include <algorithm>
#include <cmath>

#include <QDir>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPromise>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentRun>

#include "picture_files/run_picture_job.h"

namespace genart {
namespace {

const QColor kPanelText(230, 230, 230);

// The bar in fine steps, so that a loop's frames can be told from it.
constexpr int kStepsPerPercent = 1000;
constexpr int kSteps = 100 * kStepsPerPercent;

// Where drawing and encoding end on the bar, in percent: a still spends its time drawing and
// encoding, a loop encoding its frames.
struct Shares {
    int drawn;
    int encoded;
};
constexpr Shares kStillShares{60, 97};
constexpr Shares kLoopShares{2, 98};

Shares sharesOf(const PictureJob& job)
{
    return job.loop ? kLoopShares : kStillShares;
}

int stepsAt(const Shares& shares, Stage stage, double done)
{
    const auto within = [done](int from, int to) {
        return from * kStepsPerPercent + static_cast<int>(std::floor(done * (to - from) * kStepsPerPercent));
    };
    switch (stage) {
    case Stage::Drawing:
        return within(0, shares.drawn);
    case Stage::Encoding:
        return within(shares.drawn, shares.encoded);
    case Stage::Writing:
        break;
    }
    return within(shares.encoded, 100);
}

} // namespace

BackgroundSave::BackgroundSave(PictureJob job, QWidget* canvas, const QRect& area, FileCalls& calls, QObject* parent)
    : QObject(parent), job_(std::move(job))
{
    // Inside the window, above the picture and away from the buttons; it takes no focus from
    // them, so neither a click nor a key meant for them reaches its Cancel.
    panel_ = new QProgressDialog(stageText(0), tr("Cancel"), 0, kSteps, canvas);
    panel_->setWindowFlags(Qt::Widget); // a dialog is made a window of its own unless told
    panel_->setWindowModality(Qt::NonModal);
    panel_->setAutoClose(false);
    panel_->setAutoReset(false);
    QPalette readable = panel_->palette(); // on the window's black
    readable.setColor(QPalette::WindowText, kPanelText);
    panel_->setPalette(readable);
    panel_->setGeometry(area);
    panel_->setFixedSize(area.size()); // its texts would otherwise grow it over the picture
    for (QPushButton* button : panel_->findChildren<QPushButton*>())
        button->setFocusPolicy(Qt::NoFocus);
    panel_->show();
    connect(panel_, &QProgressDialog::canceled, this, &BackgroundSave::cancel);

    connect(&watcher_, &QFutureWatcher<JobOutcome>::progressValueChanged, this, [this](int steps) {
        const QString stage = stageText(steps);
        if (panel_) {
            panel_->setValue(steps);
            panel_->setLabelText(stage);
        }
        emit progress(steps / kStepsPerPercent, stage);
    });
    connect(&watcher_, &QFutureWatcher<JobOutcome>::finished, this, [this] {
        const JobOutcome outcome = watcher_.future().resultCount() > 0 ? watcher_.result() : JobOutcome{true, {}};
        delete panel_;
        panel_ = nullptr;
        chosen_ = QString::fromStdString(outcome.chosen);
        const QString written = outcome.path.empty() ? path() : QString::fromStdString(outcome.path);
        emit finished(written, QString::fromStdString(outcome.failure), outcome.cancelled);
    });

    watcher_.setFuture(QtConcurrent::run([this, &calls](QPromise<JobOutcome>& promise) {
        promise.setProgressRange(0, kSteps);
        const Shares shares = sharesOf(job_);
        promise.addResult(runPictureJob(
            job_, [&](Stage stage, double done) { promise.setProgressValue(stepsAt(shares, stage, done)); }, &cancel_,
            calls));
    }));
}

BackgroundSave::~BackgroundSave()
{
    cancel_.cancel();
    watcher_.waitForFinished();
    delete panel_;
}

void BackgroundSave::cancel()
{
    cancel_.cancel();
}

QString BackgroundSave::stageText(int steps) const
{
    const Shares shares = sharesOf(job_);
    const int percent = steps / kStepsPerPercent;
    if (job_.loop) {
        const int frames = job_.loop->frames;
        if (percent < shares.drawn)
            return tr("Drawing the picture…");
        const double encoded = static_cast<double>(steps - shares.drawn * kStepsPerPercent)
            / ((shares.encoded - shares.drawn) * kStepsPerPercent);
        const int framesDone = std::min(frames, static_cast<int>(std::lround(encoded * frames)));
        if (framesDone < frames)
            return tr("Encoding frame %1 of %2…").arg(framesDone + 1).arg(frames);
        return tr("Writing the animation…");
    }
    const QString pixels = tr("%1 × %2").arg(job_.size.width).arg(job_.size.height);
    if (percent < shares.drawn)
        return tr("Drawing the picture at %1…").arg(pixels);
    if (percent < shares.encoded)
        return tr("Encoding the picture at %1…").arg(pixels);
    return tr("Writing the picture at %1…").arg(pixels);
}

BackgroundSave::OnClose BackgroundSave::askOnClose(QWidget* parent, const QString& path, bool loop)
{
    const QString where = QDir::toNativeSeparators(path);
    QMessageBox question(QMessageBox::Question, loop ? tr("Save animation") : tr("Save picture"),
                         loop ? tr("An animation is still being saved to %1.").arg(where)
                                  : tr("A picture is still being saved to %1.").arg(where),
                         QMessageBox::NoButton, parent);
    question.setInformativeText(tr("Wait until it is written, then close, or drop it and close now?"));
    QPushButton* wait = question.addButton(tr("Wait"), QMessageBox::AcceptRole);
    QPushButton* drop = question.addButton(tr("Drop it"), QMessageBox::DestructiveRole);
    question.addButton(QMessageBox::Cancel);
    question.setDefaultButton(wait);
    question.exec();
    if (question.clickedButton() == drop)
        return OnClose::Drop;
    return question.clickedButton() == wait ? OnClose::Wait : OnClose::Stay;
}

} // namespace genart
