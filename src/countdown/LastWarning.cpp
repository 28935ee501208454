#include "countdown/LastWarning.h"

#include "common/Words.h"
#include "countdown/SecondsToText.h"

namespace dormivo {

LastWarning::LastWarning(Notifier& notifier, std::function<void()> stop,
                         std::function<void()> snooze)
    : notifier_(notifier), stop_(std::move(stop)), snooze_(std::move(snooze)) {}

void LastWarning::update(std::int64_t remaining, const QString& action) {
    // Launching programs costs no work; the choice may change while the countdown runs.
    // A countdown made longer has more than the last minute left.
    if (action == kLauchProgram || remaining > kLeadSeconds)
        return withdraw();
    if (remaining <= 0 || (shown_ && action == shownAction_))
        return;
    // Sent again only for another action: a message rewritten every second would draw the eye
    // each time.
    shown_ = true;
    shownAction_ = action;
    notifier_.show(action + QStringLiteral(" in ") + SecondsToText(remaining),
                   {{QStringLiteral("stop"), QStringLiteral("Stop"), stop_},
                    {QStringLiteral("snooze"), QStringLiteral("10 more minutes"), snooze_}});
}

void LastWarning::withdraw() {
    if (!shown_)
        return;
    shown_ = false;
    notifier_.withdraw();
}

} // namespace dormivo
