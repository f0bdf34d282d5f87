#include "status/ScheduleMerge.h"

#include <algorithm>

namespace zelmora {

namespace {
bool sameAppointment(const ScheduleItem& a, const ScheduleItem& b) {
    return a.title == b.title && a.start == b.start && a.end == b.end && a.kind == b.kind;
}
} // namespace

QDateTime initialAlarmTime(const ScheduleItem& item, const QTime& alarmTiming, const QDateTime& now) {
    if (item.kind != ScheduleItem::StartOnly && item.kind != ScheduleItem::StartEnd)
        return now;
    const qint64 leadMs = alarmTiming.isValid() ? alarmTiming.msecsSinceStartOfDay() : 0;
    return item.start.addMSecs(-leadMs);
}

QList<ScheduleItem> mergeSchedule(const QList<ScheduleItem>& current, QList<ScheduleItem> fresh,
                                  const QTime& alarmTiming, const QDateTime& now) {
    for (ScheduleItem& item : fresh) {
        const auto known = std::find_if(current.cbegin(), current.cend(),
                                        [&item](const ScheduleItem& old) { return sameAppointment(old, item); });
        if (known != current.cend()) {
            item.armed = known->armed;
            item.alarmTime = known->alarmTime;
        } else {
            item.armed = true;
            item.alarmTime = initialAlarmTime(item, alarmTiming, now);
        }
    }
    return fresh;
}

} // namespace zelmora
