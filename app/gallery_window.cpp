#include "app/gallery_window.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "app/export_dialog.h"
#include "app/form1.h"
#include "app/gallery_model.h"
#include "app/thumbnails.h"
#include "library/library_location.h"
#include "library_files/entry_files.h"

namespace genart {
namespace {

// How often the gallery looks whether another window or command changed the library.
constexpr int kWatchMilliseconds = 1000;
constexpr int kFormulas = 15;
// After a change, the selection is found again among the newest entries only (two pages).
constexpr int kReselectedRows = 256;

// "1 picture", "3 pictures".
QString pictures(std::size_t count)
{
    return count == 1 ? GalleryWindow::tr("1 picture") : GalleryWindow::tr("%1 pictures").arg(count);
}

QString thumbnailFolder()
{
    const std::string cache = cacheFolder();
    return cache.empty() ? QString() : QString::fromStdString(cache + "/thumbnails");
}

// Each entry's thumbnail with its name under it.
class ThumbnailDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->decorationPosition = QStyleOptionViewItem::Top;
        option->displayAlignment = Qt::AlignHCenter | Qt::AlignTop;
    }
};

} // namespace

GalleryWindow::GalleryWindow(Form1& form, Library& library)
    : QWidget(&form, Qt::Window), form_(form), library_(library)
{
    setWindowTitle(tr("genart gallery"));
    resize(900, 640);
    thumbnails_ = new ThumbnailLoader(thumbnailFolder(), this);
    model_ = new GalleryModel(library_, *thumbnails_, this);

    // A list that flows and wraps like icons: in icon mode the view would keep a record of every
    // row, 40 bytes an entry, where a wrapping list keeps one position.
    view = new QListView(this);
    view->setFlow(QListView::LeftToRight);
    view->setWrapping(true);
    view->setResizeMode(QListView::Adjust);
    view->setMovement(QListView::Static);
    view->setUniformItemSizes(true); // the view never asks every row for its size
    view->setIconSize(ThumbnailLoader::size());
    view->setSpacing(6);
    view->setItemDelegate(new ThumbnailDelegate(view));
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setModel(model_);
    connect(view, &QListView::clicked, this, &GalleryWindow::showEntryAt);
    connect(view, &QListView::activated, this, &GalleryWindow::showEntryAt);
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, &GalleryWindow::updateButtons);

    favouritesOnly = new QCheckBox(tr("Favourites only"), this);
    formula = new QComboBox(this);
    formula->addItem(tr("Every formula"));
    for (int n = 1; n <= kFormulas; ++n)
        formula->addItem(tr("Formula %1").arg(n), n);
    connect(favouritesOnly, &QCheckBox::toggled, this, &GalleryWindow::applyFilter);
    connect(formula, &QComboBox::currentIndexChanged, this, &GalleryWindow::applyFilter);

    favouriteButton = new QPushButton(tr("Favourite (F)"), this);
    removeButton = new QPushButton(tr("Remove (Delete)"), this);
    undoButton = new QPushButton(tr("Undo remove (Ctrl+Z)"), this);
    exportButton = new QPushButton(tr("Export…"), this);
    connect(favouriteButton, &QPushButton::clicked, this, &GalleryWindow::favouriteSelected);
    connect(removeButton, &QPushButton::clicked, this, &GalleryWindow::removeSelected);
    connect(undoButton, &QPushButton::clicked, this, &GalleryWindow::undoRemoval);
    connect(exportButton, &QPushButton::clicked, this, &GalleryWindow::exportSelected);
    connect(new QShortcut(QKeySequence(Qt::Key_F), this), &QShortcut::activated, this, &GalleryWindow::favouriteSelected);
    connect(new QShortcut(QKeySequence::Delete, this), &QShortcut::activated, this, &GalleryWindow::removeSelected);
    connect(new QShortcut(QKeySequence::Undo, this), &QShortcut::activated, this, &GalleryWindow::undoRemoval);

    status = new QLabel(this);
    auto* filters = new QHBoxLayout;
    filters->addWidget(favouritesOnly);
    filters->addWidget(formula);
    filters->addStretch();
    auto* actions = new QHBoxLayout;
    for (QPushButton* button : {favouriteButton, removeButton, undoButton, exportButton})
        actions->addWidget(button);
    actions->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(view);
    layout->addLayout(actions);
    layout->addWidget(status);

    seenChange_ = library_.changeCount();
    watch_ = new QTimer(this);
    connect(watch_, &QTimer::timeout, this, &GalleryWindow::watchLibrary);
    watch_->start(kWatchMilliseconds);
    updateButtons();
}

GalleryWindow::~GalleryWindow()
{
    if (export_)
        export_->waitForFinished();
    std::vector<std::int64_t> removed;
    for (const auto& removal : removals_)
        removed.insert(removed.end(), removal.begin(), removal.end());
    if (!removed.empty())
        library_.purge(removed);
}

std::vector<std::int64_t> GalleryWindow::selectedIds() const
{
    std::vector<std::int64_t> ids;
    for (const QModelIndex& index : view->selectionModel()->selectedIndexes())
        if (const auto id = model_->idAt(index.row()))
            ids.push_back(*id);
    return ids;
}

void GalleryWindow::showEntryAt(const QModelIndex& index)
{
    if (const auto id = model_->idAt(index.row()))
        form_.showKeptEntry(*id);
}

void GalleryWindow::applyFilter()
{
    EntryFilter filter;
    filter.favouritesOnly = favouritesOnly->isChecked();
    if (formula->currentIndex() > 0)
        filter.formula = formula->currentData().toInt();
    model_->setFilter(filter);
    updateButtons();
}

void GalleryWindow::watchLibrary()
{
    const std::uint64_t change = library_.changeCount();
    if (change == seenChange_)
        return;
    seenChange_ = change;
    // Read anew; what was selected stays selected where it is still shown.
    const std::vector<std::int64_t> selected = selectedIds();
    model_->reload();
    for (int row = 0; row < std::min(model_->rowCount(), kReselectedRows); ++row)
        if (const auto id = model_->idAt(row); id && std::find(selected.begin(), selected.end(), *id) != selected.end())
            view->selectionModel()->select(model_->index(row), QItemSelectionModel::Select);
    updateButtons();
}

void GalleryWindow::favouriteSelected()
{
    const std::vector<std::int64_t> ids = selectedIds();
    if (ids.empty())
        return;
    // All become favourites, unless all already were: then none is.
    bool all = true;
    for (const QModelIndex& index : view->selectionModel()->selectedIndexes())
        all = all && model_->data(index, GalleryModel::FavouriteRole).toBool();
    if (const auto error = library_.setFavourite(ids, !all))
        say(QString::fromStdString(error->message));
    watchLibrary();
}

void GalleryWindow::removeSelected()
{
    const std::vector<std::int64_t> ids = selectedIds();
    if (ids.empty())
        return;
    if (const auto error = library_.remove(ids)) {
        say(QString::fromStdString(error->message));
        return;
    }
    removals_.push_back(ids);
    say(tr("%1 removed; Undo remove brings them back until genart closes.").arg(pictures(ids.size())));
    watchLibrary();
}

void GalleryWindow::undoRemoval()
{
    if (removals_.empty())
        return;
    if (const auto error = library_.restore(removals_.back())) {
        say(QString::fromStdString(error->message));
        return;
    }
    say(tr("%1 back in the library.").arg(pictures(removals_.back().size())));
    removals_.pop_back();
    watchLibrary();
}

void GalleryWindow::exportSelected()
{
    const std::vector<std::int64_t> ids = selectedIds();
    if (ids.empty() || export_)
        return;
    auto read = library_.entries(ids);
    if (const auto* error = std::get_if<LibraryError>(&read)) {
        say(QString::fromStdString(error->message));
        return;
    }
    const auto choice = askHowToExport(this, static_cast<int>(ids.size()));
    if (!choice)
        return;
    if (!QDir().mkpath(choice->folder)) {
        say(tr("The folder %1 cannot be made.").arg(QDir::toNativeSeparators(choice->folder)));
        return;
    }
    const EntryPictureSettings settings{choice->size, choice->caption, {}, false};
    export_ = new QFutureWatcher<ExportedEntries>(this);
    connect(export_, &QFutureWatcher<ExportedEntries>::finished, this, [this, folder = choice->folder] {
        const ExportedEntries done = export_->result();
        export_->deleteLater();
        export_ = nullptr;
        QStringList files;
        for (const std::string& file : done.written)
            files << QString::fromStdString(file);
        if (done.failure.empty())
            say(tr("Exported %1 to %2.").arg(pictures(done.written.size()), QDir::toNativeSeparators(folder)));
        else
            say(tr("Nothing was exported: %1").arg(QString::fromStdString(done.failure)));
        updateButtons();
        emit exported(files, QString::fromStdString(done.failure));
    });
    const auto total = static_cast<int>(ids.size());
    const auto progress = [this, total](std::size_t done) {
        QMetaObject::invokeMethod(this, [this, done, total] {
            say(tr("Exporting %1 of %2…").arg(static_cast<int>(done)).arg(total));
        }, Qt::QueuedConnection);
        return true;
    };
    export_->setFuture(QtConcurrent::run([entries = std::get<std::vector<LibraryEntry>>(std::move(read)),
                                          choice = *choice, settings, progress] {
        return exportEntries(entries, choice.folder, choice.extension, settings, progress);
    }));
    updateButtons();
}

void GalleryWindow::updateButtons()
{
    const bool any = view->selectionModel()->hasSelection();
    favouriteButton->setEnabled(any);
    removeButton->setEnabled(any);
    exportButton->setEnabled(any && !export_);
    undoButton->setEnabled(!removals_.empty());
}

void GalleryWindow::say(const QString& message)
{
    status->setText(message);
}

} // namespace genart
