#pragma once

#include "store/SettingsStore.h"

class QComboBox;
class QLineEdit;

namespace dormivo {

// Shows a stored unit, period and action in their boxes, in that order. A value that is
// missing or that its box cannot show leaves that box as it is; the others still apply.
void showStoredChoice(const StoredSettings& stored, QComboBox* unit, QLineEdit* period,
                      QComboBox* action);

} // namespace dormivo
