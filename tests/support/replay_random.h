#pragma once

#include <cstddef>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/random_source.h"

namespace genart::testing {

// Replays a given sequence of random values; seeding starts it again from the top.
// Asking for more values than it holds is a test error.
class ReplayRandom final : public RandomSource {
public:
    explicit ReplayRandom(std::vector<float> values) : values_(std::move(values)) {}

    void seed(std::uint32_t) override { position_ = 0; }
    float next() override
    {
        if (position_ >= values_.size())
            throw std::out_of_range("ReplayRandom: sequence exhausted");
        return values_[position_++];
    }
    std::size_t taken() const { return position_; }

private:
    std::vector<float> values_;
    std::size_t position_ = 0;
};

// The largest single-precision value below 1.
inline constexpr float kLargestRandom = 1.0f - 1.0f / 16777216.0f;

} // namespace genart::testing
