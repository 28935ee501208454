#pragma once

#include "platform/ProcessWatch.h"

#include <QObject>

#include <map>

class QSocketNotifier;

namespace dormivo {

// Each process is held by a descriptor of its own (pidfd) that the event loop watches: no
// polling, no thread, and an id that another program is given after the end cannot keep the
// wait going. Processes of a name are looked for again whenever one of them ends, the only
// moment when none might be left: a build that runs one compiler after another is waited for
// to its end, and nothing is read from /proc while they run.
class LinuxProcessWatch final : public QObject, public ProcessWatch {
    Q_OBJECT
public:
    explicit LinuxProcessWatch(QObject* parent = nullptr);
    ~LinuxProcessWatch() override;

    std::variant<Target, QString> watch(const QString& pidOrName,
                                        std::function<void()> ended) override;
    void cancel() override;

private:
    // Adds the user's processes of name_ that are not watched yet.
    void look();
    void add(int pid, int descriptor);
    void processEnded(int pid);

    QString name_;                            // empty while waiting for one process given by its id
    std::map<int, QSocketNotifier*> watched_; // by process id; each notifier holds a pidfd
    std::function<void()> ended_;
};

} // namespace dormivo
