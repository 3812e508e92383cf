#pragma once

#include <atomic>
#include <optional>

#include <QFutureWatcher>
#include <QObject>
#include <QRect>
#include <QString>

#include "animation_files/animation_file.h"
#include "session/recipe.h"

class QProgressDialog;
class QWidget;

namespace genart {

// What "Save animation…" asks: where, how many frames, how many a second, how large, with the
// caption or not, and whether to fit it in a budget for sharing.
struct AnimationChoice {
    QString path;
    AnimationRequest request;
    std::optional<std::size_t> budget = std::nullopt;
};

// The save dialog with the animation's frames, rate, size, caption and "fit for sharing" beside
// the file name, showing the loop's length and about how large its file will be (WebP, GIF or
// MP4, as the file type chosen); the choices are remembered for next time. Nothing when
// cancelled.
std::optional<AnimationChoice> askForAnimation(QWidget* parent, const QString& name);

// An animation drawn, encoded and written on another thread, with a progress panel at `area`
// of `canvas` whose Cancel stops it; the window stays usable meanwhile. An existing file is
// replaced (the dialog has asked). Destroying it cancels the save and waits for the thread.
class AnimationSave final : public QObject {
    Q_OBJECT
public:
    AnimationSave(const Recipe& recipe, const AnimationChoice& choice, QWidget* canvas, const QRect& area,
                  QObject* parent = nullptr);
    ~AnimationSave() override;

    const QString& path() const { return path_; }
    // For a loop fitted to a budget, once finished: what was chosen, in one line.
    const QString& chosen() const { return chosen_; }
    void cancel();

signals:
    // How far it has got, 0 to 100, and what it is doing.
    void progress(int percent, const QString& stage);
    // An empty failure means the file was written; a cancelled save is not an error.
    void finished(const QString& path, const QString& failure, bool cancelled);

private:
    std::optional<std::string> writeFitted(const Recipe& recipe, const AnimationRequest& request,
                                           const std::string& path, std::size_t budget,
                                           const AnimationProgress& progress);

    QString path_;
    QString chosen_;
    int frames_;
    std::atomic<bool> cancel_{false};
    QFutureWatcher<std::optional<std::string>> watcher_;
    QProgressDialog* panel_ = nullptr;
};

} // namespace genart
