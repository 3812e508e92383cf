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

namespace genart {
namespace {

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
        return {form.Picture1, form.Command1, form.Command2, form.Picture2, form.Command3, form.Command4, form.Command5};
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

    QWidget* viewport = form.scrollArea->viewport();
    QTRY_VERIFY(form.scrollArea->horizontalScrollBar()->isVisible());
    QTRY_VERIFY(form.scrollArea->verticalScrollBar()->isVisible());
    ASSERT_EQ(form.scrollArea->geometry(), form.rect());
    EXPECT_EQ(form.canvas->size(), QSize(769, 641));
    for (std::size_t n = 0; n < controls().size(); ++n) {
        QWidget* control = controls()[n];
        form.scrollArea->ensureWidgetVisible(control, 0, 0);
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
    form.scrollArea->ensureWidgetVisible(form.Command5, 0, 0);
    const QImage before = form.picture1Surface().image().copy();
    QTest::mouseClick(form.Command5, Qt::LeftButton);
    EXPECT_NE(form.picture1Surface().image(), before);
    const QPoint empty = form.Command5->mapTo(&form, QPoint(60, 24)); // between two buttons
    ASSERT_TRUE(viewport->geometry().contains(empty)) << empty.x() << "," << empty.y() << " in " << viewport->geometry().width() << "x" << viewport->geometry().height() << "+" << viewport->geometry().x() << "+" << viewport->geometry().y();
    EXPECT_EQ(form.grab().toImage().pixel(empty), qRgb(0, 0, 0));

    // Tab to a control out of sight scrolls it into sight.
    form.scrollArea->ensureWidgetVisible(form.Command4, 0, 0);
    form.Command4->setFocus();
    QTest::keyClick(form.Command4, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), form.Command5);
    EXPECT_TRUE(viewport->rect().contains(QRect(form.Command5->mapTo(viewport, QPoint(0, 0)), form.Command5->size())));
}

TEST_F(SmallAndKeyboard, EnterAndSpacePressTheFocusedButton)
{
    const struct {
        QPushButton* button;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::size_t entries; // in the history afterwards
    } presses[] = {
        {form.Command1, Qt::Key_Return, Qt::NoModifier, 2},
        {form.Command3, Qt::Key_Space, Qt::NoModifier, 3},
        {form.Command5, Qt::Key_Enter, Qt::KeypadModifier, 4},
        {form.Command4, Qt::Key_Return, Qt::NoModifier, 4}, // the banner does nothing
        {form.Command1, Qt::Key_Return, Qt::ShiftModifier, 4}, // not Enter alone
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
    EXPECT_EQ(form.helpWindow, nullptr);
    QTest::keyClick(form.Command1, Qt::Key_F1);
    ASSERT_NE(form.helpWindow, nullptr);
    QTRY_VERIFY(form.helpWindow->isVisible());
    EXPECT_TRUE(form.helpWindow->isWindow());
    const QString text = form.helpWindow->text->text();
    EXPECT_TRUE(text.contains(QStringLiteral("genart " GENART_PROJECT_VERSION))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("generative art")));
    for (const char* key : {"<b>N</b>", "<b>I</b>", "<b>P</b>", "Left", "Right", "Alt+Left", "mouse back", "Ctrl+S",
                            "Ctrl+C", "<b>C</b>", "Enter, Space", "<b>F1</b>", "Ctrl+Q"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(key))) << key;
    // Readable: the window's black does not reach it.
    EXPECT_NE(form.helpWindow->palette().color(QPalette::Window),
              form.helpWindow->text->palette().color(QPalette::WindowText));
    // Nothing was drawn by asking for help, and it goes when the window does.
    EXPECT_EQ(testing::keptCount(form.library()), 1u);
    QTest::keyClick(form.Command1, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.helpWindow->isVisible());
}

} // namespace
} // namespace genart
