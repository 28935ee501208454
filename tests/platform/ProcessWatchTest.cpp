#include "platform/LinuxProcessWatch.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <unistd.h>

using namespace dormivo;
using Target = ProcessWatch::Target;

// sleep under a name of its own, so that no other program's sleep counts; any user may run it.
struct Sleeper : QTemporaryDir {
    const QString name = QStringLiteral("dvw%1").arg(::getpid());
    const bool copied = QFile::copy("/bin/sleep", filePath(name)) &&
                        QFile::setPermissions(path(), QFile::permissions("/bin"));
    void start(QProcess& process, const QString& seconds) {
        process.start(filePath(name), {seconds});
        ASSERT_TRUE(process.waitForStarted());
    }
};

// By name the wait ends with the last of them, one started while waiting included.
TEST(LinuxProcessWatch, EndsWhenTheLastProcessHasEnded) {
    Sleeper sleeper;
    LinuxProcessWatch watch;
    for (const bool byName : {false, true}) {
        QProcess first, later;
        QElapsedTimer clock;
        clock.start();
        sleeper.start(first, "0.3");
        bool ended = false;
        const auto target = watch.watch(byName ? sleeper.name : QString::number(first.processId()),
                                        [&] { ended = true; });
        ASSERT_EQ(std::get<Target>(target), (Target{sleeper.name, byName ? 0 : first.processId()}));
        if (byName)
            sleeper.start(later, "0.6");
        const qint64 last = byName ? 600 : 300;
        EXPECT_TRUE(QTest::qWaitFor([&] { return ended; }, 5000)) << byName;
        EXPECT_TRUE(clock.elapsed() >= last && clock.elapsed() < last + 700) << clock.elapsed();
    }
}

TEST(LinuxProcessWatch, RefusesWhatIsNoProcessOfTheUser) {
    Sleeper sleeper;
    QProcess another;
    QString anotherId = QStringLiteral("1");
    if (::getuid() == 0) { // then process 1 is ours; another's under the name must not count
        another.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                                  sleeper.filePath(sleeper.name), "5"});
        anotherId = QString::number(another.processId());
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return QFile::symLinkTarget("/proc/" + anotherId + "/exe").endsWith(sleeper.name);
        }));
    }
    LinuxProcessWatch watch;
    const std::pair<QString, QString> cases[] = {
        {"4194305", "there is no process 4194305."}, // above any id the kernel gives
        {anotherId, "process " + anotherId + " is another user's."},
        {sleeper.name, "no process of yours is named '" + sleeper.name + "'."},
        {QString::number(::getpid()), "itself"},
        {"", "give a process id"},
    };
    for (const auto& [what, said] : cases) {
        const auto refused = watch.watch(what, [] { ADD_FAILURE() << "ended"; });
        ASSERT_TRUE(std::holds_alternative<QString>(refused)) << what.toStdString();
        EXPECT_TRUE(std::get<QString>(refused).contains(said))
            << std::get<QString>(refused).toStdString();
    }
}
