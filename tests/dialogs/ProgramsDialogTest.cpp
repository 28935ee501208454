#include "common/Flags.h"
#include "dialogs/frmSetting.h"
#include "support/FakePlatform.h"
#include "support/RunValues.h"
#include "support/TempDatabase.h"
#include "support/Widgets.h"

#include <QListWidget>
#include <QRadioButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <memory>

using namespace dormivo;
using namespace dormivo::test;

namespace {

class ProgramsDialog : public ::testing::Test {
protected:
    // Opens the dialog on a stored list, switched off, and on just these Run values.
    void openOn(const QStringList& programs, const QStringList& run, const char* flag = "0") {
        std::vector<std::string> list;
        for (const auto& p : programs)
            list.push_back(p.toStdString());
        db.store().savePrograms(list, false);
        gProgramsActive = flag;
        for (int i = 0; i < 4; ++i)
            setRunValue(fakes.registry, "Velkaro" + std::to_string(i),
                        i < run.size() ? run[i].toStdString() : std::string());
        fakes.messages.shown.clear();
        dialog = std::make_unique<frmSetting>(fakes.platform, db.store(), "Lauch Program",
                                              [](const StoreError&) { FAIL(); });
        dialog->load();
        dialog->show();
        unloaded = std::make_unique<QSignalSpy>(dialog.get(), &SkinnedDialog::unloaded);
    }
    void add(const QString& path) {
        fakes.filePicker.nextPick = path;
        click(dialog, "cmdBrowse");
    }
    QString entries() {
        QStringList shown;
        for (int i = 0; i < control<QListWidget>(dialog, "List1")->count(); ++i)
            shown << control<QListWidget>(dialog, "List1")->item(i)->text();
        return shown.join('|');
    }
    // The stored list, the switch in the file and in memory: "/a|/b 1 1".
    QString stored() {
        return QString::fromStdString(
            db.scalar("SELECT coalesce(group_concat(programName, '|'), '') FROM "
                      "(SELECT programName FROM programs ORDER BY rowid)") +
            " " + db.scalar("SELECT group_concat(active) FROM setting") + " " + gProgramsActive);
    }
    // The Run values Velkaro0..3, "-" for a missing one.
    QString runValues() {
        QStringList values;
        for (int i = 0; i < 4; ++i)
            values << QString::fromStdString(
                runValue(fakes.registry, "Velkaro" + std::to_string(i)));
        return values.join('|');
    }
    QString messages() { return fakes.messages.shown.join('|'); }

    FakePlatform fakes;
    TempDatabase db;
    std::unique_ptr<frmSetting> dialog;
    std::unique_ptr<QSignalSpy> unloaded;
};

TEST_F(ProgramsDialog, OkStoresTheListSwitchAndRunEntriesAndNoOtherWayOutStoresAnything) {
    // A path the way users have them: blanks, quotes, $, backticks and letters beyond ASCII.
    const QString odd = QStringLiteral("/opt/My $HOME `apps`/\"Zoë's\" tool");
    const QString list = odd + "|/bin/echo|" + odd;
    const QString before = "/old/0|/old/1|/old/2|/old/3";
    // The way out ("" for Esc), the switch chosen, then what is stored and the Run values.
    const std::tuple<const char*, const char*, QString, QString> cases[] = {
        {"cmdOk", "optEnable", list + " 1 1", list + "|/old/3"},
        {"cmdOk", "optDisable", list + " 0 0", "-|-|-|/old/3"},
        {"cmdCancel", "optEnable", " 0 0", before},
        {"Image2", "optEnable", " 0 0", before},
        {"", "optEnable", " 0 0", before},
    };
    for (const auto& [closer, option, kept, run] : cases) {
        openOn({}, before.split('|'));
        for (const QString& path : {odd, QString(), QStringLiteral("/bin/echo"), odd})
            add(path);
        control<QRadioButton>(dialog, option)->setChecked(true);
        leave(dialog, closer);
        EXPECT_EQ(stored(), kept) << closer << option;
        EXPECT_EQ(runValues(), run) << closer << option;
        EXPECT_EQ(unloaded->count(), 1) << closer << option;
    }
}

// The list, the entry clicked (-1: none), how often Remove is pressed; what is left and told.
TEST_F(ProgramsDialog, RemoveTakesOneSelectedEntryAndTheRunValuesOfAllPositions) {
    const QString choose = "Dormivo, information: Please Select The Program Path To Remove";
    const std::tuple<QString, int, int, QString, QString> cases[] = {
        {"/a|/b|/c", 2, 1, "/a|/b", ""},
        {"/a|/b|/a", 0, 1, "/b|/a", ""},
        {"/a|/b|/c", 2, 2, "/a|/b", choose},
        {"", -1, 1, "", ""},
    };
    for (const auto& [before, clicked, removes, after, message] : cases) {
        const std::string what = (before + " " + QString::number(removes)).toStdString();
        openOn(before.split('|', Qt::SkipEmptyParts), before.split('|', Qt::SkipEmptyParts));
        auto* list = control<QListWidget>(dialog, "List1");
        if (clicked >= 0)
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(clicked)).center());
        for (int i = 0; i < removes; ++i)
            click(dialog, "cmdRemove");
        EXPECT_EQ(entries(), after) << what;
        EXPECT_EQ(messages(), message) << what;
        EXPECT_EQ(runValues(), before == after && !before.isEmpty() ? before + "|-|-" : "-|-|-|-")
            << what;
    }
}

TEST_F(ProgramsDialog, OkWithAFailingStoreChangesNothingAndKeepsTheDialogOpen) {
    const std::pair<const char*, const char*> cases[] = {
        // clang-format off
        {"the list half-way", "CREATE TRIGGER fail AFTER INSERT ON programs WHEN NEW.programName = '/new' BEGIN SELECT RAISE(ABORT, 'disk full'); END"},
        {"the switch after the list", "CREATE TRIGGER fail BEFORE UPDATE ON setting BEGIN SELECT RAISE(ABORT, 'disk full'); END"},
        // clang-format on
    };
    for (const auto& [what, failure] : cases) {
        openOn({"/old"}, {"/old"}, "1"); // shown switched on, as the flag in memory says
        add("/kept");
        add("/new");
        db.exec(failure);
        click(dialog, "cmdOk");
        db.exec("DROP TRIGGER IF EXISTS fail");

        EXPECT_TRUE(messages().contains(QString::fromStdString(db.path()))) << what;
        EXPECT_EQ(stored(), "/old 0 1") << what;
        EXPECT_EQ(runValues(), "/old|-|-|-") << what;
        EXPECT_EQ(unloaded->count(), 0) << what;
        EXPECT_TRUE(dialog->isVisible()) << what;
        EXPECT_EQ(entries(), "/old|/kept|/new") << what;

        click(dialog, "cmdOk");
        EXPECT_EQ(stored(), "/old|/kept|/new 1 1") << what << ": a second OK stores it";
    }
}

} // namespace
