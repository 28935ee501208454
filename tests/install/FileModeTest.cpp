#include "TextFile.h"

#include <QTemporaryDir>

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using dormivo::registry::FileAccess;
using dormivo::registry::writeTextFileAtomically;

namespace {

struct ModeCase {
    const char* name;
    mode_t umask;
    mode_t existing; // 0: no file before
    FileAccess access;
    mode_t expected;
};

class FileModeTest : public testing::TestWithParam<ModeCase> {};

TEST_P(FileModeTest, WrittenFileHasTheModeAskedForWhateverTheUmask) {
    const ModeCase& c = GetParam();
    QTemporaryDir dir;
    const std::filesystem::path file = dir.filePath(QStringLiteral("HKLM.reg")).toStdString();
    if (c.existing) {
        ASSERT_TRUE(writeTextFileAtomically(file, "old", FileAccess::EveryoneReads));
        ::chmod(file.c_str(), c.existing);
    }
    const mode_t previous = ::umask(c.umask);
    const bool written = writeTextFileAtomically(file, "new", c.access);
    ::umask(previous);
    ASSERT_TRUE(written);
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, c.expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, FileModeTest, testing::Values(
    ModeCase{"PrivateDespiteOpenUmask",    0000, 0,    FileAccess::OwnerOnly,     0600},
    ModeCase{"ReplacingAReadableFile",     0022, 0644, FileAccess::OwnerOnly,     0600},
    ModeCase{"AutostartDespiteTightUmask", 0077, 0,    FileAccess::EveryoneReads, 0644}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
