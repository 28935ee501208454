#pragma once

#include <QWidget>

#include <cstdint>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;

namespace dormivo {

class MessageBoxes;
class SettingsStore;
enum class SettingsTable;

// The three countdown values as the settings tables keep them: the period in units, the unit
// (0 minutes, 1 hours) and the action's position in the action list.
struct TimeChoice {
    std::int16_t period = 0;
    std::int16_t unit = 0;
    std::int16_t action = 0;
};

// The period, its unit and the action of a countdown, chosen in one place: the start-up
// options dialog shows it for the countdown that the next start is to run.
class TimerControl final : public QWidget {
    Q_OBJECT
public:
    TimerControl(SettingsStore& store, MessageBoxes& messages, QWidget* parent = nullptr);

    // Fills the action list and shows the values saved in that table, or the main window's
    // defaults (5 minutes, the first action) when it holds no row. A failure of the settings
    // file is thrown (StoreError).
    void load(SettingsTable table);

    // The values shown, once the period is a whole number within the limits of isPeriod;
    // otherwise says so, puts the cursor in the period box and gives none.
    std::optional<TimeChoice> values();

private:
    SettingsStore& store_;
    MessageBoxes& messages_;
    QLabel* lblAction = nullptr;
    QComboBox* cmbAction = nullptr;
    QLabel* lblAfter = nullptr;
    QLineEdit* txtPeriod = nullptr;
    QComboBox* cmbUnit = nullptr;
};

} // namespace dormivo
