// Feeds the picture pipeline arbitrary random values and arbitrary carried state, and checks at
// every pixel that no statement stored a NaN or an infinity, that every palette colour component
// lies in 0..252 and that nothing is painted outside the picture.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstdio>

#include <fuzzer/FuzzedDataProvider.h>

#include "session/picture_session.h"
#include "memory_surface.h"

namespace {

using namespace genart;

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    FuzzedDataProvider data(bytes, size);
    BytesRandom random(data);
    FixedClock clock(2026, 12, 8, 12, 0, 0);
    static fuzzing::MemorySurface picture(600, 450);
    static fuzzing::MemorySurface strip(601, 33);
    PictureSession session(random, clock, picture, strip);
    GenerationState& state = session.state();

    strip.onLine = [](Colour colour) {
        const int red = colour & 0xff, green = (colour >> 8) & 0xff, blue = (colour >> 16) & 0xff;
        require(colour >= 0 && colour < (1 << 24), "palette colour out of 24 bits");
        require(red <= 252 && green <= 252 && blue <= 252, "palette component above 252");
    };
    picture.onPixel = [&](int x, int y, Colour colour) {
        require(x >= 0 && y >= 0 && x <= 600 && y <= 450, "pixel set outside the sweep");
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
    // A whole sweep costs a quarter of a million positions (the test suite runs those under the
    // sanitizers); each input looks at up to 64 positions anywhere in it instead, with the drift
    // wherever the sweep would have it there.
    ImageGenerator& generator = session.generator();
    generator.DrawParameters();
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
    return 0;
}
