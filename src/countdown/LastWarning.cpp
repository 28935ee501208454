#include "LastWarning.h"

#include "Expiry.h"

namespace dormivo {

LastWarning::LastWarning(Notifier& notifier, std::function<void()> stop)
    : notifier_(notifier), stop_(std::move(stop)) {}

void LastWarning::update(std::int64_t remaining, const QString& action) {
    // Launching programs costs no work; the choice may change while the countdown runs.
    if (action == kLauchProgram)
        return withdraw();
    if (shown_ || remaining <= 0 || remaining > kLeadSeconds)
        return;
    shown_ = true;
    notifier_.show(action + QStringLiteral(" in 1 minute"), stop_);
}

void LastWarning::withdraw() {
    if (!shown_)
        return;
    shown_ = false;
    notifier_.withdraw();
}

} // namespace dormivo
