#include "desktop/screen_areas.h"

#include <cmath>

#include <QGuiApplication>
#include <QScreen>

namespace genart {

std::vector<ScreenArea> qtScreenAreas()
{
    std::vector<ScreenArea> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const double ratio = screen->devicePixelRatio();
        const QRect place = screen->geometry();
        const auto pixels = [ratio](int length) { return static_cast<int>(std::lround(length * ratio)); };
        areas.push_back({screen->name().toStdString(), pixels(place.x()), pixels(place.y()), pixels(place.width()),
                         pixels(place.height())});
    }
    return areas;
}

std::vector<ScreenArea> screenAreas()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return {};
    return qtScreenAreas();
}

} // namespace genart
