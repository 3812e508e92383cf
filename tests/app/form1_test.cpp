#include <unordered_set>
#include <vector>

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "platform/qt/surface_view.h"
#include "support/replay_random.h"
#include "support/window_parts.h"

namespace genart {
namespace {

using testing::button;
using testing::view;
using testing::partOf;

constexpr int kCaptionTop = 425;

// A long stretch of ordinary random values, so the window can be clicked many times.
std::vector<float> randomValues(std::size_t count)
{
    TwisterRandom twister(2024);
    std::vector<float> values(count);
    for (float& value : values)
        value = twister.next();
    return values;
}

QImage pixelsOf(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

class Form1Test : public ::testing::Test {
protected:
    Form1Test() { form.Form_Load(); }

    QImage picture() const { return pixelsOf(form.picture1Surface().image()); }
    QImage strip() const { return pixelsOf(form.picture2Surface().image()); }

    // The views must show exactly what the surfaces hold, one pixel to one pixel.
    void expectViewsShowSurfaces() const
    {
        EXPECT_EQ(pixelsOf(view(form, "Picture1")->grab().toImage()), picture());
        EXPECT_EQ(pixelsOf(view(form, "Picture2")->grab().toImage()), strip());
    }

    void click(QPushButton* button)
    {
        QSignalSpy clicked(button, &QPushButton::clicked);
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_EQ(clicked.count(), 1) << button->text().toStdString();
    }

    testing::ReplayRandom random{randomValues(400)};
    FixedClock clock{2026, 1, 2, 3, 4, 5};
    Form1 form{random, clock, 99u};
};

// Every pixel above the caption is black or the colour of some strip column, read on row 10,
// less 100 as a packed value.
void expectColouredFromStrip(const QImage& picture, const QImage& strip)
{
    std::unordered_set<QRgb> allowed{qRgb(0, 0, 0)};
    for (int x = 0; x < strip.width(); ++x) {
        const Colour colour = fromQRgb(strip.pixel(x, 10)) - 100;
        if (colour >= 0)
            allowed.insert(toQRgb(colour));
    }
    int foreign = 0;
    int black = 0;
    for (int y = 0; y < kCaptionTop; ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            foreign += allowed.count(pixel) == 0 ? 1 : 0;
            black += pixel == qRgb(0, 0, 0) ? 1 : 0;
        }
    }
    EXPECT_EQ(foreign, 0);
    EXPECT_LT(black, picture.width() * kCaptionTop);
}

TEST_F(Form1Test, LayoutCaptionsAndTabOrder)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Form1"));
    EXPECT_TRUE(form.isMaximized());
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(Qt::black));
    // The controls sit on the canvas the window scrolls, at the canvas's own coordinates.
    ASSERT_NE(partOf<QWidget>(form, "canvas"), nullptr);
    EXPECT_EQ(partOf<QWidget>(form, "canvas")->window(), &form);
    const QImage window = partOf<QWidget>(form, "canvas")->grab().toImage();
    ASSERT_GE(window.height(), 81);
    EXPECT_EQ(window.pixel(5, 5), qRgb(0, 0, 0));
    EXPECT_EQ(window.pixel(300, 60), qRgb(0, 0, 0)); // above the picture
    EXPECT_EQ(window.pixel(16, 80), qRgb(0, 0, 0));  // left of it

    const struct {
        QWidget* widget;
        QRect geometry;
        const char* caption;
    } controls[] = {
        {view(form, "Picture1"), {32, 80, 600, 450}, nullptr},
        {button(form, "Command1"), {648, 448, 121, 17}, "new img / old palette"},
        {button(form, "Command2"), {648, 512, 41, 17}, "exit"},
        {view(form, "Picture2"), {32, 552, 601, 33}, nullptr},
        {button(form, "Command3"), {648, 480, 121, 17}, "change palette"},
        {button(form, "Command4"), {32, 616, 601, 25},
         "GENERATIVE ART BY ORVANIK    web: www.orvanik.example    mail: art@orvanik.example"},
        {button(form, "Command5"), {648, 416, 121, 17}, "new img / new palette"},
    };
    std::vector<QWidget*> expectedOrder;
    for (const auto& control : controls) {
        ASSERT_NE(control.widget, nullptr);
        EXPECT_EQ(control.widget->parentWidget(), partOf<QWidget>(form, "canvas"));
        EXPECT_EQ(control.widget->geometry(), control.geometry) << control.widget->metaObject()->className();
        if (control.caption) {
            EXPECT_EQ(qobject_cast<QPushButton*>(control.widget)->text(), QString::fromUtf8(control.caption));
        }
        expectedOrder.push_back(control.widget);
    }

    // Walk the focus chain once round, keeping what Tab can reach.
    std::vector<QWidget*> order{view(form, "Picture1")};
    for (QWidget* w = view(form, "Picture1")->nextInFocusChain(); w != view(form, "Picture1"); w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            order.push_back(w);
    }
    EXPECT_EQ(order, expectedOrder);
}

TEST_F(Form1Test, StartUpShowsPaletteAndCaptionedPicture)
{
    EXPECT_EQ(random.taken(), 20u); // eleven for the palette, nine for the picture
    EXPECT_TRUE(form.isVisible());
    expectViewsShowSurfaces();

    const QImage strip = this->strip();
    std::unordered_set<QRgb> stripColours;
    for (int x = 0; x < strip.width(); ++x)
        stripColours.insert(strip.pixel(x, 10));
    EXPECT_GT(stripColours.size(), 1u);
    for (int x = 0; x < strip.width(); ++x) // each column is one colour top to bottom
        EXPECT_EQ(strip.pixel(x, 0), strip.pixel(x, 32)) << "column " << x;

    // Palette colours never exceed 252 in a component, so pure white comes only from the
    // caption, and each of its three texts leaves some.
    const QImage picture = this->picture();
    int whiteAbove = 0;
    int whiteIn[3] = {0, 0, 0};
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixel(x, y) != qRgb(255, 255, 255))
                continue;
            if (y < kCaptionTop)
                ++whiteAbove;
            else if (y <= 445)
                ++whiteIn[x < 220 ? 0 : x < 420 ? 1 : 2];
        }
    }
    EXPECT_EQ(whiteAbove, 0);
    EXPECT_GT(whiteIn[0], 0);
    EXPECT_GT(whiteIn[1], 0);
    EXPECT_GT(whiteIn[2], 0);
    expectColouredFromStrip(picture, strip);
}

TEST_F(Form1Test, ChangePaletteRepaintsOnlyTheStrip)
{
    const QImage picture = this->picture();
    const QImage strip = this->strip();
    click(button(form, "Command3"));
    EXPECT_EQ(random.taken(), 31u);
    EXPECT_EQ(this->picture(), picture);
    EXPECT_NE(this->strip(), strip);
    expectViewsShowSurfaces();
}

TEST_F(Form1Test, NewImageOldPaletteKeepsStripAndDrawsFromIt)
{
    const QImage strip = this->strip();
    QImage picture = this->picture();
    for (std::size_t n = 1; n <= 2; ++n) {
        click(button(form, "Command1"));
        EXPECT_EQ(random.taken(), 20u + 9u * n);
        EXPECT_EQ(this->strip(), strip);
        EXPECT_NE(this->picture(), picture);
        picture = this->picture();
        expectColouredFromStrip(picture, strip);
    }
    expectViewsShowSurfaces();
}

TEST_F(Form1Test, NewImageNewPaletteColoursFromTheNewStrip)
{
    const QImage picture = this->picture();
    const QImage strip = this->strip();
    click(button(form, "Command5"));
    EXPECT_EQ(random.taken(), 40u);
    EXPECT_NE(this->strip(), strip);
    EXPECT_NE(this->picture(), picture);
    expectColouredFromStrip(this->picture(), this->strip());
    expectViewsShowSurfaces();
}

TEST_F(Form1Test, BannerDoesNothing)
{
    const QImage picture = this->picture();
    const QImage strip = this->strip();
    click(button(form, "Command4"));
    EXPECT_EQ(random.taken(), 20u);
    EXPECT_EQ(this->picture(), picture);
    EXPECT_EQ(this->strip(), strip);
    EXPECT_TRUE(form.isVisible());
}

// A picture kept from the window is a snapshot: drawing on goes to the window, not into it.
TEST_F(Form1Test, KeptPictureIsASnapshot)
{
    const QImage kept = form.picture1Surface().image();
    const QImage keptPixels = kept.copy();
    for (int n = 0; n < 2; ++n) {
        const QImage shown = pixelsOf(view(form, "Picture1")->grab().toImage()).copy(0, 0, 600, kCaptionTop);
        click(button(form, "Command1"));
        EXPECT_NE(pixelsOf(view(form, "Picture1")->grab().toImage()).copy(0, 0, 600, kCaptionTop), shown) << "click " << n;
        EXPECT_EQ(fromQRgb(form.picture1Surface().image().pixel(300, 100)),
                  form.picture1Surface().Point(300, 100));
    }
    EXPECT_EQ(kept, keptPixels);
}

TEST_F(Form1Test, ExitClosesTheWindow)
{
    click(button(form, "Command1"));
    click(button(form, "Command3"));
    ASSERT_TRUE(form.isVisible());
    click(button(form, "Command2"));
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(random.taken(), 40u);
}

} // namespace
} // namespace genart
