// The power helper, run against stand-ins for systemctl and loginctl that only record how
// they were called: no test ever asks the real ones.
#include "support/QtPrinting.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// What logind knows of the user "alice", for the stand-in loginctl to answer.
struct Logind {
    QString display;  // her graphical session
    QString sessions; // all her sessions
    QString seated;   // those of them with a seat
};

// Answers questions about alice's sessions; any other call is recorded.
const char* const kFakeLoginctl = R"(#!/bin/sh
for last; do :; done
case "$1" in
show-user)
    [ "$last" = alice ] || exit 1
    case "$*" in
    *Display*) echo "$FAKE_DISPLAY" ;;
    *Sessions*) echo "$FAKE_SESSIONS" ;;
    *) exit 1 ;;
    esac
    exit 0 ;;
show-session)
    case " $FAKE_SEATED " in *" $last "*) echo seat0 ;; *) echo ;; esac
    exit 0 ;;
esac
)";

struct Outcome {
    int exitCode;
    QString calls;
    QString errors;
};

Outcome runHelper(const QStringList& arguments, const QString& sessionId, int fakeExitCode = 0,
                  const Logind& logind = {}) {
    QTemporaryDir dir;
    const QString log = dir.filePath("calls");
    for (const char* tool : {"systemctl", "loginctl", "id"}) {
        const QString path = dir.filePath(tool);
        QFile fake(path);
        fake.open(QIODevice::WriteOnly);
        if (QString(tool) == "id") {
            fake.write("#!/bin/sh\necho alice\n");
        } else {
            fake.write(QString(tool) == "loginctl" ? kFakeLoginctl : "#!/bin/sh\n");
            fake.write(QStringLiteral("echo \"%1 $*\" >> '%2'\nexit %3\n")
                           .arg(tool, log)
                           .arg(fakeExitCode)
                           .toUtf8());
        }
        fake.close();
        fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QProcess helper;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PATH", dir.path()); // nothing but the stand-ins
    environment.remove("XDG_SESSION_ID");
    if (!sessionId.isNull())
        environment.insert("XDG_SESSION_ID", sessionId);
    environment.insert("FAKE_DISPLAY", logind.display);
    environment.insert("FAKE_SESSIONS", logind.sessions);
    environment.insert("FAKE_SEATED", logind.seated);
    helper.setProcessEnvironment(environment);
    helper.start("/bin/sh", QStringList{DORMIVO_POWER_HELPER} + arguments);
    helper.waitForFinished();
    QFile calls(log);
    calls.open(QIODevice::ReadOnly);
    return {helper.exitCode(), QString::fromUtf8(calls.readAll()).trimmed(),
            QString::fromUtf8(helper.readAllStandardError())};
}

} // namespace

TEST(PowerHelper, AsksLogindForEachAction) {
    const std::pair<const char*, QString> cases[] = {{"shutdown", "systemctl poweroff"},
                                                     {"restart", "systemctl reboot"},
                                                     {"standby", "systemctl suspend"},
                                                     {"hibernate", "systemctl hibernate"}};
    for (const auto& [action, call] : cases) {
        const Outcome outcome = runHelper({action}, "7");
        EXPECT_EQ(QString::number(outcome.exitCode) + " " + outcome.calls, "0 " + call);
    }
}

TEST(PowerHelper, LogsOffOnlyTheGraphicalSession) {
    struct Case {
        QString sessionId;
        Logind logind;
        QString call; // empty: nothing may be ended
    };
    const Case cases[] = {
        {"c2", {"5", "3 5", "5"}, "loginctl terminate-session -- c2"},
        {"-h", {}, "loginctl terminate-session -- -h"},
        {QString(), {"5", "3 5", "5"}, "loginctl terminate-session -- 5"},
        {"", {"", "3 4 7", "4 7"}, "loginctl terminate-session -- 4"},
        {QString(), {"", "3", ""}, ""}, // only an SSH login
        {QString(), {}, ""},
    };
    for (const auto& c : cases) {
        const Outcome outcome = runHelper({"logoff"}, c.sessionId, 0, c.logind);
        EXPECT_EQ(outcome.calls, c.call) << c.logind.sessions.toStdString();
        if (c.call.isEmpty()) {
            EXPECT_EQ(outcome.exitCode, 1);
            EXPECT_TRUE(outcome.errors.contains("no graphical session of alice"))
                << outcome.errors.toStdString();
        } else {
            EXPECT_EQ(outcome.exitCode, 0) << outcome.errors.toStdString();
        }
    }
}

TEST(PowerHelper, RefusesWhatItDoesNotKnowAndReportsFailures) {
    for (const QStringList& arguments :
         {QStringList{}, QStringList{"reboot"}, QStringList{"shutdown", "now"}}) {
        const Outcome outcome = runHelper(arguments, "1");
        EXPECT_NE(outcome.exitCode, 0) << arguments.join(' ').toStdString();
        EXPECT_TRUE(outcome.calls.isEmpty()) << "nothing is asked for";
        EXPECT_TRUE(outcome.errors.contains("usage: dormivo-power"));
    }
    const Outcome failed = runHelper({"hibernate"}, "1", 1);
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(failed.errors.contains("'systemctl hibernate' failed"))
        << failed.errors.toStdString();
}
