#pragma once

#include <functional>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QSpinBox>
#include <QString>

#include "app/form1.h"
#include "support/modal_dialogs.h"
#include "support/window_parts.h"

namespace genart::testing {

// Saves the picture on the screen through the real dialog, as a user does: "Save picture…"
// opens it, the size (by its key: "1x", "1920x1080", "custom" …) and the caption are chosen,
// the name is typed and Save is pressed, after `first` has looked at the dialog or filled in
// more; the dialog's question whether to replace a file that is there is answered yes. The save
// then runs in the background; Form1::saved tells when it is done.
inline void saveThroughDialog(Form1& window, const QString& path, const QString& size = QStringLiteral("1x"),
                              bool caption = true, const std::function<void(QFileDialog*)>& first = {})
{
    whenOpen<QFileDialog>([path, size, caption, first](QFileDialog* dialog) {
        if (first)
            first(dialog);
        auto* sizes = dialog->findChild<QComboBox*>(QStringLiteral("sizeChoice"));
        sizes->setCurrentIndex(sizes->findData(size));
        dialog->findChild<QCheckBox*>(QStringLiteral("captionChoice"))->setChecked(caption);
        dialog->selectFile(path);
        if (QFileInfo(path).exists())
            answer(QStringLiteral("&Yes"));
        static_cast<QDialog*>(dialog)->accept(); // as its Save button does
    });
    action(window, "saveAction")->trigger();
}

// The same for "Save animation…": `frames` at `fps`, `scale` times the size.
inline void saveLoopThroughDialog(Form1& window, const QString& path, int frames, int fps, int scale = 1)
{
    whenOpen<QFileDialog>([path, frames, fps, scale](QFileDialog* dialog) {
        dialog->findChild<QSpinBox*>(QStringLiteral("animationFrames"))->setValue(frames);
        dialog->findChild<QSpinBox*>(QStringLiteral("animationFps"))->setValue(fps);
        auto* sizes = dialog->findChild<QComboBox*>(QStringLiteral("animationSize"));
        sizes->setCurrentIndex(sizes->findData(scale));
        dialog->selectFile(path);
        if (QFileInfo(path).exists())
            answer(QStringLiteral("&Yes"));
        static_cast<QDialog*>(dialog)->accept();
    });
    action(window, "saveAnimationAction")->trigger();
}

} // namespace genart::testing
