#pragma once

#include <QDialog>

class QLabel;

namespace genart {

// The small window F1 opens: what the program does, every key (`keys`, the window's key table
// as HTML, see keysHelp), and the version.
class HelpWindow final : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(const QString& keys, QWidget* parent = nullptr);

    QLabel* text = nullptr;
};

} // namespace genart
