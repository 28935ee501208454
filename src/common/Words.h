#pragma once

#include <cstdint>

// The program's own words that several folders use, each kept once. Plain texts, so that
// every folder can read them, Qt or not.
namespace dormivo {

// The program's name, as its message boxes and its notification-area icon title it.
inline constexpr char kProductTitle[] = "Dormivo";
// The application title, shown by the one message box that has no title of its own.
inline constexpr char kApplicationTitle[] = "Project1";
// The first tip of the notification-area icon: the program's one-line description.
inline constexpr char kFileDescription[] = "Dormivo countdown timer";
// The one icon handle of the program: every window carries the application icon.
inline constexpr std::int32_t kApplicationIconHandle = 1;
// The one action that launches the programs list instead of a power command.
inline constexpr char kLauchProgram[] = "Lauch Program";

} // namespace dormivo
