#pragma once

#include "app/SingleInstance.h"

#include <QPointer>

#include <utility>
#include <vector>

namespace dormivo {

class Notifier;
class WindowTable;
class frmShutdown;

// Carries out the commands of later starts, and this start's own, in the main window as the
// user would: it sets the boxes, presses the buttons and reads the remaining time, and answers
// once it has. The status and Stop are carried out at once, whatever is open; a start that
// comes before the window has loaded waits for it, and one that comes while a message box or
// dialog waits for the user is refused. A later start that only asks for the window is
// answered at once, and the window shows itself once it is loaded. A command whose caller
// gave up waiting is dropped.
class CommandRequests {
public:
    // own: what this start was asked; its answer is printed here, and bad input ends it.
    CommandRequests(WindowTable& windows, const ProgramCommand& own);

    void take(const ProgramCommand& command, const SingleInstance::Answer& answer);
    // The main window exists, and may be asked to show itself; where the desktop may keep it
    // behind others (Wayland without an activation token), notices says that Dormivo runs.
    void windowBuilt(frmShutdown* window, Notifier* notices) {
        window_ = window;
        notices_ = notices;
    }
    // The main window has loaded: the waiting commands are carried out, later ones at once.
    void windowLoaded();

private:
    void act(const ProgramCommand& command, const SingleInstance::Answer& answer);
    void start(const ProgramCommand& command, const SingleInstance::Answer& answer);

    WindowTable& windows_;
    QPointer<frmShutdown> window_;
    Notifier* notices_ = nullptr;
    bool loaded_ = false;
    std::vector<std::pair<ProgramCommand, SingleInstance::Answer>> waiting_;
};

} // namespace dormivo
