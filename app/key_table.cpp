#include "app/key_table.h"

#include <algorithm>

#include <QAction>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

namespace genart {
namespace {

QString tableRow(const QString& keys, const QString& what)
{
    return QStringLiteral("<tr><td><b>%1</b>&nbsp;&nbsp;</td><td>%2</td></tr>").arg(keys.toHtmlEscaped(), what.toHtmlEscaped());
}

} // namespace

QString keysText(const KeyRow& row)
{
    if (!row.keysText.isEmpty())
        return row.keysText;
    // The first of a standard key's bindings is the one people know ("Ctrl+C", not "Ctrl+Ins, F16").
    return row.keys.isEmpty() ? QString() : row.keys.constFirst().toString(QKeySequence::NativeText);
}

std::vector<QAction*> bindKeys(QWidget& window, QWidget& picture, const std::vector<KeyRow>& rows)
{
    std::vector<QAction*> actions;
    for (const KeyRow& row : rows) {
        auto* action = new QAction(row.menuText, &window);
        action->setObjectName(QLatin1String(row.name));
        action->setShortcuts(row.keys);
        action->setCheckable(row.checkable);
        if (row.button) {
            QObject::connect(action, &QAction::triggered, row.button, &QPushButton::click);
            row.button->setToolTip(QStringLiteral("%1 (%2)").arg(row.help, keysText(row)));
        } else if (row.act) {
            QObject::connect(action, &QAction::triggered, &window, row.act);
        }
        if (!row.keys.isEmpty())
            window.addAction(action);
        actions.push_back(action);
    }
    // The menu, group by group in the table's order.
    std::vector<std::size_t> entries;
    for (std::size_t n = 0; n < rows.size(); ++n)
        if (rows[n].menuGroup > 0)
            entries.push_back(n);
    std::stable_sort(entries.begin(), entries.end(),
                     [&](std::size_t a, std::size_t b) { return rows[a].menuGroup < rows[b].menuGroup; });
    for (std::size_t n = 0; n < entries.size(); ++n) {
        if (n > 0 && rows[entries[n]].menuGroup != rows[entries[n - 1]].menuGroup) {
            auto* separator = new QAction(&picture);
            separator->setSeparator(true);
            picture.addAction(separator);
        }
        picture.addAction(actions[entries[n]]);
    }
    picture.setContextMenuPolicy(Qt::ActionsContextMenu);
    return actions;
}

QString keysHelp(const std::vector<KeyRow>& rows)
{
    QString keys;
    QString menu;
    for (const KeyRow& row : rows) {
        if (!keysText(row).isEmpty())
            keys += tableRow(keysText(row), row.help);
        else if (!row.menuText.isEmpty())
            menu += tableRow(row.menuText, row.help);
    }
    return QStringLiteral("<table>%1</table>").arg(keys)
        + (menu.isEmpty() ? QString()
                          : QObject::tr("<p>Right-click on the picture for its menu: saving, copying, the history, "
                                        "colour cycling, and</p>")
                                + QStringLiteral("<table>%1</table>").arg(menu));
}

} // namespace genart
