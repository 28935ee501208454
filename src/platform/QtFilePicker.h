#pragma once

#include "platform/FilePicker.h"

namespace dormivo {

class QtFilePicker final : public FilePicker {
public:
    QString openFileName(QWidget* parent) override;
};

} // namespace dormivo
