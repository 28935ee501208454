// The help and about windows: their texts, the help window's tabs, and every way to close.
#include "ImageButton.h"
#include "QtPrinting.h"
#include "frmAbout.h"
#include "frmMenu.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace dormivo;

namespace {

template <typename T> T* child(QWidget* window, const char* name) {
    return window->findChild<T*>(QString::fromLatin1(name));
}

QColor textColour(QWidget* label) {
    return label->palette().color(QPalette::WindowText);
}

TEST(HelpWindow, ShowsTheDescriptionAndTheShortcutsByteForByte) {
    frmMenu help;
    help.load();
    EXPECT_EQ(help.size(), QSize(358, 274));
    EXPECT_EQ(child<QLabel>(&help, "Label3")->text(), "Help");
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
    const QColor initial = textColour(tab0);
    EXPECT_FALSE(description->isHidden());
    EXPECT_TRUE(shortcuts->isHidden());
    EXPECT_EQ(textColour(tab1), initial);

    struct Case {
        int index;
        bool descriptionShown;
        QColor tab0, tab1;
    };
    const QColor blue(0, 0, 255), black(0, 0, 0);
    const Case cases[] = {{1, false, black, blue},
                          {1, false, black, blue},
                          {0, true, blue, black},
                          {7, true, blue, black}};
    for (const auto& c : cases) {
        if (c.index <= 1)
            QTest::mouseClick(c.index == 0 ? tab0 : tab1, Qt::LeftButton);
        else
            help.Label1_Click(c.index);
        EXPECT_EQ(description->isHidden(), !c.descriptionShown) << c.index;
        EXPECT_EQ(shortcuts->isHidden(), c.descriptionShown) << c.index;
        EXPECT_EQ(textColour(tab0), c.tab0) << c.index;
        EXPECT_EQ(textColour(tab1), c.tab1) << c.index;
    }
}

TEST(AboutWindow, ShowsTheNameAndVersion) {
    frmAbout about;
    about.load();
    EXPECT_EQ(about.windowTitle(), "About Dormivo");
    EXPECT_EQ(about.size(), QSize(311, 168));
    EXPECT_EQ(child<QLabel>(&about, "Label3")->text(), "About ");
    EXPECT_EQ(child<QLabel>(&about, "Label2")->text(), "Dormivo V 1.0");
}

TEST(InformationWindows, EscAndBothClosePicturesUnloadOnce) {
    struct Case {
        const char* what;
        std::function<std::unique_ptr<SkinnedDialog>()> make;
        std::function<void(SkinnedDialog*)> close;
    };
    const auto click = [](const char* name) {
        return [name](SkinnedDialog* window) {
            QTest::mouseClick(child<ImageButton>(window, name), Qt::LeftButton);
        };
    };
    const auto esc = [](SkinnedDialog* window) { QTest::keyClick(window, Qt::Key_Escape); };
    const auto help = [] { return std::make_unique<frmMenu>(); };
    const auto about = [] { return std::make_unique<frmAbout>(); };
    const Case cases[] = {
        {"help glyph", help, click("Image3")},
        {"help picture", help, click("Image4")},
        {"help Esc", help, esc},
        {"about glyph", about, click("Image2")},
        {"about picture", about, click("Image3")},
        {"about Esc", about, esc},
    };
    for (const auto& c : cases) {
        auto window = c.make();
        window->show();
        QSignalSpy unloaded(window.get(), &SkinnedDialog::unloaded);
        c.close(window.get());
        EXPECT_EQ(unloaded.count(), 1) << c.what;
        EXPECT_FALSE(window->isVisible()) << c.what;
        QTest::keyClick(window.get(), Qt::Key_A);
        EXPECT_EQ(unloaded.count(), 1) << c.what;
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
