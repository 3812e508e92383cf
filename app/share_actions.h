#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <variant>

#include "session/recipe.h"

class QAction;
class QMimeData;

namespace genart {

class Form1;

// The window's side of sharing: opening a file (Ctrl+O, "Open…"), what is dropped on the
// window or pasted (Ctrl+V), copying the share code (Ctrl+Shift+C) and saving the recipe as a
// .genart file. What opens is shown exactly as it was drawn, as the newest entry; what cannot
// be opened is refused in one line in the status area, and nothing changes.
class ShareActions final : public QObject {
    Q_OBJECT
public:
    explicit ShareActions(Form1& form);

    // For the picture's context menu, in order; the window takes their keys.
    QList<QAction*> actions() const;

    // Each true when a picture was opened.
    bool openFile(const QString& path);
    bool openMimeData(const QMimeData& data);

    QAction* openAction = nullptr;       // "Open…", Ctrl+O
    QAction* pasteAction = nullptr;      // "Paste", Ctrl+V
    QAction* copyCodeAction = nullptr;   // "Copy code", Ctrl+Shift+C
    QAction* saveRecipeAction = nullptr; // "Save recipe…"

protected:
    // Drags and drops on the window.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows what was read, or tells why nothing was.
    bool show(const std::variant<Recipe, RecipeError>& read);
    void askWhatToOpen();
    void paste();
    void copyCode();
    void saveRecipeAs();

    Form1& form_;
};

} // namespace genart
