#pragma once

#include "platform/Clock.h"

#include <cstdint>
#include <optional>

namespace dormivo {

// The countdown's three fields and the one deadline they are read from. A period ends on the
// clock that keeps running while the machine sleeps; a clock time ends at its instant on the
// wall clock, looked at afresh each tick, so that a correction of the clock or a change to
// summer time counts. Each tick derives elapsedSeconds from the deadline, so that the window,
// the icon's tip, the status and the warning read the same time.
class CountdownState {
public:
    explicit CountdownState(const Clock& clock) : clock_(&clock) {}

    // Start accepted a period of total seconds: the countdown runs, to the end of the period,
    // or to the wall-clock instant endsAt (milliseconds since the epoch) when given. False
    // when one already runs.
    bool begin(std::int32_t total, std::optional<std::int64_t> endsAt = {});
    // Ends a running countdown; false when none runs. totalSeconds is kept.
    bool stop();
    // The running countdown ends seconds later; false when none runs or it would not fit.
    bool lengthen(std::int32_t seconds);

    enum class Tick {
        Counting,
        Expired,
        // The deadline went by while the machine slept or Dormivo was held up: the countdown
        // now ends in a full minute, so that the last-minute warning comes first.
        Postponed,
    };
    Tick tick();
    std::int64_t remainingSeconds() const { return std::int64_t{totalSeconds} - elapsedSeconds; }
    // Milliseconds until the next tick, which comes just after the remaining time crosses a
    // whole second.
    int msToNextTick() const;

    std::int32_t totalSeconds = 0;
    std::int32_t elapsedSeconds = 0;
    bool isRunning = false;

private:
    std::int64_t remainingMs() const;
    void deriveElapsed(std::int64_t remainingMs);

    const Clock* clock_;
    bool onWallClock_ = false;
    std::int64_t deadline_ = 0; // on the clock chosen
    std::int64_t lastRemainingMs_ = 0;
};

} // namespace dormivo
