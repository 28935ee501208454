#pragma once

#include "platform/LinuxProcessWatch.h"
#include "platform/Platform.h"
#include "registry/HiveRegistry.h"
#include "support/QtPrinting.h"

#include <QStringList>

#include <functional>
#include <vector>

namespace dormivo::test {

// The fakes record what they are asked and show or start nothing: no test reaches the desktop.
class FakeMessageBoxes final : public MessageBoxes {
public:
    void show(const QString& text, MessageStyle style, const QString& title) override {
        shown << QStringLiteral("%1, %2: %3")
                     .arg(title, style == MessageStyle::Critical ? "critical" : "information",
                          text);
        if (whileShown)
            whileShown();
    }
    QStringList shown;
    std::function<void()> whileShown; // what a real box would do to the desktop meanwhile
};

// What the fakes were asked to do, in order, across fakes: "start <line>", "delete <name>".
using EventLog = QStringList;

class FakeLauncher final : public ProgramLauncher {
public:
    explicit FakeLauncher(EventLog& log) : log_(log) {}
    bool start(const QString& commandLine) override {
        log_ << QStringLiteral("start ") + commandLine;
        return !failing.contains(commandLine);
    }
    bool startWatched(const QString& program, const QStringList& arguments,
                      FailureReport onFailure) override {
        watching = std::move(onFailure);
        return start((QStringList(program) + arguments).join(' '));
    }
    FailureReport watching; // the report of the last watched program
    QStringList failing;    // command lines that "cannot be started"

private:
    EventLog& log_;
};

class FakeRegistry final : public registry::HiveRegistry {
public:
    explicit FakeRegistry(EventLog& log) : log_(log) {}
    registry::Status deleteValue(registry::Key key, const std::string& name) override {
        log_ << QStringLiteral("delete ") + QString::fromStdString(name);
        return HiveRegistry::deleteValue(key, name);
    }

private:
    EventLog& log_;
};

class FakeFilePicker final : public FilePicker {
public:
    QString openFileName(QWidget*) override { return nextPick; }
    QString nextPick;
};

class FakeNotifyIconShell final : public NotifyIconShell {
public:
    void notify(NotifyMessage message, const NotifyIconData&) override { last = message; }
    bool isAvailable() const override { return available; }
    void offerMenu(const NotifyIconData&, QMenu*) override {}
    NotifyMessage last{};
    bool available = true;
};

// The desktop messages shown and withdrawn: "show <text>", "withdraw".
class FakeNotifier final : public Notifier {
public:
    void show(const QString& text, std::vector<NotifierChoice> offered) override {
        events << QStringLiteral("show ") + text;
        choices = std::move(offered);
    }
    void withdraw() override {
        events << QStringLiteral("withdraw");
        choices.clear();
    }
    bool choose(const QString& key) {
        for (const auto& choice : choices)
            if (choice.key == key) {
                const auto run = choice.choose; // choosing may withdraw the message
                run();
                return true;
            }
        return false;
    }
    QStringList events;
    std::vector<NotifierChoice> choices; // those of the shown message
};

// Time passes only when a test says so; a clock jump or a sleep moves one clock alone.
class FakeClock final : public Clock {
public:
    std::int64_t sinceBootMs() const override { return boot; }
    std::int64_t wallMs() const override { return wall; }
    void pass(std::int64_t ms) {
        boot += ms;
        wall += ms;
    }
    std::int64_t boot = 5'000'000;
    std::int64_t wall = 1'770'000'000'000;
};

struct FakePlatform {
    EventLog log;
    FakeMessageBoxes messages;
    FakeLauncher launcher{log};
    FakeFilePicker filePicker;
    FakeNotifyIconShell notifyIcons;
    FakeNotifier notifier;
    FakeRegistry registry{log};
    FakeClock clock;
    LinuxProcessWatch processes; // only reads /proc
    Platform platform{messages, launcher, filePicker, notifyIcons,
                      notifier, registry, clock,      QStringLiteral("/opt/dormivo"),
                      processes};
};

} // namespace dormivo::test
