#include "registry/TextFile.h"

#include <QTemporaryDir>

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using dormivo::registry::FileAccess;
using dormivo::registry::writeTextFileAtomically;

TEST(FileMode, WrittenFileHasTheModeAskedForWhateverTheUmask) {
    struct Case {
        mode_t umask;
        mode_t existing; // 0: no file before
        FileAccess access;
        mode_t expected;
    };
    const Case cases[] = {
        {0000, 0, FileAccess::OwnerOnly, 0600},     // private despite an open umask
        {0022, 0644, FileAccess::OwnerOnly, 0600},  // replacing a readable file
        {0077, 0, FileAccess::EveryoneReads, 0644}, // autostart despite a tight umask
    };
    for (const auto& c : cases) {
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
        EXPECT_EQ(info.st_mode & 07777, c.expected) << c.umask;
    }
}
