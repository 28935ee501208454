#pragma once

#include "platform/MessageBoxes.h"

namespace dormivo {

class QtMessageBoxes final : public MessageBoxes {
public:
    void show(const QString& text, MessageStyle style, const QString& title) override;
};

} // namespace dormivo
