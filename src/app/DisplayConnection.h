#pragma once

#include <functional>

namespace dormivo {

// Qt ends the program with abort(), and a core dump, when no window system answers at the
// display the environment names, advising to reinstall. While one of these is alive (around
// the construction of the application object) Qt's messages are held back; that failure then
// becomes one line on stderr naming the display, and status 1. Any other message is passed
// on as it came, once the connection stands. A display that takes the connection but never
// answers ends the start the same way after a few seconds.
class DisplayConnection {
public:
    // undo runs before that failure ends the program, to take back what the start did
    // before it knew.
    explicit DisplayConnection(std::function<void()> undo = {});
    ~DisplayConnection() { established(); }
    // The application object is made: Qt's messages go their usual way again.
    void established();

    DisplayConnection(const DisplayConnection&) = delete;
    DisplayConnection& operator=(const DisplayConnection&) = delete;
};

} // namespace dormivo
