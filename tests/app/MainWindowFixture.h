#pragma once

#include "FakePlatform.h"
#include "TempDatabase.h"
#include "frmShutdown.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace dormivo::test {

// A main window over a fresh settings file and recording fakes.
class MainWindowFixture : public ::testing::Test {
protected:
    // Loads the window; arrange the settings file before calling it.
    frmShutdown& load() {
        frmShutdown::Hooks hooks;
        hooks.showProgramsDialog = [this] { ++programsDialogShown; };
        window = std::make_unique<frmShutdown>(fakes.platform, db.store(), hooks);
        return *window;
    }
    template <typename T> T* control(const char* name) {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    QString text(const char* name) {
        if (auto* label = control<QLabel>(name))
            return label->text();
        if (auto* edit = control<QLineEdit>(name))
            return edit->text();
        return control<QComboBox>(name)->currentText();
    }
    bool timerRunning() { return control<QTimer>("Timer1")->isActive(); }

    FakePlatform fakes;
    TempDatabase db;
    int programsDialogShown = 0;
    std::unique_ptr<frmShutdown> window;
};

} // namespace dormivo::test
