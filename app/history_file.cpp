#include "app/history_file.h"

#include <algorithm>
#include <ostream>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "files/printable.h"

namespace genart {
namespace {

// Far more than kKeptEntries entries take; a larger file is not one genart wrote.
constexpr qint64 kLongestFile = 16 * 1024 * 1024;

// A path or a reason as it may reach the terminal: whatever the file held (a damaged line, an
// unknown key, a version, a carriage return) escaped as genart render escapes it.
std::string text(const QString& string)
{
    return printable(QFile::encodeName(string).toStdString());
}

std::string text(const std::string& string)
{
    return printable(string);
}

} // namespace

QString defaultHistoryPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QStringLiteral("history.txt"));
}

HistoryFile::HistoryFile(QString path, std::ostream& warnings) : path_(std::move(path)), warnings_(warnings) {}

std::vector<HistoryEntry> HistoryFile::load()
{
    const QFileInfo info(path_);
    if (!info.exists() && !info.isSymLink())
        return {};
    if (!info.isFile()) {
        setAside("it is not a file");
        return {};
    }
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        setAside(file.errorString().toStdString());
        return {};
    }
    if (file.size() > kLongestFile) {
        setAside("it is too large to be one");
        return {};
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        const std::string why = file.errorString().toStdString();
        file.close();
        setAside(why);
        return {};
    }
    file.close();
    auto entries = parseHistory(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (const auto* error = std::get_if<RecipeError>(&entries)) {
        setAside(error->message);
        return {};
    }
    return std::get<std::vector<HistoryEntry>>(std::move(entries));
}

void HistoryFile::setAside(const std::string& why)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddTHHmmss"));
    QString aside = path_ + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = path_ + QStringLiteral(".damaged-") + stamp + QLatin1Char('-') + QString::number(n);
    if (QDir().rename(path_, aside)) {
        warnings_ << "genart: the picture history " << text(path_) << " cannot be read (" << text(why)
                  << "); it was set aside as " << text(aside) << " and a new one begins\n";
        return;
    }
    writable_ = false;
    warnings_ << "genart: the picture history " << text(path_) << " cannot be read (" << text(why)
              << ") nor set aside; this run's pictures are not kept\n";
}

bool HistoryFile::save(const std::vector<HistoryEntry>& entries)
{
    if (!writable_)
        return false;
    // Entries written before are written the same again; should the list not be the last one
    // grown at its end, it is written anew.
    const bool grown = entries.size() >= written_.size()
                       && std::equal(written_.begin(), written_.end(), entries.begin());
    if (!grown) {
        written_.clear();
        texts_.clear();
    }
    for (std::size_t n = written_.size(); n < entries.size(); ++n) {
        written_.push_back(entries[n]);
        texts_.push_back(historyEntryText(entries[n]));
    }
    const std::string contents = joinedHistoryText(texts_);
    QString failure;
    QSaveFile file(path_);
    if (!QDir().mkpath(QFileInfo(path_).absolutePath()))
        failure = QStringLiteral("cannot make the folder ") + QFileInfo(path_).absolutePath();
    else if (!file.open(QIODevice::WriteOnly))
        failure = file.errorString();
    else if (file.write(contents.data(), static_cast<qint64>(contents.size())) != static_cast<qint64>(contents.size())
             || !file.commit())
        failure = file.errorString();
    if (failure.isEmpty()) {
        failing_ = false;
        return true;
    }
    if (!failing_)
        warnings_ << "genart: the picture history cannot be written to " << text(path_) << ": " << text(failure)
                  << '\n';
    failing_ = true;
    return false;
}

} // namespace genart
