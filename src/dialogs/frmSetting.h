#pragma once

#include "dialogs/SkinnedDialog.h"
#include "dialogs/StoreFailure.h"
#include "platform/Platform.h"
#include "store/SettingsStore.h"

class QFrame;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace dormivo {

// The programs dialog: the list of programs started when a "Lauch Program" countdown runs
// out, and whether that list is Active. OK stores both and brings the Run entries in line;
// every other way out leaves the store as it was.
class frmSetting final : public SkinnedDialog {
    Q_OBJECT
public:
    // actionText: the main window's chosen action, which the instruction line names.
    frmSetting(Platform& platform, SettingsStore& store, QString actionText,
               StoreFailure storeFailure, QWidget* parent = nullptr);

    void load();

private:
    void cmdBrowse_Click();
    void cmdRemove_Click();
    void cmdOk_Click();
    void appendProgram(const QString& path);
    // The Run entries of every position of the list: written when active, else deleted.
    void mirrorRunEntries(bool active);

    Platform& platform_;
    SettingsStore& store_;
    QString actionText_;
    StoreFailure storeFailure_;

    QLabel* Image1 = nullptr;
    QLabel* Label2 = nullptr;
    ImageButton* Image2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label5 = nullptr;
    QFrame* Shape1 = nullptr;
    QRadioButton* optEnable = nullptr;
    QLabel* Label3 = nullptr;
    QRadioButton* optDisable = nullptr;
    QLabel* Label4 = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
};

} // namespace dormivo
