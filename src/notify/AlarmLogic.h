#pragma once

#include "groupware/Records.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace zelmora {

// Snooze span of cmdAlarmOn ("5分後に通知").
inline constexpr qint64 kAlarmSnoozeSeconds = 5 * 60;

// Whether an item's alarm is to be raised at `now`: armed and now strictly after the alarm time (an alarm
// time equal to now is due at the next tick); kind 2 also needs now before the end; unknown kinds never.
bool isAlarmDue(const ScheduleItem& item, const QDateTime& now);

// An alarm window's hold on its item: intAlarmScheduleIndex (0-based here) and strAlarmScheduleName.
struct AlarmRef {
    qsizetype index = -1;
    QString title;
};

// Text of lblSchedule: "[time prefix]title" + "の時間になりました.".
QString alarmMessage(const ScheduleItem& item);

// One alarm check over today's schedule. The window layer processes events between steps, and a refresh may
// replace the list meanwhile: next() reads the list's current length at every step, so a list that shrank
// ends the walk instead of being read past its end.
class AlarmTick {
public:
    // enabled: NOTIFY_SCHEDULE; with it off no alarm is ever raised.
    explicit AlarmTick(bool enabled) : m_enabled(enabled) {}

    // Finds the next due item from the walk's position on, unarms it (as the alarm window's loading does, so
    // that the next tick does not raise it again) and returns it; nullopt when the walk is over.
    std::optional<AlarmRef> next(QList<ScheduleItem>& schedule, const QDateTime& now);

private:
    bool m_enabled;
    qsizetype m_position = 0;
};

// The item an alarm window's buttons act on, or -1. Direct target: the item at ref.index when it still
// carries ref.title. Otherwise (the list was replaced) the first item with that title, only if it is armed.
qsizetype findAlarmTarget(const QList<ScheduleItem>& schedule, const AlarmRef& ref, bool* direct = nullptr);

// cmdAlarmOn: the target is armed again with alarm time now + 5 minutes. Returns false when no target.
bool snoozeAlarm(QList<ScheduleItem>& schedule, const AlarmRef& ref, const QDateTime& now);

// cmdAlarmoff: the target is unarmed and its alarm time cleared. Returns false when no target.
bool cancelAlarm(QList<ScheduleItem>& schedule, const AlarmRef& ref);

} // namespace zelmora
