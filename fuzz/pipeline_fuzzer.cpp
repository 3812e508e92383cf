// Feeds the picture pipeline arbitrary random values and arbitrary carried state. First it checks
// at every pixel of up to 64 positions anywhere in the sweep that no statement stored a NaN or an
// infinity, that every palette colour component lies in 0..252 and that nothing is painted
// outside the picture. Then it draws the same picture from the same starting state step by step
// and with the fast renderer on one and on two threads, with blocks of any width, and requires
// the same pixels and the same generation state from every run. That picture is mostly a part of
// the sweep, sometimes all of it; at the normal size, twice it or any size from a quarter to
// twice it; now and then with selectors out of range, a drift under way or another world.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "generator/fast_renderer.h"
#include "session/picture_session.h"
#include "support/state_differences.h"
#include "support/memory_surface.h"

namespace {

using namespace genart;
using genart::testing::MemorySurface;

// Random values taken from the fuzzer's bytes: always k / 2^24, like the real generator's.
class BytesRandom final : public RandomSource {
public:
    explicit BytesRandom(FuzzedDataProvider& data) : data_(data) {}
    void seed(std::uint32_t) override {}
    float next() override
    {
        return static_cast<float>(data_.ConsumeIntegralInRange<std::uint32_t>(0, (1u << 24) - 1)) / 16777216.0f;
    }

private:
    FuzzedDataProvider& data_;
};

double carriedValue(FuzzedDataProvider& data)
{
    switch (data.ConsumeIntegralInRange<int>(0, 4)) {
    case 0: return 0.0;
    case 1: return data.ConsumeBool() ? 1.0e308 : -1.0e308;
    case 2: return data.ConsumeBool() ? 5.0e-324 : -5.0e-324;
    default: {
        const double value = data.ConsumeFloatingPoint<double>();
        return std::isfinite(value) ? value : 0.0;
    }
    }
}

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

bool finite(const GenerationState& s)
{
    for (const double value : {s.position.x, s.position.y, s.carried.ba, s.carried.re, s.carried.gr, s.carried.bl, s.carried.barva, s.picture.fi0, s.drift.fi1, s.position.fit, s.position.r, s.position.fi})
        if (!std::isfinite(value))
            return false;
    return std::isfinite(s.picture.r0) && std::isfinite(s.picture.fak1) && std::isfinite(s.picture.fak2) && std::isfinite(s.picture.fak3);
}

void describe(const char* what, const GenerationState& expected, const GenerationState& actual)
{
    std::fprintf(stderr, "%s (expected: step by step)%s\n", what,
                 testing::stateDifferences(expected, actual).c_str());
}

// Surfaces for the normal size and for twice it: the step-by-step picture, and the fast
// renderer's on scan lines and point by point. Kept from input to input; each run fills them.
struct Surfaces {
    explicit Surfaces(double scale)
        : reference(coveringSize(kPictureWidth, scale), coveringSize(kPictureHeight, scale)),
          rows(reference.width(), reference.height()),
          points(reference.width(), reference.height(), MemorySurface::Access::PointByPoint)
    {
    }
    MemorySurface reference;
    MemorySurface rows;
    MemorySurface points;
};

// A colour the sweep may paint as well, so an unpainted pixel is not told apart by its colour
// alone; all that matters is that every surface starts out the same.
constexpr Colour kBackground = rgb(1, 2, 3);

// How one input varies the picture it draws both ways. Taken from the input before anything
// else, so that short inputs vary it as much as long ones.
struct Variation {
    double scale = 1;
    std::int16_t sir = kPictureWidth; // the sweep's last column and row at the normal size
    std::int16_t vis = kPictureHeight;
    bool usualWorld = true;
    bool squeezed = false;
    std::optional<std::array<float, 3>> selectors; // tip1, tip2, tip3
    std::optional<double> drift;
    int columnsPerBlock = 0;
    bool pointByPoint = false;
};

Variation vary(FuzzedDataProvider& data)
{
    Variation v;
    // Mostly the normal size; now and then twice it, or any size from a quarter to twice it.
    switch (data.ConsumeIntegralInRange<int>(0, 7)) {
    case 7: v.scale = 2; break;
    case 6: v.scale = data.ConsumeFloatingPointInRange<double>(0.25, 2.0); break;
    default: v.scale = 1;
    }
    // Mostly a small part of the sweep only (the surface keeps its full size), so that most
    // inputs are quick; now and then a part of any size, or the whole.
    // (A whole sweep takes seconds under the sanitizers and the fuzzer's instrumentation, a
    // whole poster four times as long: larger sizes only draw a part.)
    switch (v.scale == 1 ? data.ConsumeIntegralInRange<int>(0, 63) : 0) {
    case 63: break;
    case 62:
    case 61:
        v.sir = data.ConsumeIntegralInRange<std::int16_t>(0, kPictureWidth);
        v.vis = data.ConsumeIntegralInRange<std::int16_t>(0, kPictureHeight);
        break;
    default:
        v.sir = data.ConsumeIntegralInRange<std::int16_t>(0, 64);
        v.vis = data.ConsumeIntegralInRange<std::int16_t>(0, 48);
    }
    // The world may start at x = 0, or be squeezed so far that whole columns overflow and fail.
    v.usualWorld = data.ConsumeIntegralInRange<int>(0, 3) != 3;
    v.squeezed = !v.usualWorld && data.ConsumeBool();
    if (data.ConsumeIntegralInRange<int>(0, 7) == 7) {
        // Selectors anywhere near their ranges, halves included.
        v.selectors = {static_cast<float>(data.ConsumeIntegralInRange<int>(-2, 34)) / 2,
                       static_cast<float>(data.ConsumeIntegralInRange<int>(-2, 10)) / 2,
                       static_cast<float>(data.ConsumeIntegralInRange<int>(-2, 12)) / 2};
    }
    if (data.ConsumeBool())
        v.drift = data.ConsumeFloatingPointInRange<double>(0.0, 8.2); // a drift already under way
    // Blocks of any width up to a little more than the whole sweep.
    v.columnsPerBlock = data.ConsumeIntegralInRange<int>(0, coveringSize(v.sir, v.scale) + 2);
    v.pointByPoint = data.ConsumeBool();
    return v;
}

GenerationState varied(const Variation& v, GenerationState state)
{
    state.geometry.sir = v.sir;
    state.geometry.vis = v.vis;
    if (!v.usualWorld)
        state.geometry.polx = 0;
    if (v.squeezed)
        state.geometry.dx = 1e300;
    if (v.selectors) {
        state.picture.tip1 = (*v.selectors)[0];
        state.picture.tip2 = (*v.selectors)[1];
        state.picture.tip3 = (*v.selectors)[2];
    }
    if (v.drift)
        state.drift.fi1 = *v.drift;
    return state;
}

// Draws the varied picture step by step and with the fast renderer, and aborts unless every
// run leaves the same pixels and the same state.
void compareRenderers(const Variation& v, const GenerationState& start, RandomSource& random, const Clock& clock,
                      const MemorySurface& strip)
{
    static Surfaces normal(1);
    static Surfaces poster(2);
    const double scale = v.scale;
    std::optional<Surfaces> other;
    if (scale != 1 && scale != 2)
        other.emplace(scale);
    Surfaces& surfaces = scale == 1 ? normal : scale == 2 ? poster : *other;
    const GenerationState state = varied(v, start);
    const bool usualWorld = v.usualWorld;
    const int columnsPerBlock = v.columnsPerBlock;
    const bool pointByPoint = v.pointByPoint;

    const int lastColumn = coveringSize(state.geometry.sir, scale);
    const int lastRow = coveringSize(state.geometry.vis, scale);
    GenerationState stepByStep = state;
    surfaces.reference.fill(kBackground);
    surfaces.reference.onPixel = [&](float x, float y, Colour colour) {
        require(x >= 0 && y >= 0 && x <= lastColumn && y <= lastRow, "pixel set outside the sweep");
        require(colour >= 0 && colour < (1 << 24), "pixel colour out of 24 bits");
        require(!usualWorld || finite(stepByStep), "a statement stored a NaN or an infinity");
    };
    ImageGenerator(stepByStep, random, clock, surfaces.reference, strip).RenderPoster(scale);
    surfaces.reference.onPixel = nullptr; // it looks at this call's values

    FastRenderOptions options;
    options.scale = scale;
    options.columnsPerBlock = columnsPerBlock;
    for (const int threads : {1, 2}) {
        options.threads = threads;
        MemorySurface& fast = threads == 2 && pointByPoint ? surfaces.points : surfaces.rows;
        fast.fill(kBackground);
        GenerationState fastState = state;
        require(renderFast(fastState, strip, fast, options), "the fast renderer stopped uncancelled");
        char scaleText[32];
        std::snprintf(scaleText, sizeof scaleText, "%.17g", scale);
        const std::string where = "scale " + std::string(scaleText) + ", " + std::to_string(threads) + " threads, "
                                  + std::to_string(columnsPerBlock) + " columns per block"
                                  + (&fast == &surfaces.points ? ", point by point" : "");
        const std::string differing = genart::testing::differences(surfaces.reference, fast);
        if (!differing.empty()) {
            std::fprintf(stderr, "fast renderer, %s: %s\n", where.c_str(), differing.c_str());
            std::abort();
        }
        if (!(fastState == stepByStep)) {
            describe(("fast renderer, " + where + ": the state left behind differs").c_str(), stepByStep, fastState);
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    FuzzedDataProvider data(bytes, size);
    const Variation variation = vary(data);
    BytesRandom random(data);
    FixedClock clock(2026, 12, 8, 12, 0, 0);
    static MemorySurface picture(kPictureWidth, kPictureHeight);
    static MemorySurface strip(kStripWidth, kStripHeight);
    PictureSession session(random, clock, picture, strip);
    GenerationState& state = session.state();

    strip.onLine = [](float, float, float, float, Colour colour) {
        const int red = colour & 0xff, green = (colour >> 8) & 0xff, blue = (colour >> 16) & 0xff;
        require(colour >= 0 && colour < (1 << 24), "palette colour out of 24 bits");
        require(red <= 252 && green <= 252 && blue <= 252, "palette component above 252");
    };
    picture.onPixel = [&](float x, float y, Colour colour) {
        require(x >= 0 && y >= 0 && x <= kPictureWidth && y <= kPictureHeight, "pixel set outside the sweep");
        require(colour >= 0 && colour < (1 << 24), "pixel colour out of 24 bits");
        require(finite(state), "a statement stored a NaN or an infinity");
    };

    setFixedState(session.state());
    session.NewPalette();
    // Whatever an earlier picture or the palette could have left behind.
    state.carried.ba = carriedValue(data);
    state.carried.re = carriedValue(data);
    state.carried.gr = carriedValue(data);
    state.carried.bl = carriedValue(data);
    state.carried.barva = carriedValue(data);
    ImageGenerator& generator = session.generator();
    generator.DrawParameters();
    const GenerationState start = state;
    // A whole sweep costs a quarter of a million positions; each input looks at up to 64
    // positions anywhere in it first, with the drift wherever the sweep would have it there.
    for (int n = data.ConsumeIntegralInRange<int>(1, 64); n > 0 && data.remaining_bytes() > 0; --n) {
        state.position.i = data.ConsumeIntegralInRange<std::int16_t>(0, state.geometry.sir);
        state.position.j = data.ConsumeIntegralInRange<std::int16_t>(0, state.geometry.vis);
        state.position.x = (state.position.i / state.geometry.dx) - state.geometry.polx;
        state.position.y = state.geometry.poly - (state.position.j / state.geometry.dy);
        state.drift.fi1 = data.ConsumeFloatingPointInRange<double>(0.0, 8.2);
        generator.PolarFrame();
        generator.ShapeStage();
        generator.ChannelStage();
        generator.ToneStage();
        generator.PlotPixel();
    }
    require(finite(state), "the picture ended with a NaN or an infinity");

    compareRenderers(variation, start, random, clock, strip);
    return 0;
}
