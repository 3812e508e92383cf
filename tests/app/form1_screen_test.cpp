#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "app/help_window.h"
#include "platform/qt/surface_view.h"
#include "support/library_entries.h"
#include "support/window_parts.h"

namespace genart {
namespace {

using testing::button;
using testing::view;
using testing::partOf;
using testing::helpOf;

QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

class SmallAndKeyboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.Form_Load();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    std::vector<QWidget*> controls() const
    {
        return {view(form, "Picture1"), button(form, "Command1"), button(form, "Command2"), view(form, "Picture2"), button(form, "Command3"), button(form, "Command4"), button(form, "Command5")};
    }

    TwisterRandom random;
    FixedClock clock{2026, 9, 10, 11, 12, 13};
    Form1 form{random, clock, 21u};
};

TEST_F(SmallAndKeyboard, TheRestoredWindowScrollsToEveryControlAndMovesNone)
{
    std::vector<QRect> places;
    for (QWidget* control : controls())
        places.push_back(control->geometry());
    form.showNormal();
    QTRY_COMPARE(form.size(), QSize(312, 213));

    QWidget* viewport = partOf<QScrollArea>(form, "scrollArea")->viewport();
    QTRY_VERIFY(partOf<QScrollArea>(form, "scrollArea")->horizontalScrollBar()->isVisible());
    QTRY_VERIFY(partOf<QScrollArea>(form, "scrollArea")->verticalScrollBar()->isVisible());
    ASSERT_EQ(partOf<QScrollArea>(form, "scrollArea")->geometry(), form.rect());
    EXPECT_EQ(partOf<QWidget>(form, "canvas")->size(), QSize(769, 641));
    for (std::size_t n = 0; n < controls().size(); ++n) {
        QWidget* control = controls()[n];
        partOf<QScrollArea>(form, "scrollArea")->ensureWidgetVisible(control, 0, 0);
        EXPECT_EQ(control->geometry(), places[n]) << n; // on the canvas, where it always was
        // Its middle, or all of a command button, now lies in the part of the window that shows.
        const QPoint middle = control->mapTo(viewport, control->rect().center());
        ASSERT_TRUE(viewport->rect().contains(middle)) << n;
        EXPECT_EQ(viewport->childAt(middle), control) << n;
        if (qobject_cast<QPushButton*>(control) && control->width() <= viewport->width()) { // not the banner
            const QRect shown(control->mapTo(&form, QPoint(0, 0)), control->size());
            ASSERT_TRUE(viewport->geometry().contains(shown)) << n;
            EXPECT_EQ(rgb(form.grab(shown).toImage()), rgb(control->grab().toImage())) << n;
        }
    }

    // A button scrolled to is clicked as anywhere else; the canvas around it is black.
    partOf<QScrollArea>(form, "scrollArea")->ensureWidgetVisible(button(form, "Command5"), 0, 0);
    const QImage before = form.picture1Surface().image().copy();
    QTest::mouseClick(button(form, "Command5"), Qt::LeftButton);
    EXPECT_NE(form.picture1Surface().image(), before);
    const QPoint empty = button(form, "Command5")->mapTo(&form, QPoint(60, 24)); // between two buttons
    ASSERT_TRUE(viewport->geometry().contains(empty)) << empty.x() << "," << empty.y() << " in " << viewport->geometry().width() << "x" << viewport->geometry().height() << "+" << viewport->geometry().x() << "+" << viewport->geometry().y();
    EXPECT_EQ(form.grab().toImage().pixel(empty), qRgb(0, 0, 0));

    // Tab to a control out of sight scrolls it into sight.
    partOf<QScrollArea>(form, "scrollArea")->ensureWidgetVisible(button(form, "Command4"), 0, 0);
    button(form, "Command4")->setFocus();
    QTest::keyClick(button(form, "Command4"), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), button(form, "Command5"));
    EXPECT_TRUE(viewport->rect().contains(QRect(button(form, "Command5")->mapTo(viewport, QPoint(0, 0)), button(form, "Command5")->size())));
}

TEST_F(SmallAndKeyboard, EnterAndSpacePressTheFocusedButton)
{
    const struct {
        QPushButton* button;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::size_t entries; // in the history afterwards
    } presses[] = {
        {button(form, "Command1"), Qt::Key_Return, Qt::NoModifier, 2},
        {button(form, "Command3"), Qt::Key_Space, Qt::NoModifier, 3},
        {button(form, "Command5"), Qt::Key_Enter, Qt::KeypadModifier, 4},
        {button(form, "Command4"), Qt::Key_Return, Qt::NoModifier, 4}, // the banner does nothing
        {button(form, "Command1"), Qt::Key_Return, Qt::ShiftModifier, 4}, // not Enter alone
    };
    for (const auto& p : presses) {
        p.button->setFocus();
        QSignalSpy clicked(p.button, &QPushButton::clicked);
        QTest::keyClick(p.button, p.key, p.modifiers);
        EXPECT_EQ(clicked.count(), p.modifiers == Qt::ShiftModifier ? 0 : 1) << p.button->text().toStdString();
        EXPECT_EQ(testing::keptCount(form.library()), p.entries) << p.button->text().toStdString();
    }
    const std::vector<HistoryEntry> kept = testing::keptEntries(form.library());
    EXPECT_EQ(kept[2].picture, kept[1].picture); // change palette
    EXPECT_NE(kept[3].strip, kept[2].strip);    // new img / new palette
}

TEST_F(SmallAndKeyboard, F1ShowsWhatTheProgramDoesEveryKeyAndTheVersion)
{
    EXPECT_EQ(helpOf(form), nullptr);
    QTest::keyClick(button(form, "Command1"), Qt::Key_F1);
    ASSERT_NE(helpOf(form), nullptr);
    QTRY_VERIFY(helpOf(form)->isVisible());
    EXPECT_TRUE(helpOf(form)->isWindow());
    const QString text = helpOf(form)->text->text();
    EXPECT_TRUE(text.contains(QStringLiteral("genart " GENART_PROJECT_VERSION))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("generative art")));
    for (const char* key : {"<b>N</b>", "<b>I</b>", "<b>P</b>", "Left", "Right", "Alt+Left", "mouse back", "Ctrl+S",
                            "Ctrl+C", "<b>C</b>", "Enter, Space", "<b>F1</b>", "Ctrl+Q", "<b>E</b>", "<b>V</b>",
                            "<b>R</b>", "<b>F</b>", "<b>G</b>", "Ctrl+Shift+C", "Ctrl+O", "Ctrl+V"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(key))) << key;
    // The picture's menu, its entries without a key too, and the sizes as the save dialog offers them.
    for (const char* told : {"Right-click", "<b>Save animation…</b>", "<b>Set as wallpaper</b>",
                             "<b>Save recipe…</b>", "1× to 16×", "up to 100000 frames"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(told))) << told;
    // Readable: the window's black does not reach it.
    EXPECT_NE(helpOf(form)->palette().color(QPalette::Window),
              helpOf(form)->text->palette().color(QPalette::WindowText));
    // Nothing was drawn by asking for help, and it goes when the window does.
    EXPECT_EQ(testing::keptCount(form.library()), 1u);
    QTest::keyClick(button(form, "Command1"), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(helpOf(form)->isVisible());
}

} // namespace
} // namespace genart
