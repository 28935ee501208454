#include "app/CommandRequests.h"

#include "app/ProgramArguments.h"
#include "app/frmShutdown.h"
#include "common/WholeNumber.h"
#include "platform/Notifier.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include <algorithm>

namespace dormivo {
namespace {

using Kind = ProgramCommand::Kind;

// What the window says runs: the remaining time, or the wait for a program's end; empty when
// neither does.
QString runningLine(const frmShutdown& window) {
    return window.countdown().isRunning ? window.remainingText() : window.waitingText();
}

ArgumentsExit said(int status, const QString& line) {
    return {status, {}, QStringLiteral("dormivo: ") + oneLine(line) + QLatin1Char('\n')};
}

} // namespace

CommandRequests::CommandRequests(WindowTable& windows, const ProgramCommand& own)
    : windows_(windows) {
    waiting_.emplace_back(own, SingleInstance::Answer([this](const ArgumentsExit& answer) {
                              if (finish(answer) == 2)
                                  windows_.endNow(2); // this start came only for that command
                          }));
}

void CommandRequests::take(const ProgramCommand& command, const SingleInstance::Answer& answer) {
    if (command.kind == Kind::Show) {
        if (window_ && !window_->bringBack(command.activationToken) && notices_)
            notices_->show(QStringLiteral("Dormivo is already running."), {});
        return answer({});
    }
    // The status and Stop take the countdown as it is, whatever the window is doing; a start
    // waits until the window has loaded.
    if (loaded_ || command.kind == Kind::Status || command.kind == Kind::Stop)
        return act(command, answer);
    waiting_.emplace_back(command, answer);
}

void CommandRequests::windowLoaded() {
    loaded_ = true;
    for (const auto& [command, answer] : std::exchange(waiting_, {}))
        act(command, answer);
}

void CommandRequests::act(const ProgramCommand& command, const SingleInstance::Answer& answer) {
    if (!answer.callerWaits())
        return; // told meanwhile that Dormivo does not answer: never done behind its back
    // A window unloaded while a dialog stays open counts down no more.
    const bool counting = window_ && windows_.isLoaded(window_) && window_->countdown().isRunning;
    switch (command.kind) {
    case Kind::Show:
        return answer({});
    case Kind::Status:
        if (counting)
            return answer({0, oneLine(window_->remainingText()) + QLatin1Char('\n'), {}});
        if (window_ && !window_->waitingText().isEmpty())
            return answer({0, oneLine(window_->waitingText()) + QLatin1Char('\n'), {}});
        return answer({1, QStringLiteral("Not Running\n"), {}});
    case Kind::Stop:
        if (window_)
            window_->Image2_Click(kStopButton);
        return answer({});
    default:
        break;
    }
    if (!window_)
        return; // the program is ending; the later start hears that no one answers
    // Whatever a message box or dialog waits for would come after this command and undo it.
    if (QApplication::activeModalWidget())
        return answer(said(1, QStringLiteral("Dormivo waits for an answer in its window; answer "
                                             "it, then try again.")));
    start(command, answer);
}

void CommandRequests::start(const ProgramCommand& command, const SingleInstance::Answer& answer) {
    frmShutdown* window = window_;
    const CountdownBoxes boxes = window->boxes();
    // Fixed-string matching ignores case unless told otherwise.
    const int action =
        command.action ? boxes.action->findText(*command.action, Qt::MatchFixedString) : -1;
    if (command.action && action < 0) {
        QStringList names;
        for (int i = 0; i < boxes.action->count(); ++i)
            names << boxes.action->itemText(i);
        return answer(said(2, QStringLiteral("there is no action '%1'; the actions are %2.")
                                  .arg(*command.action, names.join(", "))));
    }
    if (!windows_.isLoaded(window))
        window->bringBack(); // as a later start does: loaded afresh
    // Pressing Start would change nothing, and the new choice of action would take over the
    // running countdown: the countdown is left as it is, and the script is told.
    if (const QString running = runningLine(*window); !running.isEmpty())
        return answer(said(1, QStringLiteral("a countdown already runs (%1); stop it first "
                                             "with --stop.")
                                  .arg(running)));
    // Bad input changes nothing, the boxes included.
    if (command.kind == Kind::After)
        if (const auto why = window->waitForEnd(command.after))
            return answer(said(2, *why));
    const bool at = command.kind == Kind::At;
    // The period box shows the minutes to a clock time, rounded up; the countdown ends at it.
    const std::int64_t toClockTime = command.until - QDateTime::currentMSecsSinceEpoch();
    const int period = at ? static_cast<int>(std::clamp<std::int64_t>(
                                (toClockTime + 59'999) / 60'000, 1, kMaxPeriod))
                          : command.period;
    boxes.period->setText(QString::number(period));
    boxes.unit->setCurrentIndex(!at && command.hours ? 1 : 0);
    if (action >= 0)
        boxes.action->setCurrentIndex(action);
    if (at)
        window->startUntil(command.until);
    else if (command.kind != Kind::After) // its end presses Start
        window->Image2_Click(kStartButton);
    answer(runningLine(*window).isEmpty() ? said(1, QStringLiteral("Start was refused."))
                                          : ArgumentsExit{});
}

} // namespace dormivo
