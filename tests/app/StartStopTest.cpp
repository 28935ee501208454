#include "MainWindowFixture.h"
#include "ProgramsActive.h"

using namespace dormivo;

using StartStop = test::MainWindowFixture;

namespace {
const QString kNotANumber = QStringLiteral("Please Enter valid Number.");
const QString kNotAboveZero = QStringLiteral("Please enter number above zero");
} // namespace

TEST_F(StartStop, StartChecksThePeriod) {
    struct Case {
        const char* text;
        const char* unit;
        bool starts;
        std::int32_t seconds;
        QString message;
        const char* boxAfter;
    };
    const Case cases[] = {
        {"1.5", "Minutes", true, 120, {}, "1.5"},
        {"2.5", "Minutes", true, 120, {}, "2.5"},
        {"3.5", "Minutes", true, 240, {}, "3.5"},
        {"35791394", "Minutes", true, 2147483640, {}, "35791394"},
        {"35791395", "Minutes", false, 0, kNotANumber, "1"},
        {"596523", "Hours", true, 2147482800, {}, "596523"},
        {"596524", "Hours", false, 0, kNotANumber, "1"},
        {"abc", "Minutes", false, 0, kNotANumber, "1"},
        {"", "Minutes", false, 0, kNotANumber, "1"},
        {"0", "Minutes", false, 0, kNotAboveZero, "0"},
        {"-5", "Minutes", false, 0, kNotAboveZero, "-5"},
        {"0.4", "Minutes", false, 0, kNotAboveZero, "0.4"},
        {"2", "Stunden", true, 7200, {}, "2"},
    };
    // Whatever happens below, later tests get back the locale they would have had.
    const struct LocaleGuard {
        QLocale previous;
        ~LocaleGuard() { QLocale::setDefault(previous); }
    } localeGuard;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    load();
    for (const auto& c : cases) {
        fakes.messages.shown.clear();
        control<QLineEdit>("txtTime")->setText(c.text);
        control<QComboBox>("cmbtime")->setEditText(c.unit);
        window->Image2_Click(0);
        EXPECT_EQ(window->countdown().isRunning, c.starts) << c.text;
        EXPECT_EQ(timerRunning(), c.starts) << c.text;
        EXPECT_EQ(text("txtTime"), c.boxAfter) << c.text;
        if (c.starts) {
            EXPECT_EQ(window->countdown().totalSeconds, c.seconds) << c.text;
            EXPECT_EQ(text("Label3"), "Running") << c.text;
            EXPECT_TRUE(fakes.messages.shown.empty()) << c.text;
            EXPECT_EQ(db.scalar("SELECT period FROM setting"), c.text) << c.text;
        } else {
            ASSERT_EQ(fakes.messages.shown.size(), 1u) << c.text;
            const auto& shown = fakes.messages.shown[0];
            EXPECT_EQ(shown.text, c.message) << c.text;
            const bool notANumber = c.message == kNotANumber;
            EXPECT_EQ(shown.style, notANumber ? MessageStyle::Critical : MessageStyle::Information);
            EXPECT_EQ(shown.title, notANumber ? "Project1" : "Dormivo") << c.text;
        }
        EXPECT_EQ(window->buttonPicture(0), 8) << "a refused Start still looks selected";
        window->Image2_Click(1);
        EXPECT_FALSE(window->countdown().isRunning);
    }
}

TEST_F(StartStop, StartTwiceStartsOnceAndStopWhileIdleChangesNothing) {
    load();
    window->Image2_Click(1);
    EXPECT_TRUE(text("Label3").isEmpty());
    EXPECT_EQ(window->buttonPicture(1), 8);
    EXPECT_EQ(window->buttonPicture(0), 7);

    window->Image2_Click(0);
    control<QLineEdit>("txtTime")->setText("abc");
    window->Image2_Click(0);
    EXPECT_TRUE(fakes.messages.shown.empty()) << "the second Start is ignored";
    EXPECT_EQ(window->countdown().totalSeconds, 300);

    window->Image2_Click(1);
    EXPECT_EQ(text("Label3"), "Not Running");
    EXPECT_EQ(window->countdown().totalSeconds, 300) << "Stop keeps the period";
    EXPECT_EQ(window->trayIcon()->ToolTip(), "Dormivo");
}

TEST_F(StartStop, CorrectedPeriodStartsAfterARefusal) {
    load();
    control<QLineEdit>("txtTime")->setText("ten");
    window->Command1_Click();
    EXPECT_FALSE(window->countdown().isRunning);
    EXPECT_EQ(text("txtTime"), "1");
    window->Command1_Click();
    EXPECT_TRUE(window->countdown().isRunning);
    EXPECT_EQ(window->countdown().totalSeconds, 60);
}

TEST_F(StartStop, StartSavesTheChoiceToTheFirstSettingRow) {
    db.exec(
        "INSERT INTO setting VALUES ('1', 0, 0, '1', 'Stoped', '0'), ('2', 0, 0, '0', 'x', '0')");
    load();
    control<QComboBox>("Combo1")->setCurrentIndex(3);
    control<QComboBox>("cmbtime")->setCurrentIndex(1);
    control<QLineEdit>("txtTime")->setText("2.5");
    window->Command1_Click();
    EXPECT_EQ(db.scalar("SELECT period||'|'||Type||'|'||Action||'|'||active FROM setting"),
              "2.5|1|3|1");
    EXPECT_EQ(db.scalar("SELECT period FROM setting WHERE rowid = 2"), "2");
    EXPECT_EQ(text("lblCaption"), "Stand By");
}

TEST_F(StartStop, LauchProgramWarnsAboutAnUnusableListAndRunsOn) {
    struct Case {
        const char* what;
        std::vector<std::string> programs;
        const char* active;
        QString message;
    };
    const Case cases[] = {
        {"empty list", {}, "1", "Please Add The Programs You Want To Start At Option Window"},
        {"inactive list",
         {"/usr/bin/true"},
         "0",
         "You Have To Change The Programs In Option To Active Mode First"},
        {"active list", {"/usr/bin/true"}, "1", {}},
    };
    for (const auto& c : cases) {
        window.reset();
        trayIconShown = false;
        db.store().saveProgramsList(c.programs);
        load();
        gProgramsActive = c.active;
        fakes.messages.shown.clear();
        control<QComboBox>("Combo1")->setCurrentIndex(5);
        window->Command1_Click();
        EXPECT_TRUE(window->countdown().isRunning) << c.what;
        if (c.message.isEmpty()) {
            EXPECT_TRUE(fakes.messages.shown.empty()) << c.what;
        } else {
            ASSERT_EQ(fakes.messages.shown.size(), 1u) << c.what;
            EXPECT_EQ(fakes.messages.shown[0].text, c.message) << c.what;
            EXPECT_EQ(fakes.messages.shown[0].style, MessageStyle::Critical);
            EXPECT_EQ(fakes.messages.shown[0].title, "Dormivo");
        }
        QWidget* programs = windows.find("dormivo::frmSetting");
        EXPECT_EQ(programs != nullptr, !c.message.isEmpty()) << c.what;
        if (programs) {
            EXPECT_FALSE(programs->isModal()) << c.what;
        }
    }
}
