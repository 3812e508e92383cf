#pragma once

#include <functional>
#include <vector>

#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QPushButton;
class QWidget;

namespace genart {

// One key of the window, or one entry of the picture's context menu: what it does, the action
// that does it (found by its object name), and what the F1 help says of it. The window's keys,
// its menu and its help all come from one table of these; a new key is a new row.
struct KeyRow {
    const char* name = "";     // the action's object name, "saveAction"
    QList<QKeySequence> keys = {}; // none for a menu entry without a key
    QString help = {};         // what it does, for F1 (and for a button's tooltip)
    QPushButton* button = nullptr; // a command button the key presses, or else ...
    std::function<void()> act = {}; // ... what it does; neither for keys only the help tells of
    QString menuText = {};     // its entry in the picture's context menu, if any
    int menuGroup = 0;         // menu entries of one group stand together between separators
    QString keysText = {};     // how F1 shows the keys when not as bound ("Tab, Shift+Tab")
    bool checkable = false;    // an entry that is on or off
};

// The keys as F1 shows them: the row's own text, or the first key bound ("Ctrl+S").
QString keysText(const KeyRow& row);

// Makes each row's action on `window`, bound to its keys and named, gives each button its key in
// its tooltip, and puts the menu entries on `picture`, group after group. The actions, by row.
std::vector<QAction*> bindKeys(QWidget& window, QWidget& picture, const std::vector<KeyRow>& rows);

// The help's table of keys, then the menu entries that have none, as HTML rows.
QString keysHelp(const std::vector<KeyRow>& rows);

} // namespace genart
