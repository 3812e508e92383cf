#include "platform/random_source.h"

#include <bit>
#include <chrono>
#include <ctime>

namespace genart {

float TwisterRandom::next()
{
    constexpr float kStep = 1.0f / 16777216.0f; // 2^-24
    return static_cast<float>(engine_() >> 8) * kStep;
}

std::uint32_t seedFromTimeOfDay()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + static_cast<double>(millis) / 1000.0;
    return std::bit_cast<std::uint32_t>(static_cast<float>(seconds));
}

} // namespace genart
