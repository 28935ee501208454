#include "common/AtomicFile.h"
#include "registry/HiveRegistry.h"
#include "registry/RegFileFormat.h"
#include "registry/Registry.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <set>
#include <sys/stat.h>

using namespace dormivo;
using namespace dormivo::registry;
using namespace std::string_literals;

namespace {

// Which call fails on demand: the build links fsync and fclose to the wrappers below.
enum class Failing { Nothing, FileFlush, Close, FolderFlush };
Failing failing = Failing::Nothing;

} // namespace

extern "C" {
int __real_fsync(int fd);
int __real_close(int fd);

int __wrap_fsync(int fd) {
    struct stat info {};
    const bool folder = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
    if (failing == (folder ? Failing::FolderFlush : Failing::FileFlush)) {
        errno = EIO;
        return -1;
    }
    return __real_fsync(fd);
}

int __wrap_close(int fd) {
    const int result = __real_close(fd);
    if (failing != Failing::Close)
        return result;
    errno = EIO;
    return -1;
}
}

namespace {

const std::string kHeader = "Windows Registry Editor Version 5.00\n\n";

std::string repeated(const std::string& part, int times) {
    return QByteArray::fromStdString(part).repeated(times).toStdString();
}

class HiveFile : public ::testing::Test {
protected:
    QTemporaryDir temporary;
    const std::filesystem::path dir = temporary.path().toStdString();
    const std::filesystem::path file = dir / "HKLM.reg";
};

TEST_F(HiveFile, AFileItCannotReadIsSetAsideAndNoSetAsideFileIsOverwritten) {
    const std::string broken[] = {
        "not a registry file\n",
        kHeader + "[HKEY_LOCAL_MACHINE\\x]\n\"n\"=dword:12\n",
        // Beyond the limits: more sections implied than the size allows, too large a file.
        kHeader + "[HKEY_LOCAL_MACHINE" + repeated("\\" + std::string(100, 'a'), 512) + "]\n",
        kHeader + ";" + std::string(RegFileFormat::kMaxFileBytes, ' ') + "\n",
    };
    for (std::size_t i = 0; i < std::size(broken); ++i) {
        std::ofstream(file, std::ios::binary) << broken[i];
        HiveRegistry hive(file);
        EXPECT_EQ(Registry(hive).GetKeyValue(HKEY_LOCAL_MACHINE, "x", "n"), RegValue{}) << i;
        Registry(hive).SetKeyValue(HKEY_LOCAL_MACHINE, "x", "n", std::int32_t(1));
        EXPECT_EQ(HiveRegistry(file).findKey(HKEY_LOCAL_MACHINE, "x")->values.size(), 1u);
        for (std::size_t j = 0; j <= i; ++j) {
            const std::string aside = j == 0 ? ".bad" : ".bad." + std::to_string(j);
            EXPECT_TRUE(readFile(file.string() + aside) == broken[j]) << aside;
        }
    }
}

// As the registry editor writes it (UTF-8, CRLF, UTF-16); saved again, byte for byte the same.
TEST_F(HiveFile, IsReadAndWrittenAsTheRegistryEditorDoes) {
    const std::string who = "C:\\a \"Zo\xC3\xAB\" \xF0\x9F\x98\x80";
    const std::string lf = kHeader + "[HKEY_LOCAL_MACHINE\\Software]\n\n"
                                     "[HKEY_LOCAL_MACHINE\\Software\\x]\n@=hex(7):\n\"f\"=hex:ff\n"
                                     "\"n\"=dword:0000002a\n\"odd\"=hex(1):61,00,62\n"
                                     "\"who\"=\"C:\\\\a \\\"Zo\xC3\xAB\\\" \xF0\x9F\x98\x80\"\n\n";
    const QString text = QString::fromStdString(lf).replace("\n", "\r\n");
    const std::string crlf = text.toStdString();
    const std::string utf16 =
        "\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);

    for (const std::string& bytes : {lf, crlf, utf16}) {
        std::ofstream(file, std::ios::binary) << bytes;
        HiveRegistry hive(file);
        Registry registry(hive);
        EXPECT_EQ(registry.GetKeyValue(HKEY_LOCAL_MACHINE, "Software\\x", "n"), RegValue(42));
        EXPECT_EQ(registry.GetKeyValue(HKEY_LOCAL_MACHINE, "Software\\x", "who"), RegValue(who));
        registry.SetKeyValue(HKEY_LOCAL_MACHINE, "Software\\x", "f", true); // saves it again
        EXPECT_EQ(readFile(file), bytes);
        EXPECT_FALSE(std::filesystem::exists(file.string() + ".bad"));
    }
}

// Nothing beyond the limits is written, and a change that did not reach the file is forgotten.
TEST_F(HiveFile, WhatCouldNotBeWrittenIsForgotten) {
    HiveRegistry hive(file);
    Registry(hive).SetKeyValue(HKEY_LOCAL_MACHINE, "x", "keep", std::string("1"));
    Key key = 0;
    EXPECT_EQ(hive.createKey(HKEY_LOCAL_MACHINE, repeated("\\a", 513), 0, KEY_ALL_ACCESS, &key),
              ERROR_INVALID_PARAMETER);
    ASSERT_EQ(hive.openKey(HKEY_LOCAL_MACHINE, "x", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    // Written as hex, three characters a byte.
    const std::vector<std::uint8_t> huge(RegFileFormat::kMaxFileBytes / 2, 1);
    EXPECT_NE(hive.setValue(key, "huge", REG_BINARY, huge.data(), huge.size()), ERROR_SUCCESS);
    const std::uint8_t two[] = "2";
    failing = Failing::FileFlush;
    EXPECT_NE(hive.setValue(key, "keep", REG_SZ, two, sizeof two), ERROR_SUCCESS);
    failing = Failing::Nothing;
    EXPECT_EQ(hive.queryValue(key, "huge", nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Registry(hive).GetKeyValue(HKEY_LOCAL_MACHINE, "x", "keep"), RegValue("1"s));
    HiveRegistry reread(file);
    EXPECT_EQ(Registry(reread).GetKeyValue(HKEY_LOCAL_MACHINE, "x", "keep"), RegValue("1"s));
    EXPECT_FALSE(std::filesystem::exists(file.string() + ".bad"));
}

TEST_F(HiveFile, ChangesMadeByOthersMeanwhileAreKept) {
    HiveRegistry hive(file);
    Registry registry(hive);
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, "x", "mine", std::string("1"));
    Key held = 0;
    ASSERT_EQ(hive.createKey(HKEY_LOCAL_MACHINE, "x", 0, KEY_ALL_ACCESS, &held), ERROR_SUCCESS);
    const std::uint8_t text[] = "3";

    // As the registry editor writes them: a wrapped hex list, a comment ending in '\'.
    std::ofstream(file) << kHeader
                        << "; was \"x\"=hex:01,\\\n[HKEY_LOCAL_MACHINE\\x]\n\"mine\"=\"1\"\n"
                        << "\"theirs\"=hex:01,02,\\\n  03\n";
    EXPECT_EQ(hive.setValue(held, "late", REG_SZ, text, sizeof text), ERROR_SUCCESS);
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, "y", "new", std::string("4"));
    const HiveRegistry saved(file);
    const auto* x = saved.findKey(HKEY_LOCAL_MACHINE, "x");
    ASSERT_TRUE(x && x->value("theirs"));
    std::set<std::string> names;
    for (const auto& value : x->values)
        names.insert(value.name);
    EXPECT_EQ(names, (std::set<std::string>{"late", "mine", "theirs"}));
    EXPECT_EQ(x->value("theirs")->data, (std::vector<std::uint8_t>{1, 2, 3}));

    std::ofstream(file) << "garbage\n";
    registry.SetKeyValue(HKEY_LOCAL_MACHINE, "y", "new", std::string("5"));
    EXPECT_EQ(readFile(file.string() + ".bad"), "garbage\n");
    EXPECT_EQ(hive.setValue(held, "late", REG_SZ, text, sizeof text), ERROR_KEY_DELETED);
    HiveRegistry reread(file);
    EXPECT_EQ(reread.findKey(HKEY_LOCAL_MACHINE, "x"), nullptr);
    EXPECT_EQ(Registry(reread).GetKeyValue(HKEY_LOCAL_MACHINE, "y", "new"), RegValue("5"s));
}

// A write is whole or reported, with the mode asked for whatever the umask, through a link.
TEST_F(HiveFile, AWriteIsWholeOrReportedWithTheModeAskedForThroughALink) {
    struct Case {
        mode_t umask;
        FileAccess access;
        Failing failing;
        const char* left;
        mode_t mode;
    };
    const Case cases[] = {
        {0000, FileAccess::OwnerOnly, Failing::Nothing, "new", 0600},
        {0077, FileAccess::EveryoneReads, Failing::Nothing, "new", 0644},
        {0022, FileAccess::OwnerOnly, Failing::FileFlush, "old", 0644},
        {0022, FileAccess::OwnerOnly, Failing::Close, "old", 0644},
        {0022, FileAccess::OwnerOnly, Failing::FolderFlush, "new", 0600},
    };
    const auto target = dir / "dotfiles" / "HKLM.reg";
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::create_symlink("dotfiles/HKLM.reg", file);
    // Planted where a save once put its temporary file, by someone who can write the folder.
    std::filesystem::create_symlink(dir / "victim", target.string() + ".partial");
    for (const auto& c : cases) {
        ASSERT_FALSE(writeFileAtomically(target, "old", FileAccess::EveryoneReads));
        const mode_t previous = ::umask(c.umask);
        failing = c.failing;
        const bool written = !writeFileAtomically(file, "new", c.access);
        failing = Failing::Nothing;
        ::umask(previous);
        EXPECT_EQ(written, c.failing == Failing::Nothing) << c.left;
        EXPECT_EQ(readFile(target), c.left);
        EXPECT_TRUE(std::filesystem::is_symlink(file));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(target.parent_path()), {}), 2);
        EXPECT_FALSE(std::filesystem::exists(dir / "victim"));
        struct stat info {};
        ASSERT_EQ(::stat(target.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, c.mode) << c.umask;
    }
}

} // namespace
