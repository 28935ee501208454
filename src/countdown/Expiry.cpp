#include "countdown/Expiry.h"

#include "common/Flags.h"
#include "common/Words.h"
#include "registry/SplitCommandLine.h"
#include "registry/UpdateRunEntries.h"

#include <QDir>

namespace dormivo {

Expiry::Expiry(SettingsStore& store, ProgramLauncher& launcher, registry::RegistryApi& registry,
               MessageBoxes& messages, QString appFolder)
    : store_(store), launcher_(launcher), registry_(registry), messages_(messages),
      appFolder_(std::move(appFolder)) {}

void Expiry::run(const QString& actionName) {
    const std::optional<ActionEntry> action = store_.lookupAction(actionName.toStdString());
    if (!action) {
        messages_.show(
            QStringLiteral("There is no action named \"%1\", so nothing was done.").arg(actionName),
            MessageStyle::Critical, kProductTitle);
        return;
    }
    if (actionName != kLauchProgram) {
        runPowerAction(actionName, action->command);
        return;
    }
    if (gProgramsActive != "1") {
        messages_.show(QStringLiteral("The programs in setting are set to inactive mode"),
                       MessageStyle::Critical, kProductTitle);
        return;
    }
    launchPrograms();
}

void Expiry::runPowerAction(const QString& name, const std::string& command) {
    // The stored command names a program of the application folder: split on its own, so that
    // no blank in the folder's path can make a prefix of it the program.
    QStringList arguments;
    for (const auto& argument : registry::splitArguments(command))
        arguments << QString::fromStdString(argument);
    const QString program =
        arguments.isEmpty() ? QString() : appFolder_ + QDir::separator() + arguments.takeFirst();
    // A power action that fails later (refused by the system, say) is reported too, as long
    // as this object is there to report it.
    const std::weak_ptr<Expiry*> self = self_;
    const auto reportFailure = [self, name](const QString& errorOutput) {
        if (const auto alive = self.lock())
            (*alive)->messages_.show(
                QStringLiteral("The action \"%1\" failed.\n\n%2").arg(name, errorOutput),
                MessageStyle::Critical, kProductTitle);
    };
    if (program.isEmpty() || !launcher_.startWatched(program, arguments, reportFailure))
        messages_.show(QStringLiteral("The action \"%1\" could not be carried out: its command "
                                      "could not be started.\n\n%2")
                           .arg(name, (QStringList(program) + arguments).join(QLatin1Char(' '))),
                       MessageStyle::Critical, kProductTitle);
}

void Expiry::launchPrograms() {
    const std::vector<std::string> programs = store_.loadPrograms();
    registry::Registry registry(registry_);
    QStringList failed;
    for (std::size_t i = 0; i < programs.size(); ++i) {
        // One that cannot be started does not hold up the rest; all such are told at the end.
        const QString program = QString::fromStdString(programs[i]);
        if (!launcher_.start(program))
            failed << (program.trimmed().isEmpty() ? QStringLiteral("(an empty entry)") : program);
        registry::deleteRunEntry(registry, static_cast<int>(i));
    }
    if (!failed.isEmpty())
        messages_.show(QStringLiteral("These programs of the list could not be started:\n\n") +
                           failed.join(QLatin1Char('\n')),
                       MessageStyle::Critical, kProductTitle);
}

} // namespace dormivo
