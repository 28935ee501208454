#pragma once

#include "app/ProgramCommand.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace dormivo {

// The lines a later start and the running Dormivo exchange over the one-instance socket, each
// ended by a newline. A start without a command asks "show", followed by its activation token
// if it has one; a command travels as its arguments, each percent-encoded, after "run" (after
// "at" and the instant the caller worked out, for a clock time). The answer
// is what the later start prints and its status; an answer with nothing to print and status 0 is
// "shown", what a later start has always heard. The most bytes of a line, newline included. A
// request is bounded tightly, as anything may send one; an answer carries texts of the settings
// file and the window, such as a long action name typed into the action box.
inline constexpr qsizetype kMaxRequest = 4096;
inline constexpr qsizetype kMaxAnswer = 1 << 20;

QByteArray encodeRequest(const ProgramCommand& command);
// A line without its newline; nothing when it asks for no command Dormivo knows.
std::optional<ProgramCommand> decodeRequest(QByteArrayView line);

QByteArray encodeAnswer(const ArgumentsExit& answer);
std::optional<ArgumentsExit> decodeAnswer(QByteArrayView line);

} // namespace dormivo
