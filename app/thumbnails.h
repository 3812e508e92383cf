#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <set>
#include <string>

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QThreadPool>

namespace genart {

// Thumbnails of library entries, drawn from their recipes at a small scale on threads of their
// own and kept on the disk (in genart's cache folder) for the next time. The thumbnails asked
// for last are drawn first, and only the newest asks are kept waiting: a view scrolled past
// does not draw what it no longer shows.
class ThumbnailLoader final : public QObject {
    Q_OBJECT
public:
    // `cacheFolder` empty: nothing is kept on the disk.
    explicit ThumbnailLoader(const QString& cacheFolder, QObject* parent = nullptr);
    ~ThumbnailLoader() override; // waits for the thumbnails being drawn

    static QSize size();
    // ready() tells when it is there. Asked again while waiting, it goes to the front.
    void request(std::int64_t id, const std::string& recipe);
    // Forgets every thumbnail still waiting.
    void dropWaiting();

signals:
    void ready(std::int64_t id, const QImage& thumbnail);

private:
    struct Ask {
        std::int64_t id;
        std::string recipe;
    };
    void work();
    QImage thumbnailOf(const std::string& recipe) const;

    QString cacheFolder_;
    QThreadPool pool_;
    std::mutex mutex_;
    std::deque<Ask> waiting_; // the newest at the back
    std::set<std::int64_t> drawing_;
    int working_ = 0;
};

} // namespace genart
