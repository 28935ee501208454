#include "countdown/SecondsToText.h"

#include <array>
#include <utility>

namespace dormivo {

QString PluralSuffix(std::int64_t count) {
    return count == 1 ? QString() : QStringLiteral("s");
}

QString SecondsToText(std::int64_t seconds) {
    if (seconds <= 0)
        return QStringLiteral("0 seconds");
    const std::array<std::pair<std::int64_t, const char*>, 4> units{
        {{86400, " day"}, {3600, " hour"}, {60, " minute"}, {1, " second"}}};
    QString text;
    for (const auto& [length, name] : units) {
        const std::int64_t count = seconds / length;
        seconds %= length;
        if (count == 0)
            continue;
        if (!text.isEmpty())
            text += QStringLiteral(", ");
        text += QString::number(count) + QLatin1String(name) + PluralSuffix(count);
    }
    return text;
}

} // namespace dormivo
