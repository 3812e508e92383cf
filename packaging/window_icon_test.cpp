#include <cstdlib>
#include <vector>

#include <QIcon>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "platform/clock.h"
#include "support/replay_random.h"

namespace genart {
namespace {

const std::vector<int> kIconSizes{16, 24, 32, 48, 64, 128, 256};

QImage installedIcon(int size)
{
    return QImage(QStringLiteral(GENART_ICON_DIR "/genart-%1.png").arg(size)).convertToFormat(QImage::Format_RGB32);
}

// The mean difference of the colour channels of two images of one size, 0 .. 255.
double meanDifference(const QImage& a, const QImage& b)
{
    long long total = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return static_cast<double>(total) / (3.0 * a.width() * a.height());
}

TEST(WindowIcon, IsTheIconInstalledForTheDesktop)
{
    testing::ReplayRandom random{{}};
    const FixedClock clock{2026, 12, 9, 12, 0, 0};
    const Form1 form{random, clock, 1u};

    EXPECT_EQ(form.windowTitle(), QStringLiteral("Form1"));
    const QIcon icon = form.windowIcon();
    ASSERT_FALSE(icon.isNull());
    const QImage shown = icon.pixmap(QSize(256, 256)).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage installed = installedIcon(256);
    ASSERT_FALSE(installed.isNull());
    EXPECT_EQ(shown, installed);
}

TEST(DesktopIcons, EverySizeIsTheSamePictureScaledDown)
{
    const QImage largest = installedIcon(256);
    ASSERT_EQ(largest.size(), QSize(256, 256));
    for (const int size : kIconSizes) {
        const QImage icon = installedIcon(size);
        ASSERT_EQ(icon.size(), QSize(size, size)) << "genart-" << size << ".png";
        const QImage expected = largest.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_LT(meanDifference(icon, expected), 3.0) << "genart-" << size << ".png";
    }
}

TEST(DesktopIcons, ShowAPictureNotAPlainColour)
{
    // A crop inside one flat area of the picture would make an icon of a single colour.
    const QImage icon = installedIcon(48);
    QImage filled(icon.size(), QImage::Format_RGB32);
    filled.fill(icon.pixel(0, 0));
    EXPECT_GT(meanDifference(icon, filled), 20.0);
}

} // namespace
} // namespace genart
