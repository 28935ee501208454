#include "shell/StoredChoice.h"

#include <QComboBox>
#include <QLabel>
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

void setTextColour(QLabel* label, QColor colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace dormivo
