#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace dormivo {

// A number as the 16-bit whole number that the settings file and the Run entries keep:
// rounded to the nearest one, halves to the even neighbour; nothing when it is not finite or
// does not fit.
std::optional<std::int16_t> roundToInt16(double number);

// The same for a text that holds one decimal number, with blanks or tabs around it allowed;
// nothing for any other text.
std::optional<std::int16_t> textToInt16(std::string_view text);

// A period that a countdown is asked for and kept with, in minutes or hours: the settings file
// keeps it as a 16-bit whole number. (The main window's Start reads its box on its own terms,
// up to as many units as fit 2147483647 seconds.)
inline constexpr int kMinPeriod = 1;
inline constexpr int kMaxPeriod = std::numeric_limits<std::int16_t>::max();
constexpr bool isPeriod(long long units) {
    return units >= kMinPeriod && units <= kMaxPeriod;
}
// How the texts that ask for a period name its limits: "1 to 32767".
std::string periodLimits();

} // namespace dormivo
