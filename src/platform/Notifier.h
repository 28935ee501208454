#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace dormivo {

// A choice a desktop message offers beside its text, such as Stop.
struct NotifierChoice {
    QString key;   // names the choice to the desktop; unique within one message
    QString label; // what the user reads
    std::function<void()> choose;
};

// Short messages on the desktop, one at a time, that the program can take back.
class Notifier {
public:
    virtual ~Notifier() = default;
    // Shows text in place of any earlier one: a message still on screen is replaced where it
    // is, not taken down and shown anew. Where the desktop lets a message carry choices, it
    // offers these, and choosing one runs it.
    virtual void show(const QString& text, std::vector<NotifierChoice> choices) = 0;
    // Takes the shown message back; nothing happens when none is shown.
    virtual void withdraw() = 0;
};

} // namespace dormivo
