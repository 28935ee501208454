#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>

namespace dormivo {

// The outcome of checking the period box against its unit before a countdown starts.
struct PeriodCheck {
    enum class Outcome {
        Accepted,     // totalSeconds holds the period in whole seconds, at least 1
        NotANumber,   // not a number, out of the 32-bit range, or too many seconds
        NotAboveZero, // zero, negative, or so small that it rounds to no second at all
    };
    Outcome outcome = Outcome::NotANumber;
    std::int32_t totalSeconds = 0;
};

// Reads the period as the user's locale writes numbers, rounds it to a whole number of units
// (halves to the even neighbour), and turns it into seconds: exactly "Minutes" means minutes,
// any other unit text means hours. Every step stays within a signed 32-bit count.
PeriodCheck checkPeriod(const QString& periodText, const QString& unitText,
                        const QLocale& locale = QLocale());

} // namespace dormivo
