#include "app/wallpaper_action.h"

#include <QAction>
#include <QtConcurrent/QtConcurrentRun>

#include "desktop/screen_areas.h"
#include "desktop/wallpaper_picture.h"

namespace genart {

WallpaperAction::WallpaperAction(std::function<Recipe()> shownPicture, QAction* action, QObject* parent)
    : QObject(parent), shownPicture_(std::move(shownPicture)), action_(action)
{
    connect(&making_, &QFutureWatcher<WallpaperResult>::finished, this, &WallpaperAction::done);
}

WallpaperAction::~WallpaperAction()
{
    making_.waitForFinished();
}

void WallpaperAction::start()
{
    if (making_.isRunning())
        return;
    const std::vector<ScreenArea> screens = qtScreenAreas();
    const auto largest = largestScreen(screens);
    if (!largest) {
        emit finished(tr("The wallpaper was not set: there is no screen to take its size from"), false);
        return;
    }
    action_->setEnabled(false);
    const Recipe recipe = shownPicture_();
    const int width = largest->width;
    const int height = largest->height;
    making_.setFuture(QtConcurrent::run([recipe, screens, width, height] {
        return makeWallpaper(recipe, width, height, WallpaperPlace::Background, screens);
    }));
}

void WallpaperAction::done()
{
    action_->setEnabled(true);
    const WallpaperResult result = making_.result();
    const QString report = QString::fromStdString(wallpaperReport(result));
    if (result.set())
        emit finished(tr("Set as the wallpaper: %1").arg(report), true);
    else
        emit finished(tr("The wallpaper was not set: %1").arg(report), false);
}

} // namespace genart
