#include "countdown/CountdownState.h"

#include <algorithm>
#include <limits>

namespace dormivo {
namespace {

// A tick comes about once a second; a deadline that was further away than this at the last
// tick and is gone now went by while nothing ticked.
constexpr std::int64_t kLateMs = 2000;
// What a countdown whose deadline went by that way still runs: the warning's full minute.
constexpr std::int64_t kGraceMs = 60'000;

} // namespace

bool CountdownState::begin(std::int32_t total, std::optional<std::int64_t> endsAt) {
    if (isRunning)
        return false;
    isRunning = true;
    totalSeconds = total;
    onWallClock_ = endsAt.has_value();
    deadline_ = endsAt ? *endsAt : clock_->sinceBootMs() + std::int64_t{total} * 1000;
    // A clock time already gone as the countdown begins (its start was held up) warns first.
    const std::int64_t remaining = remainingMs();
    lastRemainingMs_ = remaining > 0 ? remaining : kLateMs + 1;
    deriveElapsed(remaining);
    return true;
}

bool CountdownState::stop() {
    if (!isRunning)
        return false;
    isRunning = false;
    elapsedSeconds = 0;
    return true;
}

bool CountdownState::lengthen(std::int32_t seconds) {
    if (!isRunning || totalSeconds > std::numeric_limits<std::int32_t>::max() - seconds)
        return false;
    totalSeconds += seconds;
    deadline_ += std::int64_t{seconds} * 1000;
    deriveElapsed(remainingMs());
    return true;
}

CountdownState::Tick CountdownState::tick() {
    std::int64_t remaining = remainingMs();
    Tick outcome = remaining > 0 ? Tick::Counting : Tick::Expired;
    if (outcome == Tick::Expired && lastRemainingMs_ > kLateMs) {
        onWallClock_ = false;
        deadline_ = clock_->sinceBootMs() + kGraceMs;
        remaining = kGraceMs;
        outcome = Tick::Postponed;
    }
    lastRemainingMs_ = remaining;
    deriveElapsed(remaining);
    return outcome;
}

int CountdownState::msToNextTick() const {
    const std::int64_t remaining = remainingMs();
    return remaining <= 0 ? 1 : static_cast<int>((remaining - 1) % 1000 + 1 + 5);
}

std::int64_t CountdownState::remainingMs() const {
    return deadline_ - (onWallClock_ ? clock_->wallMs() : clock_->sinceBootMs());
}

void CountdownState::deriveElapsed(std::int64_t remainingMs) {
    const std::int64_t seconds = std::max<std::int64_t>(0, (remainingMs + 999) / 1000);
    // A wall clock set far back leaves more than any period; the text then reads the most.
    elapsedSeconds = static_cast<std::int32_t>(std::max<std::int64_t>(
        std::int64_t{totalSeconds} - seconds, std::numeric_limits<std::int32_t>::min()));
}

} // namespace dormivo
