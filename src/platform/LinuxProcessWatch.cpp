#include "platform/LinuxProcessWatch.h"

#include <QFile>
#include <QSocketNotifier>

#include <algorithm>
#include <climits>
#include <dirent.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace dormivo {
namespace {

QByteArray procFile(int pid, const char* name) {
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The names a process goes by: the one the kernel keeps for it (at most 15 bytes), and the
// file name of the program it runs.
QStringList namesOf(int pid) {
    QByteArray comm = procFile(pid, "comm");
    if (comm.endsWith('\n'))
        comm.chop(1);
    QStringList names{QString::fromLocal8Bit(comm)};
    char target[PATH_MAX];
    const ssize_t size = ::readlink(
        QStringLiteral("/proc/%1/exe").arg(pid).toLocal8Bit().constData(), target, sizeof target);
    if (size > 0) {
        QByteArray path(target, size);
        // A program replaced while it runs, as an upgrade does, still has its name.
        if (path.endsWith(" (deleted)"))
            path.chop(10);
        names << QString::fromLocal8Bit(path.mid(path.lastIndexOf('/') + 1));
    }
    return names;
}

// The real user of the process, -1 when it is gone.
long long userOf(int pid) {
    for (const QByteArray& line : procFile(pid, "status").split('\n'))
        if (line.startsWith("Uid:"))
            return line.mid(4).simplified().split(' ').first().toLongLong();
    return -1;
}

// Dormivo itself, and any later start of it (such as the one that asked for this wait, which
// ends as soon as it has its answer), never counts: waiting for it would end at once or never.
bool runsDormivo(int pid) {
    const QByteArray theirsPath = QStringLiteral("/proc/%1/exe").arg(pid).toLocal8Bit();
    struct stat theirs = {};
    struct stat ours = {};
    return ::stat(theirsPath.constData(), &theirs) == 0 && ::stat("/proc/self/exe", &ours) == 0 &&
           theirs.st_dev == ours.st_dev && theirs.st_ino == ours.st_ino;
}

bool hasEnded(int descriptor) {
    pollfd watched{descriptor, POLLIN, 0};
    return ::poll(&watched, 1, 0) != 0;
}

struct Opened {
    int descriptor = -1;  // -1: no process of the user's
    bool another = false; // it runs, as another user's
    QStringList names = {};
};

// A descriptor that holds the process while what /proc says of it is read. What was read is
// kept only when the process still runs afterwards: its id cannot have gone to another one.
Opened open(int pid) {
    Opened opened;
    const int descriptor = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (descriptor < 0)
        return opened;
    const long long user = userOf(pid);
    opened.names = namesOf(pid);
    if (user >= 0 && !hasEnded(descriptor)) {
        if (user == ::getuid()) {
            opened.descriptor = descriptor;
            return opened;
        }
        opened.another = true;
    }
    ::close(descriptor);
    return opened;
}

} // namespace

LinuxProcessWatch::LinuxProcessWatch(QObject* parent) : QObject(parent) {}

LinuxProcessWatch::~LinuxProcessWatch() {
    cancel();
}

std::variant<ProcessWatch::Target, QString> LinuxProcessWatch::watch(const QString& pidOrName,
                                                                     std::function<void()> ended) {
    cancel();
    if (pidOrName.isEmpty())
        return QStringLiteral("give a process id or a program name.");
    if (!std::all_of(pidOrName.begin(), pidOrName.end(),
                     [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        name_ = pidOrName;
        look();
        if (watched_.empty()) {
            name_.clear();
            return QStringLiteral("no process of yours is named '%1'.").arg(pidOrName);
        }
        ended_ = std::move(ended);
        return Target{pidOrName};
    }
    bool fits = false;
    const long long pid = pidOrName.toLongLong(&fits);
    if (fits && pid <= INT_MAX && runsDormivo(static_cast<int>(pid)))
        return QStringLiteral("process %1 is Dormivo itself.").arg(pid);
    const Opened opened = fits && pid <= INT_MAX ? open(static_cast<int>(pid)) : Opened{};
    if (opened.another)
        return QStringLiteral("process %1 is another user's.").arg(pid);
    if (opened.descriptor < 0)
        return QStringLiteral("there is no process %1.").arg(pidOrName);
    add(static_cast<int>(pid), opened.descriptor);
    ended_ = std::move(ended);
    return Target{opened.names.first(), pid};
}

void LinuxProcessWatch::cancel() {
    name_.clear();
    ended_ = nullptr;
    for (const auto& [pid, notifier] : std::exchange(watched_, {})) {
        const auto descriptor = static_cast<int>(notifier->socket());
        delete notifier;
        ::close(descriptor);
    }
}

void LinuxProcessWatch::look() {
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return;
    while (const dirent* entry = ::readdir(proc)) {
        bool number = false;
        const int pid = QByteArray(entry->d_name).toInt(&number);
        if (!number || watched_.contains(pid) || !namesOf(pid).contains(name_) || runsDormivo(pid))
            continue;
        const Opened opened = open(pid);
        if (opened.descriptor < 0)
            continue;
        if (opened.names.contains(name_))
            add(pid, opened.descriptor);
        else
            ::close(opened.descriptor);
    }
    ::closedir(proc);
}

void LinuxProcessWatch::add(int pid, int descriptor) {
    auto* notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this, pid] { processEnded(pid); });
    watched_.emplace(pid, notifier);
}

void LinuxProcessWatch::processEnded(int pid) {
    const auto found = watched_.find(pid);
    if (found == watched_.end())
        return;
    QSocketNotifier* notifier = found->second;
    watched_.erase(found);
    notifier->setEnabled(false);
    ::close(static_cast<int>(notifier->socket()));
    notifier->deleteLater(); // it is the sender
    if (!name_.isEmpty())
        look();
    if (!watched_.empty())
        return;
    const auto ended = std::move(ended_);
    cancel();
    if (ended)
        ended();
}

} // namespace dormivo
