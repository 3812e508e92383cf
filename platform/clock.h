#pragma once

#include <string>

namespace genart {

// Local date and time of day as the fixed-width texts pictures are named from.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::string dateText() const = 0; // "mm-dd-yyyy"
    virtual std::string timeText() const = 0; // "hh:mm:ss", 24-hour
};

class SystemClock final : public Clock {
public:
    std::string dateText() const override;
    std::string timeText() const override;
};

// A clock that always reads the same moment.
class FixedClock final : public Clock {
public:
    FixedClock(int year, int month, int day, int hour, int minute, int second);
    std::string dateText() const override { return date_; }
    std::string timeText() const override { return time_; }

private:
    std::string date_;
    std::string time_;
};

} // namespace genart
