#pragma once

#include <QDateTime>

#include <cstdint>
#include <ctime>

namespace dormivo {

// The two clocks a countdown reads, in milliseconds: one that keeps running while the machine
// sleeps, for a period, and the wall clock, for a clock time. Tests put a clock of their own
// here, to let time pass, jump or sleep.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t sinceBootMs() const = 0;
    virtual std::int64_t wallMs() const = 0; // since the epoch, UTC
};

class SystemClock final : public Clock {
public:
    std::int64_t sinceBootMs() const override {
        timespec now{};
        ::clock_gettime(CLOCK_BOOTTIME, &now);
        return std::int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1'000'000;
    }
    std::int64_t wallMs() const override { return QDateTime::currentMSecsSinceEpoch(); }
};

} // namespace dormivo
