#pragma once

#include <QDate>
#include <QDateTime>
#include <QStringView>
#include <QTime>
#include <QTimeZone>

namespace zelmora {

// Reading of date and time texts the way the locale date reader of a Japanese desktop reads them
// (the board's update times, the own entry's update time, ALARM_TIMING). The grammar is written
// down once, in DateTimeText.cpp.

// A date, a time, or both in either order. A date without a year falls in the year of `today`, or
// in the year before when that would put it more than a day after `today` (an entry from late
// December read in early January). A time alone lies on the zero day, 1899-12-30, as the desktop's
// date values count from it; the zero day at midnight is "no date" and gives an invalid value, as
// does any text that is not a date or a time. The value is local time; with a valid `zone` (the
// system's, QTimeZone::systemTimeZone()) it has that zone's date, time and moment, which costs a
// twentieth of a local time made by the C library (a reader of a thousand times takes the zone
// once). Away from the zone's clock changes such a value carries the zone's offset rather than the
// zone itself; it reads and compares the same.
QDateTime readDateTime(QStringView text, const QDate& today, const QTimeZone& zone = {});

// The time part of the same grammar on its own ("0:10:00", "午前 0:10:00", "12:10:00 AM"); an
// invalid QTime when the text is not a time of day.
QTime readTimeOfDay(QStringView text);

} // namespace zelmora
