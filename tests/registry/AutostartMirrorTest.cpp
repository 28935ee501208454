#include "registry/AutostartMirror.h"
#include "registry/Registry.h"
#include "registry/TextFile.h"
#include "registry/UserRegistry.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

using namespace dormivo::registry;

namespace {

std::string execLine(const std::string& entry) {
    const auto start = entry.find("\nExec=") + 6;
    return entry.substr(start, entry.find('\n', start) - start);
}

// Runs a program to its end and gives its exit status (127 when it could not start).
int run(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    int status = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0 ||
        waitpid(pid, &status, 0) != pid)
        return 127;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// XDG_CONFIG_HOME points at a folder of the test's own, never at the real autostart folder.
class Autostart : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(folder());
        if (const char* saved = std::getenv("XDG_CONFIG_HOME"))
            saved_ = saved;
        setenv("XDG_CONFIG_HOME", root_.c_str(), 1);
    }
    void TearDown() override {
        saved_.empty() ? unsetenv("XDG_CONFIG_HOME") : setenv("XDG_CONFIG_HOME", saved_.c_str(), 1);
        std::filesystem::remove_all(root_);
    }
    std::filesystem::path folder() const { return root_ / "autostart"; }
    std::set<std::string> entries() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder()))
            names.insert(entry.path().filename().string());
        return names;
    }

    std::filesystem::path root_ =
        std::filesystem::temp_directory_path() /
        ("dormivo-autostart-" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::string saved_;
};

TEST_F(Autostart, EntriesFollowTheRunKeyValues) {
    // Entries of other programs, and of Run values that this hive does not hold, stay.
    for (const char* other :
         {"someone-else.desktop", "dormivo-run-elsewhere.desktop", "dormivo-run-velkaro5.desktop"})
        std::ofstream(folder() / other) << "[Desktop Entry]\n";
    HiveRegistry hive;
    AutostartMirror mirror(hive, folder());
    hive.setValueListener(
        [&](const HiveKey& key, const std::string& name) { mirror.valueChanged(key, name); });
    Registry registry(hive);
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Velkaro0", std::string("/usr/bin/true"));
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Dormivo", std::string("/opt/dormivo"));
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Count", std::int32_t(3));
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, "Software\\Other", "Velkaro9", std::string("/bin/x"));
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "VELKARO0", std::string("/usr/bin/false"));
    EXPECT_EQ(entries(),
              (std::set<std::string>{"dormivo-run-dormivo.desktop", "dormivo-run-elsewhere.desktop",
                                     "dormivo-run-velkaro0.desktop", "dormivo-run-velkaro5.desktop",
                                     "someone-else.desktop"}));
    const std::string entry = readTextFile(folder() / "dormivo-run-velkaro0.desktop").value_or("");
    EXPECT_EQ(entry.rfind("[Desktop Entry]\nType=Application\n", 0), 0u);
    EXPECT_EQ(execLine(entry), "\"/usr/bin/false\"");

    registry.DeleteKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "velkaro0");
    registry.DeleteKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Velkaro5"); // an entry without a value
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Dormivo", std::int32_t(1));
    EXPECT_EQ(entries(),
              (std::set<std::string>{"dormivo-run-elsewhere.desktop", "someone-else.desktop"}));
}

TEST_F(Autostart, ExecStartsExactlyTheStoredProgram) {
    const auto odd = root_ / "my apps" / "100 \"real\" $HOME `x` \\ back";
    const auto blanks = root_ / "My Apps" / "rec2";
    for (const auto& file : {odd, blanks}) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << "#!/bin/sh\n";
    }
    std::filesystem::permissions(blanks, std::filesystem::perms::owner_all);
    // Each argument quoted; inside the quotes " ` $ \\ are escaped with a backslash, then
    // every backslash is doubled for the entry's string; a '%' is doubled.
    const std::pair<std::string, std::string> cases[] = {
        {odd.string(), "\"" + root_.string() +
                           "/my apps/100 \\\\\"real\\\\\" \\\\$HOME \\\\`x\\\\` \\\\\\\\ back\""},
        {blanks.string() + " arg1", "\"" + blanks.string() + "\" \"arg1\""},
        {"/usr/bin/env FOO=%u ls", "\"/usr/bin/env\" \"FOO=%%u\" \"ls\""},
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
}

TEST_F(Autostart, TheUserRegistryKeepsItsHiveAndEntriesUnderXdgConfigHome) {
    Registry(*openUserRegistry())
        .SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Velkaro0", std::string("/usr/bin/true"));
    EXPECT_EQ(entries(), std::set<std::string>{"dormivo-run-velkaro0.desktop"});
    auto api = openUserRegistry(); // read back from the file
    EXPECT_EQ(Registry(*api).GetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "velkaro0"),
              RegValue(std::string("/usr/bin/true")));
    Registry(*api).DeleteKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "velkaro0");
    EXPECT_TRUE(entries().empty());
}

// GLib (GNOME and others) looks the program up before it expands "%%" and refuses the entry
// when it finds none.
TEST_F(Autostart, GLibStartsAProgramWhosePathHoldsPercentQuotesAndEquals) {
    const auto program = root_ / "100% \"my\" $HOME `x` \\ a=b" / "rec 1";
    const auto record = root_ / "started";
    std::filesystem::create_directories(program.parent_path());
    std::ofstream(program) << "#!/bin/sh\necho \"$@\" > '" << record.string() << "'\n";
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    const auto entry = root_ / "entry.desktop";
    std::ofstream(entry) << AutostartMirror::desktopEntry("v", program.string() + " 50% a=b");

    ASSERT_EQ(run({"gio", "launch", entry.string()}), 0);
    for (int i = 0; i < 500 && !std::filesystem::exists(record); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(readTextFile(record), "50% a=b\n");
}

// Opening the hive brings our entries in line with its Run key. A missing file, or one set
// aside, holds no value; one that cannot be read tells nothing, so nothing is removed then.
TEST_F(Autostart, OpeningTheHiveBringsOurEntriesInLineWithTheRunKey) {
    const auto hive = root_ / "dormivo" / "HKLM.reg";
    const std::set<std::string> others{"someone-else.desktop"};
    const std::pair<std::function<void()>, std::set<std::string>> cases[] = {
        {[] {}, others},
        {[&] { std::ofstream(hive) << "garbage\n"; }, others},
        {[&] {
             std::ofstream(hive) << "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\"
                                 << kRunKey
                                 << "]\n\"Velkaro1\"=\"/usr/bin/true\"\n\"n\"=dword:00000001\n";
         },
         {"dormivo-run-velkaro1.desktop", "someone-else.desktop"}},
        {[&] { std::filesystem::create_directories(hive); },
         {"dormivo-run-velkaro0.desktop", "someone-else.desktop"}},
    };
    for (const auto& [makeHive, expected] : cases) {
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(hive.parent_path());
        std::filesystem::create_directories(folder());
        for (const char* entry : {"someone-else.desktop", "dormivo-run-velkaro0.desktop"})
            std::ofstream(folder() / entry) << "[Desktop Entry]\n";
        makeHive();
        openUserRegistry();
        EXPECT_EQ(entries(), expected);
    }
}

} // namespace
