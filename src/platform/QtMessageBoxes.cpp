#include "platform/QtMessageBoxes.h"

#include <QMessageBox>

namespace dormivo {

void QtMessageBoxes::show(const QString& text, MessageStyle style, const QString& title) {
    QMessageBox box(style == MessageStyle::Critical ? QMessageBox::Critical
                                                    : QMessageBox::Information,
                    title, text, QMessageBox::Ok);
    box.exec();
}

} // namespace dormivo
