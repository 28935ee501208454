#pragma once

#include "platform/Notifier.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace dormivo {

// The desktop's warning in the last minute before a power action, so that a forgotten
// countdown does not cost unsaved work. It names the action that will run and the time left
// when it appears or when the action changes; it follows the countdown's seconds and never
// touches its timing. Beside Stop it offers ten minutes more, and comes again when one minute
// is left once more.
class LastWarning {
public:
    static constexpr std::int64_t kLeadSeconds = 60;

    // stop: what the warning's Stop does (the window's Stop); snooze: what its "10 more
    // minutes" does.
    LastWarning(Notifier& notifier, std::function<void()> stop, std::function<void()> snooze);

    // The countdown on action has remaining seconds left: after Start, after every tick,
    // whenever another action is chosen and when the countdown was made longer.
    void update(std::int64_t remaining, const QString& action);
    // The countdown stopped, ran out or was abandoned.
    void withdraw();

private:
    Notifier& notifier_;
    std::function<void()> stop_;
    std::function<void()> snooze_;
    bool shown_ = false;
    QString shownAction_; // the action the shown warning names
};

} // namespace dormivo
