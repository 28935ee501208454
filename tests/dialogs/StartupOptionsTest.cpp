#include "common/Flags.h"
#include "dialogs/frmPrgSet.h"
#include "store/StoreError.h"
#include "support/FakePlatform.h"
#include "support/RunValues.h"
#include "support/TempDatabase.h"
#include "support/Widgets.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace dormivo;
using namespace dormivo::test;

namespace {

class StartupOptions : public ::testing::Test {
public: // the cases below reach the helpers through the fixture
    // Opens the dialog on a next-start row (none when null) and a Run value "Dormivo".
    void open(const char* row, const std::string& run = {}) {
        db.exec("delete from tmpsetting");
        if (row)
            db.exec(std::string("insert into tmpsetting values (") + row + ")");
        setRunValue(fakes.registry, "Dormivo", run);
        fakes.messages.shown.clear();
        dialog =
            std::make_unique<frmPrgSet>(fakes.platform, db.store(), [this](const StoreError& e) {
                failures.push_back(e.what());
            });
        dialog->show();
        dialog->load();
        unloaded = std::make_unique<QSignalSpy>(dialog.get(), &SkinnedDialog::unloaded);
    }
    void setPeriod(const QString& text) { control<QLineEdit>(dialog, "txtPeriod")->setText(text); }
    std::string row() {
        return db.scalar("select run || '|' || Status || '|' || period || '|' || Type || '|' || "
                         "Action || '|' || active from tmpsetting");
    }
    std::string runValue() { return test::runValue(fakes.registry, "Dormivo"); }

    FakePlatform fakes;
    TempDatabase db;
    std::vector<std::string> failures;
    std::unique_ptr<frmPrgSet> dialog;
    std::unique_ptr<QSignalSpy> unloaded;
};

TEST_F(StartupOptions, OkRewritesEveryColumnOfTheOneRowAndTheRunValueNoOtherWayOutDoes) {
    const std::string program =
        (fakes.platform.appFolder + "/" + QCoreApplication::applicationName()).toStdString();
    struct Case {
        const char* insert;
        std::function<void(StartupOptions&)> choose;
        std::string row;
        std::string run;
        const char* closer = "cmdOk"; // "" for Esc
        const char* told = "";        // a refusal, that keeps the dialog open
    };
    const char* full = "'1', 'Started', 10, 1, 2, '1'";
    const auto change = [](StartupOptions& t) {
        click(t.dialog, "chkRun");
        click(t.dialog, "Option2");
        t.setPeriod(" 2 ");
        control<QComboBox>(t.dialog, "cmbUnit")->setCurrentIndex(0);
        control<QComboBox>(t.dialog, "cmbAction")->setCurrentIndex(5);
    };
    // OK writes back what the dialog showed: defaults for a missing row, columns or odd values.
    const Case cases[] = {
        {nullptr, {}, "0|Stoped|5|0|0|0", "-"},
        {full, {}, "1|Started|10|1|2|0", program},
        {"'yes', 'started', 7, 9, 6, '1'", {}, "0|Stoped|7|0|0|0", "-"},
        {"1, 'Stopped', NULL, NULL, NULL, '1'", {}, "1|Stoped|5|0|0|0", program},
        {full, change, "0|Stoped|2|0|5|0", "-"},
        // Every other way out stores nothing.
        {full, change, "1|Started|10|1|2|1", "/old/dormivo", "cmdCancel"},
        {full, change, "1|Started|10|1|2|1", "/old/dormivo", "Image2"},
        {full, change, "1|Started|10|1|2|1", "/old/dormivo", ""},
        // clang-format off
        {nullptr, [](StartupOptions& t) { click(t.dialog, "chkRun"); click(t.dialog, "Option1"); gProgramsActive = "1"; },
         "1|Started|5|0|0|1", program}, // the flag as it is at OK, not at load
        // A period from 1 to 32767.
        {full, [](StartupOptions& t) { t.setPeriod("32767"); }, "1|Started|32767|1|2|0", program},
        {full, [](StartupOptions& t) { t.setPeriod("32768"); }, "1|Started|10|1|2|1", "/old/dormivo", "cmdOk", "whole number from 1 to 32767"},
        // clang-format on
    };
    for (const auto& c : cases) {
        gProgramsActive = "0";
        open(c.insert, c.run == program ? "" : "/old/dormivo");
        if (c.choose)
            c.choose(*this);
        leave(dialog, c.closer);
        EXPECT_EQ(db.scalar("select count(*) from tmpsetting"), "1");
        EXPECT_EQ(row(), c.row) << c.closer;
        EXPECT_EQ(runValue(), c.run) << c.closer;
        EXPECT_EQ(unloaded->count(), *c.told ? 0 : 1) << c.closer;
        const QString told = fakes.messages.shown.join('|');
        EXPECT_TRUE(*c.told ? told.contains(c.told) : told.isEmpty()) << told.toStdString();
        EXPECT_EQ(db.scalar("select typeof(period) || typeof(Type) || typeof(Action) from "
                            "tmpsetting"),
                  "integerintegerinteger");
    }
}

TEST_F(StartupOptions, AFailingSettingsFileAtOkIsReported) {
    open(nullptr);
    db.exec("drop table tmpsetting");
    click(dialog, "chkRun");
    click(dialog, "cmdOk");
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_NE(runValue(), "-") << "the registry is written first";
}

} // namespace
