#include "support/QtPrinting.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Stand-ins that record each call (never the real ones); loginctl knows alice's sessions.
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

TEST(PowerHelper, MapsEachActionLogsOffOnlyTheGraphicalSessionAndReportsFailures) {
    const struct {
        QStringList arguments;
        QString sessionId;                 // null: none set
        QString display, sessions, seated; // what logind knows of alice's sessions
        int fakeExit, exitCode;
        QString calls; // empty: nothing may be asked for
        QString error; // what the helper must say on stderr
    } cases[] = {
        // clang-format off
        {{"shutdown"}, "1", "", "", "", 0, 0, "systemctl poweroff", ""},
        {{"restart"}, "1", "", "", "", 0, 0, "systemctl reboot", ""},
        {{"standby"}, "1", "", "", "", 0, 0, "systemctl suspend", ""},
        {{"logoff"}, "c2", "5", "3 5", "5", 0, 0, "loginctl terminate-session -- c2", ""},
        {{"logoff"}, "-h", "", "", "", 0, 0, "loginctl terminate-session -- -h", ""},
        {{"logoff"}, {}, "5", "3 4 5", "4 5", 0, 0, "loginctl terminate-session -- 5", ""},
        {{"logoff"}, "", "", "3 4 7", "4 7", 0, 0, "loginctl terminate-session -- 4", ""},
        {{"logoff"}, {}, "", "3", "", 0, 1, "", "no graphical session of alice"}, // only SSH
        {{"reboot"}, "1", "", "", "", 0, 2, "", "usage: dormivo-power"},
        {{"shutdown", "now"}, "1", "", "", "", 0, 2, "", "usage: dormivo-power"},
        {{"hibernate"}, "1", "", "", "", 1, 1, "systemctl hibernate", "'systemctl hibernate' failed"},
        // clang-format on
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        for (const auto& [tool, script] : kFakes) {
            QFile fake(dir.filePath(tool));
            fake.open(QIODevice::WriteOnly);
            fake.write(QByteArray("#!/bin/sh\n") + script + "\n");
            fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        QProcess helper; // nothing but the stand-ins on the PATH
        helper.setEnvironment({"PATH=" + dir.path(), "CALLS=" + dir.filePath("calls"),
                               "FAKE_EXIT=" + QString::number(c.fakeExit),
                               "FAKE_DISPLAY=" + c.display, "FAKE_SESSIONS=" + c.sessions,
                               "FAKE_SEATED=" + c.seated});
        if (!c.sessionId.isNull())
            helper.setEnvironment(helper.environment() << "XDG_SESSION_ID=" + c.sessionId);
        helper.start("/bin/sh", QStringList{DORMIVO_POWER_HELPER} + c.arguments);
        helper.waitForFinished();
        QFile calls(dir.filePath("calls"));
        calls.open(QIODevice::ReadOnly);
        const QString errors = QString::fromUtf8(helper.readAllStandardError());
        const std::string what = (c.arguments.join(' ') + " " + c.sessions).toStdString();
        EXPECT_EQ(helper.exitCode(), c.exitCode) << what << ": " << errors.toStdString();
        EXPECT_EQ(QString::fromUtf8(calls.readAll()).trimmed(), c.calls) << what;
        EXPECT_TRUE(errors.contains(c.error)) << what << ": " << errors.toStdString();
    }
}

} // namespace
