#include "app/help_window.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace genart {
namespace {

struct Key {
    const char* keys;
    const char* what;
};

const Key kKeys[] = {
    {"N", "new img / new palette: a new palette strip, then a new picture from it"},
    {"I", "new img / old palette: a new picture from the strip on the screen"},
    {"P", "change palette: a new strip; the picture keeps its colours"},
    // The explore view, also in the picture's context menu.
    {"E", "explore: a grid of the pictures the next presses of new img / new palette would draw"},
    {"V", "variations of the picture shown, from subtle to wild"},
    {"R", "the picture shown in new colours"},
    {"In the explore view", "E, V, R as here; Space draws anew what is not locked; a click, Enter or 1 to 9 "
                            "shows a candidate here; Ctrl+click two (or one and the picture shown), then Mix"},
    {"Left, Alt+Left, mouse back", "the previous picture"},
    {"Right, Alt+Right, mouse forward", "the next picture"},
    {"F", "favourite: mark the picture shown, or unmark it (a star above it)"},
    {"G", "the gallery: thumbnails of every picture kept, to find one again, export or remove"},
    {"Ctrl+S", "save the picture shown, with its recipe, at 1×, 2×, 4× or 8×"},
    {"Ctrl+C", "copy the picture shown, with its recipe"},
    {"Ctrl+Shift+C", "copy the picture's share code: one line of text that draws it again in any genart"},
    {"Ctrl+O", "open a genart picture or recipe file; files can also be dropped on the window"},
    {"Ctrl+V", "paste a picture, recipe, share code or file copied in genart or elsewhere"},
    {"C", "cycle colours: the picture's colours flow round its palette; C again shows it still"},
    {"Tab, Shift+Tab", "move between the pictures and the buttons"},
    {"Enter, Space", "press the button that has the focus"},
    {"F1", "this help"},
    {"Ctrl+Q", "exit"},
};

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("genart help"));
    QString keys;
    for (const Key& key : kKeys)
        keys += QStringLiteral("<tr><td><b>%1</b>&nbsp;&nbsp;</td><td>%2</td></tr>")
                    .arg(QString::fromUtf8(key.keys).toHtmlEscaped(), QString::fromUtf8(key.what).toHtmlEscaped());
    text = new QLabel(
        tr("<p><b>genart %1</b> makes abstract generative art: every picture is drawn pixel by pixel from a "
           "formula chosen at random and coloured from a palette strip of sine waves.</p>"
           "<p>Every picture shown is kept in the library, with those of earlier runs and other windows; "
           "Left and Right go through them in the order they were made (\"12 of 40\" above the picture). "
           "A command given while an earlier picture is shown draws from it and adds the result as the "
           "newest.</p>"
           "<table>%2</table>")
            .arg(QStringLiteral(GENART_VERSION), keys),
        this);
    text->setWordWrap(true);
    text->setTextFormat(Qt::RichText);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
    setMinimumWidth(480);
}

} // namespace genart
