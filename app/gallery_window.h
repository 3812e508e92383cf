#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QWidget>

#include "library/library.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListView;
class QPushButton;
class QTimer;
template <typename T> class QFutureWatcher;

namespace genart {

class Form1;
class GalleryModel;
class ThumbnailLoader;
struct ExportedEntries;

// A window of thumbnails of every entry of the library, newest first, filtered to favourites or
// one formula. A click or Enter shows the entry in the main window; the entries selected can be
// made favourites, removed (and the removals taken back until the main window closes) or
// exported at any size and format.
class GalleryWindow final : public QWidget {
    Q_OBJECT
public:
    GalleryWindow(Form1& form, Library& library);
    ~GalleryWindow() override; // what was removed and not taken back goes for good

    std::vector<std::int64_t> selectedIds() const;
    void favouriteSelected();
    void removeSelected();
    void undoRemoval();
    void exportSelected();
    bool exporting() const { return export_ != nullptr; }

    QListView* view = nullptr;
    QCheckBox* favouritesOnly = nullptr;
    QComboBox* formula = nullptr; // "Every formula", then 1 .. 15
    QPushButton* favouriteButton = nullptr;
    QPushButton* removeButton = nullptr;
    QPushButton* undoButton = nullptr;
    QPushButton* exportButton = nullptr;
    QLabel* status = nullptr;

signals:
    void exported(const QStringList& files, const QString& failure);

private:
    void showEntryAt(const QModelIndex& index);
    void applyFilter();
    void watchLibrary();
    void updateButtons();
    void say(const QString& message);

    Form1& form_;
    Library& library_;
    ThumbnailLoader* thumbnails_ = nullptr;
    GalleryModel* model_ = nullptr;
    std::vector<std::vector<std::int64_t>> removals_; // each removal, the last at the back
    std::uint64_t seenChange_ = 0;
    QTimer* watch_ = nullptr;
    QFutureWatcher<ExportedEntries>* export_ = nullptr;
};

} // namespace genart
