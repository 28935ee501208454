#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace dormivo {

class MessageBoxes;
class SettingsStore;

// What Start decides, apart from the window that asks: whether the typed period starts a
// countdown and what the user is told when it does not; what a started countdown keeps in the
// settings file; and whether a "Lauch Program" countdown has a list it can launch. The window
// reads its controls, asks, and shows the answers.
class StartRules {
public:
    StartRules(SettingsStore& store, MessageBoxes& messages);

    struct Period {
        std::int32_t totalSeconds = 0;     // 0: refused, and the user was told why
        std::optional<QString> periodText; // what the period box shows from now on, if not its text
    };
    // The period box's text, read in the unit box's unit.
    Period acceptPeriod(const QString& periodText, const QString& unitText) const;

    // A "Lauch Program" countdown started whose list can launch nothing: the user is told so.
    // True when told, for the programs list to open.
    bool warnAboutList(const QString& actionText) const;
    // Keeps the running countdown's choice as the last state; a failing settings file is
    // skipped, the countdown runs on.
    void keepChoice(const QString& periodText, int unitPosition, int actionPosition) const;

private:
    SettingsStore& store_;
    MessageBoxes& messages_;
};

} // namespace dormivo
