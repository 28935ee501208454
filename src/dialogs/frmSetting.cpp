#include "dialogs/frmSetting.h"

#include "common/Flags.h"
#include "common/Words.h"
#include "registry/UpdateRunEntries.h"
#include "shell/ImageButton.h"
#include "store/SettingsFailure.h"
#include "store/StoreError.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>

#include <algorithm>

namespace dormivo {
namespace {

// The list's entries as the Run entries read them.
class ListEntries final : public registry::ProgramList {
public:
    explicit ListEntries(const QListWidget& list) : list_(list) {}
    int count() const override { return list_.count(); }
    std::string item(int position) const override {
        return list_.item(position)->text().toStdString();
    }

private:
    const QListWidget& list_;
};

// Every path is laid out as wide as the list, so that a long one is shortened in its middle
// and keeps its file name in sight instead of running off the right edge.
class ListWidePaths final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {0, QStyledItemDelegate::sizeHint(option, index).height()};
    }
};

} // namespace

frmSetting::frmSetting(Platform& platform, SettingsStore& store, QString actionText,
                       StoreFailure storeFailure, QWidget* parent)
    : SkinnedDialog("frmSetting", QSize(5760, 4215), QStringLiteral("Setting"), parent),
      platform_(platform), store_(store), actionText_(std::move(actionText)),
      storeFailure_(std::move(storeFailure)) {
    Image1 = addBackground("Image1");
    Label2 = addTitle("Label2", QStringLiteral("Options"), twips(2400, 120, 1695, 255));
    Image2 = addCloseGlyph("Image2", twips(5280, 120, 240, 240));
    Label1 = addLabel("Label1", QString(), twips(240, 600, 5175, 495));
    Label1->setWordWrap(true);
    // Its first line starts where it was placed, like every label's, not in the middle.
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label5 = addLabel("Label5", QStringLiteral("Status"), twips(480, 1080, 1215, 255));

    Shape1 = addFrame("Shape1", QFrame::Box | QFrame::Plain, twips(240, 1320, 2175, 375));
    optEnable = addOption("optEnable", QStringLiteral("Active"), twips(360, 1440, 195, 195));
    Label3 = addLabel("Label3", QStringLiteral("Active"), twips(600, 1440, 855, 375));
    optDisable = addOption("optDisable", QStringLiteral("Inactive"), twips(1560, 1440, 195, 195));
    Label4 = addLabel("Label4", QStringLiteral("Inactive"), twips(1800, 1440, 1215, 375));
    for (QLabel* label : {Label3, Label4})
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The frame holds the whole status row, whatever the font makes of "Inactive".
    const int rowEnd = Label4->x() + Label4->fontMetrics().horizontalAdvance(Label4->text()) + 6;
    Shape1->resize(std::max(Shape1->width(), rowEnd - Shape1->x()), Shape1->height());
    optDisable->setChecked(true);
    fitIndicators({optEnable, optDisable});

    List1 = place<QListWidget>(this, "List1", twips(240, 1800, 4095, 1620));
    List1->setAccessibleName(tr("Programs"));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    List1->setTextElideMode(Qt::ElideMiddle);
    List1->setItemDelegate(new ListWidePaths(List1));

    cmdBrowse = addButton("cmdBrowse", QStringLiteral("&Add"), twips(4560, 2160, 855, 375));
    cmdRemove = addButton("cmdRemove", QStringLiteral("&Remove"), twips(4560, 2760, 855, 375));
    cmdOk = addButton("cmdOk", QStringLiteral("&OK"), twips(600, 3600, 855, 375));
    cmdCancel = addButton("cmdCancel", QStringLiteral("&Cancel"), twips(2760, 3600, 1095, 375));
    connect(cmdBrowse, &QPushButton::clicked, this, &frmSetting::cmdBrowse_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmSetting::cmdRemove_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmSetting::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSetting::unload);

    dragSurfaces({Label1});
    // The keyboard starts in the list, not on the close glyph, which Space would press.
    List1->setFocus();
}

void frmSetting::load() {
    roundCorners();
    Label1->setText(actionText_ == kLauchProgram
                        ? QStringLiteral("Run The Programs Below After Period Finished. ")
                        : QStringLiteral("Run The Programs Below After ") + actionText_);
    try {
        for (const auto& program : store_.loadPrograms())
            appendProgram(QString::fromStdString(program));
    } catch (const StoreError& error) {
        storeFailure_(error);
        unload();
        return;
    }
    if (gProgramsActive == "1")
        optEnable->setChecked(true);
}

void frmSetting::appendProgram(const QString& path) {
    auto* entry = new QListWidgetItem(path, List1);
    entry->setToolTip(path);
}

void frmSetting::mirrorRunEntries(bool active) {
    registry::Registry registry(platform_.registry);
    registry::mirrorRunEntries(registry, ListEntries(*List1), active);
}

void frmSetting::cmdBrowse_Click() {
    const QString path = platform_.filePicker.openFileName(this);
    if (!path.isEmpty())
        appendProgram(path);
}

void frmSetting::cmdRemove_Click() {
    if (List1->count() == 0)
        return;
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    if (selected.isEmpty()) {
        platform_.messages.show(QStringLiteral("Please Select The Program Path To Remove"),
                                MessageStyle::Information, kProductTitle);
        return;
    }
    // The values of every position go, whatever the status: the positions shift below the
    // removed entry, and OK writes them afresh when the list is Active.
    mirrorRunEntries(false);
    delete selected.front();
    // The list would move the selection to a neighbour, and the next Remove would take an
    // entry the user never chose.
    List1->setCurrentItem(nullptr);
}

void frmSetting::cmdOk_Click() {
    std::vector<std::string> programs;
    for (int i = 0; i < List1->count(); ++i)
        programs.push_back(List1->item(i)->text().toStdString());
    const bool active = optEnable->isChecked();
    try {
        store_.savePrograms(programs, active);
    } catch (const StoreError& error) {
        // Nothing was stored: the dialog stays open with the user's list, to try again.
        platform_.messages.show(
            QString::fromStdString(describeSettingsFailure(store_.file(), error)),
            MessageStyle::Critical, kProductTitle);
        return;
    }
    gProgramsActive = std::string(active ? "1" : "0");
    mirrorRunEntries(active);
    unload();
}

} // namespace dormivo
