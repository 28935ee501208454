#pragma once

#include <QString>

#include <functional>
#include <variant>

namespace dormivo {

// Waits for the end of the user's own processes: the one with a given id, or every one that
// runs a program of a given name, those started while waiting included.
class ProcessWatch {
public:
    // What a wait is for: the program's name, and the process's id when one was given.
    struct Target {
        QString name;
        long long pid = 0; // 0: every process of that name
        bool operator==(const Target&) const = default;
    };

    virtual ~ProcessWatch() = default;
    // Waits for what pidOrName names, in place of any earlier wait: all digits name a process
    // by its id, anything else a program by its name. ended is called from the event loop once
    // none of it runs any more. A process that is not there or is another user's, and a name
    // that none of the user's processes has at the moment, give why in one sentence instead,
    // and nothing is waited for.
    virtual std::variant<Target, QString> watch(const QString& pidOrName,
                                                std::function<void()> ended) = 0;
    // Gives the wait up: ended is not called. Nothing happens when nothing is waited for.
    virtual void cancel() = 0;
};

} // namespace dormivo
