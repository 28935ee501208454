// How both the start at expiry and the start at login take a command line apart.
#include "registry/SplitCommandLine.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace dormivo::registry;

TEST(SplitCommandLine, SplitsIntoProgramAndArguments) {
    const QTemporaryDir temporary;
    const std::filesystem::path base = temporary.path().toStdString();
    const auto folder = base / "my apps" / "dormivo 1";
    std::filesystem::create_directories(folder);
    const std::string program = (folder / "dormivo-power").string();
    const std::string plain = (folder / "notes.txt").string();
    std::ofstream(program) << "#!/bin/sh\n";
    std::ofstream(plain) << "notes\n";
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    // Planted by another user where the folder's path first holds a blank: never the program.
    const std::string planted = (base / "my").string();
    std::ofstream(planted) << "#!/bin/sh\n";
    std::filesystem::permissions(planted, std::filesystem::perms::owner_all);

    struct Case {
        std::string commandLine;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {program + " shutdown", {program, "shutdown"}},
        {program + "  \"two words\" x", {program, "two words", "x"}},
        {"  " + plain + " ", {plain}},
        {plain + " x", {planted, "apps/dormivo", "1/notes.txt", "x"}}, // the only program
        {"\"" + program + "\" restart now", {program, "restart", "now"}},
        {"/usr/bin/env  A=1 \t \"two words\"", {"/usr/bin/env", "A=1", "two words"}},
        {"/opt/x \"\" y", {"/opt/x", "", "y"}},
        {" \t ", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitCommandLine(c.commandLine), c.arguments) << c.commandLine;
}
