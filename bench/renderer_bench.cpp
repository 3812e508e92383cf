// The step-by-step sweep beside the fast renderer, on one thread and on every core:
// one 600 x 450 picture, one poster eight times as large, a batch of 100 pictures.
#include <benchmark/benchmark.h>

#include <thread>

#include "session/session_on.h"
#include "caption/caption_line.h"
#include "generator/fast_renderer.h"
#include "platform/qt/image_surface.h"
#include "platform/vector_state.h"

namespace {

using namespace genart;

// The first picture of seed 2026 with its palette, on a picture surface `scale` times as large.
struct Setting {
    explicit Setting(int scale)
    {
        picture = ImageSurface(600 * scale, 450 * scale);
        setFixedState(session.state());
        session.NewPalette();
        session.generator().DrawParameters();
        start = session.state();
    }

    TwisterRandom random{2026};
    FixedClock clock{2026, 12, 8, 12, 0, 0};
    SessionOn<ImageSurface> drawn{random, clock};
    ImageSurface& picture = drawn.picture;
    ImageSurface& strip = drawn.strip;
    PictureSession& session = drawn.session;
    GenerationState start;
};

// 0: the step-by-step procedures; otherwise the fast renderer on that many threads.
int threadsOf(const benchmark::State& state) { return static_cast<int>(state.range(0)); }

void render(Setting& s, int threads, int scale)
{
    if (threads == 0) {
        // Qt leaves the vector state that slows every maths call; the fast sweep clears it itself.
        clearUpperVectorState();
        s.session.generator().RenderPoster(scale);
        return;
    }
    FastRenderOptions options;
    options.scale = scale;
    options.threads = threads;
    renderFast(s.session.state(), s.strip, s.picture, options);
}

void sweepAtScale(benchmark::State& state, int scale)
{
    Setting s(scale);
    for (auto _ : state) {
        s.session.state() = s.start; // every run draws the same picture
        render(s, threadsOf(state), scale);
    }
    state.SetItemsProcessed(state.iterations() * (600 * scale + 1) * (450 * scale + 1));
}

void BM_Picture(benchmark::State& state) { sweepAtScale(state, 1); }
void BM_Poster8x(benchmark::State& state) { sweepAtScale(state, 8); }

// What a batch does per picture: draw parameters, sweep, caption; a new palette every tenth.
void BM_Batch100(benchmark::State& state)
{
    for (auto _ : state) {
        Setting s(1);
        for (int n = 0; n < 100; ++n) {
            if (n % 10 == 9)
                s.session.NewPalette();
            s.session.generator().DrawParameters();
            render(s, threadsOf(state), 1);
            PrintCaption(s.session.state().texts, s.picture);
        }
    }
    state.SetItemsProcessed(state.iterations() * 100);
}

void threadCounts(benchmark::internal::Benchmark* b)
{
    b->ArgName("threads");
    b->Arg(0)->Arg(1);
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    if (cores > 1)
        b->Arg(cores);
}

BENCHMARK(BM_Picture)->Apply(threadCounts)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Poster8x)->Apply(threadCounts)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Batch100)->Apply(threadCounts)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
