// What the four dialogs share: how the keyboard starts in them, every way out but OK, their
// look; and the help window's texts.
#include "common/Flags.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmMenu.h"
#include "dialogs/frmPrgSet.h"
#include "dialogs/frmSetting.h"
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

template <typename D, typename... Args> std::unique_ptr<SkinnedDialog> loaded(Args&&... args) {
    auto dialog = std::make_unique<D>(std::forward<Args>(args)...);
    dialog->load();
    return dialog;
}

// Every way out but OK unloads a dialog once and leaves what is stored as it was: no row, no
// switch and no Run value written. Space right after opening must not be such a way out: the
// keyboard starts on the first control that edits something, or, where there is none, on no
// control at all.
TEST(Dialogs, EveryWayOutButOkUnloadsOnceAndStoresNothing) {
    FakePlatform fakes;
    TempDatabase db;
    db.store().savePrograms({"/a", "/b"}, false);
    db.exec("INSERT INTO tmpsetting VALUES ('1', 'Started', 10, 1, 2, '1')");
    const auto stored = [&] {
        return db.scalar("SELECT quote((SELECT group_concat(programName) FROM programs)) || "
                         "quote((SELECT group_concat(active) FROM setting)) || "
                         "quote((SELECT run || Status || period || Type || Action || active "
                         "FROM tmpsetting))") +
               gProgramsActive;
    };
    const StoreFailure noFailure = [](const StoreError& e) { ADD_FAILURE() << e.what(); };
    const struct {
        std::function<std::unique_ptr<SkinnedDialog>()> make;
        QString firstControl;
        std::vector<const char*> closers; // "" for Esc
        std::function<void(SkinnedDialog*)> edit;
    } dialogs[] = {
        {[] { return loaded<frmMenu>(); },
         "",
         {"Image3", "Image4", ""},
         [](SkinnedDialog* d) { click(d, "Label1_1"); }},
        {[] { return loaded<frmAbout>(); }, "", {"Image2", "Image3", ""}, [](SkinnedDialog*) {}},
        {[&] { return loaded<frmSetting>(fakes.platform, db.store(), "Lauch Program", noFailure); },
         "List1",
         {"cmdCancel", "Image2", ""},
         [&](SkinnedDialog* d) {
             fakes.filePicker.nextPick = "/bin/c";
             click(d, "cmdBrowse");
             control<QRadioButton>(d, "optEnable")->setChecked(true);
         }},
        {[&] { return loaded<frmPrgSet>(fakes.platform, db.store(), noFailure); },
         "chkRun",
         {"cmdCancel", "Image2", ""},
         [](SkinnedDialog* d) {
             click(d, "chkRun");
             click(d, "Option2");
             control<QLineEdit>(d, "txtPeriod")->setText("99");
         }},
    };
    // Keys go where a keyboard sends them: to the focus, else to the window.
    const auto press = [](QWidget* dialog, Qt::Key key) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : dialog, key);
    };
    const std::string before = stored();
    for (const auto& kind : dialogs)
        for (const char* closer : kind.closers) {
            const auto dialog = kind.make();
            SCOPED_TRACE(dialog->objectName().toStdString() + " " + (*closer ? closer : "Esc"));
            QSignalSpy unloaded(dialog.get(), &SkinnedDialog::unloaded);
            dialog->show();
            dialog->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
            QWidget* focus = QApplication::focusWidget();
            EXPECT_EQ(focus && focus != dialog.get() ? focus->objectName() : "", kind.firstControl);
            press(dialog.get(), Qt::Key_Space);
            EXPECT_EQ(unloaded.count(), 0);

            kind.edit(dialog.get());
            if (*closer)
                click(dialog, closer);
            else
                press(dialog.get(), Qt::Key_Escape);
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
            EXPECT_EQ(unloaded.count(), 1);
            EXPECT_FALSE(dialog->isVisible());
            EXPECT_EQ(stored(), before);
            EXPECT_TRUE(fakes.log.isEmpty()) << fakes.log.join(", ").toStdString();
        }
}

// Only the title and the close glyph stand in the title band, whose end the drawn picture
// tells; the frame is drawn on every edge; no check box or option button is smaller than the
// mark the style draws in it; every picture button has a name for screen readers; and nothing
// is drawn outside the rounded outline, which some window systems (Wayland) take for input
// only.
TEST(Dialogs, LookWhole) {
    FakePlatform fakes;
    TempDatabase db;
    const struct {
        std::unique_ptr<SkinnedDialog> dialog;
        QStringList inBand; // the controls that stand in the title band
    } cases[] = {
        {loaded<frmSetting>(fakes.platform, db.store(), "Shut Down", nullptr),
         {"Image1", "Label2", "Image2"}},
        {loaded<frmPrgSet>(fakes.platform, db.store(), nullptr), {"Image1", "Label2", "Image2"}},
        {loaded<frmMenu>(), {"Image2", "Label3", "Image3"}},
        {loaded<frmAbout>(), {"Image1", "Label3", "Image2"}},
    };
    for (const auto& [dialog, inBand] : cases) {
        SCOPED_TRACE(dialog->objectName().toStdString());
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
        // The frame runs round the whole window: darker than the panel at the right and bottom.
        EXPECT_LT(drawn.pixelColor(right, bottom / 2).lightness(), 200);
        EXPECT_LT(drawn.pixelColor(right / 2, bottom).lightness(), 200);

        // Down the left margin, the band is bluer than the panel below it.
        int bandEnd = 10;
        while (bandEnd < bottom &&
               drawn.pixelColor(8, bandEnd).blue() - drawn.pixelColor(8, bandEnd).red() > 20)
            ++bandEnd;
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
    }
}

} // namespace
