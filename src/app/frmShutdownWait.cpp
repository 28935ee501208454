// --after: the main window waits for a program's end before it presses Start.
#include "app/frmShutdown.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace dormivo {

std::optional<QString> frmShutdown::waitForEnd(const QString& pidOrName) {
    const auto target = platform_.processes.watch(pidOrName, [this] {
        waiting_.clear();
        Label4->clear();
        Image2_Click(kStartButton);
    });
    if (const auto* why = std::get_if<QString>(&target))
        return *why;
    const auto& [name, pid] = std::get<ProcessWatch::Target>(target);
    waiting_ = pid ? QStringLiteral("Waiting for %1 (%2) to end").arg(name).arg(pid)
                   : QStringLiteral("Waiting for %1 to end").arg(name);
    // The status label is too narrow for the line: it goes where the remaining time will.
    Label3->setText(QStringLiteral("Waiting"));
    Label4->setText(waiting_);
    Command1->setEnabled(false);
    Command3->setEnabled(true);
    showWaitingTip();
    return std::nullopt;
}

void frmShutdown::showWaitingTip() {
    if (!waiting_.isEmpty())
        setTrayTip(waiting_ + QStringLiteral(", then ") + Combo1->currentText());
}

bool frmShutdown::stopWaiting() {
    if (waiting_.isEmpty())
        return false;
    platform_.processes.cancel();
    waiting_.clear();
    return true;
}

} // namespace dormivo
