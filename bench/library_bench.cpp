// The library with 100,000 entries: recording a picture as the window does (on its thread),
// stepping to the previous one, the gallery's first screen of thumbnails, and the memory a window
// and its gallery take for 1,000 and for 100,000 entries.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QListView>
#include <QTemporaryDir>

#include "app/form1.h"
#include "app/gallery_model.h"
#include "app/gallery_window.h"
#include "library/library.h"
#include "platform/vector_state.h"
#include "session/session_on.h"
#include "platform/qt/image_surface.h"

namespace {

using namespace genart;
namespace fs = std::filesystem;

// Pictures as a window shows them: start-up and presses of new img / new palette.
std::vector<HistoryEntry> drawn(int count)
{
    SessionOn<ImageSurface> shown(std::make_shared<FixedClock>(2026, 12, 8, 12, 0, 0));
    PictureSession& session = shown.play(2026).session;
    std::vector<HistoryEntry> entries;
    for (int n = 0; n < count; ++n) {
        entries.push_back({session.recipe(), session.palette()});
        session.perform(Action::Both);
    }
    return entries;
}

// A library of `entries` entries in the temporary folder, made once and kept for later runs;
// every entry has a name of its own, so every thumbnail is drawn.
std::string libraryWith(int entries)
{
    const std::string path = (fs::temp_directory_path() / ("genart-bench-library-" + std::to_string(entries) + ".sqlite")).string();
    auto opened = std::get<std::unique_ptr<Library>>(Library::open(path));
    const auto count = std::get<std::int64_t>(opened->count());
    if (count >= entries)
        return path;
    const std::vector<HistoryEntry> pictures = drawn(64);
    std::vector<NewEntry> batch;
    for (std::int64_t n = count; n < entries; ++n) {
        HistoryEntry entry = pictures[static_cast<std::size_t>(n) % pictures.size()];
        entry.picture.imeslike = "T2" + std::to_string(1000000000000 + n);
        batch.push_back({entry, origins::kCommand, {}, {}});
        if (batch.size() == 10000 || n + 1 == entries) {
            opened->addAll(batch);
            batch.clear();
        }
    }
    return path;
}

Library& windowLibrary(const std::string& path)
{
    static std::map<std::string, std::unique_ptr<Library>> opened;
    auto& library = opened[path];
    if (!library) {
        LibraryOptions window;
        window.flushInBackground = true;
        library = std::get<std::unique_ptr<Library>>(Library::open(path, window));
    }
    return *library;
}

// What Form1::record asks of the library on the window's thread: the entry kept, then where it
// stands, which ways Left and Right go, and its star.
void BM_RecordAPicture(benchmark::State& state)
{
    Library& library = windowLibrary(libraryWith(static_cast<int>(state.range(0))));
    const HistoryEntry picture = drawn(1).front();
    for (auto _ : state) {
        const auto id = std::get<std::int64_t>(library.add({picture, origins::kCommand, {}, {}}));
        benchmark::DoNotOptimize(library.previous(id));
        benchmark::DoNotOptimize(library.next(id));
        benchmark::DoNotOptimize(library.positionOf(id));
        benchmark::DoNotOptimize(library.count());
        benchmark::DoNotOptimize(library.isFavourite(id));
        benchmark::DoNotOptimize(library.changeCount());
    }
    library.waitUntilDurable();
}
BENCHMARK(BM_RecordAPicture)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(200);

// The same kept with a flush to the disk before returning, as the command line keeps entries.
void BM_AddDurably(benchmark::State& state)
{
    auto library = std::get<std::unique_ptr<Library>>(Library::open(libraryWith(static_cast<int>(state.range(0)))));
    const HistoryEntry picture = drawn(1).front();
    for (auto _ : state)
        benchmark::DoNotOptimize(library->add({picture, origins::kCommand, {}, {}}));
}
BENCHMARK(BM_AddDurably)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(50);

// Left: the entry before, its place, and the entry read to be shown (drawing it is not counted).
void BM_StepBack(benchmark::State& state)
{
    Library& library = windowLibrary(libraryWith(static_cast<int>(state.range(0))));
    std::int64_t id = *std::get<std::optional<std::int64_t>>(library.newest());
    library.positionOf(id);
    for (auto _ : state) {
        id = *std::get<std::optional<std::int64_t>>(library.previous(id));
        benchmark::DoNotOptimize(library.positionOf(id));
        benchmark::DoNotOptimize(library.entry(id));
    }
}
BENCHMARK(BM_StepBack)->Arg(100000)->Unit(benchmark::kMicrosecond)->Iterations(1000);

// How many rows the view shows, once every one of them has its thumbnail; 0 until then.
int firstScreenDrawn(QListView& view)
{
    const QRect shown = view.viewport()->rect();
    int first = 0;
    for (const QPoint corner : {QPoint(10, 10), QPoint(20, 40), QPoint(40, 20)})
        if (const QModelIndex top = view.indexAt(corner); top.isValid())
            first = top.row();
    int row = first;
    for (; row < view.model()->rowCount(); ++row) {
        const QModelIndex index = view.model()->index(row, 0);
        if (!view.visualRect(index).intersects(shown))
            break;
        const QImage thumbnail = index.data(Qt::DecorationRole).value<QImage>();
        if (thumbnail.pixel(80, 60) == qRgb(40, 40, 40) && thumbnail.pixel(20, 20) == qRgb(40, 40, 40))
            return 0; // still the placeholder
    }
    return row - first;
}

// From G to the first screen of thumbnails drawn, with nothing in the thumbnail cache.
void BM_GalleryFirstScreen(benchmark::State& state)
{
    const QString path = QString::fromStdString(libraryWith(static_cast<int>(state.range(0))));
    TwisterRandom random;
    SystemClock clock;
    Form1 form(random, clock, 1u, path);
    for (auto _ : state) {
        QTemporaryDir cache;
        qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
        const auto start = std::chrono::steady_clock::now();
        auto* gallery = new GalleryWindow(form, form.library());
        gallery->show();
        int thumbnails = 0;
        while ((thumbnails = firstScreenDrawn(*gallery->view)) == 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        state.counters["thumbnails"] = thumbnails;
        delete gallery;
    }
}
BENCHMARK(BM_GalleryFirstScreen)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

long residentKilobytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

// What a window, 500 steps back through its library, and its gallery scrolled to the oldest
// entry add to the process, for a small and a large library.
void BM_WindowMemory(benchmark::State& state)
{
    const QString path = QString::fromStdString(libraryWith(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        const long before = residentKilobytes();
        TwisterRandom random;
        SystemClock clock;
        Form1 form(random, clock, 1u, path);
        form.Form_Load();
        state.counters["opened_MB"] = static_cast<double>(residentKilobytes() - before) / 1024.0;
        const auto trigger = [&form](const char* name) { form.findChild<QAction*>(QLatin1String(name))->trigger(); };
        for (int n = 0; n < 500; ++n)
            trigger("previousAction");
        state.counters["stepped_MB"] = static_cast<double>(residentKilobytes() - before) / 1024.0;
        trigger("galleryAction");
        GalleryWindow& gallery = *form.findChild<GalleryWindow*>();
        while (firstScreenDrawn(*gallery.view) == 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        gallery.view->scrollToBottom();
        QCoreApplication::processEvents();
        while (firstScreenDrawn(*gallery.view) == 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.counters["gallery_MB"] = static_cast<double>(residentKilobytes() - before) / 1024.0;
        form.close();
    }
}
BENCHMARK(BM_WindowMemory)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    genart::clearUpperVectorState();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
