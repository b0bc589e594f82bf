#include "app/ElapsedTime.h"

#include <cmath>

namespace
{

constexpr double msPerDay = 86400000.0;

} // namespace

QString elapsedTimeText(double startDateTime, double endDateTime)
{
    // A date-time value shows only its time of day, counted from the absolute value.
    const auto ms = static_cast<int64_t>(std::llround(std::fabs(endDateTime - startDateTime) * msPerDay));
    return elapsedTimeText(ms % 86400000);
}

QString elapsedTimeText(int64_t elapsedMs)
{
    if (elapsedMs < 0)
        elapsedMs = -elapsedMs;
    const int64_t minutes = (elapsedMs / 60000) % 60;
    const int64_t seconds = (elapsedMs / 1000) % 60;
    const int64_t millis = elapsedMs % 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds, 2, 10, QLatin1Char('0'))
        .arg(millis, 2, 10, QLatin1Char('0'));
}
