#pragma once

#include "dialogs/SkinnedDialog.h"

#include <array>

class QLabel;

namespace dormivo {

// The help window: a short description of the program, or the list of its shortcuts, chosen
// by two tab labels. It always opens on the description.
class frmMenu final : public SkinnedDialog {
    Q_OBJECT
public:
    static const QString kDescription;
    static const QString kShortcuts;

    explicit frmMenu(QWidget* parent = nullptr);

    void load();
    void Label1_Click(int Index);

private:
    QLabel* Image2 = nullptr;
    QLabel* Label3 = nullptr;
    ImageButton* Image3 = nullptr;
    std::array<ImageButton*, 2> Label1{};
    QLabel* Image1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label4 = nullptr;
    ImageButton* Image4 = nullptr;
};

} // namespace dormivo
