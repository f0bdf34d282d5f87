#include "notify/AlarmLogic.h"

#include "groupware/ScheduleTime.h"

namespace zelmora {

bool isAlarmDue(const ScheduleItem& item, const QDateTime& now) {
    if (!item.armed)
        return false;
    // A cleared alarm time reads as long past, like the zero date it stands for.
    const bool passed = !item.alarmTime.isValid() || now > item.alarmTime;
    switch (item.kind) {
    case ScheduleItem::NoTime:
    case ScheduleItem::StartOnly:
        return passed;
    case ScheduleItem::StartEnd:
        return passed && item.end.isValid() && now < item.end;
    default:
        return false;
    }
}

QString alarmMessage(const ScheduleItem& item) {
    return scheduleTimePrefix(item) + item.title + QStringLiteral("の時間になりました.");
}

std::optional<AlarmRef> AlarmTick::next(QList<ScheduleItem>& schedule, const QDateTime& now) {
    if (!m_enabled)
        return std::nullopt;
    while (m_position < schedule.size()) {
        const qsizetype i = m_position++;
        ScheduleItem& item = schedule[i];
        if (isAlarmDue(item, now)) {
            item.armed = false;
            return AlarmRef{i, item.title};
        }
    }
    return std::nullopt;
}

qsizetype findAlarmTarget(const QList<ScheduleItem>& schedule, const AlarmRef& ref, bool* direct) {
    if (direct)
        *direct = false;
    if (ref.index >= 0 && ref.index < schedule.size() && schedule.at(ref.index).title == ref.title) {
        if (direct)
            *direct = true;
        return ref.index;
    }
    for (qsizetype i = 0; i < schedule.size(); ++i) {
        if (schedule.at(i).title == ref.title)
            return schedule.at(i).armed ? i : -1;
    }
    return -1;
}

bool snoozeAlarm(QList<ScheduleItem>& schedule, const AlarmRef& ref, const QDateTime& now) {
    const qsizetype target = findAlarmTarget(schedule, ref);
    if (target < 0)
        return false;
    schedule[target].alarmTime = now.addSecs(kAlarmSnoozeSeconds);
    schedule[target].armed = true;
    return true;
}

bool cancelAlarm(QList<ScheduleItem>& schedule, const AlarmRef& ref) {
    const qsizetype target = findAlarmTarget(schedule, ref);
    if (target < 0)
        return false;
    schedule[target].alarmTime = QDateTime();
    schedule[target].armed = false;
    return true;
}

} // namespace zelmora
