#include "app/CommandRequests.h"

#include "app/ProgramArguments.h"
#include "app/frmShutdown.h"
#include "platform/Notifier.h"

#include <QTimer>

namespace dormivo {
namespace {

using Kind = ProgramCommand::Kind;

ArgumentsExit said(int status, const QString& line) {
    return {status, {}, QStringLiteral("dormivo: ") + oneLine(line) + QLatin1Char('\n')};
}

} // namespace

CommandRequests::CommandRequests(WindowTable& windows, const ProgramCommand& own)
    : windows_(windows) {
    waiting_.emplace_back(own, [this](const ArgumentsExit& answer) {
        if (finish(answer) == 2)
            windows_.endNow(2); // this start came only for that command
    });
}

void CommandRequests::take(const ProgramCommand& command, SingleInstance::Answer answer) {
    if (command.kind == Kind::Show) {
        if (window_ && !window_->bringBack(command.activationToken) && notices_)
            notices_->show(QStringLiteral("Dormivo is already running."), {});
        return answer({});
    }
    if (loaded_)
        return act(command, answer);
    waiting_.emplace_back(command, std::move(answer));
}

void CommandRequests::windowLoaded() {
    loaded_ = true;
    for (const auto& [command, answer] : std::exchange(waiting_, {}))
        act(command, answer);
}

void CommandRequests::act(const ProgramCommand& command, const SingleInstance::Answer& answer) {
    if (!window_)
        return; // the program is ending; the later start hears that no one answers
    switch (command.kind) {
    case Kind::Show:
        return answer({});
    case Kind::Start:
    case Kind::At:
    case Kind::After:
        return start(command, answer);
    case Kind::Stop:
        window_->Image2_Click(kStopButton);
        return answer({});
    case Kind::Status:
        // A window unloaded while a dialog stays open counts down no more.
        if (windows_.isLoaded(window_) && window_->countdown().isRunning)
            return answer({0, oneLine(window_->remainingText()) + QLatin1Char('\n'), {}});
        if (!window_->waitingText().isEmpty())
            return answer({0, oneLine(window_->waitingText()) + QLatin1Char('\n'), {}});
        return answer({1, QStringLiteral("Not Running\n"), {}});
    }
}

void CommandRequests::start(const ProgramCommand& command, const SingleInstance::Answer& answer) {
    frmShutdown* window = window_;
    const int action = command.action ? window->findAction(*command.action) : -1;
    if (command.action && action < 0)
        return answer(said(2, QStringLiteral("there is no action '%1'; the actions are %2.")
                                  .arg(*command.action, window->actionNames().join(", "))));
    if (!windows_.isLoaded(window))
        window->bringBack(); // as a later start does: loaded afresh
    // Pressing Start would change nothing, and the new choice of action would take over the
    // running countdown: the countdown is left as it is, and the script is told.
    if (window->countdown().isRunning || !window->waitingText().isEmpty())
        return answer(said(1, QStringLiteral("a countdown already runs (%1); stop it first "
                                             "with --stop.")
                                  .arg(window->countdown().isRunning ? window->remainingText()
                                                                     : window->waitingText())));
    if (command.kind == Kind::After) {
        const auto why = window->waitForEnd(command.after, command.period, command.hours, action);
        return answer(why ? said(2, *why) : ArgumentsExit{});
    }
    if (command.kind == Kind::At)
        window->chooseCountdown(minutesUntil(command.at, QDateTime::currentDateTime()), false,
                                action);
    else
        window->chooseCountdown(command.period, command.hours, action);
    // Start may tell the user something and wait until it was read; the later start learns
    // meanwhile how Start went, as soon as it has acted.
    QTimer::singleShot(0, window, [window] { window->Image2_Click(kStartButton); });
    QTimer::singleShot(0, window, [window, answer] {
        answer(window->countdown().isRunning ? ArgumentsExit{}
                                             : said(1, QStringLiteral("Start was refused.")));
    });
}

} // namespace dormivo
