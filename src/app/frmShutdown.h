#pragma once

#include "CountdownState.h"
#include "Platform.h"
#include "SettingsStore.h"
#include "frmSysTray.h"

#include <QPixmap>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace dormivo {

class ImageButton;

// The main window: the action, the period and its unit, Start, Stop and Exit, the status
// and the remaining time, on a borderless skin. Constructing it loads it: the action list
// comes from the store, the next-start state is copied over and the last state restored.
class frmShutdown final : public QWidget {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void()> showProgramsDialog; // modeless; a no-op until one exists
    };

    frmShutdown(Platform& platform, SettingsStore& store, Hooks hooks = {},
                QWidget* parent = nullptr);
    ~frmShutdown() override;

    void loadSetting();

    // The countdown's commands; every other way in only calls these.
    void Combo1_Click();
    void Command1_Click();
    void Command3_Click();
    void Command2_Click();
    void Image2_Click(int Index);
    void Timer1_Timer();
    void Form_KeyPress(int KeyAscii);

    const CountdownState& countdown() const { return countdown_; }
    frmSysTray* trayIcon() const { return m_frmSysTray.get(); }
    // Which picture of the skin an image button shows now: Image2 (large), Image1 (small).
    int buttonPicture(int index) const { return image2Picture_[index]; }
    int smallButtonPicture(int index) const { return image1Picture_[index]; }

signals:
    // The window was unloaded; the program ends once no window of it is loaded.
    void unloaded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void Form_Load();
    void Form_Unload();
    void SetupTrayMenus();
    void ResetButtonImages();
    void setImage2Picture(int index, int position);
    void setImage1Picture(int index, int position);
    void reportFailedStart(const QString& message);
    void m_frmSysTray_MenuClick(std::int32_t lIndex, const QString& sKey);
    void m_frmSysTray3_MenuClick(std::int32_t lIndex, const QString& sKey);
    void m_frmSysTray_SysTrayMouseDown(int eButton);
    void hideToNotificationArea();
    void setTrayTip(const QString& tip);
    void runChosenAction();
    void launchPrograms();

    Platform& platform_;
    SettingsStore& store_;
    Hooks hooks_;
    CountdownState countdown_;
    bool unloadedAlready_ = false;

    std::unique_ptr<frmSysTray> m_frmSysTray;
    std::unique_ptr<frmSysTray> m_frmSysTray1;
    std::unique_ptr<frmSysTray> m_frmSysTray2;
    std::unique_ptr<frmSysTray> m_frmSysTray3;

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
    std::array<int, 3> image1Picture_{};
    std::array<int, 3> image2Picture_{};
    QPixmap background_;
};

} // namespace dormivo
