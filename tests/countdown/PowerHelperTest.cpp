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

// Stand-ins: alice runs the helper, and loginctl answers what logind knows of her sessions.
// Every other call is recorded, and answered with FAKE_EXIT.
const std::pair<QString, const char*> kFakes[] = {
    {"id", "echo alice"},
    {"systemctl", "echo \"systemctl $*\" >> \"$CALLS\"; exit $FAKE_EXIT"},
    {"loginctl", R"(for last; do :; done
case "$*" in
show-user*Display*alice) echo "$FAKE_DISPLAY" ;;
show-user*Sessions*alice) echo "$FAKE_SESSIONS" ;;
show-session*) case " $FAKE_SEATED " in *" $last "*) echo seat0 ;; esac ;;
*) echo "loginctl $*" >> "$CALLS"; exit $FAKE_EXIT ;;
esac)"},
};

struct Case {
    QStringList arguments;
    QString sessionId; // null: none set
    Logind logind;
    int fakeExitCode; // of the calls recorded
    int exitCode;
    QString calls; // empty: nothing may be asked for
    QString error; // what the helper must say on stderr
};

TEST(PowerHelper, MapsEachActionLogsOffOnlyTheGraphicalSessionAndReportsFailures) {
    const QString noSession = "no graphical session of alice";
    const QString usage = "usage: dormivo-power";
    const Case cases[] = {
        {{"shutdown"}, "1", {}, 0, 0, "systemctl poweroff", ""},
        {{"restart"}, "1", {}, 0, 0, "systemctl reboot", ""},
        {{"standby"}, "1", {}, 0, 0, "systemctl suspend", ""},
        {{"logoff"}, "c2", {"5", "3 5", "5"}, 0, 0, "loginctl terminate-session -- c2", ""},
        {{"logoff"}, "-h", {}, 0, 0, "loginctl terminate-session -- -h", ""},
        {{"logoff"}, {}, {"5", "3 4 5", "4 5"}, 0, 0, "loginctl terminate-session -- 5", ""},
        {{"logoff"}, "", {"", "3 4 7", "4 7"}, 0, 0, "loginctl terminate-session -- 4", ""},
        {{"logoff"}, {}, {"", "3", ""}, 0, 1, "", noSession}, // only an SSH login
        {{"logoff"}, {}, {}, 0, 1, "", noSession},
        {{}, "1", {}, 0, 2, "", usage},
        {{"reboot"}, "1", {}, 0, 2, "", usage},
        {{"shutdown", "now"}, "1", {}, 0, 2, "", usage},
        {{"hibernate"}, "1", {}, 1, 1, "systemctl hibernate", "'systemctl hibernate' failed"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        for (const auto& [tool, script] : kFakes) {
            QFile fake(dir.filePath(tool));
            fake.open(QIODevice::WriteOnly);
            fake.write(QByteArray("#!/bin/sh\n") + script + "\n");
            fake.close();
            fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        QProcess helper;
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PATH", dir.path()); // nothing but the stand-ins
        environment.remove("XDG_SESSION_ID");
        if (!c.sessionId.isNull())
            environment.insert("XDG_SESSION_ID", c.sessionId);
        environment.insert("CALLS", dir.filePath("calls"));
        environment.insert("FAKE_EXIT", QString::number(c.fakeExitCode));
        environment.insert("FAKE_DISPLAY", c.logind.display);
        environment.insert("FAKE_SESSIONS", c.logind.sessions);
        environment.insert("FAKE_SEATED", c.logind.seated);
        helper.setProcessEnvironment(environment);
        helper.start("/bin/sh", QStringList{DORMIVO_POWER_HELPER} + c.arguments);
        helper.waitForFinished();
        QFile calls(dir.filePath("calls"));
        calls.open(QIODevice::ReadOnly);
        const QString errors = QString::fromUtf8(helper.readAllStandardError());
        const std::string what = (c.arguments.join(' ') + " " + c.logind.sessions).toStdString();
        EXPECT_EQ(helper.exitCode(), c.exitCode) << what << ": " << errors.toStdString();
        EXPECT_EQ(QString::fromUtf8(calls.readAll()).trimmed(), c.calls) << what;
        EXPECT_TRUE(errors.contains(c.error)) << what << ": " << errors.toStdString();
    }
}

} // namespace
