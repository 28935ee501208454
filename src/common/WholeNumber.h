#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace dormivo {

// A number as the 16-bit whole number that the settings file and the Run entries keep:
// rounded to the nearest one, halves to the even neighbour; nothing when it is not finite or
// does not fit.
std::optional<std::int16_t> roundToInt16(double number);

// The same for a text that holds one decimal number, with blanks or tabs around it allowed;
// nothing for any other text.
std::optional<std::int16_t> textToInt16(std::string_view text);

} // namespace dormivo
