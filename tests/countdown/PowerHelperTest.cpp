// The power helper, run against stand-ins for systemctl and loginctl that only record how
// they were called: no test ever asks the real ones.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Outcome {
    int exitCode;
    QString calls;
    QString errors;
};

Outcome runHelper(const QStringList& arguments, const QString& sessionId, int fakeExitCode = 0) {
    QTemporaryDir dir;
    const QString log = dir.filePath("calls");
    for (const char* tool : {"systemctl", "loginctl", "id"}) {
        const QString path = dir.filePath(tool);
        QFile fake(path);
        fake.open(QIODevice::WriteOnly);
        if (QString(tool) == "id")
            fake.write("#!/bin/sh\necho alice\n");
        else
            fake.write(QStringLiteral("#!/bin/sh\necho \"%1 $*\" >> '%2'\nexit %3\n")
                           .arg(tool, log)
                           .arg(fakeExitCode)
                           .toUtf8());
        fake.close();
        fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QProcess helper;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PATH", dir.path()); // nothing but the stand-ins
    environment.remove("XDG_SESSION_ID");
    if (!sessionId.isNull())
        environment.insert("XDG_SESSION_ID", sessionId);
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
    struct Case {
        QStringList arguments;
        QString sessionId;
        QString call;
    };
    const Case cases[] = {
        {{"shutdown"}, "7", "systemctl poweroff"},
        {{"restart"}, "7", "systemctl reboot"},
        {{"standby"}, "7", "systemctl suspend"},
        {{"hibernate"}, "7", "systemctl hibernate"},
        {{"logoff"}, "c2", "loginctl terminate-session c2"},
        {{"logoff"}, "", "loginctl terminate-user alice"},
        {{"logoff"}, QString(), "loginctl terminate-user alice"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = runHelper(c.arguments, c.sessionId);
        EXPECT_EQ(outcome.exitCode, 0) << c.call.toStdString();
        EXPECT_EQ(outcome.calls, c.call);
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
