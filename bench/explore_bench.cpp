// How long the explore view takes from a key to a complete grid, and what the candidates
// alone cost. Run as: build-default/bench/genart_explore_bench
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTest>

#include "app/explore_window.h"
#include "app/form1.h"
#include "explore/new_pictures.h"
#include "explore/recolourings.h"
#include "explore/variations.h"
#include "picture_files/picture_at_size.h"
#include "platform/vector_state.h"

namespace {

using namespace genart;

// Processor time of every thread of the process so far, in milliseconds.
double processMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

constexpr int kGrid = 12;

// The twelve candidates of each key without their thumbnails.
void BM_Candidates(benchmark::State& state)
{
    TwisterRandom random{2026};
    const FixedClock clock{2026, 12, 8, 12, 0, 0};
    const Recipe picture = explore::newPictures({}, random, clock, 1).front();
    for (auto _ : state) {
        switch (state.range(0)) {
        case 0:
            benchmark::DoNotOptimize(explore::newPictures(picture.carried, random, clock, kGrid));
            break;
        case 1:
            benchmark::DoNotOptimize(
                explore::variations(picture, explore::drawVariationSteps(random, kGrid), 0.5, picture.imeslike));
            break;
        default:
            benchmark::DoNotOptimize(explore::recolourings(picture, random, kGrid, picture.imeslike));
        }
    }
}
BENCHMARK(BM_Candidates)->ArgName("E0_V1_R2")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// One thumbnail as the view draws it, 240 x 180 with its caption (and, to compare, without).
void BM_Thumbnail(benchmark::State& state)
{
    TwisterRandom random{7};
    const FixedClock clock{2026, 12, 8, 12, 0, 0};
    const auto pictures = explore::newPictures({}, random, clock, kGrid);
    std::size_t n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            drawPicture(pictures[n++ % pictures.size()], PictureSize::covering(240, 180), state.range(0) != 0));
}
BENCHMARK(BM_Thumbnail)->ArgName("caption")->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

// From the key pressed in the explore view to the last of its twelve thumbnails shown, the
// main window's event loop running meanwhile: E, V, R.
void BM_GridAfterKey(benchmark::State& state)
{
    TwisterRandom random{2026};
    const FixedClock clock{2026, 12, 8, 12, 0, 0};
    Form1 form(random, clock, 2026u);
    form.Form_Load();
    form.findChild<QAction*>(QStringLiteral("exploreAction"))->trigger();
    ExploreWindow& view = *form.findChild<ExploreWindow*>();
    if (!QTest::qWaitFor([&] { return view.gridDrawn(); }, 10000)) {
        state.SkipWithError("the first grid was not drawn");
        return;
    }
    const Qt::Key key = state.range(0) == 0 ? Qt::Key_E : state.range(0) == 1 ? Qt::Key_V : Qt::Key_R;
    const double processorBefore = processMilliseconds();
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&view, &press);
        while (!view.gridDrawn())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    state.counters["candidates"] = view.candidateCount();
    // Every thread's share: on two idle cores the grid takes about half of it.
    state.counters["processor_ms"] =
        (processMilliseconds() - processorBefore) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_GridAfterKey)->ArgName("E0_V1_R2")->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    genart::clearUpperVectorState(); // as the program does after Qt's start-up
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
