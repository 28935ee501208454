#include "HiveRegistry.h"
#include "RegFileFormat.h"
#include "Registry.h"
#include "TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace dormivo::registry;

namespace {

struct TempFolder {
    TempFolder() {
        path =
            std::filesystem::temp_directory_path() /
            ("dormivo-hive-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
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
    EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\n\n", 0), 0u);
    EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\Software\\Test]\n"), std::string::npos);
    EXPECT_NE(text.find("\"path\"=\"C:\\\\a \\\"b\\\"\"\n"), std::string::npos);
    EXPECT_NE(text.find("\"n\"=dword:0000002a\n"), std::string::npos);
    EXPECT_NE(text.find("\"f\"=hex:ff\n"), std::string::npos);
    EXPECT_NE(text.find("\"odd\"=hex(1):61,00,62\n"), std::string::npos);
    EXPECT_NE(text.find("@=hex(7):\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(file.string() + ".partial"));

    // What is read back writes the very same text again.
    const auto forest = RegFileFormat::read(text);
    ASSERT_TRUE(forest);
    EXPECT_EQ(RegFileFormat::write(*forest), text);
}

TEST(HiveFile, AnUnreadableFileIsSetAsideNotOverwritten) {
    const char* broken[] = {
        "not a registry file\n",
        "Windows Registry Editor Version 5.00\n\n\"orphan\"=\"value\"\n",
        "Windows Registry Editor Version 5.00\n\n[HKEY_NOWHERE\\x]\n",
        "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\x]\n\"n\"=dword:12\n",
        "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\x]\n\"n\"=hex:zz\n",
    };
    for (const char* text : broken) {
        TempFolder dir;
        const auto file = dir.path / "HKLM.reg";
        std::ofstream(file) << text;
        HiveRegistry hive(file);
        EXPECT_EQ(readTextFile(file.string() + ".bad").value_or(""), text);
        Registry registry(hive);
        EXPECT_EQ(registry.GetKeyValue(HKEY_LOCAL_MACHINE, "x", "n"), RegValue{}) << text;
        registry.SetKeyValue(HKEY_LOCAL_MACHINE, "x", "n", std::int32_t(1));
        EXPECT_EQ(readTextFile(file.string() + ".bad").value_or(""), text)
            << "the set-aside file is kept";
        EXPECT_EQ(HiveRegistry(file).findKey(HKEY_LOCAL_MACHINE, "x")->values.size(), 1u);
    }
}

TEST(HiveFile, WrappedHexListsAreRead) {
    const auto forest = RegFileFormat::read("Windows Registry Editor Version 5.00\r\n\r\n"
                                            "[HKEY_LOCAL_MACHINE\\x]\r\n"
                                            "\"b\"=hex:01,02,\\\r\n  03\r\n");
    ASSERT_TRUE(forest);
    const auto* key = forest->find("HKEY_LOCAL_MACHINE\\x");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->value("B")->data, (std::vector<std::uint8_t>{1, 2, 3}));
}
