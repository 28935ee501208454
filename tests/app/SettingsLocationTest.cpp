// A damaged private copy is made afresh and kept aside; the shipped file is never touched.
#include "app/SettingsLocation.h"
#include "support/TempDatabase.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace dormivo;

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
