#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QRect>
#include <QString>

#include "files/file_calls.h"
#include "picture_files/picture_job.h"
#include "platform/progress.h"

class QProgressDialog;
class QWidget;

namespace genart {

// A picture file made on another thread: a still at any size or a loop, run as a PictureJob,
// with a progress panel at `area` of `canvas` whose Cancel stops it; the window stays usable
// meanwhile. Destroying it cancels the job and waits for the thread.
class BackgroundSave final : public QObject {
    Q_OBJECT
public:
    BackgroundSave(PictureJob job, QWidget* canvas, const QRect& area, FileCalls& calls = systemFileCalls(),
                   QObject* parent = nullptr);
    ~BackgroundSave() override;

    QString path() const { return QString::fromStdString(job_.path); }
    bool isLoop() const { return job_.loop.has_value(); }
    // For a loop fitted to a budget, once finished: what was chosen, in one line.
    const QString& chosen() const { return chosen_; }
    void cancel();

    // Asked when the window is closed while a save to `path` runs: wait for it, drop it, or
    // keep the window open.
    enum class OnClose { Wait, Drop, Stay };
    static OnClose askOnClose(QWidget* parent, const QString& path, bool loop);

signals:
    // How far it has got, 0 to 100, and what it is doing.
    void progress(int percent, const QString& stage);
    // An empty failure means the file was written (at `path`: a loop fitted to a budget may have
    // had its extension added); a cancelled save is not an error.
    void finished(const QString& path, const QString& failure, bool cancelled);

private:
    QString stageText(int steps) const;

    const PictureJob job_;
    CancelToken cancel_;
    QFutureWatcher<JobOutcome> watcher_;
    QProgressDialog* panel_ = nullptr;
    QString chosen_;
};

} // namespace genart
