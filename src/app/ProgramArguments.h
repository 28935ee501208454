#pragma once

#include "app/ProgramCommand.h"

#include <variant>

namespace dormivo {

// Prints what is to be said and returns the status to end with.
int finish(const ArgumentsExit& exit);

// Answers what the command line asks before any window exists: help, the version, bad input,
// a start or command that a running Dormivo answers (which needs no display), and a missing
// display. The running Dormivo is the one of settingsFile. Returns the status to end with, or
// the command this start carries to its window.
std::variant<int, ProgramCommand> handleProgramArguments(int argc, char** argv,
                                                         const QString& settingsFile);

} // namespace dormivo
