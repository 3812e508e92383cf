// The window's side of the library: every picture shown kept as an entry, Left and Right through
// the entries of every window, the place and the star above the picture, F, and what the
// library had to say, in the status line.
#include "app/form1.h"

#include <iostream>

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>

#include "app/colour_cycling.h"
#include "app/gallery_window.h"
#include "library/history_import.h"

namespace genart {
namespace {

// What the library tells stays longer than a save's confirmation: it may be a fault.
constexpr int kToldMilliseconds = 10000;

template <class T>
std::optional<T> valueOf(const LibraryResult<T>& result)
{
    const T* value = std::get_if<T>(&result);
    return value ? std::optional<T>(*value) : std::nullopt;
}

} // namespace

std::unique_ptr<Library> openWindowLibrary(const QString& path)
{
    if (path.isEmpty())
        return Library::inMemory();
    LibraryOptions options;
    options.flushInBackground = true;
    // Never an error: a library that cannot be opened is kept in memory, which it tells.
    return std::get<std::unique_ptr<Library>>(Library::open(QDir::toNativeSeparators(path).toStdString(), options));
}

void Form1::carryOverOldHistory()
{
    if (libraryFile_.isEmpty())
        return;
    const QString old = QFileInfo(libraryFile_).dir().filePath(QStringLiteral("history.txt"));
    const HistoryImport report = genart::importOldHistory(*library_, old.toStdString());
    if (!report.notice.empty())
        tellLibrary(LibraryError{report.notice});
}

void Form1::record(const std::string& origin, const std::vector<std::int64_t>& parents)
{
    const auto added = library_->add({{shown_.session.recipe(), shown_.session.palette()}, origin, parents, {}});
    shownId_ = valueOf(added);
    shownFavourite_ = false;
    if (const auto* error = std::get_if<LibraryError>(&added))
        tellLibrary(*error);
    else
        tellLibrary();
    updateNavigation();
}

void Form1::showPrevious()
{
    // A picture not kept yet comes after every kept one.
    const auto before = shownId_ ? library_->previous(*shownId_) : library_->newest();
    if (const auto id = valueOf(before); id && *id)
        showKeptEntry(**id);
}

void Form1::showNext()
{
    if (!shownId_)
        return;
    if (const auto id = valueOf(library_->next(*shownId_)); id && *id)
        showKeptEntry(**id);
}

bool Form1::showKeptEntry(std::int64_t id)
{
    const auto entry = library_->entry(id);
    if (const auto* error = std::get_if<LibraryError>(&entry)) {
        tellLibrary(*error);
        updateNavigation();
        return false;
    }
    const LibraryEntry& kept = std::get<LibraryEntry>(entry);
    cycling_->stop();
    shown_.session.restore(kept.shown.picture, kept.shown.strip);
    shownId_ = id;
    shownFavourite_ = kept.favourite;
    showSurfaces();
    tellLibrary();
    updateNavigation();
    return true;
}

void Form1::toggleFavourite()
{
    if (!shownId_) {
        tellLibrary(LibraryError{"This picture is not in the library yet."});
        updateNavigation();
        return;
    }
    tellLibrary(library_->setFavourite({*shownId_}, !shownFavourite_));
    updateNavigation();
}

void Form1::showGallery()
{
    if (!gallery_)
        gallery_ = new GalleryWindow(*this, *library_);
    gallery_->show();
    gallery_->raise();
    gallery_->activateWindow();
}

void Form1::updateNavigation()
{
    seenChange_ = library_->changeCount();
    const auto before = valueOf(shownId_ ? library_->previous(*shownId_) : library_->newest());
    const auto after = shownId_ ? valueOf(library_->next(*shownId_)) : std::nullopt;
    action("previousAction")->setEnabled(before && *before);
    action("nextAction")->setEnabled(after && *after);
    const auto position = shownId_ ? valueOf(library_->positionOf(*shownId_)) : std::nullopt;
    const auto count = valueOf(library_->count());
    if (shownId_)
        shownFavourite_ = valueOf(library_->isFavourite(*shownId_)).value_or(false);
    action("favouriteAction")->setEnabled(position.has_value());
    action("favouriteAction")->setChecked(shownFavourite_);
    if (position && count)
        placeLine_->setText(tr("%1 of %2").arg(*position + 1).arg(*count)
                           + (shownFavourite_ ? QStringLiteral(" \u2605") : QString()));
    else if (shownId_)
        placeLine_->setText(tr("removed from the library"));
    else
        placeLine_->setText(tr("not kept yet"));
}

void Form1::watchLibrary()
{
    if (library_->changeCount() != seenChange_)
        updateNavigation();
}

void Form1::tellLibrary(const std::optional<LibraryError>& error)
{
    std::vector<std::string> told = library_->takeNotices();
    if (error)
        told.insert(told.begin(), error->message);
    if (told.empty())
        return;
    QStringList lines;
    for (const std::string& line : told) {
        std::cerr << "genart: " << line << '\n';
        QString sentence = QString::fromStdString(line);
        if (sentence.isEmpty())
            continue;
        sentence[0] = sentence[0].toUpper();
        if (!sentence.endsWith(QLatin1Char('.')))
            sentence += QLatin1Char('.');
        lines << sentence;
    }
    confirm(lines.join(QLatin1Char(' ')));
    statusTimer_->start(kToldMilliseconds);
}

} // namespace genart
