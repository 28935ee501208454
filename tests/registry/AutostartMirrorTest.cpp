#include "AutostartMirror.h"
#include "Registry.h"
#include "TextFile.h"
#include "UserRegistry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace dormivo::registry;

namespace {

// Reads an Exec line back the way a desktop does: string escapes first, then the quoting
// of each argument, then "%%" as one '%'.
std::vector<std::string> execArguments(const std::string& entry) {
    const auto start = entry.find("\nExec=") + 6;
    const std::string raw = entry.substr(start, entry.find('\n', start) - start);
    std::string value;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size()) {
            const char next = raw[++i];
            value += next == 's' ? ' ' : next == 'n' ? '\n' : next == 't' ? '\t' : next;
        } else {
            value += raw[i];
        }
    }
    std::vector<std::string> arguments;
    std::string current;
    bool quoted = false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (quoted && c == '\\' && i + 1 < value.size()) {
            current += value[++i];
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ' ' && !quoted) {
            arguments.push_back(current);
            current.clear();
        } else if (c == '%' && i + 1 < value.size() && value[i + 1] == '%') {
            current += '%';
            ++i;
        } else {
            current += c;
        }
    }
    arguments.push_back(current);
    return arguments;
}

class Autostart : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() /
                ("dormivo-autostart-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(folder());
    }
    void TearDown() override { std::filesystem::remove_all(root_); }
    std::filesystem::path folder() const { return root_ / "autostart"; }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::filesystem::path root_;
};

TEST_F(Autostart, EntriesFollowTheRunKeyValues) {
    std::ofstream(folder() / "someone-else.desktop") << "[Desktop Entry]\n";
    HiveRegistry hive;
    AutostartMirror mirror(hive, folder());
    hive.setChangeListener([&] { mirror.sync(); });
    Registry registry(hive);

    registry.SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Velkaro0", std::string("/usr/bin/true"));
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Dormivo",
                         std::string("/opt/dormivo/dormivo"));
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Count", std::int32_t(3));
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, "Software\\Other", "Velkaro9", std::string("/bin/x"));
    EXPECT_EQ(entries(),
              (std::vector<std::string>{"dormivo-run-dormivo.desktop",
                                        "dormivo-run-velkaro0.desktop", "someone-else.desktop"}));
    const std::string entry = readTextFile(folder() / "dormivo-run-velkaro0.desktop").value_or("");
    EXPECT_NE(entry.find("[Desktop Entry]\nType=Application\n"), std::string::npos);
    EXPECT_EQ(execArguments(entry), std::vector<std::string>{"/usr/bin/true"});

    registry.SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "VELKARO0", std::string("/usr/bin/false"));
    EXPECT_EQ(execArguments(readTextFile(folder() / "dormivo-run-velkaro0.desktop").value_or("")),
              std::vector<std::string>{"/usr/bin/false"});

    registry.DeleteKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "velkaro0");
    registry.DeleteKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Dormivo");
    EXPECT_EQ(entries(), std::vector<std::string>{"someone-else.desktop"});
}

TEST_F(Autostart, ExecStartsExactlyTheStoredProgram) {
    const auto odd = root_ / "my apps" / "100% \"real\" $HOME `x` \\ back";
    std::filesystem::create_directories(odd.parent_path());
    std::ofstream(odd) << "#!/bin/sh\n";
    struct Case {
        std::string commandLine;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {odd.string(), {odd.string()}},
        {"/usr/bin/env FOO=%u ls", {"/usr/bin/env", "FOO=%u", "ls"}},
        {"\"/opt/my tools/run\" --flag \"two words\"",
         {"/opt/my tools/run", "--flag", "two words"}},
        {"/bin/echo $PATH;rm", {"/bin/echo", "$PATH;rm"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(execArguments(AutostartMirror::desktopEntry("v", c.commandLine)), c.arguments)
            << c.commandLine;
}

TEST_F(Autostart, FileNamesNeverCollide) {
    const char* names[] = {"Velkaro1", "Velkaro_31", "Velkaro 1", "Velkaro/1", "Velkaro.1"};
    std::set<std::string> files;
    for (const char* name : names)
        files.insert(AutostartMirror::fileNameFor(name));
    EXPECT_EQ(files.size(), std::size(names));
    EXPECT_EQ(AutostartMirror::fileNameFor("VELKARO1"), AutostartMirror::fileNameFor("velkaro1"));
}

TEST_F(Autostart, TheUserRegistryKeepsItsHiveAndEntriesUnderXdgConfigHome) {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string previous = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", root_.c_str(), 1);
    {
        auto api = openUserRegistry();
        Registry(*api).SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Velkaro0",
                                   std::string("/usr/bin/true"));
    }
    EXPECT_NE(readTextFile(root_ / "dormivo" / "HKLM.reg")
                  .value_or("")
                  .find("\"Velkaro0\"=\"/usr/bin/true\""),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(folder() / "dormivo-run-velkaro0.desktop"));
    {
        auto api = openUserRegistry(); // read back from the file
        EXPECT_EQ(Registry(*api).GetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "velkaro0"),
                  RegValue(std::string("/usr/bin/true")));
    }
    if (saved)
        setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

} // namespace
