#include "countdown/StartRules.h"

#include "common/Flags.h"
#include "common/Words.h"
#include "countdown/PeriodCheck.h"
#include "platform/MessageBoxes.h"
#include "store/SettingsStore.h"
#include "store/StoreError.h"

namespace dormivo {

StartRules::StartRules(SettingsStore& store, MessageBoxes& messages)
    : store_(store), messages_(messages) {}

StartRules::Period StartRules::acceptPeriod(const QString& periodText,
                                            const QString& unitText) const {
    const PeriodCheck check = checkPeriod(periodText, unitText);
    switch (check.outcome) {
    case PeriodCheck::Outcome::NotANumber:
        messages_.show(QStringLiteral("Please Enter valid Number."), MessageStyle::Critical,
                       kApplicationTitle);
        return {0, QStringLiteral("1")};
    case PeriodCheck::Outcome::NotAboveZero:
        messages_.show(QStringLiteral("Please enter number above zero"), MessageStyle::Information,
                       kProductTitle);
        return {0, std::nullopt};
    case PeriodCheck::Outcome::Accepted:
        break;
    }
    return {check.totalSeconds, std::nullopt};
}

void StartRules::keepChoice(const QString& periodText, int unitPosition, int actionPosition) const {
    try {
        store_.saveCountdownSettings(periodText.toStdString(), unitPosition, actionPosition);
    } catch (const StoreError&) {
    }
}

bool StartRules::warnAboutList(const QString& actionText) const {
    if (actionText != kLauchProgram)
        return false;
    QString problem;
    try {
        if (!store_.hasPrograms())
            problem = QStringLiteral("Please Add The Programs You Want To Start At Option Window");
        else if (gProgramsActive != "1")
            problem =
                QStringLiteral("You Have To Change The Programs In Option To Active Mode First");
    } catch (const StoreError&) {
    }
    if (problem.isEmpty())
        return false;
    messages_.show(problem, MessageStyle::Critical, kProductTitle);
    return true;
}

} // namespace dormivo
