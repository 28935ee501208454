#include "app/frmShutdown.h"

#include "common/Flags.h"
#include "common/Words.h"
#include "countdown/SecondsToText.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmMenu.h"
#include "dialogs/frmPrgSet.h"
#include "dialogs/frmSetting.h"
#include "shell/SkinPictures.h"
#include "shell/StoredChoice.h"
#include "shell/WindowShape.h"
#include "store/SettingsFailure.h"
#include "store/StoreError.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <limits>

namespace dormivo {
namespace {

// The unit box's items.
constexpr int kMinutesPosition = 0;
constexpr int kHoursPosition = 1;
// What the warning's "10 more minutes" adds.
constexpr std::int32_t kSnoozeSeconds = 600;

// The list position of the text a combo box shows, or -1 when the text is not one of its
// items (the box is editable).
int listPosition(const QComboBox* box) {
    return box->findText(box->currentText(), Qt::MatchExactly);
}

} // namespace

frmShutdown::frmShutdown(Platform& platform, SettingsStore& store, WindowTable& windows,
                         QWidget* parent)
    : SkinnedWindow("frmShutdown", QSize(4515, 3390), kProductTitle, parent), platform_(platform),
      store_(store), windows_(windows), start_(store, platform.messages),
      expiry_(store, platform.launcher, platform.registry, platform.messages, platform.appFolder),
      lastWarning_(
          platform.notifier, [this] { Image2_Click(kStopButton); }, [this] { snooze(); }),
      menus_(platform.notifyIcons, this, commands()) {
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

void frmShutdown::hideToNotificationArea() {
    // Without a notification area the icon could not bring the window back: minimize instead.
    if (platform_.notifyIcons.isAvailable())
        hide();
    else
        showMinimized();
}

void frmShutdown::Combo1_Click() {
    lblCaption->setText(Combo1->currentText());
    showWaitingTip();
    // The running countdown now ends in this action: a warning already out must say so.
    if (countdown_.isRunning)
        lastWarning_.update(static_cast<std::int64_t>(countdown_.totalSeconds) -
                                countdown_.elapsedSeconds,
                            Combo1->currentText());
}

void frmShutdown::Command1_Click() {
    if (!waiting_.isEmpty() || !countdown_.begin())
        return;
    const StartRules::Period period = start_.acceptPeriod(txtTime->text(), cmbtime->currentText());
    if (period.periodText)
        txtTime->setText(*period.periodText);
    if (period.totalSeconds == 0) {
        countdown_.abandon();
        return;
    }
    countdown_.totalSeconds = period.totalSeconds;

    Label3->setText(QStringLiteral("Running"));
    Command1->setEnabled(false);
    Command3->setEnabled(true);
    Timer1->start();
    lastWarning_.update(countdown_.totalSeconds, Combo1->currentText());
    if (start_.recordStart(txtTime->text(), listPosition(cmbtime), Combo1->currentText(),
                           listPosition(Combo1)))
        openProgramsList(Modality::Modeless);
}

void frmShutdown::Command3_Click() {
    if (!countdown_.stop() && !stopWaiting())
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
    showSelected(Index);
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
    Label4->setText(remainingText(remaining));
    setTrayTip(Label4->text());
}

QString frmShutdown::remainingText(std::int64_t remaining) const {
    return QStringLiteral("remaining time to ") + Combo1->currentText() + QStringLiteral(" is ") +
           SecondsToText(remaining);
}

QString frmShutdown::remainingText() const {
    return remainingText(static_cast<std::int64_t>(countdown_.totalSeconds) -
                         countdown_.elapsedSeconds);
}

void frmShutdown::snooze() {
    if (!countdown_.isRunning ||
        countdown_.totalSeconds > std::numeric_limits<std::int32_t>::max() - kSnoozeSeconds)
        return;
    countdown_.totalSeconds += kSnoozeSeconds;
    // The period box and the last state take the countdown's new length, which a period
    // always gives in whole minutes; pressing Start with them counts as long again.
    txtTime->setText(QString::number(countdown_.totalSeconds / 60));
    cmbtime->setCurrentIndex(kMinutesPosition);
    start_.keepChoice(txtTime->text(), kMinutesPosition, listPosition(Combo1));
    const std::int64_t remaining =
        static_cast<std::int64_t>(countdown_.totalSeconds) - countdown_.elapsedSeconds;
    Label4->setText(remainingText(remaining));
    setTrayTip(Label4->text());
    lastWarning_.update(remaining, Combo1->currentText());
}

int frmShutdown::findAction(const QString& name) const {
    // Fixed-string matching ignores case unless told otherwise.
    return Combo1->findText(name, Qt::MatchFixedString);
}

QStringList frmShutdown::actionNames() const {
    QStringList names;
    for (int i = 0; i < Combo1->count(); ++i)
        names << Combo1->itemText(i);
    return names;
}

void frmShutdown::chooseCountdown(int period, bool hours, int actionPosition) {
    txtTime->setText(QString::number(period));
    cmbtime->setCurrentIndex(hours ? kHoursPosition : kMinutesPosition);
    if (actionPosition >= 0)
        Combo1->setCurrentIndex(actionPosition);
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
        stopWaiting();
        lastWarning_.withdraw();
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
