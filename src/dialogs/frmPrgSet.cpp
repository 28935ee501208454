#include "dialogs/frmPrgSet.h"

#include "common/Flags.h"
#include "dialogs/TimerControl.h"
#include "platform/Platform.h"
#include "registry/Registry.h"
#include "store/SettingsStore.h"
#include "store/StoreError.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace dormivo {
namespace {

constexpr const char* kRunValueName = "Dormivo";

} // namespace

frmPrgSet::frmPrgSet(Platform& platform, SettingsStore& store, StoreFailure storeFailure,
                     QWidget* parent)
    : SkinnedDialog("frmPrgSet", QSize(5130, 4200), QStringLiteral("Startup option"), parent),
      platform_(platform), store_(store), storeFailure_(std::move(storeFailure)) {
    Image1 = addBackground("Image1");
    Label2 = addTitle("Label2", QStringLiteral("Setting"), twips(2160, 120, 1695, 255));
    Image2 = addCloseGlyph("Image2", twips(4680, 120, 240, 240));

    Label1 =
        addLabel("Label1", QStringLiteral("Startup Setting Next Time"), twips(480, 600, 3375, 255));
    chkRun = place<QCheckBox>(this, "chkRun", twips(480, 960, 200, 200));
    chkRun->setText(QStringLiteral(" "));
    chkRun->setAccessibleName(QStringLiteral("Automatically Startup the Program"));
    Label3 = addLabel("Label3", QStringLiteral(" Automatically Startup the Program"),
                      twips(720, 960, 2775, 255));
    widenToFit(Label3);

    Shape1 = addFrame("Shape1", QFrame::Box | QFrame::Plain, twips(240, 1560, 2415, 495));
    Option1 = addOption("Option1", QStringLiteral("Started"), twips(480, 1680, 195, 195));
    Label5 = addLabel("Label5", QStringLiteral("Started"), twips(720, 1680, 855, 375));
    Option2 = addOption("Option2", QStringLiteral("Stopped"), twips(1680, 1680, 195, 195));
    Option2->setChecked(true);
    Label4 = addLabel("Label4", QStringLiteral("Stopped"), twips(1920, 1680, 1215, 375));
    for (QLabel* caption : {Label5, Label4})
        caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    TimerControl1 = place<TimerControl>(this, "TimerControl1", twips(600, 2040, 3615, 1335), store_,
                                        platform_.messages);

    cmdOk = addButton("cmdOk", QStringLiteral("&OK"), twips(480, 3480, 1455, 375));
    cmdCancel = addButton("cmdCancel", QStringLiteral("&Cancel"), twips(2520, 3480, 1455, 375));
    connect(cmdOk, &QPushButton::clicked, this, &frmPrgSet::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &SkinnedDialog::unload);
    // The keyboard starts on the first choice, not on the close glyph, which Space would press.
    chkRun->setFocus();

    fitIndicators({chkRun, Option1, Option2});
}

QString frmPrgSet::runCommand(const QString& appFolder) {
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    return QDir::toNativeSeparators(appFolder + QLatin1Char('/') + program);
}

void frmPrgSet::load() {
    roundCorners();
    try {
        const StartupOptions stored = store_.loadStartupOptions();
        chkRun->setChecked(stored.runAtLogin);
        if (stored.started)
            Option1->setChecked(true);
        TimerControl1->load(SettingsTable::NextStart);
    } catch (const StoreError& error) {
        storeFailure_(error);
        unload();
    }
}

void frmPrgSet::cmdOk_Click() {
    // Checked before anything is written, so that a refused period leaves the registry and
    // the settings file as they were and the dialog open for a correction.
    const auto time = TimerControl1->values();
    if (!time)
        return;
    const StartupOptions options{chkRun->isChecked(), Option1->isChecked()};
    registry::Registry run(platform_.registry);
    if (options.runAtLogin)
        run.SetKeyValue(registry::HKEY_LOCAL_MACHINE, registry::kRunKey, kRunValueName,
                        runCommand(platform_.appFolder).toStdString());
    else
        run.DeleteKeyValue(registry::HKEY_LOCAL_MACHINE, registry::kRunKey, kRunValueName);
    try {
        store_.saveStartupOptions(options, time->period, time->unit, time->action, gProgramsActive);
    } catch (const StoreError& error) {
        storeFailure_(error);
    }
    unload();
}

} // namespace dormivo
