#include "platform/QtFilePicker.h"

#include <QFileDialog>

namespace dormivo {

QString QtFilePicker::openFileName(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent);
}

} // namespace dormivo
