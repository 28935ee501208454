#pragma once

#include <QString>

#include <functional>

namespace dormivo {

// Short messages on the desktop, one at a time, that the program can take back.
class Notifier {
public:
    virtual ~Notifier() = default;
    // Shows text in place of any earlier one. Where the desktop lets a message carry a
    // choice, it offers Stop, and choosing it runs onStop.
    virtual void show(const QString& text, std::function<void()> onStop) = 0;
    // Takes the shown message back; nothing happens when none is shown.
    virtual void withdraw() = 0;
};

} // namespace dormivo
