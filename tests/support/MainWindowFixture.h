#pragma once

#include "app/frmShutdown.h"
#include "common/Flags.h"
#include "shell/ImageButton.h"
#include "shell/SkinPictures.h"
#include "support/FakePlatform.h"
#include "support/TempDatabase.h"
#include "support/Widgets.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace dormivo::test {

class MainWindowFixture : public ::testing::Test {
protected:
    // Loads the window afresh, as at a new start; arrange the settings file before calling it.
    frmShutdown& load() {
        window.reset();
        resetFlags();
        window = std::make_unique<frmShutdown>(fakes.platform, db.store(), windows);
        windows.add(window.get());
        window->load();
        return *window;
    }
    QString text(const char* name) {
        if (auto* label = control<QLabel>(window, name))
            return label->text();
        if (auto* edit = control<QLineEdit>(window, name))
            return edit->text();
        return control<QComboBox>(window, name)->currentText();
    }
    bool timerRunning() { return control<QTimer>(window, "Timer1")->isActive(); }
    // One second of the countdown, as the clock and the timer give it.
    void tick() {
        fakes.clock.pass(1000);
        ASSERT_TRUE(QMetaObject::invokeMethod(control<QTimer>(window, "Timer1"), "timeout"));
    }
    // The skin picture a picture button shows now (a SkinPictures::Face), 0 for none of them.
    int face(const char* button) {
        const QImage shown = control<ImageButton>(window, button)->pixmap().toImage();
        for (int face = SkinPictures::kMinimizeBarLit; face <= SkinPictures::kFlatButton; ++face)
            if (SkinPictures::picture(face, window->devicePixelRatioF()).toImage() == shown)
                return face;
        return 0;
    }
    // A one-minute countdown on that action with secondsLeft to go; forgets what came so far.
    void startCountdown(int secondsLeft, int action = 0) {
        load();
        control<QComboBox>(window, "Combo1")->setCurrentIndex(action);
        control<QComboBox>(window, "cmbtime")->setCurrentIndex(0);
        control<QLineEdit>(window, "txtTime")->setText("1");
        window->Image2_Click(kStartButton);
        ASSERT_TRUE(window->countdown().isRunning);
        for (int second = secondsLeft; second < 60; ++second)
            tick();
        fakes.messages.shown.clear();
        fakes.log.clear();
    }
    QStringList told() const { return fakes.messages.shown; }
    // The one message told: the settings file failed, named, with the engine's text last.
    bool toldSettingsFailure(const QString& engineText) const {
        const QStringList all = told();
        return all.size() == 1 && all[0].startsWith(QStringLiteral("Dormivo, critical: ")) &&
               all[0].contains(QString::fromStdString(db.path())) &&
               all[0].endsWith(QStringLiteral("(%1)").arg(engineText));
    }

    FakePlatform fakes;
    TempDatabase db;
    std::vector<int> endings; // the exit statuses the program was ended with
    WindowTable windows{[this](int status) { endings.push_back(status); }};
    std::unique_ptr<frmShutdown> window;
};

} // namespace dormivo::test
