#include "app/ElapsedTime.h"

#include <QDateTime>

#include <cmath>

namespace
{

constexpr double msPerDay = 86400000.0;
// Milliseconds from 1899-12-30 to the Unix epoch.
constexpr int64_t epochOffsetMs = 25569LL * 86400000LL;

} // namespace

double currentDateTime()
{
    return static_cast<double>(QDateTime::currentMSecsSinceEpoch() + epochOffsetMs) / msPerDay;
}

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
