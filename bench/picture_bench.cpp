// Time of the palette, the sweep and a whole picture at 600 x 450.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "session/session_on.h"
#include "palette/palette_strip.h"
#include "platform/qt/image_surface.h"
#include "platform/vector_state.h"

namespace {

using namespace genart;

struct Studio {
    TwisterRandom random{2026};
    FixedClock clock{2026, 12, 8, 12, 0, 0};
    SessionOn<ImageSurface> drawn{random, clock};
    PictureSession& session = drawn.session;

    Studio()
    {
        setFixedState(session.state());
        session.NewPalette();
    }
};

void BM_NewPalette(benchmark::State& state)
{
    Studio studio;
    for (auto _ : state)
        studio.session.NewPalette();
}
BENCHMARK(BM_NewPalette)->Unit(benchmark::kMicrosecond);

void BM_RenderImage(benchmark::State& state)
{
    Studio studio;
    studio.session.generator().DrawParameters();
    for (auto _ : state) {
        // Each sweep restarts the drift so every run draws the same picture.
        studio.session.state().drift.fi1 = 0;
        clearUpperVectorState(); // as the fast sweep does for itself
        studio.session.generator().RenderImage();
    }
    state.SetItemsProcessed(state.iterations() * 601 * 451);
}
BENCHMARK(BM_RenderImage)->Unit(benchmark::kMillisecond);

void BM_NewImage(benchmark::State& state)
{
    Studio studio;
    for (auto _ : state)
        studio.session.NewImage();
    state.SetItemsProcessed(state.iterations() * 601 * 451);
}
BENCHMARK(BM_NewImage)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // the caption's font needs it
    // Qt's start-up leaves the vector state that slows every maths call (platform/vector_state.h);
    // the program clears it after it, and so do the benchmarks, for the step-by-step sweep too.
    genart::clearUpperVectorState();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
