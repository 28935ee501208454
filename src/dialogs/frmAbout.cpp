#include "dialogs/frmAbout.h"

#include "shell/ImageButton.h"

#include <QFrame>
#include <QLabel>

namespace dormivo {

frmAbout::frmAbout(QWidget* parent)
    : SkinnedDialog("frmAbout", QSize(4665, 2520), QStringLiteral("About Dormivo"), parent) {
    Image1 = addBackground("Image1");
    Label3 = addTitle("Label3", QStringLiteral("About "), twips(2040, 45, 615, 255));
    Image2 = addCloseGlyph("Image2", twips(4320, 50, 225, 195));
    Label2 = addLabel("Label2", QStringLiteral("Dormivo V 1.0"), twips(960, 480, 2655, 255));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setFont(Label3->font());

    // Two pixels high, on the line at 840 twips.
    Line1 = addFrame("Line1", QFrame::HLine | QFrame::Sunken, twips(720, 825, 3120, 30));

    lblMaker =
        addLabel("lblMaker", tr("Made by the Dormivo developers."), twips(720, 1020, 3120, 255));
    lblContact =
        addLabel("lblContact", tr("Contact: dormivo@example.org"), twips(720, 1320, 3120, 255));
    for (QLabel* line : {lblMaker, lblContact})
        line->setAlignment(Qt::AlignCenter);
    Image3 = addClosePicture("Image3", twips(3240, 1920, 975, 435));
    keepFocusOffControls();
}

void frmAbout::load() {
    roundCorners();
}

} // namespace dormivo
