#pragma once

#include "platform/Notifier.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace dormivo {

// The desktop's warning in the last minute before a power action, so that a forgotten
// countdown does not cost unsaved work. It names the action that will run and the time left
// when it appears or when the action changes; it follows the countdown's seconds and never
// touches its timing.
class LastWarning {
public:
    static constexpr std::int64_t kLeadSeconds = 60;

    // stop: what the warning's Stop does (the window's Stop).
    LastWarning(Notifier& notifier, std::function<void()> stop);

    // The countdown on action has remaining seconds left: after Start, after every tick and
    // whenever another action is chosen.
    void update(std::int64_t remaining, const QString& action);
    // The countdown stopped, ran out or was abandoned.
    void withdraw();

private:
    Notifier& notifier_;
    std::function<void()> stop_;
    bool shown_ = false;
    QString shownAction_; // the action the shown warning names
};

} // namespace dormivo
