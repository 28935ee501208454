#include "registry/AutostartMirror.h"
#include "common/AtomicFile.h"
#include "registry/Registry.h"
#include "registry/UserRegistry.h"
#include "support/RunValues.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <thread>
#include <tuple>

using namespace dormivo::registry;
using dormivo::test::runValue;
using dormivo::test::setRunValue;

namespace {

class Autostart : public ::testing::Test {
protected:
    Autostart() { std::filesystem::create_directories(folder); }
    std::set<std::string> entries() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    }
    void addEntries(std::initializer_list<const char*> names) const {
        for (const char* name : names)
            std::ofstream(folder / name) << "[Desktop Entry]\n";
    }

    QTemporaryDir temporary;
    const std::filesystem::path root = temporary.path().toStdString();
    const std::filesystem::path folder = root / "autostart";
};

TEST(AutostartEntry, FileNamesNeverCollide) {
    std::set<std::string> files;
    for (const char* name : {"Velkaro1", "Velkaro_31", "Velkaro 1", "Velkaro/1", "Velkaro.1"})
        files.insert(AutostartMirror::fileNameFor(name));
    EXPECT_EQ(files.size(), 5u);
}

// GLib looks the program up before it expands "%%" and refuses the entry when it finds none.
TEST_F(Autostart, GLibStartsAProgramWhosePathHoldsPercentQuotesAndEquals) {
    const auto program = root / "100% \"my\" $HOME `x` \\ a=b" / "rec 1";
    const auto record = root / "started";
    std::filesystem::create_directories(program.parent_path());
    // Planted by another user where the path's first blank ends: never the program.
    for (const auto& [file, says] : {std::pair{program, "\"$@\""}, {root / "100%", "planted"}}) {
        std::ofstream(file) << "#!/bin/sh\necho " << says << " > '" << record.string() << "'\n";
        std::filesystem::permissions(file, std::filesystem::perms::owner_all);
    }
    const auto entry = root / "entry.desktop";
    std::ofstream(entry) << AutostartMirror::desktopEntry("v", program.string() + " 50% a=b");

    ASSERT_EQ(QProcess::execute("gio", {"launch", QString::fromStdString(entry.string())}), 0);
    for (int i = 0; i < 500 && dormivo::readFile(record).value_or("").empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(dormivo::readFile(record), "50% a=b\n");
}

// Opening the hive brings our entries in line with its Run key; a hive set aside (unreadable)
// removes none and gets its values back from them.
TEST_F(Autostart, OpeningTheHiveBringsOurEntriesInLineWithTheRunKey) {
    const auto hive = root / "dormivo" / "HKLM.reg";
    const std::set<std::string> others{"someone-else.desktop"};
    const std::set<std::string> ours{"dormivo-run-velkaro0.desktop", "dormivo-run-velkaro2.desktop",
                                     "someone-else.desktop"};
    const std::string runKey = "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\" +
                               std::string(kRunKey) +
                               "]\n\"Velkaro1\"=\"/usr/bin/true\"\n\"n\"=dword:00000001\n";
    // The hive's text: none for a folder in its place, empty for no file.
    const std::tuple<std::optional<std::string>, std::set<std::string>, std::string> cases[] = {
        {std::nullopt, ours, "- -"},
        {"", others, "- -"},
        {"garbage\n", ours, "/usr/bin/true 1 \"/bin/a b\" \"5%\""},
        {runKey, {"dormivo-run-velkaro1.desktop", "someone-else.desktop"}, "- -"},
    };
    for (const auto& [text, expected, restored] : cases) {
        for (const auto& made : {folder, hive.parent_path()}) {
            std::filesystem::remove_all(made);
            std::filesystem::create_directories(made);
        }
        addEntries({"someone-else.desktop"});
        std::ofstream(folder / "dormivo-run-velkaro0.desktop")
            << AutostartMirror::desktopEntry("Velkaro0", "/usr/bin/true 1");
        // As entries were written before they kept their command line.
        const std::string older = AutostartMirror::desktopEntry("Velkaro2", "\"/bin/a b\" 5%");
        std::ofstream(folder / "dormivo-run-velkaro2.desktop")
            << older.substr(0, older.find("X-D"));
        if (!text)
            std::filesystem::create_directories(hive);
        else if (!text->empty())
            std::ofstream(hive) << *text;
        const auto opened = openUserRegistry(root);
        EXPECT_EQ(runValue(*opened, "Velkaro0") + " " + runValue(*opened, "Velkaro2"), restored);
        EXPECT_EQ(entries(), expected);
    }
    // Entries of other programs, and of values this hive lacks, stay until it reads the file.
    const auto registry = openUserRegistry(root);
    addEntries({"dormivo-run-elsewhere.desktop", "dormivo-run-velkaro5.desktop"});
    setRunValue(*registry, "Velkaro1", "");
    setRunValue(*registry, "Velkaro0", "/usr/bin/true");
    setRunValue(*registry, "Dormivo", "/opt/dormivo");
    Registry(*registry).SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Count", std::int32_t(3));
    Registry(*registry).SetKeyValue(HKEY_LOCAL_MACHINE, "Software\\Other", "Velkaro9", "/bin/x");
    setRunValue(*registry, "VELKARO0", "/usr/bin/false");
    EXPECT_EQ(entries(),
              (std::set<std::string>{"dormivo-run-dormivo.desktop", "dormivo-run-elsewhere.desktop",
                                     "dormivo-run-velkaro0.desktop", "dormivo-run-velkaro5.desktop",
                                     "someone-else.desktop"}));
    HiveRegistry saved(hive);
    EXPECT_EQ(dormivo::test::runValue(saved, "velkaro0"), "/usr/bin/false");
    const std::string entry =
        dormivo::readFile(folder / "dormivo-run-velkaro0.desktop").value_or("");
    EXPECT_EQ(entry.rfind("[Desktop Entry]\nType=Application\n", 0), 0u);

    setRunValue(*registry, "velkaro0", "");
    setRunValue(*registry, "Velkaro5", ""); // an entry without a value
    Registry(*registry).SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Dormivo", std::int32_t(1));
    EXPECT_EQ(entries(),
              (std::set<std::string>{"dormivo-run-elsewhere.desktop", "someone-else.desktop"}));
}

} // namespace
