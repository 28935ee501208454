#include "AutostartMirror.h"
#include "Registry.h"
#include "TextFile.h"
#include "UserRegistry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>

using namespace dormivo::registry;

namespace {

std::string execLine(const std::string& entry) {
    const auto start = entry.find("\nExec=") + 6;
    return entry.substr(start, entry.find('\n', start) - start);
}

class Autostart : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() /
                ("dormivo-autostart-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(folder());
        if (const char* saved = std::getenv("XDG_CONFIG_HOME"))
            savedConfigHome_ = saved;
        setenv("XDG_CONFIG_HOME", root_.c_str(), 1);
    }
    void TearDown() override {
        if (savedConfigHome_)
            setenv("XDG_CONFIG_HOME", savedConfigHome_->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        std::filesystem::remove_all(root_);
    }
    std::filesystem::path folder() const { return root_ / "autostart"; }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::filesystem::path root_;
    std::optional<std::string> savedConfigHome_;
};

TEST_F(Autostart, EntriesFollowTheRunKeyValues) {
    // Entries of other programs, and of Run values that this hive does not hold, stay.
    for (const char* other : {"someone-else.desktop", "dormivo-run-elsewhere.desktop"})
        std::ofstream(folder() / other) << "[Desktop Entry]\n";
    HiveRegistry hive;
    AutostartMirror mirror(hive, folder());
    hive.setValueListener(
        [&](const HiveKey& key, const std::string& name) { mirror.valueChanged(key, name); });
    Registry registry(hive);

    registry.SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Velkaro0", std::string("/usr/bin/true"));
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Dormivo",
                         std::string("/opt/dormivo/dormivo"));
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Count", std::int32_t(3));
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, "Software\\Other", "Velkaro9", std::string("/bin/x"));
    EXPECT_EQ(entries(), (std::vector<std::string>{
                             "dormivo-run-dormivo.desktop", "dormivo-run-elsewhere.desktop",
                             "dormivo-run-velkaro0.desktop", "someone-else.desktop"}));
    const std::string entry = readTextFile(folder() / "dormivo-run-velkaro0.desktop").value_or("");
    EXPECT_NE(entry.find("[Desktop Entry]\nType=Application\n"), std::string::npos);
    EXPECT_EQ(execLine(entry), "\"/usr/bin/true\"");

    registry.SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "VELKARO0", std::string("/usr/bin/false"));
    EXPECT_EQ(execLine(readTextFile(folder() / "dormivo-run-velkaro0.desktop").value_or("")),
              "\"/usr/bin/false\"");

    registry.DeleteKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "velkaro0");
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Dormivo", std::int32_t(1));
    EXPECT_EQ(entries(),
              (std::vector<std::string>{"dormivo-run-elsewhere.desktop", "someone-else.desktop"}));
}

TEST_F(Autostart, ExecStartsExactlyTheStoredProgram) {
    const auto odd = root_ / "my apps" / "100% \"real\" $HOME `x` \\ back";
    const auto blanks = root_ / "My Apps" / "rec2";
    std::filesystem::create_directories(odd.parent_path());
    std::filesystem::create_directories(blanks.parent_path());
    std::ofstream(odd) << "#!/bin/sh\n";
    std::ofstream(blanks) << "#!/bin/sh\n";
    std::filesystem::permissions(blanks, std::filesystem::perms::owner_all);
    // Each argument quoted; inside the quotes " ` $ \\ are escaped with a backslash, then
    // every backslash is doubled for the entry's string; a '%' is doubled.
    const std::pair<std::string, std::string> cases[] = {
        {odd.string(), "\"" + root_.string() +
                           "/my apps/100%% \\\\\"real\\\\\" \\\\$HOME \\\\`x\\\\` \\\\\\\\ back\""},
        {blanks.string() + " arg1", "\"" + blanks.string() + "\" \"arg1\""},
        {"/usr/bin/env FOO=%u ls", "\"/usr/bin/env\" \"FOO=%%u\" \"ls\""},
        {"\"/opt/my tools/run\" --flag \"two words\"",
         "\"/opt/my tools/run\" \"--flag\" \"two words\""},
        {"/bin/echo $PATH;rm", "\"/bin/echo\" \"\\\\$PATH;rm\""},
    };
    for (const auto& [commandLine, exec] : cases)
        EXPECT_EQ(execLine(AutostartMirror::desktopEntry("v", commandLine)), exec) << commandLine;
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
        Registry registry(*api);
        EXPECT_EQ(registry.GetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "velkaro0"),
                  RegValue(std::string("/usr/bin/true")));
        registry.DeleteKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "velkaro0");
    }
    EXPECT_TRUE(entries().empty());
}

// Starting up, with a hive that lacks the value or that fails to load, removes no entry.
TEST_F(Autostart, StartingUpRemovesNoEntry) {
    const auto hive = root_ / "dormivo" / "HKLM.reg";
    const std::function<void()> hives[] = {
        [&] { std::ofstream(hive) << "Windows Registry Editor Version 5.00\n\n"; },
        [&] { std::ofstream(hive) << "garbage\n"; },
        [&] { std::filesystem::create_directories(hive); },
    };
    std::ofstream(folder() / "dormivo-run-velkaro0.desktop") << "[Desktop Entry]\n";
    for (const auto& makeHive : hives) {
        std::filesystem::remove_all(root_ / "dormivo");
        std::filesystem::create_directories(hive.parent_path());
        makeHive();
        openUserRegistry();
        EXPECT_EQ(entries(), std::vector<std::string>{"dormivo-run-velkaro0.desktop"});
    }
}

} // namespace
