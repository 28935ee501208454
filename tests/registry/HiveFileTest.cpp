#include "HiveRegistry.h"
#include "RegFileFormat.h"
#include "Registry.h"
#include "TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

using namespace dormivo::registry;
using namespace std::string_literals;

namespace {

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

TEST(HiveFile, WrappedHexListsAreRead) {
    const auto forest = RegFileFormat::read("Windows Registry Editor Version 5.00\r\n\r\n"
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
    };
    TempFolder dir;
    const auto file = dir.path / "HKLM.reg";
    for (std::size_t i = 0; i < std::size(broken); ++i) {
        std::ofstream(file, std::ios::binary) << broken[i];
        HiveRegistry hive(file);
        EXPECT_EQ(Registry(hive).GetKeyValue(HKEY_LOCAL_MACHINE, "x", "n"), RegValue{})
            << broken[i];
        Registry(hive).SetKeyValue(HKEY_LOCAL_MACHINE, "x", "n", std::int32_t(1));
        EXPECT_EQ(HiveRegistry(file).findKey(HKEY_LOCAL_MACHINE, "x")->values.size(), 1u);
        for (std::size_t j = 0; j <= i; ++j) {
            const std::string aside = j == 0 ? ".bad" : ".bad." + std::to_string(j);
            EXPECT_EQ(readTextFile(file.string() + aside).value_or(""), broken[j]) << aside;
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
