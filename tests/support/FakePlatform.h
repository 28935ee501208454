#pragma once

#include "Platform.h"

#include <QStringList>

#include <vector>

namespace dormivo::test {

struct ShownMessage {
    QString text;
    MessageStyle style;
    QString title;
};

// Records every message instead of showing it, so nothing ever waits for a click.
class FakeMessageBoxes final : public MessageBoxes {
public:
    void show(const QString& text, MessageStyle style, const QString& title) override {
        shown.push_back({text, style, title});
    }
    std::vector<ShownMessage> shown;
};

// Records the command lines it is asked to start; starts nothing.
class FakeLauncher final : public ProgramLauncher {
public:
    bool start(const QString& commandLine) override {
        started << commandLine;
        return !failing.contains(commandLine);
    }
    QStringList started;
    QStringList failing; // command lines that "cannot be started"
};

class FakeFilePicker final : public FilePicker {
public:
    QString openFileName(QWidget*) override { return nextPick; }
    QString nextPick;
};

struct NotifyCall {
    NotifyMessage message;
    NotifyIconData data;
};

// Records every request to the notification area.
class FakeNotifyIconShell final : public NotifyIconShell {
public:
    void notify(NotifyMessage message, const NotifyIconData& data) override {
        calls.push_back({message, data});
    }
    std::vector<NotifyCall> calls;
};

// A whole set of fakes, with the process-wide flags reset for each test.
struct FakePlatform {
    FakePlatform();
    FakeMessageBoxes messages;
    FakeLauncher launcher;
    FakeFilePicker filePicker;
    FakeNotifyIconShell notifyIcons;
    Platform platform;
};

} // namespace dormivo::test
