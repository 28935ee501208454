#pragma once

#include <QString>

#include <cstdint>

namespace dormivo {

// "" for exactly one, "s" for any other count.
QString PluralSuffix(std::int64_t count);

// Whole seconds as English text, largest unit first, units of zero left out:
// 3661 -> "1 hour, 1 minute, 1 second"; zero or less -> "0 seconds".
QString SecondsToText(std::int64_t seconds);

} // namespace dormivo
