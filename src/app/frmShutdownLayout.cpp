// The main window's controls, where they stand and how they look as they are pressed and
// chosen; what they do is in frmShutdown.cpp.
#include "app/frmShutdown.h"

#include "shell/ImageButton.h"
#include "shell/KeyPreview.h"
#include "shell/Placement.h"
#include "shell/SkinPictures.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace dormivo {
namespace {

const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kBlack(0, 0, 0);

// The pictures of the small buttons Minimize, Hide and Close: lit while pressed, else normal.
struct SmallButtonFaces {
    int lit;
    int normal;
};
constexpr std::array<SmallButtonFaces, 3> kSmallButtonFaces{{
    {SkinPictures::kMinimizeBarLit, SkinPictures::kMinimizeBar},
    {SkinPictures::kDownArrowLit, SkinPictures::kDownArrow},
    {SkinPictures::kCrossLit, SkinPictures::kCross},
}};

// A narrow editable box shows the beginning of a chosen item, not its end, in a slightly
// smaller font so that more of it shows.
void showTextFromItsStart(QComboBox* box) {
    QFont compact = box->font();
    compact.setPointSizeF(7.5);
    box->setFont(compact);
    QObject::connect(box, &QComboBox::currentIndexChanged, box,
                     [box] { box->lineEdit()->setCursorPosition(0); });
}

// Widens a box, to the right, as far as its longest item needs, in any font and at any scale.
void fitLongestItem(QComboBox* box) {
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    widenToFit(box);
}

} // namespace

void frmShutdown::createControls() {
    lblCaption = addLabel("lblCaption", QString(), twips(1080, 45, 2175, 255));
    lblCaption->setAlignment(Qt::AlignCenter);
    QFont bold = font();
    bold.setBold(true);
    lblCaption->setFont(bold);

    const std::array<const char*, 3> menuTitles{"File", "Option", "Help"};
    const std::array<QRect, 3> menuPlaces{twips(240, 360, 255, 255), twips(720, 360, 495, 255),
                                          twips(1440, 360, 495, 255)};
    for (int i = 0; i < 3; ++i) {
        const QString title = QString::fromLatin1(menuTitles[i]);
        Label6[i] = addPictureButton(QStringLiteral("Label6_%1").arg(i), title, menuPlaces[i]);
        Label6[i]->setText(title);
        Label6[i]->setRole(ImageButton::Role::MenuButton);
        Label6[i]->setAccessibleDescription(tr("Opens the %1 menu").arg(title));
        Label6[i]->adjustSize();
        connect(Label6[i], &ImageButton::pressed, this,
                [this, i] { setTextColour(Label6[i], kWhite); });
        connect(Label6[i], &ImageButton::released, this,
                [this, i] { setTextColour(Label6[i], kBlack); });
    }
    for (int i = 0; i < 3; ++i)
        connect(Label6[i], &ImageButton::clicked, this, [this, i] { menus_.Label6_Click(i); });

    const std::array<const char*, 3> smallNames{"Minimize", "Hide to notification area", "Close"};
    for (int i = 0; i < 3; ++i) {
        Image1[i] =
            addPictureButton(QStringLiteral("Image1_%1").arg(i), QString::fromLatin1(smallNames[i]),
                             twips(3480 + 360 * i, 120, 240, 240));
        connect(Image1[i], &ImageButton::pressed, this,
                [this, i] { setImage1Picture(i, kSmallButtonFaces[i].lit); });
        connect(Image1[i], &ImageButton::released, this,
                [this, i] { setImage1Picture(i, kSmallButtonFaces[i].normal); });
    }
    connect(Image1[0], &ImageButton::clicked, this, &QWidget::showMinimized);
    connect(Image1[1], &ImageButton::clicked, this, &frmShutdown::hideToNotificationArea);
    connect(Image1[2], &ImageButton::clicked, this, &QWidget::close);

    Label3 = addLabel("Label3", QString(), twips(2280, 600, 1935, 375));
    Label1 = addLabel("Label1", QStringLiteral("Action"), twips(360, 840, 1215, 495));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Combo1 = place<QComboBox>(this, QStringLiteral("Combo1"), twips(360, 1080, 1215, 315));
    Combo1->setEditable(true);
    // Readers on Linux name a combo box by its text and say its label through the buddy.
    Combo1->setAccessibleName(Label1->text());
    Label1->setBuddy(Combo1);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    showTextFromItsStart(Combo1);
    connect(Combo1, &QComboBox::currentIndexChanged, this, &frmShutdown::Combo1_Click);

    Label2 = addLabel("Label2", QStringLiteral("After"), twips(600, 1680, 855, 255));
    txtTime = place<QLineEdit>(this, QStringLiteral("txtTime"), twips(1200, 1680, 855, 285));
    txtTime->setAccessibleName(Label2->text());
    Label2->setBuddy(txtTime);
    cmbtime = place<QComboBox>(this, QStringLiteral("cmbtime"), twips(2400, 1680, 855, 315));
    cmbtime->setEditable(true);
    cmbtime->setInsertPolicy(QComboBox::NoInsert);
    showTextFromItsStart(cmbtime);
    cmbtime->addItems({QStringLiteral("Minutes"), QStringLiteral("Hours")});
    fitLongestItem(cmbtime);

    Label4 = addLabel("Label4", QString(), twips(240, 2160, 4095, 495));
    Label4->setFont(QFont(QStringLiteral("Arial"), 9));
    Label4->setWordWrap(true);

    const std::array<const char*, 3> captions{"Start", "Stop", "Exit"};
    const std::array<int, 3> imageLefts{240, 1680, 3240};
    const std::array<int, 3> captionLefts{600, 2040, 3600};
    const std::array<int, 3> captionWidths{735, 735, 495};
    for (int i = 0; i < 3; ++i) {
        const QString caption = QString::fromLatin1(captions[i]);
        Image2[i] = addPictureButton(QStringLiteral("Image2_%1").arg(i), caption,
                                     twips(imageLefts[i], 2760, 1095, 375));
        Image2[i]->setScaledContents(true);
        // The caption lies inside its picture, so that the two make one button to a reader.
        Label5[i] = place<ImageButton>(
            Image2[i], QStringLiteral("Label5_%1").arg(i),
            twips(captionLefts[i] - imageLefts[i], 2865 - 2760, captionWidths[i], 255));
        Label5[i]->setRole(ImageButton::Role::Caption);
        Label5[i]->setText(caption);
        Label5[i]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        Label5[i]->setFont(bold);
        setTextColour(Label5[i], kWhite);
        for (ImageButton* surface : {Image2[i], Label5[i]}) {
            connect(surface, &ImageButton::pressed, this,
                    [this, i] { setImage2Picture(i, SkinPictures::kFlatButton); });
            connect(surface, &ImageButton::released, this,
                    [this, i] { setImage2Picture(i, SkinPictures::kRaisedButton); });
            connect(surface, &ImageButton::clicked, this, [this, i] { Image2_Click(i); });
        }
    }

    // The command buttons behind the pictures: hidden, but there for Start, Stop and Exit.
    Command1 = addButton("Command1", QStringLiteral("&Start"), twips(3000, 960, 1215, 375));
    Command3 = addButton("Command3", QStringLiteral("S&top"), twips(3000, 960, 1215, 375));
    Command2 = addButton("Command2", QStringLiteral("E&xit"), twips(3000, 960, 1215, 375));
    for (QPushButton* hidden : {Command1, Command3, Command2})
        hidden->hide();
    connect(Command1, &QPushButton::clicked, this, &frmShutdown::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &frmShutdown::Command3_Click);
    connect(Command2, &QPushButton::clicked, this, &frmShutdown::Command2_Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    // Each tick stands for one second: a precise timer keeps N ticks N seconds apart.
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &frmShutdown::Timer1_Timer);

    // Tab starts where it always did, in the action box, and reaches the buttons after the
    // boxes.
    const std::array<QWidget*, 12> tabOrder{Combo1,    txtTime,   cmbtime,   Image2[0],
                                            Image2[1], Image2[2], Label6[0], Label6[1],
                                            Label6[2], Image1[0], Image1[1], Image1[2]};
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    showDesignTimeState();
    dragSurfaces({Label3, Label4, lblCaption});
    auto* keys = new KeyPreview(this);
    connect(keys, &KeyPreview::keyPress, &menus_, &MainWindowMenus::Form_KeyPress);
    connect(keys, &KeyPreview::keyRelease, &menus_, &MainWindowMenus::Form_KeyUp);
}

void frmShutdown::showActions(const std::vector<ActionEntry>& actions) {
    for (const auto& action : actions)
        Combo1->addItem(QString::fromStdString(action.name));
    fitLongestItem(Combo1);
    Combo1->setCurrentIndex(0);
}

void frmShutdown::ResetButtonImages() {
    for (int i = 0; i < 3; ++i) {
        setImage1Picture(i, kSmallButtonFaces[i].normal);
        setImage2Picture(i, SkinPictures::kRaisedButton);
    }
}

void frmShutdown::showSelected(int Index) {
    const int other = Index == kStartButton ? kStopButton : kStartButton;
    setImage2Picture(Index, SkinPictures::kFlatButton);
    setTextColour(Label5[Index], kBlack);
    setImage2Picture(other, SkinPictures::kRaisedButton);
    setTextColour(Label5[other], kWhite);
}

void frmShutdown::setImage1Picture(int index, int position) {
    Image1[index]->setPixmap(SkinPictures::picture(position, devicePixelRatioF()));
}

void frmShutdown::setImage2Picture(int index, int position) {
    Image2[index]->setPixmap(SkinPictures::picture(position, devicePixelRatioF()));
}

} // namespace dormivo
