#pragma once

#include <cstdint>
#include <list>
#include <optional>
#include <vector>

#include <QAbstractListModel>
#include <QCache>
#include <QImage>

#include "library/library.h"

namespace genart {

class ThumbnailLoader;

// The library's entries, newest first, for a list of thumbnails. Entries are read a page at a
// time as the view reaches them and only the last pages are kept; thumbnails are kept for what
// was shown last. The model never holds the whole library, whatever its size.
class GalleryModel final : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { IdRole = Qt::UserRole + 1, FavouriteRole };

    GalleryModel(Library& library, ThumbnailLoader& thumbnails, QObject* parent = nullptr);

    void setFilter(const EntryFilter& filter);
    const EntryFilter& filter() const { return filter_; }
    // Reads the library again (after a change by anyone): counts and pages anew.
    void reload();
    std::optional<std::int64_t> idAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    struct Page {
        std::int64_t first; // the row of its first entry
        std::vector<EntrySummary> entries;
    };
    const EntrySummary* summaryAt(int row) const;
    void thumbnailReady(std::int64_t id, const QImage& thumbnail);

    Library& library_;
    ThumbnailLoader& thumbnails_;
    EntryFilter filter_;
    int rows_ = 0;
    mutable std::list<Page> pages_; // the last used first
    mutable QCache<std::int64_t, QImage> drawn_;
    QImage placeholder_;
};

} // namespace genart
