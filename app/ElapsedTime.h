#pragma once

#include "controls/DateTimeText.h"

#include <QString>

#include <cstdint>

// The difference end - start in the pattern "nn:ss:zz": minutes of the hour and seconds as
// two digits, milliseconds with at least two digits (5 ms gives "05", 250 ms "250").
// Written by hand: Qt would read "zz" as two single-digit "z".
QString elapsedTimeText(double startDateTime, double endDateTime);
QString elapsedTimeText(int64_t elapsedMs);
