#pragma once

#include <cstdint>
#include <random>

namespace genart {

// The one pseudo-random generator the palette and the pictures share.
// Every value is a single-precision number in [0, 1).
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void seed(std::uint32_t seed) = 0;
    virtual float next() = 0;
};

// Mersenne twister; each value keeps the top 24 bits of one 32-bit output,
// so it is exactly k / 2^24 and every single-precision step below 1 is reachable.
class TwisterRandom final : public RandomSource {
public:
    explicit TwisterRandom(std::uint32_t seed = 5489u) : engine_(seed) {}
    void seed(std::uint32_t seed) override { engine_.seed(seed); }
    float next() override;

private:
    std::mt19937 engine_;
};

// The 32-bit pattern of the single-precision seconds since local midnight:
// the seed the window takes when none is given.
std::uint32_t seedFromTimeOfDay();

} // namespace genart
