#pragma once

#include "groupware/Records.h"

#include <QDateTime>
#include <QList>
#include <QTime>

namespace zelmora {

// Alarm time of an item seen for the first time: start − alarmTiming for kinds 1 and 2 (alarmTiming is a
// time of day read as a span, 00:10:00 = ten minutes before), `now` for any other kind.
QDateTime initialAlarmTime(const ScheduleItem& item, const QTime& alarmTiming, const QDateTime& now);

// Today's schedule after a refresh: `fresh` (as read from the top page) with the armed flag and alarm time
// of the first item of `current` that has the same title, start, end and kind; items without such a match
// are armed with initialAlarmTime(). The result replaces the window's schedule list.
QList<ScheduleItem> mergeSchedule(const QList<ScheduleItem>& current, QList<ScheduleItem> fresh,
                                  const QTime& alarmTiming, const QDateTime& now);

} // namespace zelmora
