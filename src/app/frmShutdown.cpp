#include "app/frmShutdown.h"

#include "common/Flags.h"
#include "common/Words.h"
#include "countdown/SecondsToText.h"
#include "dialogs/StoredChoice.h"
#include "shell/SkinPictures.h"
#include "shell/WindowShape.h"
#include "store/StoreError.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace dormivo {
namespace {

constexpr int kMinutesPosition = 0; // in the unit box

// The list position of the text a combo box shows, or -1 when the text is not one of its
// items (the box is editable).
int listPosition(const QComboBox* box) {
    return box->findText(box->currentText(), Qt::MatchExactly);
}

} // namespace

frmShutdown::frmShutdown(Platform& platform, SettingsStore& store, WindowTable& windows,
                         QWidget* parent)
    : SkinnedWindow("frmShutdown", QSize(4515, 3390), kProductTitle, parent), platform_(platform),
      store_(store), windows_(windows),
      countdown_(
          platform, store, [this] { Image2_Click(kStopButton); }, [this] { showLengthened(); }),
      start_(store, platform.messages), menus_(platform.notifyIcons, this, commands()) {
    createControls();
}

frmShutdown::~frmShutdown() = default;

void frmShutdown::load() {
    Form_Load();
}

bool frmShutdown::bringBack(const QByteArray& activationToken) {
    if (!windows_.isLoaded(this)) {
        unloadedAlready_ = false;
        showDesignTimeState();
        windows_.add(this);
        try {
            load();
        } catch (const StoreError& error) {
            endWithStoreError(error);
            return true;
        }
        // Loading may have ended the program or unloaded the window again.
        if (!windows_.isLoaded(this))
            return true;
    }
    return bringToFront(this, activationToken);
}

void frmShutdown::showDesignTimeState() {
    countdown_.stop();
    Label3->clear();
    Label4->clear();
    txtTime->setText(QStringLiteral("5"));
    Command1->setEnabled(true);
    Command3->setEnabled(false);
}

void frmShutdown::Form_Load() {
    roundCorners();
    menus_.SetupTrayMenus();
    ResetButtonImages();
    cmbtime->setCurrentIndex(kMinutesPosition);
    Combo1->clear();

    const std::vector<ActionEntry> actions = store_.loadActionList();
    // Without actions there is nothing to count down to; refuse before anything is written.
    if (actions.empty())
        throw StoreError("The settings file lists no actions, so there is nothing to count "
                         "down to. Restore info.velkaro from a fresh installation.");
    store_.startupCopy();
    showActions(actions);
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

void frmShutdown::Combo1_Click() {
    lblCaption->setText(Combo1->currentText());
    showWaitingTip();
    // The running countdown now ends in this action: a warning already out must say so.
    countdown_.actionChosen(Combo1->currentText());
}

void frmShutdown::Command1_Click() {
    if (countdown_.isRunning() || !waiting_.isEmpty())
        return;
    const StartRules::Period period = start_.acceptPeriod(txtTime->text(), cmbtime->currentText());
    if (period.periodText)
        txtTime->setText(*period.periodText);
    // Running only once the period is accepted: while a refusal's message box waited, a Stop
    // or another Start may have come and must find the countdown as it is.
    if (period.totalSeconds == 0 ||
        !countdown_.begin(period.totalSeconds, endsAt_, Combo1->currentText()))
        return;

    Label3->setText(QStringLiteral("Running"));
    Command1->setEnabled(false);
    Command3->setEnabled(true);
    Timer1->start(countdown_.msToNextTick());
    start_.keepChoice(txtTime->text(), listPosition(cmbtime), listPosition(Combo1));
    // Told once Start has returned, so that whoever pressed it, a script included, learns
    // that the countdown runs before a message box waits for the user.
    QTimer::singleShot(0, this, [this, action = Combo1->currentText()] {
        if (start_.warnAboutList(action))
            openProgramsList(Modality::Modeless);
    });
}

void frmShutdown::startUntil(std::int64_t wallMs) {
    endsAt_ = wallMs;
    Image2_Click(kStartButton);
    endsAt_.reset();
}

void frmShutdown::Command3_Click() {
    if (!countdown_.stop() && !stopWaiting())
        return;
    Timer1->stop();
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
    showSelected(Index);
}

void frmShutdown::Timer1_Timer() {
    if (!countdown_.isRunning())
        return; // a tick that was due when the countdown stopped
    bool goesOn = false;
    try {
        goesOn = countdown_.tick(Combo1->currentText());
    } catch (const StoreError& error) {
        return endWithStoreError(error);
    }
    if (goesOn)
        Timer1->start(countdown_.msToNextTick());
    showRemaining(goesOn ? countdown().remainingSeconds() : 0);
}

QString frmShutdown::remainingText(std::int64_t remaining) const {
    return QStringLiteral("remaining time to ") + Combo1->currentText() + QStringLiteral(" is ") +
           SecondsToText(remaining);
}

QString frmShutdown::remainingText() const {
    return remainingText(countdown().remainingSeconds());
}

void frmShutdown::showRemaining(std::int64_t remaining) {
    Label4->setText(remainingText(remaining));
    setTrayTip(Label4->text());
}

void frmShutdown::showLengthened() {
    // The period box and the last state take the countdown's new length, which a period
    // always gives in whole minutes; pressing Start with them counts as long again.
    txtTime->setText(QString::number(countdown().totalSeconds / 60));
    cmbtime->setCurrentIndex(kMinutesPosition);
    start_.keepChoice(txtTime->text(), kMinutesPosition, listPosition(Combo1));
    showRemaining(countdown().remainingSeconds());
    countdown_.actionChosen(Combo1->currentText());
}

void frmShutdown::Form_Unload() {
    menus_.unload();
}

void frmShutdown::closeEvent(QCloseEvent* event) {
    if (!unloadedAlready_) {
        unloadedAlready_ = true;
        Timer1->stop();
        stopWaiting();
        countdown_.unload();
        Form_Unload();
        emit unloaded();
    }
    event->accept();
}

void frmShutdown::paintEvent(QPaintEvent* event) {
    SkinnedWindow::paintEvent(event);
    if (background_.isNull() || background_.devicePixelRatio() != devicePixelRatioF())
        background_ = SkinPictures::background(SkinPictures::kBackgroundSize, devicePixelRatioF());
    QPainter painter(this);
    clipToOutline(painter, this);
    painter.drawPixmap(0, 0, background_);
}

void frmShutdown::mousePressEvent(QMouseEvent*) {
    DragWindow(this);
}

} // namespace dormivo
