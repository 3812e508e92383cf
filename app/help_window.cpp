#include "app/help_window.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace genart {

HelpWindow::HelpWindow(const QString& keys, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(tr("genart help"));
    text = new QLabel(
        tr("<p><b>genart %1</b> makes abstract generative art: every picture is drawn pixel by pixel from a "
           "formula chosen at random and coloured from a palette strip of sine waves.</p>"
           "<p>Every picture shown is kept in the library, with those of earlier runs and other windows; "
           "Left and Right go through them in the order they were made (\"12 of 40\" above the picture). "
           "A command given while an earlier picture is shown draws from it and adds the result as the "
           "newest.</p>"
           "%2")
            .arg(QStringLiteral(GENART_VERSION), keys),
        this);
    text->setObjectName(QStringLiteral("helpText"));
    text->setWordWrap(true);
    text->setTextFormat(Qt::RichText);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    // Every key and menu entry is more than a small screen shows at once: the text scrolls.
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(text);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll);
    layout->addWidget(buttons);
    setMinimumWidth(480);
    resize(640, 560);
}

} // namespace genart
