#include "dialogs/frmMenu.h"

#include "shell/ImageButton.h"

#include <QLabel>

namespace dormivo {
const QString frmMenu::kDescription = QStringLiteral(
    "Dormivo\r\n"
    "\r\n"
    "It is compatible with windows xp service pack 2 since all most programs that manipulate the "
    "shutdown action windows service pack 2 disallowed them to remote shutdown the windows .\r\n"
    "Our program solved this.\r\n"
    "In addition it have new ideas such as:\r\n"
    "You can use our program to do these actions:\r\n"
    "-Shutdown, logoff, hibernate, restart or standby after period you can choose this period "
    "with hours or minutes.\r\n"
    "- Launch program after the period finished.\r\n"
    "Our program match your requirements.");

const QString frmMenu::kShortcuts = QStringLiteral("Shortcuts\r\n"
                                                   "\r\n"
                                                   "Enter : Start Timer.\r\n"
                                                   "Ctrl+S : Stop Timer.\r\n"
                                                   "Ctrl+X : Exit Program.\r\n"
                                                   "Ctrl+O : Open Option Dialog.\r\n"
                                                   "Ctrl+T : Open Setting Dialog.\r\n"
                                                   "F1      : Help\r\n");

frmMenu::frmMenu(QWidget* parent)
    : SkinnedDialog("frmMenu", QSize(5370, 4110), QStringLiteral("Help"), parent) {
    Image2 = addBackground("Image2");
    Label3 = addTitle("Label3", QStringLiteral("Help"), twips(2280, 120, 1215, 255));
    Image3 = addCloseGlyph("Image3", twips(4800, 120, 240, 240));

    Image1 = addLabel("Image1", QString(), twips(240, 480, 1335, 1890));
    Image1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    const std::array<QRect, 2> tabPlaces{twips(240, 600, 855, 375), twips(240, 960, 1215, 375)};
    const std::array<QString, 2> tabTexts{QStringLiteral("Help"), QStringLiteral("Shortcuts")};
    for (int i = 0; i < 2; ++i) {
        Label1[i] = addPictureButton(QStringLiteral("Label1_%1").arg(i), tabTexts[i], tabPlaces[i]);
        Label1[i]->setText(tabTexts[i]);
        Label1[i]->setIndent(6);
        Label1[i]->setAccessibleDescription(i == 0 ? tr("Shows the description")
                                                   : tr("Shows the keyboard shortcuts"));
        connect(Label1[i], &ImageButton::clicked, this, [this, i] { Label1_Click(i); });
    }

    // Both texts keep their CR LF line ends; the label shows each as one line break.
    Label2 = addLabel("Label2", kDescription, twips(1680, 480, 3375, 3135));
    Label4 = addLabel("Label4", kShortcuts, twips(1680, 480, 4215, 2295));
    QFont compact = font();
    compact.setPointSizeF(7.5);
    for (QLabel* text : {Label2, Label4}) {
        text->setFont(compact);
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        text->setTextFormat(Qt::PlainText);
    }
    Label4->hide();
    Image4 = addClosePicture("Image4", twips(3960, 3600, 975, 315));
    keepFocusOffControls();
}

void frmMenu::load() {
    roundCorners();
}

void frmMenu::Label1_Click(int Index) {
    if (Index != 0 && Index != 1)
        return;
    Label2->setVisible(Index == 0);
    Label4->setVisible(Index == 1);
    setTextColour(Label1[Index], QColor(0, 0, 255));
    setTextColour(Label1[1 - Index], QColor(0, 0, 0));
}

} // namespace dormivo
