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

    // A countdown started with this choice (positions in their lists, -1 for a typed text):
    // keeps it as the last state, which a failing settings file skips without stopping the
    // countdown, and for "Lauch Program" tells the user when the list can launch nothing.
    // True when told so, for the programs list to open.
    bool recordStart(const QString& periodText, int unitPosition, const QString& actionText,
                     int actionPosition) const;
    // Keeps the running countdown's choice as the last state; a failing settings file is
    // skipped, the countdown runs on.
    void keepChoice(const QString& periodText, int unitPosition, int actionPosition) const;

private:
    SettingsStore& store_;
    MessageBoxes& messages_;
};

} // namespace dormivo
