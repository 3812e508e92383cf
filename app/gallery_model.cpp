#include "app/gallery_model.h"

#include <algorithm>

#include <QColor>

#include "app/thumbnails.h"

namespace genart {
namespace {

// Entries read at once, and pages kept: a few screens of thumbnails either way.
constexpr std::int64_t kPageSize = 128;
constexpr std::size_t kPagesKept = 8;
// Thumbnails kept in memory (75 kB each): a few screens of them.
constexpr qsizetype kThumbnailsKept = 256;

} // namespace

GalleryModel::GalleryModel(Library& library, ThumbnailLoader& thumbnails, QObject* parent)
    : QAbstractListModel(parent), library_(library), thumbnails_(thumbnails), drawn_(kThumbnailsKept),
      placeholder_(ThumbnailLoader::size(), QImage::Format_RGB32)
{
    placeholder_.fill(QColor(40, 40, 40));
    connect(&thumbnails_, &ThumbnailLoader::ready, this, &GalleryModel::thumbnailReady);
    reload();
}

void GalleryModel::setFilter(const EntryFilter& filter)
{
    filter_ = filter;
    reload();
}

void GalleryModel::reload()
{
    beginResetModel();
    pages_.clear();
    thumbnails_.dropWaiting();
    const auto count = library_.count(filter_);
    rows_ = std::holds_alternative<std::int64_t>(count) ? static_cast<int>(std::get<std::int64_t>(count)) : 0;
    endResetModel();
}

int GalleryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

const EntrySummary* GalleryModel::summaryAt(int row) const
{
    if (row < 0 || row >= rows_)
        return nullptr;
    const std::int64_t first = row / kPageSize * kPageSize;
    auto page = std::find_if(pages_.begin(), pages_.end(), [first](const Page& p) { return p.first == first; });
    if (page == pages_.end()) {
        auto read = library_.page(filter_, first, kPageSize);
        if (!std::holds_alternative<std::vector<EntrySummary>>(read))
            return nullptr;
        pages_.push_front({first, std::get<std::vector<EntrySummary>>(std::move(read))});
        if (pages_.size() > kPagesKept)
            pages_.pop_back();
        page = pages_.begin();
    } else if (page != pages_.begin()) {
        pages_.splice(pages_.begin(), pages_, page);
    }
    const auto at = static_cast<std::size_t>(row - first);
    return at < page->entries.size() ? &page->entries[at] : nullptr;
}

std::optional<std::int64_t> GalleryModel::idAt(int row) const
{
    const EntrySummary* summary = summaryAt(row);
    return summary ? std::optional<std::int64_t>(summary->id) : std::nullopt;
}

QVariant GalleryModel::data(const QModelIndex& index, int role) const
{
    const EntrySummary* summary = summaryAt(index.row());
    if (!summary)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString(QString::fromStdString(summary->name) + (summary->favourite ? QStringLiteral(" \u2605") : QString()));
    case Qt::ToolTipRole:
        return tr("%1, formula %2, kept %3").arg(QString::fromStdString(summary->name)).arg(summary->formula)
            .arg(QString::fromStdString(summary->added));
    case Qt::DecorationRole:
        if (const QImage* thumbnail = drawn_.object(summary->id))
            return *thumbnail;
        thumbnails_.request(summary->id, summary->recipe); // again while shown: the newest asks go first
        return placeholder_;
    case IdRole:
        return QVariant::fromValue(summary->id);
    case FavouriteRole:
        return summary->favourite;
    default:
        return {};
    }
}

void GalleryModel::thumbnailReady(std::int64_t id, const QImage& thumbnail)
{
    drawn_.insert(id, new QImage(thumbnail));
    // Only rows of the pages kept can be on the screen.
    for (const Page& page : pages_)
        for (std::size_t n = 0; n < page.entries.size(); ++n)
            if (page.entries[n].id == id) {
                const QModelIndex changed = index(static_cast<int>(page.first + static_cast<std::int64_t>(n)));
                emit dataChanged(changed, changed, {Qt::DecorationRole});
            }
}

} // namespace genart
