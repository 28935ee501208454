// Opening this user's settings: a damaged private copy is replaced from the shipped file and
// kept aside; the shipped file itself is never touched.
#include "app/SettingsLocation.h"
#include "support/TempDatabase.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <climits>
#include <dlfcn.h>
#include <unistd.h>

using namespace dormivo;

namespace {

// Every flush to the disk while set: what was flushed and whether the file watched had its
// name at that moment.
std::vector<std::string>* flushes = nullptr;
std::string watched;

} // namespace

extern "C" int fsync(int fd) {
    static const auto real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    if (flushes) {
        char path[PATH_MAX] = {};
        const std::string link = "/proc/self/fd/" + std::to_string(fd);
        const ssize_t length = ::readlink(link.c_str(), path, sizeof path - 1);
        flushes->push_back(std::string(path, length > 0 ? std::size_t(length) : 0) +
                           (::access(watched.c_str(), F_OK) == 0 ? " (named)" : " (unnamed)"));
    }
    return real(fd);
}

namespace {

void write(const QString& file, const QByteArray& content) {
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(content);
}

QByteArray contentOf(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<none>");
}

// A crash must never leave the copy named but empty: its content is on the disk before it
// takes its name, and the name is on the disk after.
TEST(OpenSettings, AMissingPrivateCopyIsOnTheDiskBeforeItIsNamed) {
    test::TempDatabase shipped;
    QTemporaryDir data;
    const QString folder = data.filePath("dormivo");
    const SettingsLocation location{folder + "/info.velkaro",
                                    QString::fromStdString(shipped.path())};
    std::vector<std::string> seen;
    watched = location.file.toStdString();
    flushes = &seen;
    const OpenedSettings opened = openSettings(location);
    flushes = nullptr;
    ASSERT_TRUE(opened.store) << opened.failure.toStdString();
    EXPECT_EQ(seen, (std::vector<std::string>{watched + ".partial (unnamed)",
                                              folder.toStdString() + " (named)"}));
}

TEST(OpenSettings, ADamagedPrivateCopyIsSetAsideAndMadeAfresh) {
    // What the private copy holds, an earlier set-aside file if any, and where the copy goes.
    const std::tuple<QByteArray, QByteArray, const char*> cases[] = {
        {"", "", ".bad"},
        {QByteArray(4096, 'x'), "kept", ".bad.1"},
    };
    for (const auto& [copy, earlierBad, aside] : cases) {
        test::TempDatabase shipped;
        QTemporaryDir data;
        const SettingsLocation location{data.filePath("info.velkaro"),
                                        QString::fromStdString(shipped.path())};
        write(location.file, copy);
        if (!earlierBad.isEmpty())
            write(location.file + ".bad", earlierBad);
        testing::internal::CaptureStderr();
        const OpenedSettings opened = openSettings(location);
        const std::string told = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(opened.store) << aside << ": " << opened.failure.toStdString();
        EXPECT_EQ(opened.store.value().file(), location.file.toStdString());
        EXPECT_EQ(contentOf(location.file + aside), copy) << aside;
        EXPECT_EQ(contentOf(location.file + ".bad"), earlierBad.isEmpty() ? copy : earlierBad);
        EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
        EXPECT_NE(told.find((location.file + aside).toStdString()), std::string::npos) << told;
    }
}

TEST(OpenSettings, TheShippedFileIsNeverReplaced) {
    QTemporaryDir folder;
    const QString shipped = folder.filePath("info.velkaro");
    write(shipped, QByteArray(4096, 'x'));
    const OpenedSettings opened = openSettings({shipped, shipped});
    EXPECT_FALSE(opened.store);
    EXPECT_TRUE(opened.failure.contains(shipped)) << opened.failure.toStdString();
    EXPECT_EQ(contentOf(shipped), QByteArray(4096, 'x'));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"info.velkaro"});
}

} // namespace
