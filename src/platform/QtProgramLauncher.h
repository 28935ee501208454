#pragma once

#include "platform/ProgramLauncher.h"

#include <QStringList>

namespace dormivo {

class QtProgramLauncher final : public ProgramLauncher {
public:
    bool start(const QString& commandLine) override;
    bool startWatched(const QString& program, const QStringList& arguments,
                      FailureReport onFailure) override;

    // How a command line is taken apart: program first, then its arguments.
    static QStringList split(const QString& commandLine);
};

} // namespace dormivo
