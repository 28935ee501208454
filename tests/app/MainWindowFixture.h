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
#include <vector>

namespace dormivo::test {

// A main window over a fresh settings file and recording fakes.
class MainWindowFixture : public ::testing::Test {
protected:
    // Loads the window; arrange the settings file before calling it.
    frmShutdown& load() {
        window = std::make_unique<frmShutdown>(fakes.platform, db.store(), windows);
        windows.add(window.get());
        window->load();
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
    std::vector<int> endings; // the exit statuses the program was ended with
    WindowTable windows{[this](int status) { endings.push_back(status); }};
    std::unique_ptr<frmShutdown> window;
};

} // namespace dormivo::test
