#pragma once

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QString>

#include <gtest/gtest.h>

#include "app/colour_cycling.h"
#include "app/help_window.h"
#include "platform/qt/surface_view.h"

namespace genart::testing {

// A part of the window, found by its object name as any code outside it finds it; a test that
// misses one fails.
template <class Part>
Part* partOf(const QObject& window, const char* name)
{
    auto* part = window.findChild<Part*>(QString::fromLatin1(name));
    EXPECT_NE(part, nullptr) << "no part named " << name;
    return part;
}

inline QPushButton* button(const QObject& window, const char* name)
{
    return partOf<QPushButton>(window, name);
}

inline SurfaceView* view(const QObject& window, const char* name)
{
    return partOf<SurfaceView>(window, name);
}

inline QAction* action(const QObject& window, const char* name)
{
    return partOf<QAction>(window, name);
}

// The status line ("statusLine") or the place above the picture ("placeLine").
inline QLabel* label(const QObject& window, const char* name)
{
    return partOf<QLabel>(window, name);
}

// A view of the window's own, once it is made; null before.
template <class View>
View* viewOf(const QObject& window)
{
    return window.findChild<View*>();
}

inline const ColourCycling& cyclingOf(const QObject& window)
{
    return *partOf<ColourCycling>(window, "colourCycling");
}

// The help window, once F1 has made it; null before.
inline HelpWindow* helpOf(const QObject& window)
{
    return window.findChild<HelpWindow*>(QStringLiteral("helpWindow"));
}

} // namespace genart::testing
