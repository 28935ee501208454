#pragma once

#include "dialogs/SkinnedDialog.h"

class QFrame;

namespace dormivo {

// The about window: the program's name and version, who made it and how to reach them.
class frmAbout final : public SkinnedDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    void load();

private:
    QLabel* Image1 = nullptr;
    QLabel* Label3 = nullptr;
    ImageButton* Image2 = nullptr;
    QLabel* Label2 = nullptr;
    QFrame* Line1 = nullptr;
    QLabel* lblMaker = nullptr;
    QLabel* lblContact = nullptr;
    ImageButton* Image3 = nullptr;
};

} // namespace dormivo
