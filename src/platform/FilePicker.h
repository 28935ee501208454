#pragma once

#include <QString>

class QWidget;

namespace dormivo {

// Lets the user pick one existing file; empty when the user picked none.
class FilePicker {
public:
    virtual ~FilePicker() = default;
    virtual QString openFileName(QWidget* parent) = 0;
};

} // namespace dormivo
