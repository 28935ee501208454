#include "countdown/Countdown.h"

namespace dormivo {

Countdown::Countdown(const Platform& platform, SettingsStore& store, std::function<void()> stop,
                     std::function<void()> lengthened)
    : state_(platform.clock),
      expiry_(store, platform.launcher, platform.registry, platform.messages, platform.appFolder),
      lastWarning_(platform.notifier, stop,
                   [this, lengthened = std::move(lengthened)] {
                       if (state_.lengthen(kSnoozeSeconds))
                           lengthened();
                   }),
      stop_(std::move(stop)) {}

bool Countdown::begin(std::int32_t total, std::optional<std::int64_t> endsAt,
                      const QString& action) {
    if (!state_.begin(total, endsAt))
        return false;
    actionChosen(action);
    return true;
}

bool Countdown::stop() {
    if (!state_.stop())
        return false;
    lastWarning_.withdraw();
    return true;
}

bool Countdown::tick(const QString& action) {
    switch (state_.tick()) {
    case CountdownState::Tick::Expired:
        // Stopped first: while the action runs, or its message box waits, nothing ticks and
        // every command from outside reads that nothing runs.
        stop_();
        expiry_.run(action);
        return false;
    case CountdownState::Tick::Postponed:
        lastWarning_.withdraw(); // it comes again, with the full minute
        break;
    case CountdownState::Tick::Counting:
        break;
    }
    actionChosen(action);
    return true;
}

void Countdown::actionChosen(const QString& action) {
    if (state_.isRunning)
        lastWarning_.update(state_.remainingSeconds(), action);
}

} // namespace dormivo
