#pragma once

#include <QObject>
#include <QString>

#include <variant>

#include "session/recipe.h"

class QMimeData;

namespace genart {

class Form1;

// The window's side of sharing: opening a file, what is dropped on the window or pasted,
// copying the share code and saving the recipe as a .genart file. What opens is shown exactly as it was drawn, as the newest entry; what cannot
// be opened is refused in one line in the status area, and nothing changes.
class ShareActions final : public QObject {
    Q_OBJECT
public:
    explicit ShareActions(Form1& form);

    // Each true when a picture was opened.
    bool openFile(const QString& path);
    bool openMimeData(const QMimeData& data);

    // What the window's keys and menu entries do.
    void askWhatToOpen();
    void paste();
    void copyCode();
    void saveRecipeAs();

protected:
    // Drags and drops on the window.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows what was read, or tells why nothing was.
    bool show(const std::variant<Recipe, RecipeError>& read);

    Form1& form_;
};

} // namespace genart
