#include "registry/HiveRegistry.h"
#include "registry/RegFileFormat.h"
#include "registry/Registry.h"
#include "registry/TextFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sys/stat.h>

using namespace dormivo::registry;
using namespace std::string_literals;

namespace {

// Which call fails on demand: the build links fsync and fclose to the wrappers below.
enum class Failing { Nothing, FileFlush, Close, FolderFlush };
Failing failing = Failing::Nothing;

} // namespace

extern "C" {
int __real_fsync(int fd);
int __real_fclose(std::FILE* file);

int __wrap_fsync(int fd) {
    struct stat info {};
    const bool folder = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
    if (failing == (folder ? Failing::FolderFlush : Failing::FileFlush)) {
        errno = EIO;
        return -1;
    }
    return __real_fsync(fd);
}

int __wrap_fclose(std::FILE* file) {
    const int result = __real_fclose(file);
    if (failing != Failing::Close)
        return result;
    errno = EIO;
    return EOF;
}
}

namespace {

const std::string kHeader = "Windows Registry Editor Version 5.00\n\n";

std::string repeated(const std::string& part, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i)
        text += part;
    return text;
}

struct TempFolder {
    TempFolder() {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("dormivo-hive-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

} // namespace

TEST(HiveFile, IsWrittenAsRegistryEditorText) {
    TempFolder dir;
    const auto file = dir.path / "sub" / "HKLM.reg";
    HiveRegistry hive(file);
    Registry registry(hive);
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, "Software\\Test", "path", std::string("C:\\a \"b\""));
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, "Software\\Test", "n", std::int32_t(42));
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, "Software\\Test", "f", true);
    const std::uint8_t odd[] = {'a', 0, 'b'};
    Key key = 0;
    hive.openKey(HKEY_LOCAL_MACHINE, "Software\\Test", 0, KEY_ALL_ACCESS, &key);
    hive.setValue(key, "odd", REG_SZ, odd, sizeof odd);
    hive.setValue(key, "", 7, odd, 0);

    const std::string text = readTextFile(file).value_or("");
    EXPECT_EQ(text, "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software]\n\n"
                    "[HKEY_LOCAL_MACHINE\\Software\\Test]\n"
                    "@=hex(7):\n\"f\"=hex:ff\n\"n\"=dword:0000002a\n\"odd\"=hex(1):61,00,62\n"
                    "\"path\"=\"C:\\\\a \\\"b\\\"\"\n\n");
    EXPECT_FALSE(std::filesystem::exists(file.string() + ".partial"));
    const auto forest = RegFileFormat::read(text);
    ASSERT_TRUE(forest);
    EXPECT_EQ(RegFileFormat::write(*forest), text) << "what is read back writes the same text";
}

TEST(HiveFile, WrappedHexListsAndCommentsAreRead) {
    const auto forest = RegFileFormat::read("Windows Registry Editor Version 5.00\r\n\r\n"
                                            "; was \"x\"=hex:01,\\\r\n"
                                            "[HKEY_LOCAL_MACHINE\\x]\r\n"
                                            "\"b\"=hex:01,02,\\\r\n  03\r\n");
    ASSERT_TRUE(forest && forest->find("HKEY_LOCAL_MACHINE\\x"));
    EXPECT_EQ(forest->find("HKEY_LOCAL_MACHINE\\x")->value("B")->data,
              (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(HiveFile, AFileItCannotReadIsSetAsideAndNoSetAsideFileIsOverwritten) {
    const std::string broken[] = {
        "not a registry file\n",
        "Windows Registry Editor Version 5.00\n\n\"orphan\"=\"value\"\n",
        "Windows Registry Editor Version 5.00\n\n[HKEY_NOWHERE\\x]\n",
        "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\x]\n\"n\"=dword:12\n",
        "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\x]\n\"n\"=hex:zz\n",
        "\xFF\xFEW\0i\0\x00\xD8"s, // UTF-16 with a lone surrogate
        // Beyond the limits: too deep, too long a key name, more sections implied than the
        // size allows (each key is written with its full path), too large a file.
        kHeader + "[HKEY_LOCAL_MACHINE" + repeated("\\a", 513) + "]\n",
        kHeader + "[HKEY_LOCAL_MACHINE\\" + std::string(256, 'n') + "]\n",
        kHeader + "[HKEY_LOCAL_MACHINE" + repeated("\\" + std::string(100, 'a'), 512) + "]\n",
        kHeader + ";" + std::string(RegFileFormat::kMaxFileBytes, ' ') + "\n",
    };
    TempFolder dir;
    const auto file = dir.path / "HKLM.reg";
    for (std::size_t i = 0; i < std::size(broken); ++i) {
        std::ofstream(file, std::ios::binary) << broken[i];
        HiveRegistry hive(file);
        EXPECT_EQ(Registry(hive).GetKeyValue(HKEY_LOCAL_MACHINE, "x", "n"), RegValue{}) << i;
        Registry(hive).SetKeyValue(HKEY_LOCAL_MACHINE, "x", "n", std::int32_t(1));
        EXPECT_EQ(HiveRegistry(file).findKey(HKEY_LOCAL_MACHINE, "x")->values.size(), 1u);
        for (std::size_t j = 0; j <= i; ++j) {
            const std::string aside = j == 0 ? ".bad" : ".bad." + std::to_string(j);
            EXPECT_TRUE(readTextFile(file.string() + aside) == broken[j]) << aside;
        }
    }
}

TEST(HiveFile, AHiveThatCannotBeOpenedIsNeverWrittenOver) {
    TempFolder dir;
    const auto file = dir.path / "HKLM.reg";
    const std::string text = "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\x]\n";
    const std::function<void()> makeUnopenable[] = {
        [&] { std::filesystem::create_directory(file); },
        [&] {
            std::ofstream(file) << text;
            std::filesystem::permissions(file, std::filesystem::perms::none);
        },
    };
    for (const auto& make : makeUnopenable) {
        std::filesystem::remove_all(file);
        make();
        if (std::filesystem::is_regular_file(file) && std::ifstream(file).good())
            continue; // a superuser reads it anyway
        HiveRegistry hive(file);
        Key key = 0;
        EXPECT_NE(hive.createKey(HKEY_LOCAL_MACHINE, "y", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
        EXPECT_EQ(hive.findKey(HKEY_LOCAL_MACHINE, "y"), nullptr) << "nothing changes in memory";
        EXPECT_FALSE(std::filesystem::exists(file.string() + ".bad"));
        std::filesystem::permissions(file, std::filesystem::perms::owner_all);
        EXPECT_TRUE(std::filesystem::is_directory(file) || readTextFile(file) == text);
    }
}

TEST(HiveFile, KeepsTheEncodingAndLineEndsOfTheFileItRead) {
    // What the registry editor exports: UTF-16LE after a byte-order mark, CRLF line ends.
    const std::u16string exported =
        u"Windows Registry Editor Version 5.00\r\n\r\n"
        u"[HKEY_LOCAL_MACHINE\\x]\r\n\"who\"=\"Zo\u00eb \U0001F600\"\r\n\r\n";
    std::string utf16 = "\xFF\xFE";
    for (char16_t c : exported)
        utf16 += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    const std::string lf = "Windows Registry Editor Version 5.00\n\n"
                           "[HKEY_LOCAL_MACHINE\\x]\n\"who\"=\"Zo\xC3\xAB \xF0\x9F\x98\x80\"\n\n";
    std::string crlf;
    for (char c : lf)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);

    for (const std::string& bytes : {utf16, lf, crlf}) {
        TempFolder dir;
        const auto file = dir.path / "HKLM.reg";
        std::ofstream(file, std::ios::binary) << bytes;
        HiveRegistry hive(file);
        Registry registry(hive);
        const RegValue who = registry.GetKeyValue(HKEY_LOCAL_MACHINE, "x", "who");
        EXPECT_EQ(who, RegValue(std::string("Zo\xC3\xAB \xF0\x9F\x98\x80")));
        registry.SetKeyValue(HKEY_LOCAL_MACHINE, "x", "who", who); // saves the file again
        EXPECT_EQ(readTextFile(file), bytes);
        EXPECT_FALSE(std::filesystem::exists(file.string() + ".bad"));
    }
}

TEST(HiveFile, TheDeepestAndLargestHivesWithinTheLimitsAreReadAndAnyDepthFreedWithoutRecursion) {
    const std::string deepest = repeated("\\a", 511) + "\\" + std::string(255, 'a');
    EXPECT_TRUE(RegFileFormat::read(kHeader + "[HKEY_LOCAL_MACHINE" + deepest + "]\n"));
    // Sections only, below two roots, up to the last byte the size allows.
    std::string largest = kHeader + "[HKEY_CURRENT_USER\\a]\n\n";
    for (int i = 0; largest.size() < RegFileFormat::kMaxFileBytes - 278; ++i)
        largest += "[HKEY_LOCAL_MACHINE\\" + std::to_string(i) + std::string(200, 'k') + "]\n\n";
    const std::size_t rest = RegFileFormat::kMaxFileBytes - largest.size();
    EXPECT_TRUE(RegFileFormat::read(largest + "[HKEY_LOCAL_MACHINE\\" +
                                    std::string(rest - 23, 'z') + "]\n\n"));
    auto forest = std::make_unique<HiveKey>();
    forest->findOrCreate(repeated("a\\", 300000));
    forest.reset(); // a key freeing its children itself overflows the stack here
}

// Nothing is written that the next start would set aside as beyond the limits.
TEST(HiveFile, WhatCouldNotBeReadBackIsNeverWritten) {
    TempFolder dir;
    const auto file = dir.path / "HKLM.reg";
    HiveRegistry hive(file);
    Registry(hive).SetKeyValue(HKEY_LOCAL_MACHINE, "x", "keep", std::string("1"));
    Key key = 0;
    EXPECT_EQ(hive.createKey(HKEY_LOCAL_MACHINE, repeated("\\a", 513), 0, KEY_ALL_ACCESS, &key),
              ERROR_INVALID_PARAMETER);
    ASSERT_EQ(hive.openKey(HKEY_LOCAL_MACHINE, "x", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    // Written as hex, three characters a byte.
    const std::vector<std::uint8_t> huge(RegFileFormat::kMaxFileBytes / 2, 1);
    EXPECT_NE(hive.setValue(key, "huge", REG_BINARY, huge.data(), huge.size()), ERROR_SUCCESS);
    EXPECT_EQ(hive.queryValue(key, "huge", nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    HiveRegistry reread(file);
    EXPECT_EQ(Registry(reread).GetKeyValue(HKEY_LOCAL_MACHINE, "x", "keep"),
              RegValue(std::string("1")));
    EXPECT_FALSE(std::filesystem::exists(file.string() + ".bad"));
}

TEST(HiveFile, ChangesMadeByOthersMeanwhileAreKept) {
    TempFolder dir;
    const auto file = dir.path / "HKLM.reg";
    HiveRegistry hive(file);
    Registry registry(hive);
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, "x", "mine", std::string("1"));
    Key held = 0;
    ASSERT_EQ(hive.createKey(HKEY_LOCAL_MACHINE, "x", 0, KEY_ALL_ACCESS, &held), ERROR_SUCCESS);
    const std::uint8_t text[] = "3";

    std::ofstream(file) << kHeader << "[HKEY_LOCAL_MACHINE\\x]\n\"mine\"=\"1\"\n\"theirs\"=\"2\"\n";
    EXPECT_EQ(hive.setValue(held, "late", REG_SZ, text, sizeof text), ERROR_SUCCESS);
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, "y", "new", std::string("4"));
    std::set<std::string> names;
    const HiveRegistry saved(file);
    for (const auto& value : saved.findKey(HKEY_LOCAL_MACHINE, "x")->values)
        names.insert(value.name);
    EXPECT_EQ(names, (std::set<std::string>{"late", "mine", "theirs"}));

    std::ofstream(file) << "garbage\n";
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, "y", "new", std::string("5"));
    EXPECT_EQ(readTextFile(file.string() + ".bad"), "garbage\n");
    EXPECT_EQ(hive.setValue(held, "late", REG_SZ, text, sizeof text), ERROR_KEY_DELETED);
    HiveRegistry reread(file);
    EXPECT_EQ(reread.findKey(HKEY_LOCAL_MACHINE, "x"), nullptr);
    EXPECT_EQ(Registry(reread).GetKeyValue(HKEY_LOCAL_MACHINE, "y", "new"),
              RegValue(std::string("5")));
}

TEST(HiveFile, ALinkIsWrittenThroughAndStaysALink) {
    TempFolder dir;
    const auto target = dir.path / "dotfiles" / "HKLM.reg";
    const auto link = dir.path / "config" / "HKLM.reg";
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::create_directories(link.parent_path());
    std::ofstream(target) << "old";
    std::filesystem::create_symlink("../dotfiles/HKLM.reg", link);
    ASSERT_TRUE(writeTextFileAtomically(link, "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readTextFile(target), "new");
}

TEST(HiveFile, EveryFailureToWriteIsReported) {
    const std::pair<Failing, const char*> cases[] = {
        {Failing::FileFlush, "old"}, {Failing::Close, "old"}, {Failing::FolderFlush, "new"}};
    for (const auto& [failure, left] : cases) {
        TempFolder dir;
        const auto file = dir.path / "HKLM.reg";
        ASSERT_TRUE(writeTextFileAtomically(file, "old"));
        failing = failure;
        const bool written = writeTextFileAtomically(file, "new");
        failing = Failing::Nothing;
        EXPECT_FALSE(written) << left;
        EXPECT_EQ(readTextFile(file), left);
        EXPECT_FALSE(std::filesystem::exists(file.string() + ".partial"));
    }
    // The hive reports it too, and forgets the change that did not reach its file.
    TempFolder dir;
    HiveRegistry hive(dir.path / "HKLM.reg");
    Registry(hive).SetKeyValue(HKEY_LOCAL_MACHINE, "x", "n", std::int32_t(1));
    Key key = 0;
    hive.openKey(HKEY_LOCAL_MACHINE, "x", 0, KEY_ALL_ACCESS, &key);
    const std::uint8_t two[] = {2, 0, 0, 0};
    failing = Failing::FileFlush;
    EXPECT_NE(hive.setValue(key, "n", REG_DWORD, two, sizeof two), ERROR_SUCCESS);
    failing = Failing::Nothing;
    EXPECT_EQ(Registry(hive).GetKeyValue(HKEY_LOCAL_MACHINE, "x", "n"), RegValue(std::int32_t(1)));
}
