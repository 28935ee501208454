#pragma once

#include <string>

// The two flags the whole process shares.
namespace dormivo {

// Whether the programs list is switched on, held for the whole run: only exactly "1" means
// on. Set from the stored settings at start-up and by the programs dialog; read by Start and
// the expiry.
inline std::string gProgramsActive;

// Set by the main window once its icon is in the notification area, so that every further
// tray component serves only as a menu.
inline bool trayIconShown = false;

// Both flags as a new process finds them, for tests that start the program afresh within one
// process.
inline void resetFlags() {
    gProgramsActive.clear();
    trayIconShown = false;
}

} // namespace dormivo
