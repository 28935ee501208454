#include "platform/WatchedProcess.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace dormivo {
namespace {

// What the watcher sends: one byte once the program has started or could not be started,
// then, when the program has ended, its wait status followed by its error output.
constexpr char kStarted = 'S';
constexpr char kNotStarted = 'E';
// The watcher's end of the pipe, the only descriptor of ours that it keeps.
constexpr int kReportFd = 3;
constexpr std::size_t kErrorOutputLimit = 16 * 1024;

bool writeAll(int fd, const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

ssize_t readSome(int fd, void* buffer, std::size_t size) {
    ssize_t got;
    do
        got = ::read(fd, buffer, size);
    while (got < 0 && errno == EINTR);
    return got;
}

// Reads what the pipe holds into output, keeping only the first kErrorOutputLimit bytes.
// False at the pipe's end, and when a non-blocking pipe holds nothing more.
bool takeOutput(int fd, char* output, std::size_t& used) {
    char scratch[512];
    const bool full = used == kErrorOutputLimit;
    const ssize_t got = full ? readSome(fd, scratch, sizeof scratch)
                             : readSome(fd, output + used, kErrorOutputLimit - used);
    if (got <= 0)
        return false;
    if (!full)
        used += static_cast<std::size_t>(got);
    return true;
}

// The forked copy of a threaded process may only make async-signal-safe calls: everything
// below works on what was prepared before the fork and allocates nothing.
[[noreturn]] void runWatcher(char* const argv[]) {
    // Our signal handlers and masks mean nothing here. A pipe whose reader (we) has gone
    // must not end the watcher: the program still runs and is still waited for.
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal)
        ::sigaction(signal, &action, nullptr);
    action.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &action, nullptr);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);

    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    ::dup2(null, STDIN_FILENO);
    ::dup2(null, STDOUT_FILENO);
    int errorPipe[2];
    int execPipe[2];
    if (::pipe2(errorPipe, O_CLOEXEC) != 0 || ::pipe2(execPipe, O_CLOEXEC) != 0) {
        writeAll(kReportFd, &kNotStarted, 1);
        ::_exit(1);
    }
    const pid_t program = ::fork();
    if (program == 0) {
        action.sa_handler = SIG_DFL;
        ::sigaction(SIGPIPE, &action, nullptr);
        ::dup2(errorPipe[1], STDERR_FILENO);
        ::close(kReportFd);
        ::execv(argv[0], argv);
        const int error = errno;
        writeAll(execPipe[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(errorPipe[1]);
    ::close(execPipe[1]);
    int execError = 0;
    if (program < 0 || readSome(execPipe[0], &execError, sizeof execError) > 0) {
        writeAll(kReportFd, &kNotStarted, 1);
        ::_exit(1);
    }
    writeAll(kReportFd, &kStarted, 1);

    // The error output is read as it comes, so that the program never blocks on a full pipe.
    // Whatever the program leaves running may hold the pipe open long after the program has
    // ended: its end is watched on its own, and then only what the pipe holds is taken. Where
    // the kernel has no process descriptors, the pipe's end has to stand for the program's.
    static char output[kErrorOutputLimit];
    std::size_t used = 0;
    pollfd watched[2] = {{errorPipe[0], POLLIN, 0},
                         {static_cast<int>(::syscall(SYS_pidfd_open, program, 0)), POLLIN, 0}};
    while (watched[0].fd >= 0 || watched[1].fd >= 0) {
        if (::poll(watched, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (watched[1].revents != 0)
            break;
        if (watched[0].revents != 0 && !takeOutput(errorPipe[0], output, used))
            watched[0].fd = -1;
    }
    ::fcntl(errorPipe[0], F_SETFL, O_NONBLOCK);
    while (used < kErrorOutputLimit && takeOutput(errorPipe[0], output, used)) {
    }
    int status = 0;
    while (::waitpid(program, &status, 0) < 0 && errno == EINTR) {
    }
    if (writeAll(kReportFd, &status, sizeof status))
        writeAll(kReportFd, output, used);
    ::_exit(0);
}

} // namespace

bool WatchedProcess::start(const QString& program, const QStringList& arguments,
                           ProgramLauncher::FailureReport onFailure) {
    if (!QCoreApplication::instance())
        return false;
    const QString path =
        program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return false;
    std::vector<QByteArray> strings{QFile::encodeName(path)};
    for (const QString& argument : arguments)
        strings.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& string : strings)
        argv.push_back(string.data());
    argv.push_back(nullptr);

    int channel[2];
    if (::pipe2(channel, O_CLOEXEC) != 0)
        return false;
    const pid_t starter = ::fork();
    if (starter == 0) {
        // The starter gives the watcher a session of its own and leaves it to init: neither
        // the watcher nor the program is our child, so nothing that ends us ends them.
        ::setsid();
        const pid_t watcher = ::fork();
        if (watcher == 0) {
            ::dup2(channel[1], kReportFd);
            ::close_range(kReportFd + 1, ~0U, 0);
            runWatcher(argv.data());
        }
        ::_exit(watcher < 0 ? 1 : 0);
    }
    ::close(channel[1]);
    if (starter > 0) {
        while (::waitpid(starter, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    char answer = 0;
    if (starter < 0 || readSome(channel[0], &answer, 1) != 1 || answer != kStarted) {
        ::close(channel[0]);
        return false;
    }
    new WatchedProcess(channel[0], std::move(onFailure));
    return true;
}

WatchedProcess::WatchedProcess(int reportPipe, ProgramLauncher::FailureReport onFailure)
    : QObject(QCoreApplication::instance()), reportPipe_(reportPipe),
      notifier_(new QSocketNotifier(reportPipe, QSocketNotifier::Read, this)),
      onFailure_(std::move(onFailure)) {
    ::fcntl(reportPipe_, F_SETFL, ::fcntl(reportPipe_, F_GETFL) | O_NONBLOCK);
    connect(notifier_, &QSocketNotifier::activated, this, &WatchedProcess::readReport);
    // Once the application is on its way out nobody is left to tell.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] {
        notifier_->setEnabled(false);
        onFailure_ = nullptr;
    });
}

WatchedProcess::~WatchedProcess() {
    notifier_->setEnabled(false);
    ::close(reportPipe_);
}

void WatchedProcess::readReport() {
    char buffer[4096];
    for (;;) {
        const ssize_t got = readSome(reportPipe_, buffer, sizeof buffer);
        if (got > 0)
            report_.append(buffer, got);
        else if (got < 0 && errno == EAGAIN)
            return;
        else
            return finish();
    }
}

void WatchedProcess::finish() {
    notifier_->setEnabled(false);
    deleteLater();
    // A watcher that ended without a status was killed; its program most likely with it.
    int status = -1;
    if (report_.size() >= qsizetype(sizeof status))
        std::memcpy(&status, report_.constData(), sizeof status);
    const bool failed = !WIFEXITED(status) || WEXITSTATUS(status) != 0;
    const auto onFailure = std::move(onFailure_);
    onFailure_ = nullptr;
    if (failed && onFailure && !QCoreApplication::closingDown())
        onFailure(QString::fromLocal8Bit(report_.mid(sizeof status)).trimmed());
}

} // namespace dormivo
