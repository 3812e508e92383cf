#include "platform/clock.h"

#include <cstdio>
#include <ctime>
#include <limits>

namespace genart {
namespace {

// Room for three numbers of any int value (sign and every digit), two separators and the end:
// the fields are normally 2 and 4 digits wide, but the compiler can only prove the text fits
// when the buffer holds the widest ints too.
constexpr std::size_t kWidestInt = std::numeric_limits<int>::digits10 + 2;
constexpr std::size_t kThreeFields = 3 * kWidestInt + 2 + 1;

std::string dateOf(int year, int month, int day)
{
    char text[kThreeFields];
    std::snprintf(text, sizeof text, "%02d-%02d-%04d", month, day, year);
    return text;
}

std::string timeOf(int hour, int minute, int second)
{
    char text[kThreeFields];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
    return text;
}

std::tm localNow()
{
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return local;
}

} // namespace

std::string SystemClock::dateText() const
{
    const std::tm now = localNow();
    return dateOf(now.tm_year + 1900, now.tm_mon + 1, now.tm_mday);
}

std::string SystemClock::timeText() const
{
    const std::tm now = localNow();
    return timeOf(now.tm_hour, now.tm_min, now.tm_sec);
}

FixedClock::FixedClock(int year, int month, int day, int hour, int minute, int second)
    : date_(dateOf(year, month, day)), time_(timeOf(hour, minute, second))
{
}

} // namespace genart
