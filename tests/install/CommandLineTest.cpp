#include "RunningApp.h"

#include <gtest/gtest.h>

using namespace dormivo::test;

namespace {

struct CommandLineCase {
    const char* name;
    QStringList arguments;
    bool display;
    int status;
    const char* out; // the start of stdout
    const char* err; // the start of stderr
};

class CommandLineTest : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, PrintsAndExitsBeforeAnyWindow) {
    const CommandLineCase& c = GetParam();
    UserFolders user;
    QProcessEnvironment environment = user.environment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    if (!c.display)
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(DORMIVO_BINARY), c.arguments);
    ASSERT_TRUE(runToEnd(process));

    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit); // no abort, no core dump
    EXPECT_EQ(process.exitCode(), c.status);
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(process.readAllStandardError());
    const QString expectedOut = QString::fromUtf8(c.out);
    const QString expectedErr = QString::fromUtf8(c.err);
    EXPECT_EQ(out.left(expectedOut.size()), expectedOut) << out.toStdString();
    EXPECT_EQ(err.left(expectedErr.size()), expectedErr) << err.toStdString();
    if (c.status == 1) {
        EXPECT_EQ(err.count(QLatin1Char('\n')), 1) << "one line on stderr";
    }
}

const char* kUsage = "Usage: dormivo [options]\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, CommandLineTest, testing::Values(
    CommandLineCase{"HelpWithoutDisplay",    {"--help"},    false, 0, kUsage, ""},
    CommandLineCase{"HelpWithDisplay",       {"-h"},        true,  0, kUsage, ""},
    CommandLineCase{"VersionWithoutDisplay", {"--version"}, false, 0, "Dormivo 1.0\n", ""},
    CommandLineCase{"VersionWithDisplay",    {"-v"},        true,  0, "Dormivo 1.0\n", ""},
    CommandLineCase{"UnknownOption",         {"--bogus"},   true,  2, "", "dormivo: Unknown option 'bogus'.\nUsage: dormivo"},
    CommandLineCase{"StrayArgument",         {"now"},       false, 2, "", "dormivo: unexpected argument 'now'\nUsage: dormivo"},
    CommandLineCase{"NoDisplay",             {},            false, 1, "", "dormivo: no display"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
