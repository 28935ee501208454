#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <optional>

namespace dormivo {

// What the command line asks before any window exists: text for stdout or stderr and the
// status to end with, or nothing when the program should go on and start.
struct ArgumentsExit {
    int status = 0;
    QString out;
    QString err;
};

// Reads the arguments (the first is the program) and the environment's display settings.
// Needs no display and no application object, so --help and --version work anywhere.
std::optional<ArgumentsExit> checkProgramArguments(const QStringList& arguments,
                                                   const QProcessEnvironment& environment);

// Prints and returns the exit status when the program must end before it starts.
std::optional<int> handleProgramArguments(int argc, char** argv);

} // namespace dormivo
