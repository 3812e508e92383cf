#include "app/thumbnails.h"

#include <algorithm>
#include <variant>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include "picture_files/picture_at_size.h"
#include "picture_files/run_picture_job.h"

namespace genart {
namespace {

constexpr int kThumbnailWidth = 160;
constexpr int kThumbnailHeight = 120;
// More than a screen of thumbnails; asks older than these were scrolled past.
constexpr std::size_t kLongestQueue = 96;
// The sweep of each thumbnail already runs on every core; two at once keep them busy.
constexpr int kThreads = 2;

} // namespace

ThumbnailLoader::ThumbnailLoader(const QString& cacheFolder, QObject* parent)
    : QObject(parent), cacheFolder_(cacheFolder)
{
    pool_.setMaxThreadCount(kThreads);
    if (!cacheFolder_.isEmpty())
        QDir().mkpath(cacheFolder_);
}

ThumbnailLoader::~ThumbnailLoader()
{
    dropWaiting();
    pool_.waitForDone();
}

QSize ThumbnailLoader::size()
{
    return {kThumbnailWidth, kThumbnailHeight};
}

void ThumbnailLoader::request(std::int64_t id, const std::string& recipe)
{
    std::lock_guard lock(mutex_);
    if (drawing_.count(id) > 0)
        return;
    const auto same = std::find_if(waiting_.begin(), waiting_.end(), [id](const Ask& ask) { return ask.id == id; });
    if (same != waiting_.end())
        waiting_.erase(same);
    waiting_.push_back({id, recipe});
    if (waiting_.size() > kLongestQueue)
        waiting_.pop_front();
    if (working_ < kThreads) {
        ++working_;
        pool_.start([this] { work(); });
    }
}

void ThumbnailLoader::dropWaiting()
{
    std::lock_guard lock(mutex_);
    waiting_.clear();
}

void ThumbnailLoader::work()
{
    while (true) {
        Ask ask;
        {
            std::lock_guard lock(mutex_);
            if (waiting_.empty()) {
                --working_;
                return;
            }
            ask = std::move(waiting_.back());
            waiting_.pop_back();
            drawing_.insert(ask.id);
        }
        const QImage thumbnail = thumbnailOf(ask.recipe);
        {
            std::lock_guard lock(mutex_);
            drawing_.erase(ask.id);
        }
        emit ready(ask.id, thumbnail);
    }
}

QImage ThumbnailLoader::thumbnailOf(const std::string& recipe) const
{
    // Named by what it shows: the same recipe is the same picture, whichever entry holds it.
    const QByteArray sized = QByteArray::fromStdString(recipe) + QByteArray::number(kThumbnailWidth) + 'x'
        + QByteArray::number(kThumbnailHeight);
    const QString key = QString::fromLatin1(QCryptographicHash::hash(sized, QCryptographicHash::Sha1).toHex());
    const QString file = cacheFolder_.isEmpty() ? QString() : QDir(cacheFolder_).filePath(key + QStringLiteral(".png"));
    if (!file.isEmpty()) {
        const QImage kept(file);
        if (kept.size() == size())
            return kept;
    }
    const auto parsed = parseRecipe(recipe);
    if (!std::holds_alternative<Recipe>(parsed))
        return {};
    // A cache: a thumbnail that cannot be kept is drawn again next time.
    PictureJob job;
    job.source = RecipeSource{std::get<Recipe>(parsed)};
    job.size = PictureSize::covering(kThumbnailWidth, kThumbnailHeight);
    job.caption = false;
    job.path = QFile::encodeName(file).toStdString();
    job.replace = true;
    if (file.isEmpty())
        return drawPicture(std::get<RecipeSource>(job.source).recipe, job.size, false)->picture;
    return runPictureJob(job).picture;
}

} // namespace genart
