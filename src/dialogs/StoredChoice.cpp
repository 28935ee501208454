#include "dialogs/StoredChoice.h"

#include <QComboBox>
#include <QLineEdit>

namespace dormivo {
namespace {

void showPosition(const Value& stored, QComboBox* box) {
    const auto position = stored.toInt16();
    if (position && *position >= 0 && *position < box->count())
        box->setCurrentIndex(*position);
}

} // namespace

void showStoredChoice(const StoredSettings& stored, QComboBox* unit, QLineEdit* period,
                      QComboBox* action) {
    showPosition(stored.type, unit);
    if (const auto text = stored.period.text())
        period->setText(QString::fromStdString(*text));
    showPosition(stored.action, action);
}

} // namespace dormivo
