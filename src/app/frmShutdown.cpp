#include "app/frmShutdown.h"

#include "common/Flags.h"
#include "common/Words.h"
#include "countdown/PeriodCheck.h"
#include "countdown/SecondsToText.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmMenu.h"
#include "dialogs/frmPrgSet.h"
#include "dialogs/frmSetting.h"
#include "shell/ImageButton.h"
#include "shell/KeyPreview.h"
#include "shell/Placement.h"
#include "shell/SkinPictures.h"
#include "shell/StoredChoice.h"
#include "shell/WindowShape.h"
#include "store/SettingsFailure.h"
#include "store/StoreError.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
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

// The list position of the text a combo box shows, or -1 when the text is not one of its
// items (the box is editable).
int listPosition(const QComboBox* box) {
    return box->findText(box->currentText(), Qt::MatchExactly);
}

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
    box->resize(std::max(box->width(), box->sizeHint().width()), box->height());
}

} // namespace

frmShutdown::frmShutdown(Platform& platform, SettingsStore& store, WindowTable& windows,
                         QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint), platform_(platform), store_(store),
      windows_(windows),
      expiry_(store, platform.launcher, platform.registry, platform.messages, platform.appFolder),
      lastWarning_(platform.notifier, [this] { Image2_Click(kStopButton); }),
      menus_(platform.notifyIcons, this, commands()) {
    setObjectName(QStringLiteral("frmShutdown"));
    setWindowTitle(kProductTitle);
    setFixedSize(4515 / 15, 3390 / 15);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    createControls();
}

frmShutdown::~frmShutdown() = default;

void frmShutdown::load() {
    Form_Load();
}

void frmShutdown::bringBack() {
    if (!windows_.isLoaded(this)) {
        unloadedAlready_ = false;
        showDesignTimeState();
        windows_.add(this);
        try {
            load();
        } catch (const StoreError& error) {
            endWithStoreError(error);
            return;
        }
        // Loading may have ended the program or unloaded the window again.
        if (!windows_.isLoaded(this))
            return;
    }
    bringToFront(this);
}

void frmShutdown::showDesignTimeState() {
    countdown_ = CountdownState();
    Label3->clear();
    Label4->clear();
    txtTime->setText(QStringLiteral("5"));
    Command1->setEnabled(true);
    Command3->setEnabled(false);
}

MainWindowCommands frmShutdown::commands() {
    MainWindowCommands commands;
    commands.Image2_Click = [this](int Index) { Image2_Click(Index); };
    commands.showMain = [this] { bringToFront(this); };
    commands.hideToNotificationArea = [this] { hideToNotificationArea(); };
    commands.unload = [this] { close(); };
    commands.endProgram = [this] { windows_.endNow(0); };
    commands.openStartupOptions = [this](Modality modality) { openStartupOptions(modality); };
    commands.openProgramsList = [this](Modality modality) { openProgramsList(modality); };
    commands.openHelp = [this](Modality modality) { openHelp(modality); };
    commands.openAbout = [this](Modality modality) { openAbout(modality); };
    return commands;
}

void frmShutdown::createControls() {
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);

    lblCaption = place<QLabel>(this, QStringLiteral("lblCaption"), twips(1080, 45, 2175, 255));
    lblCaption->setAlignment(Qt::AlignCenter);
    QFont bold = small;
    bold.setBold(true);
    lblCaption->setFont(bold);

    const std::array<const char*, 3> menuTitles{"File", "Option", "Help"};
    const std::array<QRect, 3> menuPlaces{twips(240, 360, 255, 255), twips(720, 360, 495, 255),
                                          twips(1440, 360, 495, 255)};
    for (int i = 0; i < 3; ++i) {
        Label6[i] = place<ImageButton>(this, QStringLiteral("Label6_%1").arg(i), menuPlaces[i]);
        Label6[i]->setText(QString::fromLatin1(menuTitles[i]));
        Label6[i]->setRole(ImageButton::Role::MenuButton);
        Label6[i]->setAccessibleName(Label6[i]->text());
        Label6[i]->setAccessibleDescription(tr("Opens the %1 menu").arg(Label6[i]->text()));
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
        Image1[i] = place<ImageButton>(this, QStringLiteral("Image1_%1").arg(i),
                                       twips(3480 + 360 * i, 120, 240, 240));
        Image1[i]->setAccessibleName(QString::fromLatin1(smallNames[i]));
        connect(Image1[i], &ImageButton::pressed, this,
                [this, i] { setImage1Picture(i, kSmallButtonFaces[i].lit); });
        connect(Image1[i], &ImageButton::released, this,
                [this, i] { setImage1Picture(i, kSmallButtonFaces[i].normal); });
    }
    connect(Image1[0], &ImageButton::clicked, this, &QWidget::showMinimized);
    connect(Image1[1], &ImageButton::clicked, this, &frmShutdown::hideToNotificationArea);
    connect(Image1[2], &ImageButton::clicked, this, &QWidget::close);

    Label3 = place<QLabel>(this, QStringLiteral("Label3"), twips(2280, 600, 1935, 375));
    Label1 = place<QLabel>(this, QStringLiteral("Label1"), twips(360, 840, 1215, 495));
    Label1->setText(QStringLiteral("Action"));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Combo1 = place<QComboBox>(this, QStringLiteral("Combo1"), twips(360, 1080, 1215, 315));
    Combo1->setEditable(true);
    // Readers on Linux name a combo box by its text and say its label through the buddy.
    Combo1->setAccessibleName(Label1->text());
    Label1->setBuddy(Combo1);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    showTextFromItsStart(Combo1);
    connect(Combo1, &QComboBox::currentIndexChanged, this, &frmShutdown::Combo1_Click);

    Label2 = place<QLabel>(this, QStringLiteral("Label2"), twips(600, 1680, 855, 255));
    Label2->setText(QStringLiteral("After"));
    txtTime = place<QLineEdit>(this, QStringLiteral("txtTime"), twips(1200, 1680, 855, 285));
    txtTime->setAccessibleName(Label2->text());
    Label2->setBuddy(txtTime);
    cmbtime = place<QComboBox>(this, QStringLiteral("cmbtime"), twips(2400, 1680, 855, 315));
    cmbtime->setEditable(true);
    cmbtime->setInsertPolicy(QComboBox::NoInsert);
    showTextFromItsStart(cmbtime);
    cmbtime->addItems({QStringLiteral("Minutes"), QStringLiteral("Hours")});
    fitLongestItem(cmbtime);

    Label4 = place<QLabel>(this, QStringLiteral("Label4"), twips(240, 2160, 4095, 495));
    Label4->setFont(QFont(QStringLiteral("Arial"), 9));
    Label4->setWordWrap(true);

    const std::array<const char*, 3> captions{"Start", "Stop", "Exit"};
    const std::array<int, 3> imageLefts{240, 1680, 3240};
    const std::array<int, 3> captionLefts{600, 2040, 3600};
    const std::array<int, 3> captionWidths{735, 735, 495};
    for (int i = 0; i < 3; ++i) {
        Image2[i] = place<ImageButton>(this, QStringLiteral("Image2_%1").arg(i),
                                       twips(imageLefts[i], 2760, 1095, 375));
        Image2[i]->setScaledContents(true);
        // The caption lies inside its picture, so that the two make one button to a reader.
        Label5[i] = place<ImageButton>(
            Image2[i], QStringLiteral("Label5_%1").arg(i),
            twips(captionLefts[i] - imageLefts[i], 2865 - 2760, captionWidths[i], 255));
        Label5[i]->setRole(ImageButton::Role::Caption);
        Label5[i]->setText(QString::fromLatin1(captions[i]));
        Image2[i]->setAccessibleName(Label5[i]->text());
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

    Command1 = place<QPushButton>(this, QStringLiteral("Command1"), twips(3000, 960, 1215, 375));
    Command1->setText(QStringLiteral("&Start"));
    Command3 = place<QPushButton>(this, QStringLiteral("Command3"), twips(3000, 960, 1215, 375));
    Command3->setText(QStringLiteral("S&top"));
    Command2 = place<QPushButton>(this, QStringLiteral("Command2"), twips(3000, 960, 1215, 375));
    Command2->setText(QStringLiteral("E&xit"));
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
    MoveWindowFrom({Label3, Label4, lblCaption});
    auto* keys = new KeyPreview(this);
    connect(keys, &KeyPreview::keyPress, &menus_, &MainWindowMenus::Form_KeyPress);
    connect(keys, &KeyPreview::keyRelease, &menus_, &MainWindowMenus::Form_KeyUp);
}

void frmShutdown::Form_Load() {
    RoundWindow(this, 15, 15);
    menus_.SetupTrayMenus();
    ResetButtonImages();
    cmbtime->setCurrentIndex(0);
    Combo1->clear();

    const std::vector<ActionEntry> actions = store_.loadActionList();
    // Without actions there is nothing to count down to; refuse before anything is written.
    if (actions.empty())
        throw StoreError("The settings file lists no actions, so there is nothing to count "
                         "down to. Restore info.velkaro from a fresh installation.");
    store_.startupCopy();
    for (const auto& action : actions)
        Combo1->addItem(QString::fromStdString(action.name));
    fitLongestItem(Combo1);
    Combo1->setCurrentIndex(0);
    loadSetting();
}

void frmShutdown::loadSetting() {
    // Each value is applied on its own; one that is missing or does not fit its control
    // leaves that control as it is and the next one is still applied.
    std::optional<StoredSettings> stored;
    try {
        stored = store_.loadSettings();
    } catch (const StoreError&) {
        return;
    }
    if (!stored)
        return;
    showStoredChoice(*stored, cmbtime, txtTime, Combo1);
    if (const auto active = stored->active.text())
        gProgramsActive = *active;
    Image2_Click(stored->status.text() == "Started" ? kStartButton : kStopButton);
}

void frmShutdown::setTrayTip(const QString& tip) {
    if (frmSysTray* icon = menus_.trayIcon()) // gone once the window is unloaded
        icon->setToolTip(tip);
}

void frmShutdown::hideToNotificationArea() {
    // Without a notification area the icon could not bring the window back: minimize instead.
    if (platform_.notifyIcons.isAvailable())
        hide();
    else
        showMinimized();
}

void frmShutdown::ResetButtonImages() {
    for (int i = 0; i < 3; ++i) {
        setImage1Picture(i, kSmallButtonFaces[i].normal);
        setImage2Picture(i, SkinPictures::kRaisedButton);
    }
}

void frmShutdown::setImage1Picture(int index, int position) {
    image1Picture_[index] = position;
    Image1[index]->setPixmap(SkinPictures::picture(position, devicePixelRatioF()));
}

void frmShutdown::setImage2Picture(int index, int position) {
    image2Picture_[index] = position;
    Image2[index]->setPixmap(SkinPictures::picture(position, devicePixelRatioF()));
}

void frmShutdown::Combo1_Click() {
    lblCaption->setText(Combo1->currentText());
    // The running countdown now ends in this action: a warning already out must say so.
    if (countdown_.isRunning)
        lastWarning_.update(static_cast<std::int64_t>(countdown_.totalSeconds) -
                                countdown_.elapsedSeconds,
                            Combo1->currentText());
}

void frmShutdown::reportFailedStart(const QString& message) {
    platform_.messages.show(message, MessageStyle::Critical, kProductTitle);
    openProgramsList(Modality::Modeless);
}

void frmShutdown::Command1_Click() {
    if (!countdown_.begin())
        return;
    const PeriodCheck check = checkPeriod(txtTime->text(), cmbtime->currentText());
    if (check.outcome == PeriodCheck::Outcome::NotANumber) {
        platform_.messages.show(QStringLiteral("Please Enter valid Number."),
                                MessageStyle::Critical, kApplicationTitle);
        txtTime->setText(QStringLiteral("1"));
        countdown_.abandon();
        return;
    }
    if (check.outcome == PeriodCheck::Outcome::NotAboveZero) {
        platform_.messages.show(QStringLiteral("Please enter number above zero"),
                                MessageStyle::Information, kProductTitle);
        countdown_.abandon();
        return;
    }
    countdown_.totalSeconds = check.totalSeconds;

    Label3->setText(QStringLiteral("Running"));
    Command1->setEnabled(false);
    Command3->setEnabled(true);
    Timer1->start();
    lastWarning_.update(countdown_.totalSeconds, Combo1->currentText());

    // The countdown runs even when its settings cannot be saved.
    try {
        store_.saveCountdownSettings(txtTime->text().toStdString(), listPosition(cmbtime),
                                     listPosition(Combo1));
    } catch (const StoreError&) {
    }
    if (Combo1->currentText() != kLauchProgram)
        return;
    try {
        if (!store_.hasPrograms())
            reportFailedStart(
                QStringLiteral("Please Add The Programs You Want To Start At Option Window"));
        else if (gProgramsActive != "1")
            reportFailedStart(
                QStringLiteral("You Have To Change The Programs In Option To Active Mode First"));
    } catch (const StoreError&) {
    }
}

void frmShutdown::Command3_Click() {
    if (!countdown_.stop())
        return;
    Timer1->stop();
    lastWarning_.withdraw();
    Label3->setText(QStringLiteral("Not Running"));
    Command1->setEnabled(true);
    Command3->setEnabled(false);
    Label4->clear();
    setTrayTip(kProductTitle);
}

void frmShutdown::Command2_Click() {
    close();
    windows_.endNow(0);
}

void frmShutdown::Image2_Click(int Index) {
    switch (Index) {
    case kStartButton:
        Command1_Click();
        break;
    case kStopButton:
        Command3_Click();
        break;
    default:
        Command2_Click();
        return;
    }
    // Start and Stop: the one clicked looks selected, the other raised.
    const int other = Index == kStartButton ? kStopButton : kStartButton;
    setImage2Picture(Index, SkinPictures::kFlatButton);
    setTextColour(Label5[Index], kBlack);
    setImage2Picture(other, SkinPictures::kRaisedButton);
    setTextColour(Label5[other], kWhite);
}

void frmShutdown::Timer1_Timer() {
    ++countdown_.elapsedSeconds;
    // Taken before the expiry's Stop resets the count, so that the last text reads 0 seconds.
    const std::int64_t remaining =
        static_cast<std::int64_t>(countdown_.totalSeconds) - countdown_.elapsedSeconds;
    if (remaining == 0) {
        try {
            expiry_.run(Combo1->currentText());
        } catch (const StoreError& error) {
            Command3_Click();
            endWithStoreError(error);
            return;
        }
        Command3_Click();
    } else {
        lastWarning_.update(remaining, Combo1->currentText());
    }
    Label4->setText(QStringLiteral("remaining time to ") + Combo1->currentText() +
                    QStringLiteral(" is ") + SecondsToText(remaining));
    setTrayTip(Label4->text());
}

void frmShutdown::endWithStoreError(const StoreError& error) {
    platform_.messages.show(QString::fromStdString(describeSettingsFailure(store_.file(), error)),
                            MessageStyle::Critical, kProductTitle);
    windows_.endNow(1);
}

void frmShutdown::openStartupOptions(Modality modality) {
    windows_.open<frmPrgSet>(modality, [this] {
        return new frmPrgSet(
            platform_, store_, [this](const StoreError& error) { endWithStoreError(error); }, this);
    });
}

void frmShutdown::openProgramsList(Modality modality) {
    windows_.open<frmSetting>(modality, [this] {
        return new frmSetting(
            platform_, store_, Combo1->currentText(),
            [this](const StoreError& error) { endWithStoreError(error); }, this);
    });
}

void frmShutdown::openHelp(Modality modality) {
    windows_.open<frmMenu>(modality, [this] { return new frmMenu(this); });
}

void frmShutdown::openAbout(Modality modality) {
    windows_.open<frmAbout>(modality, [this] { return new frmAbout(this); });
}

void frmShutdown::Form_Unload() {
    menus_.unload();
}

void frmShutdown::closeEvent(QCloseEvent* event) {
    if (!unloadedAlready_) {
        unloadedAlready_ = true;
        Timer1->stop();
        lastWarning_.withdraw();
        Form_Unload();
        emit unloaded();
    }
    event->accept();
}

void frmShutdown::paintEvent(QPaintEvent*) {
    if (background_.isNull() || background_.devicePixelRatio() != devicePixelRatioF())
        background_ = SkinPictures::background(SkinPictures::kBackgroundSize, devicePixelRatioF());
    QPainter(this).drawPixmap(0, 0, background_);
}

void frmShutdown::mousePressEvent(QMouseEvent*) {
    DragWindow(this);
}

} // namespace dormivo
