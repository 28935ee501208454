#pragma once

#include "countdown/CountdownState.h"
#include "countdown/Expiry.h"
#include "countdown/LastWarning.h"
#include "platform/Platform.h"

#include <QString>

#include <functional>

namespace dormivo {

// The countdown behind the main window: its state and deadline, the last-minute warning with
// its Stop and "10 more minutes", and the expiry. The window's handlers read their controls,
// call it with the action chosen now, and show what it says.
class Countdown {
public:
    // stop: the window's Stop, which the expiry and the warning's Stop press; lengthened: the
    // warning's "10 more minutes" made the countdown longer, for the window to show.
    Countdown(const Platform& platform, SettingsStore& store, std::function<void()> stop,
              std::function<void()> lengthened);

    const CountdownState& state() const { return state_; }
    bool isRunning() const { return state_.isRunning; }
    // Start accepted the period; see CountdownState::begin.
    bool begin(std::int32_t total, std::optional<std::int64_t> endsAt, const QString& action);
    bool stop();
    // One tick; false when the countdown ran out, was stopped and its action carried out. A
    // failure of the settings file is thrown (StoreError).
    bool tick(const QString& action);
    int msToNextTick() const { return state_.msToNextTick(); }
    // Another action was chosen, or the countdown was made longer: the warning follows.
    void actionChosen(const QString& action);
    // The window goes: so does the warning.
    void unload() { lastWarning_.withdraw(); }

private:
    static constexpr std::int32_t kSnoozeSeconds = 600;

    CountdownState state_;
    Expiry expiry_;
    LastWarning lastWarning_;
    std::function<void()> stop_;
};

} // namespace dormivo
