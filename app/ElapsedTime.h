#pragma once

#include <QString>

#include <cstdint>

// Wall-clock instant as the class library keeps it: days since 1899-12-30, time of day as
// the fraction.
double currentDateTime();

// The difference end - start in the pattern "nn:ss:zz": minutes of the hour and seconds as
// two digits, milliseconds with at least two digits (5 ms gives "05", 250 ms "250").
// Written by hand: Qt would read "zz" as two single-digit "z".
QString elapsedTimeText(double startDateTime, double endDateTime);
QString elapsedTimeText(int64_t elapsedMs);
