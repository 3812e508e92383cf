#pragma once

#include <functional>

#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include "desktop/desktop_wallpaper.h"
#include "session/recipe.h"

class QAction;

namespace genart {

// "Set as wallpaper": the picture shown, drawn at the largest screen's size without its caption
// and made the desktop's wallpaper on another thread, so the window stays in use; one at a
// time, the action off meanwhile. `finished` tells the outcome in a line for the status line.
class WallpaperAction final : public QObject {
    Q_OBJECT
public:
    // `action` is off while a wallpaper is being made.
    WallpaperAction(std::function<Recipe()> shownPicture, QAction* action, QObject* parent);
    ~WallpaperAction() override; // waits for a wallpaper being made

    void start();

signals:
    void finished(const QString& message, bool set);

private:
    void done();

    std::function<Recipe()> shownPicture_;
    QAction* action_;
    QFutureWatcher<WallpaperResult> making_;
};

} // namespace genart
