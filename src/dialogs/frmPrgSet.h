#pragma once

#include "dialogs/SkinnedDialog.h"
#include "dialogs/StoreFailure.h"

class QCheckBox;
class QFrame;
class QPushButton;
class QRadioButton;

namespace dormivo {

struct Platform;
class SettingsStore;
class TimerControl;

// The options for the program's next start: whether it starts at login, whether it comes up
// with the countdown running, and the period, unit and action to run then. OK keeps them for
// the next start only; the running countdown is left alone.
class frmPrgSet final : public SkinnedDialog {
    Q_OBJECT
public:
    frmPrgSet(Platform& platform, SettingsStore& store, StoreFailure storeFailure,
              QWidget* parent = nullptr);

    void load();

private:
    void cmdOk_Click();
    // The Run value that starts the program at login: its folder and its own file name.
    static QString runCommand(const QString& appFolder);

    Platform& platform_;
    SettingsStore& store_;
    StoreFailure storeFailure_;

    QLabel* Image1 = nullptr;
    QLabel* Label2 = nullptr;
    ImageButton* Image2 = nullptr;
    QLabel* Label1 = nullptr;
    QCheckBox* chkRun = nullptr;
    QLabel* Label3 = nullptr;
    QFrame* Shape1 = nullptr;
    QRadioButton* Option1 = nullptr;
    QLabel* Label5 = nullptr;
    QRadioButton* Option2 = nullptr;
    QLabel* Label4 = nullptr;
    TimerControl* TimerControl1 = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
};

} // namespace dormivo
