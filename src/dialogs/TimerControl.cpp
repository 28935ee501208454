#include "dialogs/TimerControl.h"

#include "common/WholeNumber.h"
#include "common/Words.h"
#include "dialogs/StoredChoice.h"
#include "platform/MessageBoxes.h"
#include "shell/Placement.h"
#include "store/SettingsStore.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace dormivo {
TimerControl::TimerControl(SettingsStore& store, MessageBoxes& messages, QWidget* parent)
    : QWidget(parent), store_(store), messages_(messages) {
    lblAction = place<QLabel>(this, "lblAction", QRect(0, 6, 48, 17));
    lblAction->setText(QStringLiteral("Action"));
    cmbAction = place<QComboBox>(this, "cmbAction", QRect(52, 4, 150, 22));
    cmbAction->setAccessibleName(QStringLiteral("Action"));
    lblAction->setBuddy(cmbAction);

    lblAfter = place<QLabel>(this, "lblAfter", QRect(0, 42, 48, 17));
    lblAfter->setText(QStringLiteral("After"));
    txtPeriod = place<QLineEdit>(this, "txtPeriod", QRect(52, 40, 57, 21));
    txtPeriod->setAccessibleName(QStringLiteral("Period"));
    txtPeriod->setAccessibleDescription(
        tr("A whole number from %1").arg(QString::fromStdString(periodLimits())));
    lblAfter->setBuddy(txtPeriod);
    cmbUnit = place<QComboBox>(this, "cmbUnit", QRect(116, 40, 86, 22));
    cmbUnit->addItems({QStringLiteral("Minutes"), QStringLiteral("Hours")});
    cmbUnit->setAccessibleName(QStringLiteral("Unit"));
}

void TimerControl::load(SettingsTable table) {
    cmbAction->clear();
    for (const auto& action : store_.loadActionList())
        cmbAction->addItem(QString::fromStdString(action.name));
    cmbAction->setCurrentIndex(0);
    cmbUnit->setCurrentIndex(0);
    txtPeriod->setText(QStringLiteral("5"));

    if (const auto stored = store_.loadSettings(table))
        showStoredChoice(*stored, cmbUnit, txtPeriod, cmbAction);
}

std::optional<TimeChoice> TimerControl::values() {
    bool whole = false;
    const int period = txtPeriod->text().trimmed().toInt(&whole);
    // The period is kept as a 16-bit whole number; one that does not fit is refused here
    // rather than stored cut short.
    if (!whole || !isPeriod(period)) {
        messages_.show(QStringLiteral("Please enter the period as a whole number from %1.")
                           .arg(QString::fromStdString(periodLimits())),
                       MessageStyle::Critical, kProductTitle);
        txtPeriod->setFocus();
        txtPeriod->selectAll();
        return std::nullopt;
    }
    return TimeChoice{static_cast<std::int16_t>(period),
                      static_cast<std::int16_t>(cmbUnit->currentIndex()),
                      static_cast<std::int16_t>(cmbAction->currentIndex())};
}

} // namespace dormivo
