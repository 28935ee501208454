// The programs dialog: what it shows, what OK stores and mirrors, what every other way out
// leaves alone, and that a failing settings file loses nothing.
#include "AutostartMirror.h"
#include "FakePlatform.h"
#include "ImageButton.h"
#include "ProgramsActive.h"
#include "TempDatabase.h"
#include "frmSetting.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

using namespace dormivo;

namespace {

class ProgramsDialog : public ::testing::Test {
protected:
    ProgramsDialog() {
        fakes.registry.setValueListener(
            [this](const registry::HiveKey& key, const std::string& name) {
                mirror.valueChanged(key, name);
            });
    }

    frmSetting& open(const QString& action = QStringLiteral("Lauch Program")) {
        dialog = std::make_unique<frmSetting>(fakes.platform, db.store(), action);
        dialog->load();
        dialog->show();
        unloaded = std::make_unique<QSignalSpy>(dialog.get(), &SkinnedDialog::unloaded);
        return *dialog;
    }
    template <typename T> T* control(const char* name) {
        return dialog->findChild<T*>(QString::fromLatin1(name));
    }
    void click(const char* button) {
        QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton);
    }
    void add(const QString& path) {
        fakes.filePicker.nextPick = path;
        click("cmdBrowse");
    }
    QStringList entries() {
        QStringList shown;
        for (int i = 0; i < control<QListWidget>("List1")->count(); ++i)
            shown << control<QListWidget>("List1")->item(i)->text();
        return shown;
    }
    std::string storedPrograms() {
        return db.scalar("SELECT coalesce(group_concat(programName, '|'), '') FROM "
                         "(SELECT programName FROM programs ORDER BY rowid)");
    }
    // The Run values Velkaro0..3 as text, "-" for a missing one.
    QStringList runValues() {
        registry::Registry run(fakes.registry);
        QStringList values;
        for (int i = 0; i < 4; ++i) {
            const auto value = run.GetKeyValue(registry::HKEY_LOCAL_MACHINE, registry::kRunKey,
                                               "Velkaro" + std::to_string(i));
            const auto* text = std::get_if<std::string>(&value);
            values << (text ? QString::fromStdString(*text) : QStringLiteral("-"));
        }
        return values;
    }
    bool autostartEntry(int position) {
        return std::filesystem::exists(autostart / registry::AutostartMirror::fileNameFor(
                                                       "Velkaro" + std::to_string(position)));
    }
    void writeRunValues(const QStringList& paths) {
        registry::Registry run(fakes.registry);
        for (int i = 0; i < paths.size(); ++i)
            run.SetKeyValue(registry::HKEY_LOCAL_MACHINE, registry::kRunKey,
                            "Velkaro" + std::to_string(i), paths[i].toStdString());
        fakes.log.clear();
    }

    test::FakePlatform fakes;
    test::TempDatabase db;
    QTemporaryDir home;
    std::filesystem::path autostart =
        std::filesystem::path(home.path().toStdString()) / "autostart";
    registry::AutostartMirror mirror{fakes.registry, autostart};
    std::unique_ptr<frmSetting> dialog;
    std::unique_ptr<QSignalSpy> unloaded;
};

TEST_F(ProgramsDialog, TheInstructionLineNamesTheAction) {
    const std::pair<QString, QString> cases[] = {
        {"Lauch Program", "Run The Programs Below After Period Finished. "},
        {"Shut Down", "Run The Programs Below After Shut Down"},
        {"Lauch program", "Run The Programs Below After Lauch program"},
        {"", "Run The Programs Below After "},
    };
    for (const auto& [action, line] : cases) {
        open(action);
        EXPECT_EQ(control<QLabel>("Label1")->text(), line) << action.toStdString();
    }
    EXPECT_EQ(dialog->size(), QSize(384, 281));
    EXPECT_EQ(dialog->windowTitle(), "Setting");
    EXPECT_EQ(control<QLabel>("Label2")->text(), "Options");
}

TEST_F(ProgramsDialog, LoadShowsTheStoredListAndItsStatus) {
    struct Case {
        std::vector<std::string> programs;
        const char* flag;
        bool active;
    };
    const Case cases[] = {
        {{}, "1", true},
        {{"/bin/b", "/bin/a", "/bin/b"}, "0", false},
        {{"/bin/a"}, "yes", false},
        {{"/bin/a"}, " 1", false},
    };
    for (const auto& c : cases) {
        db.store().saveProgramsList(c.programs);
        gProgramsActive = c.flag;
        open();
        QStringList expected;
        for (const auto& p : c.programs)
            expected << QString::fromStdString(p);
        EXPECT_EQ(entries(), expected) << c.flag;
        EXPECT_EQ(control<QRadioButton>("optEnable")->isChecked(), c.active) << c.flag;
        EXPECT_EQ(control<QRadioButton>("optDisable")->isChecked(), !c.active) << c.flag;
    }
}

TEST_F(ProgramsDialog, OkStoresTheListAndSwitchAndBringsTheRunEntriesInLine) {
    // A path the way users have them: blanks, quotes, $, backticks and letters beyond ASCII.
    const QString odd = home.path() + QStringLiteral("/My $HOME `apps`/\"Zoë's\" tool");
    std::filesystem::create_directories((home.path() + "/My $HOME `apps`").toStdString());
    std::ofstream(odd.toStdString()) << "#!/bin/sh\n";
    writeRunValues({"/old/0", "/old/1", "/old/2", "/old/3"});
    struct Case {
        const char* option;
        const char* active;
        QStringList run;
    };
    const Case cases[] = {
        {"optEnable", "1", {odd, "/bin/echo", odd, "/old/3"}},
        {"optDisable", "0", {"-", "-", "-", "/old/3"}},
    };
    for (const auto& c : cases) {
        db.store().saveProgramsList({});
        open();
        add(odd);
        add("");
        add("/bin/echo");
        add(odd);
        control<QRadioButton>(c.option)->setChecked(true);
        click("cmdOk");
        EXPECT_EQ(QString::fromStdString(storedPrograms()),
                  QStringList({odd, "/bin/echo", odd}).join('|'))
            << c.option;
        EXPECT_EQ(db.scalar("SELECT count(*) || '|' || active FROM setting"),
                  std::string("1|") + c.active)
            << c.option;
        EXPECT_EQ(gProgramsActive, c.active);
        EXPECT_EQ(runValues(), c.run) << c.option;
        EXPECT_EQ(autostartEntry(0), c.run[0] != "-") << c.option;
        EXPECT_EQ(unloaded->count(), 1) << c.option;
    }
}

TEST_F(ProgramsDialog, RemoveTakesOneSelectedEntryAndTheRunValuesOfAllPositions) {
    struct Case {
        const char* what;
        QStringList before;
        int selected;
        QStringList after;
        bool message;
    };
    const Case cases[] = {
        {"nothing selected", {"/a", "/b"}, -1, {"/a", "/b"}, true},
        {"last selected", {"/a", "/b", "/c"}, 2, {"/a", "/b"}, false},
        {"a duplicate selected", {"/a", "/b", "/a"}, 0, {"/b", "/a"}, false},
        {"empty list", {}, -1, {}, false},
    };
    for (const auto& c : cases) {
        db.store().saveProgramsList({});
        open();
        for (const auto& path : c.before)
            add(path);
        writeRunValues(c.before);
        fakes.messages.shown.clear();
        control<QListWidget>("List1")->setCurrentRow(c.selected);
        click("cmdRemove");
        EXPECT_EQ(entries(), c.after) << c.what;
        ASSERT_EQ(fakes.messages.shown.size(), c.message ? 1u : 0u) << c.what;
        if (c.message) {
            EXPECT_EQ(fakes.messages.shown[0].text, "Please Select The Program Path To Remove");
            EXPECT_EQ(fakes.messages.shown[0].style, MessageStyle::Information);
            EXPECT_EQ(fakes.messages.shown[0].title, "Dormivo");
        }
        QStringList deleted;
        if (!c.message)
            for (int i = 0; i < c.before.size(); ++i)
                deleted << QStringLiteral("delete Velkaro%1").arg(i);
        EXPECT_EQ(fakes.log, deleted) << c.what;
    }
}

TEST_F(ProgramsDialog, EveryOtherWayOutStoresNothingButRemoveHasDeletedTheRunValues) {
    // The key goes where a keyboard sends it: to the control that has the focus.
    const auto esc = [this] {
        QWidget* focus = dialog->focusWidget();
        QTest::keyClick(focus ? focus : dialog.get(), Qt::Key_Escape);
    };
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"Cancel", [this] { click("cmdCancel"); }},
        {"close glyph",
         [this] { QTest::mouseClick(control<ImageButton>("Image2"), Qt::LeftButton); }},
        {"Esc", esc},
    };
    for (const auto& [what, leave] : cases) {
        db.store().savePrograms({"/a", "/b"}, false);
        gProgramsActive = "0";
        writeRunValues({"/a", "/b"});
        open();
        add("/c");
        control<QListWidget>("List1")->setCurrentRow(0);
        click("cmdRemove");
        control<QRadioButton>("optEnable")->setChecked(true);
        leave();
        EXPECT_EQ(unloaded->count(), 1) << what;
        EXPECT_EQ(storedPrograms(), "/a|/b") << what;
        EXPECT_EQ(db.scalar("SELECT active FROM setting"), "0") << what;
        EXPECT_EQ(gProgramsActive, "0") << what;
        EXPECT_EQ(runValues(), QStringList({"-", "-", "-", "-"})) << what;
    }
}

TEST_F(ProgramsDialog, OkWithAFailingStoreChangesNothingAndKeepsTheDialogOpen) {
    const std::pair<const char*, const char*> cases[] = {
        {"the list half-way",
         "CREATE TRIGGER fail AFTER INSERT ON programs WHEN NEW.programName = '/new' "
         "BEGIN SELECT RAISE(ABORT, 'disk full'); END"},
        {"the switch after the list",
         "CREATE TRIGGER fail BEFORE UPDATE ON setting BEGIN SELECT RAISE(ABORT, 'disk full'); "
         "END"},
        {"a read-only file", "PRAGMA query_only = 1"},
    };
    for (const auto& [what, failure] : cases) {
        db.store().savePrograms({"/old"}, false);
        gProgramsActive = "0";
        fakes.messages.shown.clear();
        open();
        add("/kept");
        add("/new");
        control<QRadioButton>("optEnable")->setChecked(true);
        const QStringList runBefore = runValues();
        db.exec(failure);
        click("cmdOk");
        db.exec("PRAGMA query_only = 0");
        db.exec("DROP TRIGGER IF EXISTS fail");

        ASSERT_EQ(fakes.messages.shown.size(), 1u) << what;
        EXPECT_FALSE(fakes.messages.shown[0].text.isEmpty()) << what;
        EXPECT_EQ(fakes.messages.shown[0].style, MessageStyle::Critical) << what;
        EXPECT_EQ(storedPrograms(), "/old") << what;
        EXPECT_EQ(db.scalar("SELECT active FROM setting"), "0") << what;
        EXPECT_EQ(gProgramsActive, "0") << what;
        EXPECT_EQ(runValues(), runBefore) << what;
        EXPECT_EQ(unloaded->count(), 0) << what;
        EXPECT_TRUE(dialog->isVisible()) << what;
        EXPECT_EQ(entries(), QStringList({"/old", "/kept", "/new"})) << what;

        click("cmdOk");
        EXPECT_EQ(storedPrograms(), "/old|/kept|/new") << what << ": a second OK stores it";
        EXPECT_EQ(gProgramsActive, "1") << what;
    }
    EXPECT_EQ(fakes.messages.shown[0].text, "attempt to write a readonly database");
}

TEST_F(ProgramsDialog, LongPathsKeepBothEndsInSightAndShowInFullAsATip) {
    const QString path = "/opt/" + QString(120, 'x') + "/bin/the-end";
    open();
    add(path);
    auto* list = control<QListWidget>("List1");
    EXPECT_EQ(list->item(0)->toolTip(), path);
    EXPECT_LE(list->visualItemRect(list->item(0)).right(), list->viewport()->width());
    EXPECT_EQ(list->textElideMode(), Qt::ElideMiddle);
}

} // namespace
