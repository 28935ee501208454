#pragma once

#include "app/MainWindowMenus.h"
#include "countdown/Countdown.h"
#include "countdown/StartRules.h"
#include "platform/Platform.h"
#include "shell/SkinnedWindow.h"
#include "shell/WindowTable.h"
#include "store/SettingsStore.h"

#include <QPixmap>
#include <QWidget>

#include <array>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace dormivo {

class ImageButton;
class StoreError;

// The main window: the action, the period and its unit, Start, Stop and Exit, the status
// and the remaining time, on a borderless skin. Constructing it only builds its controls;
// load() then fills the action list from the store, copies the next-start state over and
// restores the last state, so that its opener can register and connect it first.
// The boxes that choose a countdown, as a command from outside sets them.
struct CountdownBoxes {
    QLineEdit* period;
    QComboBox* unit;
    QComboBox* action;
};

class frmShutdown final : public SkinnedWindow {
    Q_OBJECT
public:
    frmShutdown(Platform& platform, SettingsStore& store, WindowTable& windows,
                QWidget* parent = nullptr);
    ~frmShutdown() override;

    // Form_Load; a failure of the settings file is thrown (StoreError).
    void load();
    // A later start of the program asks for this window, with the activation token it was
    // given, if any: it comes to the front, and when it was unloaded while a dialog kept the
    // program alive, it is registered and loaded again first, as at a first start. False where
    // the window may have stayed behind others (see bringToFront).
    bool bringBack(const QByteArray& activationToken = {});

    // The large buttons, by an Image2Button: Start, Stop or Exit. The menus, the icon and the
    // keys ask for the countdown's commands through it.
    void Image2_Click(int Index);

    // totalSeconds, elapsedSeconds and isRunning.
    const CountdownState& countdown() const { return countdown_.state(); }
    // The running countdown's text, as the window shows it: "remaining time to ... is ...".
    QString remainingText() const;

    // What a command from outside types and chooses, as the user would.
    CountdownBoxes boxes() const { return {txtTime, cmbtime, Combo1}; }
    // Start, to the wall-clock instant (milliseconds since the epoch) rather than to the end of
    // the period the boxes give: what a clock time asks for.
    void startUntil(std::int64_t wallMs);
    // Waits until what pidOrName names has ended (see ProcessWatch), then presses Start;
    // meanwhile the window says what it waits for, and Stop gives the wait up
    // (frmShutdownWait.cpp). Why not, when it names no process of the user's.
    std::optional<QString> waitForEnd(const QString& pidOrName);
    // "Waiting for rsync (4242) to end" while waiting, empty otherwise.
    const QString& waitingText() const { return waiting_; }
    MainWindowMenus& menus() { return menus_; }
    frmSysTray* trayIcon() const { return menus_.trayIcon(); }

signals:
    // The window was unloaded; the program ends once no window of it is loaded.
    void unloaded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // The controls and their look (frmShutdownLayout.cpp).
    void createControls();
    void showActions(const std::vector<ActionEntry>& actions);
    void ResetButtonImages();
    // Start or Stop looks selected, the other raised.
    void showSelected(int Index);
    void setImage2Picture(int index, int position);
    void setImage1Picture(int index, int position);

    // The controls and the countdown as a first start finds them, before any load.
    void showDesignTimeState();
    void Form_Load();
    void loadSetting();
    void Form_Unload();
    // The countdown's commands, Start, Stop and Exit; every way in ends in one of these.
    void Command1_Click();
    void Command3_Click();
    void Command2_Click();
    void Combo1_Click();
    void Timer1_Timer();
    // Gives a wait for a program's end up; false when none was waited for.
    bool stopWaiting();
    // While waiting, the icon's tip says for what, and which action follows.
    void showWaitingTip();
    QString remainingText(std::int64_t remaining) const;
    // The remaining time to the window and the icon's tip.
    void showRemaining(std::int64_t remaining);
    // The warning's "10 more minutes" made the running countdown longer.
    void showLengthened();
    MainWindowCommands commands();
    void hideToNotificationArea();
    void setTrayTip(const QString& tip);
    // The settings file failed where nothing can go on without it: say why and end.
    void endWithStoreError(const StoreError& error);
    void openStartupOptions(Modality modality);
    void openProgramsList(Modality modality);
    void openHelp(Modality modality);
    void openAbout(Modality modality);

    Platform& platform_;
    SettingsStore& store_;
    WindowTable& windows_;
    Countdown countdown_;
    StartRules start_;
    MainWindowMenus menus_;
    bool unloadedAlready_ = false;
    std::optional<std::int64_t> endsAt_; // set by startUntil for its Start
    QString waiting_;

    QLabel* lblCaption = nullptr;
    std::array<ImageButton*, 3> Label6{};
    std::array<ImageButton*, 3> Image1{};
    QLabel* Label3 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtTime = nullptr;
    QComboBox* cmbtime = nullptr;
    QLabel* Label4 = nullptr;
    std::array<ImageButton*, 3> Image2{};
    std::array<ImageButton*, 3> Label5{};
    QPushButton* Command1 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command2 = nullptr;
    QTimer* Timer1 = nullptr;
    QPixmap background_;
};

} // namespace dormivo
