// The start-up options dialog: what it shows from the next-start row, what OK writes to that
// row and to the Run key, what a refused period leaves alone, and every way to close unsaved.
#include "FakePlatform.h"
#include "ImageButton.h"
#include "ProgramsActive.h"
#include "Registry.h"
#include "StoreError.h"
#include "TempDatabase.h"
#include "UserRegistry.h"
#include "frmPrgSet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace dormivo;
using registry::HKEY_LOCAL_MACHINE;
using registry::kRunKey;

namespace {

class StartupOptions : public ::testing::Test {
public: // the cases below reach the helpers through the fixture
    frmPrgSet& open(Platform& platform) {
        dialog = std::make_unique<frmPrgSet>(
            platform, db.store(), [this](const StoreError& e) { failures.push_back(e.what()); });
        dialog->show();
        dialog->load();
        return *dialog;
    }
    frmPrgSet& open() { return open(fakes.platform); }
    template <typename T> T* control(const char* name) {
        return dialog->findChild<T*>(QString::fromLatin1(name));
    }
    void click(const char* name) { QTest::mouseClick(control<QWidget>(name), Qt::LeftButton); }
    void setPeriod(const QString& text) { control<QLineEdit>("txtPeriod")->setText(text); }
    std::string row() {
        return db.scalar("select run || '|' || Status || '|' || period || '|' || Type || '|' || "
                         "Action || '|' || active from tmpsetting");
    }
    std::string rows() { return db.scalar("select count(*) from tmpsetting"); }
    static std::string runValue(registry::RegistryApi& api) {
        const auto value =
            registry::Registry(api).GetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Dormivo");
        const auto* text = std::get_if<std::string>(&value);
        return text ? *text : "<none>";
    }

    test::FakePlatform fakes;
    test::TempDatabase db;
    std::vector<std::string> failures;
    std::unique_ptr<frmPrgSet> dialog;
};

TEST_F(StartupOptions, ShowsTheNextStartRowOrItsDefaults) {
    struct Case {
        const char* insert; // the row of tmpsetting, or none
        bool checked;
        bool started;
        QString period, unit, action;
    };
    const Case cases[] = {
        {nullptr, false, false, "5", "Minutes", "Shut Down"},
        {"'1', 'Started', 10, 1, 2", true, true, "10", "Hours", "Log Off"},
        {"'0', 'Stoped', 3, 0, 5", false, false, "3", "Minutes", "Lauch Program"},
        {"'yes', 'started', 7, 9, 6", false, false, "7", "Minutes", "Shut Down"},
        {"' 1', 'Started ', 7, -1, -1", false, false, "7", "Minutes", "Shut Down"},
        {"1, 'Stopped', NULL, NULL, NULL", true, false, "5", "Minutes", "Shut Down"},
    };
    for (const auto& c : cases) {
        db.exec("delete from tmpsetting");
        if (c.insert)
            db.exec(std::string("insert into tmpsetting (run, Status, period, Type, Action, "
                                "active) values (") +
                    c.insert + ", '1')");
        open();
        const std::string what = c.insert ? c.insert : "no row";
        EXPECT_EQ(control<QCheckBox>("chkRun")->isChecked(), c.checked) << what;
        EXPECT_EQ(control<QRadioButton>("Option1")->isChecked(), c.started) << what;
        EXPECT_EQ(control<QRadioButton>("Option2")->isChecked(), !c.started) << what;
        EXPECT_EQ(control<QLineEdit>("txtPeriod")->text(), c.period) << what;
        EXPECT_EQ(control<QComboBox>("cmbUnit")->currentText(), c.unit) << what;
        EXPECT_EQ(control<QComboBox>("cmbAction")->currentText(), c.action) << what;
        EXPECT_EQ(control<QComboBox>("cmbAction")->count(), 6) << what;
        EXPECT_EQ(rows(), c.insert ? "1" : "0") << what << ": opening writes nothing";
    }
    EXPECT_TRUE(failures.empty());
}

TEST_F(StartupOptions, OkRewritesEveryColumnOfTheOneRow) {
    struct Case {
        const char* insert;
        std::function<void(StartupOptions&)> choose;
        std::string row;
    };
    const char* full = "'1', 'Started', 10, 1, 2, '1'";
    const Case cases[] = {
        {nullptr, [](StartupOptions&) {}, "0|Stoped|5|0|0|0"},
        {full, [](StartupOptions&) {}, "1|Started|10|1|2|0"},
        {full,
         [](StartupOptions& t) {
             t.click("chkRun");
             t.click("Option2");
             t.setPeriod(" 2 ");
             t.control<QComboBox>("cmbUnit")->setCurrentIndex(0);
             t.control<QComboBox>("cmbAction")->setCurrentIndex(5);
         },
         "0|Stoped|2|0|5|0"},
        {nullptr,
         [](StartupOptions& t) {
             t.click("chkRun");
             t.click("Option1");
             gProgramsActive = "1"; // the flag as it is at OK, not at load
         },
         "1|Started|5|0|0|1"},
    };
    for (const auto& c : cases) {
        db.exec("delete from tmpsetting");
        if (c.insert)
            db.exec(std::string("insert into tmpsetting values (") + c.insert + ")");
        gProgramsActive = "0";
        open();
        c.choose(*this);
        QSignalSpy unloaded(dialog.get(), &SkinnedDialog::unloaded);
        click("cmdOk");
        EXPECT_EQ(rows(), "1");
        EXPECT_EQ(row(), c.row);
        EXPECT_EQ(unloaded.count(), 1);
        EXPECT_EQ(db.scalar("select typeof(period) || typeof(Type) || typeof(Action) from "
                            "tmpsetting"),
                  "integerintegerinteger");
    }
    EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(StartupOptions, APeriodOutsideOneTo32767IsRefusedAndNothingIsWritten) {
    struct Case {
        QString period;
        bool accepted;
    };
    const Case cases[] = {{"0", false},   {"1", true},     {"32767", true}, {"32768", false},
                          {"-1", false},  {"ten", false},  {"", false},     {"   ", false},
                          {"2.5", false}, {"70000", false}};
    for (const auto& c : cases) {
        const std::string what = c.period.toStdString();
        db.exec("delete from tmpsetting");
        registry::Registry(fakes.registry).DeleteKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Dormivo");
        fakes.log.clear();
        fakes.messages.shown.clear();
        open();
        click("chkRun");
        setPeriod(c.period);
        QSignalSpy unloaded(dialog.get(), &SkinnedDialog::unloaded);
        click("cmdOk");
        EXPECT_EQ(unloaded.count(), c.accepted ? 1 : 0) << what;
        EXPECT_EQ(rows(), c.accepted ? "1" : "0") << what;
        EXPECT_EQ(runValue(fakes.registry) != "<none>", c.accepted) << what;
        if (c.accepted) {
            EXPECT_EQ(db.scalar("select period from tmpsetting"), what);
            EXPECT_TRUE(fakes.messages.shown.empty()) << what;
            continue;
        }
        ASSERT_EQ(fakes.messages.shown.size(), 1u) << what;
        EXPECT_TRUE(fakes.messages.shown[0].text.contains("whole number from 1 to 32767")) << what;
        EXPECT_EQ(fakes.messages.shown[0].title, "Dormivo");
        EXPECT_TRUE(dialog->isVisible()) << what;
        EXPECT_TRUE(fakes.log.isEmpty()) << what;
    }
    EXPECT_TRUE(failures.empty());
}

TEST_F(StartupOptions, StartAtLoginWritesAndRemovesTheAutostartEntry) {
    QTemporaryDir config;
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    const auto hive = registry::openUserRegistry();
    const QString appFolder = QCoreApplication::applicationDirPath();
    Platform platform = fakes.platform;
    Platform withHive{platform.messages,
                      platform.launcher,
                      platform.filePicker,
                      platform.notifyIcons,
                      platform.notifier,
                      *hive,
                      appFolder};
    const QString entry = config.filePath("autostart/dormivo-run-dormivo.desktop");
    const std::string program = QCoreApplication::applicationFilePath().toStdString();

    struct Case {
        bool check;
        bool openedChecked;
    };
    // Unchecking twice: the second time there is nothing left to delete.
    const Case cases[] = {{true, false}, {true, true}, {false, true}, {false, false}};
    for (const auto& c : cases) {
        open(withHive);
        EXPECT_EQ(control<QCheckBox>("chkRun")->isChecked(), c.openedChecked);
        control<QCheckBox>("chkRun")->setChecked(c.check);
        click("cmdOk");
        EXPECT_EQ(runValue(*hive), c.check ? program : "<none>");
        EXPECT_EQ(QFile::exists(entry), c.check);
        if (c.check) {
            QFile file(entry);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_TRUE(
                QString::fromUtf8(file.readAll())
                    .contains(
                        QStringLiteral("\nExec=\"%1\"\n").arg(QString::fromStdString(program))));
        }
    }
    EXPECT_EQ(runValue(*registry::openUserRegistry()), "<none>") << "the hive file is saved";
    EXPECT_TRUE(fakes.messages.shown.empty());
    if (savedConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedConfig);
}

TEST_F(StartupOptions, CancelTheGlyphAndEscLeaveEverythingAsItWas) {
    db.exec("insert into tmpsetting values ('1', 'Started', 10, 1, 2, '1')");
    registry::Registry(fakes.registry)
        .SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Dormivo", std::string("/old/dormivo"));
    struct Case {
        const char* what;
        std::function<void(StartupOptions&)> close;
    };
    const Case cases[] = {
        {"Cancel", [](StartupOptions& t) { t.click("cmdCancel"); }},
        {"glyph", [](StartupOptions& t) { t.click("Image2"); }},
        {"Esc",
         [](StartupOptions& t) {
             t.control<QLineEdit>("txtPeriod")->setFocus();
             QTest::keyClick(t.control<QLineEdit>("txtPeriod"), Qt::Key_Escape);
         }},
    };
    for (const auto& c : cases) {
        open();
        click("chkRun");
        click("Option2");
        setPeriod("99");
        QSignalSpy unloaded(dialog.get(), &SkinnedDialog::unloaded);
        c.close(*this);
        EXPECT_EQ(unloaded.count(), 1) << c.what;
        EXPECT_FALSE(dialog->isVisible()) << c.what;
        EXPECT_EQ(row(), "1|Started|10|1|2|1") << c.what;
        EXPECT_EQ(runValue(fakes.registry), "/old/dormivo") << c.what;
        EXPECT_TRUE(fakes.log.isEmpty()) << c.what;
    }
}

TEST_F(StartupOptions, AFailingSettingsFileIsReportedAtLoadAndAtOk) {
    db.exec("alter table tmpsetting rename to gone");
    open();
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_FALSE(dialog->isVisible()) << "load failed: unloaded";

    db.exec("alter table gone rename to tmpsetting");
    failures.clear();
    open();
    EXPECT_TRUE(failures.empty());
    db.exec("drop table tmpsetting");
    click("chkRun");
    click("cmdOk");
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_NE(runValue(fakes.registry), "<none>") << "the registry is written first";
}

} // namespace
