// The help and about windows: the help window's tabs, and every way to close; where the
// keyboard starts in every dialog.
#include "dialogs/frmAbout.h"
#include "dialogs/frmMenu.h"
#include "dialogs/frmPrgSet.h"
#include "dialogs/frmSetting.h"
#include "shell/ImageButton.h"
#include "support/FakePlatform.h"
#include "support/QtPrinting.h"
#include "support/TempDatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace dormivo;

namespace {

template <typename T> T* child(QWidget* window, const char* name) {
    return window->findChild<T*>(QString::fromLatin1(name));
}

// The texts are the program's own words, line ends included; a reworded or re-wrapped line
// would be a fault.
TEST(HelpWindow, ShowsTheDescriptionAndTheShortcutsByteForByte) {
    frmMenu help;
    const QString description = child<QLabel>(&help, "Label2")->text();
    EXPECT_TRUE(description.startsWith("Dormivo\r\n\r\nIt is compatible with windows xp service "
                                       "pack 2 since all most programs"));
    EXPECT_TRUE(description.endsWith("- Launch program after the period finished.\r\n"
                                     "Our program match your requirements."));
    EXPECT_EQ(description.count("\r\n"), 8);
    EXPECT_EQ(child<QLabel>(&help, "Label4")->text(),
              "Shortcuts\r\n\r\nEnter : Start Timer.\r\nCtrl+S : Stop Timer.\r\n"
              "Ctrl+X : Exit Program.\r\nCtrl+O : Open Option Dialog.\r\n"
              "Ctrl+T : Open Setting Dialog.\r\nF1      : Help\r\n");
}

TEST(HelpWindow, TabsShowOneTextAtATimeAndColourTheChosenTab) {
    frmMenu help;
    help.load();
    auto* description = child<QLabel>(&help, "Label2");
    auto* shortcuts = child<QLabel>(&help, "Label4");
    auto* tab0 = child<ImageButton>(&help, "Label1_0");
    auto* tab1 = child<ImageButton>(&help, "Label1_1");
    // What is shown, and the colours of both tabs, after each click (7: no such tab).
    const std::pair<int, QString> cases[] = {
        {-1, "description #000000 #000000"}, {1, "shortcuts #000000 #0000ff"},
        {1, "shortcuts #000000 #0000ff"},    {0, "description #0000ff #000000"},
        {7, "description #0000ff #000000"},
    };
    for (const auto& [index, shown] : cases) {
        if (index == 0 || index == 1)
            QTest::mouseClick(index == 0 ? tab0 : tab1, Qt::LeftButton);
        else if (index > 1)
            help.Label1_Click(index);
        const auto colour = [](QWidget* tab) {
            return tab->palette().color(QPalette::WindowText).name();
        };
        EXPECT_EQ(QString(description->isHidden() ? "" : "description") +
                      (shortcuts->isHidden() ? "" : "shortcuts") + " " + colour(tab0) + " " +
                      colour(tab1),
                  shown)
            << index;
    }
}

TEST(InformationWindows, EscAndBothClosePicturesUnloadOnce) {
    const auto click = [](const char* name) {
        return [name](SkinnedDialog* window) {
            QTest::mouseClick(child<ImageButton>(window, name), Qt::LeftButton);
        };
    };
    const auto esc = [](SkinnedDialog* window) { QTest::keyClick(window, Qt::Key_Escape); };
    const auto help = [] { return std::make_unique<frmMenu>(); };
    const auto about = [] { return std::make_unique<frmAbout>(); };
    const std::tuple<const char*, std::function<std::unique_ptr<SkinnedDialog>()>,
                     std::function<void(SkinnedDialog*)>>
        cases[] = {
            {"help glyph", help, click("Image3")},
            {"help picture", help, click("Image4")},
            {"help Esc", help, esc},
            {"about glyph", about, click("Image2")},
            {"about picture", about, click("Image3")},
            {"about Esc", about, esc},
        };
    for (const auto& [what, make, close] : cases) {
        auto window = make();
        window->show();
        QSignalSpy unloaded(window.get(), &SkinnedDialog::unloaded);
        close(window.get());
        QTest::keyClick(window.get(), Qt::Key_A);
        EXPECT_EQ(unloaded.count(), 1) << what;
        EXPECT_FALSE(window->isVisible()) << what;
    }
}

// Space right after opening must not close a dialog unsaved: the keyboard starts on the first
// control that edits something, or, where there is none, on no control at all.
TEST(Dialogs, OpenWithTheFocusOnTheirFirstRealControlAndEscStillCloses) {
    test::FakePlatform fakes;
    test::TempDatabase db;
    using Make = std::function<std::unique_ptr<SkinnedDialog>()>;
    const auto loaded = [](auto dialog) -> std::unique_ptr<SkinnedDialog> {
        dialog->load();
        return dialog;
    };
    const std::pair<Make, QString> cases[] = {
        {[&] {
             return loaded(std::make_unique<frmSetting>(fakes.platform, db.store(), "", nullptr));
         },
         "List1"},
        {[&] { return loaded(std::make_unique<frmPrgSet>(fakes.platform, db.store(), nullptr)); },
         "chkRun"},
        {[&] { return loaded(std::make_unique<frmMenu>()); }, "no control"},
        {[&] { return loaded(std::make_unique<frmAbout>()); }, "no control"},
    };
    for (const auto& [make, first] : cases) {
        const auto dialog = make();
        const std::string what = dialog->objectName().toStdString();
        QSignalSpy unloaded(dialog.get(), &SkinnedDialog::unloaded);
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get())) << what;
        QWidget* focus = QApplication::focusWidget();
        EXPECT_EQ(focus && focus != dialog.get() ? focus->objectName() : "no control", first)
            << what;
        // Keys go where a keyboard sends them: to the focus, else to the window.
        QWidget* keys = focus ? focus : dialog.get();
        QTest::keyClick(keys, Qt::Key_Space);
        EXPECT_EQ(unloaded.count(), 0) << what;
        QTest::keyClick(keys, Qt::Key_Escape);
        EXPECT_EQ(unloaded.count(), 1) << what;
    }
}

// Only the title and the close glyph stand in the title band, whose end the drawn picture
// tells; the frame is drawn on every edge; and no check box or option button is smaller than
// the mark the style draws in it.
TEST(Dialogs, TheTitleBandHoldsOnlyTheTitleTheFrameIsWholeAndNoMarkIsCutOff) {
    test::FakePlatform fakes;
    test::TempDatabase db;
    frmSetting options(fakes.platform, db.store(), "Shut Down", nullptr);
    frmPrgSet setting(fakes.platform, db.store(), nullptr);
    frmMenu help;
    frmAbout about;
    const std::pair<QWidget*, QStringList> cases[] = {
        {&options, {"Image1", "Label2", "Image2"}},
        {&setting, {"Image1", "Label2", "Image2"}},
        {&help, {"Image2", "Label3", "Image3"}},
        {&about, {"Image1", "Label3", "Image2"}},
    };
    for (const auto& [dialog, inBand] : cases) {
        const std::string what = dialog->objectName().toStdString();
        // Down the left margin, the band is bluer than the panel below it.
        const QImage face = dialog->grab().toImage();
        int bandEnd = 10;
        while (bandEnd < face.height() &&
               face.pixelColor(8, bandEnd).blue() - face.pixelColor(8, bandEnd).red() > 20)
            ++bandEnd;
        // The frame runs round the whole window: darker than the panel at the right and bottom.
        EXPECT_LT(face.pixelColor(face.width() - 1, face.height() / 2).lightness(), 200) << what;
        EXPECT_LT(face.pixelColor(face.width() / 2, face.height() - 1).lightness(), 200) << what;
        for (QWidget* control : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (control->isHidden() || inBand.contains(control->objectName()))
                continue;
            EXPECT_GE(control->y(), bandEnd) << what << " " << control->objectName().toStdString();
        }
        for (QAbstractButton* box : dialog->findChildren<QAbstractButton*>()) {
            const bool option = qobject_cast<QRadioButton*>(box);
            if (!option && !qobject_cast<QCheckBox*>(box))
                continue;
            const QStyle* style = box->style();
            const QSize mark(style->pixelMetric(option ? QStyle::PM_ExclusiveIndicatorWidth
                                                       : QStyle::PM_IndicatorWidth),
                             style->pixelMetric(option ? QStyle::PM_ExclusiveIndicatorHeight
                                                       : QStyle::PM_IndicatorHeight));
            EXPECT_TRUE(box->width() >= mark.width() && box->height() >= mark.height())
                << what << " " << box->objectName().toStdString();
        }
    }
}

// Some window systems (Wayland) take the rounded outline for input only and show whatever the
// window draws: the corners outside the outline must be left clear, the face inside drawn.
TEST(Dialogs, DrawNothingOutsideTheirRoundedOutline) {
    frmMenu help;
    frmAbout about;
    help.load();
    about.load();
    for (QWidget* dialog : {static_cast<QWidget*>(&help), static_cast<QWidget*>(&about)}) {
        QImage drawn(dialog->size(), QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::transparent);
        dialog->render(&drawn, {}, {},
                       QWidget::DrawWindowBackground | QWidget::DrawChildren | QWidget::IgnoreMask);
        const int right = drawn.width() - 1;
        const int bottom = drawn.height() - 1;
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom)})
            EXPECT_EQ(drawn.pixelColor(corner).alpha(), 0)
                << dialog->objectName().toStdString() << " " << corner.x() << "," << corner.y();
        EXPECT_EQ(drawn.pixelColor(right / 2, bottom / 2).alpha(), 255);
        EXPECT_EQ(drawn.pixelColor(8, 0).alpha(), 255); // the outline itself is drawn
    }
}

TEST(InformationWindows, EveryPictureButtonHasAName) {
    frmMenu help;
    frmAbout about;
    for (QWidget* window : {static_cast<QWidget*>(&help), static_cast<QWidget*>(&about)})
        for (auto* button : window->findChildren<ImageButton*>())
            EXPECT_FALSE(button->accessibleName().isEmpty()) << button->objectName().toStdString();
}

} // namespace
