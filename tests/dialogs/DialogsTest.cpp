// What the four dialogs share: how the keyboard starts in them, every way out but OK, their
// look; and the help window's texts and tabs.
#include "common/Flags.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmMenu.h"
#include "dialogs/frmPrgSet.h"
#include "dialogs/frmSetting.h"
#include "registry/Registry.h"
#include "shell/ImageButton.h"
#include "store/StoreError.h"
#include "support/FakePlatform.h"
#include "support/TempDatabase.h"
#include "support/Widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace dormivo;
using namespace dormivo::test;

namespace {

// The texts are the program's own words, line ends included; a reworded or re-wrapped line
// would be a fault.
TEST(HelpWindow, ShowsTheDescriptionAndTheShortcutsByteForByte) {
    frmMenu help;
    const QString description = control<QLabel>(&help, "Label2")->text();
    EXPECT_TRUE(description.startsWith("Dormivo\r\n\r\nIt is compatible with windows xp service "
                                       "pack 2 since all most programs"));
    EXPECT_TRUE(description.endsWith("- Launch program after the period finished.\r\n"
                                     "Our program match your requirements."));
    EXPECT_EQ(description.count("\r\n"), 8);
    EXPECT_EQ(control<QLabel>(&help, "Label4")->text(),
              "Shortcuts\r\n\r\nEnter : Start Timer.\r\nCtrl+S : Stop Timer.\r\n"
              "Ctrl+X : Exit Program.\r\nCtrl+O : Open Option Dialog.\r\n"
              "Ctrl+T : Open Setting Dialog.\r\nF1      : Help\r\n");
}

TEST(HelpWindow, TabsShowOneTextAtATimeAndColourTheChosenTab) {
    frmMenu help;
    help.load();
    // What is shown, and the colours of both tabs, after each tab chosen (-1: none yet, 7: no
    // such tab).
    const std::pair<int, QString> cases[] = {
        {-1, "description #000000 #000000"},
        {1, "shortcuts #000000 #0000ff"},
        {0, "description #0000ff #000000"},
        {7, "description #0000ff #000000"},
    };
    for (const auto& [index, shown] : cases) {
        if (index == 0 || index == 1)
            click(&help, index == 0 ? "Label1_0" : "Label1_1");
        else if (index > 1)
            help.Label1_Click(index);
        const auto colour = [&](const char* tab) {
            return control(&help, tab)->palette().color(QPalette::WindowText).name();
        };
        EXPECT_EQ(QString(control(&help, "Label2")->isHidden() ? "" : "description") +
                      (control(&help, "Label4")->isHidden() ? "" : "shortcuts") + " " +
                      colour("Label1_0") + " " + colour("Label1_1"),
                  shown)
            << index;
    }
}

// A dialog as its opener makes and loads it, where the keyboard starts in it (its first control
// that edits something, "" for none), and edits a user may make before leaving.
struct DialogKind {
    std::function<std::unique_ptr<SkinnedDialog>(Platform&, SettingsStore&)> make;
    const char* firstControl;
    std::function<void(SkinnedDialog*, FakePlatform&)> edit;
};

template <typename D, typename... Args> std::unique_ptr<SkinnedDialog> loaded(Args&&... args) {
    auto dialog = std::make_unique<D>(std::forward<Args>(args)...);
    dialog->load();
    return dialog;
}

const StoreFailure kNoFailure = [](const StoreError& e) { ADD_FAILURE() << e.what(); };
const DialogKind kHelp{[](Platform&, SettingsStore&) { return loaded<frmMenu>(); }, "",
                       [](SkinnedDialog* d, FakePlatform&) { click(d, "Label1_1"); }};
const DialogKind kAbout{[](Platform&, SettingsStore&) { return loaded<frmAbout>(); }, "", nullptr};
const DialogKind kPrograms{[](Platform& platform, SettingsStore& store) {
                               return loaded<frmSetting>(platform, store, "Lauch Program",
                                                         kNoFailure);
                           },
                           "List1",
                           [](SkinnedDialog* d, FakePlatform& fakes) {
                               fakes.filePicker.nextPick = "/bin/c";
                               click(d, "cmdBrowse");
                               control<QRadioButton>(d, "optEnable")->setChecked(true);
                           }};
const DialogKind kStartupOptions{[](Platform& platform, SettingsStore& store) {
                                     return loaded<frmPrgSet>(platform, store, kNoFailure);
                                 },
                                 "chkRun",
                                 [](SkinnedDialog* d, FakePlatform&) {
                                     click(d, "chkRun");
                                     click(d, "Option2");
                                     control<QLineEdit>(d, "txtPeriod")->setText("99");
                                 }};

struct WayOut {
    const char* name;
    const DialogKind* dialog;
    const char* closer; // the button that closes it; "" for Esc
};

const WayOut kWaysOut[] = {
    {"HelpGlyph", &kHelp, "Image3"},
    {"HelpPicture", &kHelp, "Image4"},
    {"HelpEsc", &kHelp, ""},
    {"AboutGlyph", &kAbout, "Image2"},
    {"AboutPicture", &kAbout, "Image3"},
    {"AboutEsc", &kAbout, ""},
    {"ProgramsCancel", &kPrograms, "cmdCancel"},
    {"ProgramsGlyph", &kPrograms, "Image2"},
    {"ProgramsEsc", &kPrograms, ""},
    {"StartupOptionsCancel", &kStartupOptions, "cmdCancel"},
    {"StartupOptionsGlyph", &kStartupOptions, "Image2"},
    {"StartupOptionsEsc", &kStartupOptions, ""},
};

// Keys go where a keyboard sends them: to the focus, else to the window.
void press(QWidget* dialog, Qt::Key key) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : dialog, key);
}

// On a settings file with a programs list, switched off, a next-start row and Run values.
class LeavingADialog : public ::testing::TestWithParam<WayOut> {
protected:
    LeavingADialog() {
        db.store().savePrograms({"/a", "/b"}, false);
        db.exec("INSERT INTO tmpsetting VALUES ('1', 'Started', 10, 1, 2, '1')");
        registry::Registry run(fakes.registry);
        for (const char* name : {"Velkaro0", "Velkaro1", "Dormivo"})
            run.SetKeyValue(registry::HKEY_LOCAL_MACHINE, registry::kRunKey, name,
                            std::string("/x"));
        fakes.log.clear();
    }
    // Everything a dialog stores in the settings file and in memory.
    std::string stored() {
        return db.scalar("SELECT quote((SELECT group_concat(programName) FROM programs)) || "
                         "quote((SELECT group_concat(active) FROM setting)) || "
                         "quote((SELECT run || Status || period || Type || Action || active "
                         "FROM tmpsetting))") +
               gProgramsActive;
    }

    FakePlatform fakes;
    TempDatabase db;
};

// Space right after opening must not close a dialog unsaved: the keyboard starts on the first
// control that edits something, or, where there is none, on no control at all.
TEST_P(LeavingADialog, UnloadsOnceAndStoresNothing) {
    const WayOut& way = GetParam();
    const auto dialog = way.dialog->make(fakes.platform, db.store());
    QSignalSpy unloaded(dialog.get(), &SkinnedDialog::unloaded);
    dialog->show();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    QWidget* focus = QApplication::focusWidget();
    EXPECT_EQ(focus && focus != dialog.get() ? focus->objectName() : "", way.dialog->firstControl);
    press(dialog.get(), Qt::Key_Space);
    EXPECT_EQ(unloaded.count(), 0);

    const std::string before = stored();
    if (way.dialog->edit)
        way.dialog->edit(dialog.get(), fakes);
    if (*way.closer)
        click(dialog, way.closer);
    else
        press(dialog.get(), Qt::Key_Escape);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(stored(), before);
    EXPECT_TRUE(fakes.log.isEmpty()) << fakes.log.join(", ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(, LeavingADialog, ::testing::ValuesIn(kWaysOut),
                         [](const auto& info) { return std::string(info.param.name); });

// Only the title and the close glyph stand in the title band, whose end the drawn picture
// tells; the frame is drawn on every edge; no check box or option button is smaller than the
// mark the style draws in it; every picture button has a name for screen readers; and nothing
// is drawn outside the rounded outline, which some window systems (Wayland) take for input
// only.
TEST(Dialogs, LookWhole) {
    FakePlatform fakes;
    TempDatabase db;
    frmSetting programs(fakes.platform, db.store(), "Shut Down", nullptr);
    frmPrgSet options(fakes.platform, db.store(), nullptr);
    frmMenu help;
    frmAbout about;
    programs.load();
    options.load();
    help.load();
    about.load();
    const std::pair<QWidget*, QStringList> cases[] = {
        {&programs, {"Image1", "Label2", "Image2"}},
        {&options, {"Image1", "Label2", "Image2"}},
        {&help, {"Image2", "Label3", "Image3"}},
        {&about, {"Image1", "Label3", "Image2"}},
    };
    for (const auto& [dialog, inBand] : cases) {
        SCOPED_TRACE(dialog->objectName().toStdString());
        // Down the left margin, the band is bluer than the panel below it.
        const QImage face = dialog->grab().toImage();
        int bandEnd = 10;
        while (bandEnd < face.height() &&
               face.pixelColor(8, bandEnd).blue() - face.pixelColor(8, bandEnd).red() > 20)
            ++bandEnd;
        // The frame runs round the whole window: darker than the panel at the right and bottom.
        EXPECT_LT(face.pixelColor(face.width() - 1, face.height() / 2).lightness(), 200);
        EXPECT_LT(face.pixelColor(face.width() / 2, face.height() - 1).lightness(), 200);
        for (QWidget* control : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!control->isHidden() && !inBand.contains(control->objectName())) {
                EXPECT_GE(control->y(), bandEnd) << control->objectName().toStdString();
            }
        }
        for (QAbstractButton* box : dialog->findChildren<QAbstractButton*>()) {
            const bool option = qobject_cast<QRadioButton*>(box);
            if (!option && !qobject_cast<QCheckBox*>(box))
                continue;
            const QStyle* style = box->style();
            EXPECT_GE(box->width(), style->pixelMetric(option ? QStyle::PM_ExclusiveIndicatorWidth
                                                              : QStyle::PM_IndicatorWidth));
            EXPECT_GE(box->height(), style->pixelMetric(option ? QStyle::PM_ExclusiveIndicatorHeight
                                                               : QStyle::PM_IndicatorHeight));
        }
        for (auto* button : dialog->findChildren<ImageButton*>())
            EXPECT_FALSE(button->accessibleName().isEmpty()) << button->objectName().toStdString();

        QImage drawn(dialog->size(), QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::transparent);
        dialog->render(&drawn, {}, {},
                       QWidget::DrawWindowBackground | QWidget::DrawChildren | QWidget::IgnoreMask);
        const int right = drawn.width() - 1;
        const int bottom = drawn.height() - 1;
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom)}) {
            EXPECT_EQ(drawn.pixelColor(corner).alpha(), 0) << corner.x() << "," << corner.y();
        }
        EXPECT_EQ(drawn.pixelColor(right / 2, bottom / 2).alpha(), 255);
        EXPECT_EQ(drawn.pixelColor(8, 0).alpha(), 255) << "the outline itself is drawn";
    }
}

} // namespace
