#pragma once

#include "core/Settings.h"
#include "groupware/Records.h"

#include <QList>
#include <QObject>
#include <QPointer>

namespace zelmora {

class frmAlarm;

// The schedule alarm check of the resident window: its 60-second timer (`tmrScheduleAlarmTimer`)
// calls Tick, which raises one alarm window for every item of today's schedule whose alarm time
// has passed. With NOTIFY_SCHEDULE off no alarm is raised.
class ScheduleAlarm : public QObject {
    Q_OBJECT
public:
    // `schedule` is today's schedule list as the status refresh keeps it (frmStatus::todaySchedule);
    // it must outlive this object and the alarm windows.
    ScheduleAlarm(QList<ScheduleItem>& schedule, const UserSettings& user, QObject* parent = nullptr);
    ~ScheduleAlarm() override;

    // One check at the clock's current time. Pending events are processed after each alarm
    // window, so a refresh may replace the list in the middle: the walk re-reads its length.
    void Tick();

    // The alarm windows still open, oldest first.
    QList<frmAlarm*> openWindows() const;

private:
    QList<ScheduleItem>& m_schedule;
    const UserSettings& m_user;
    QList<QPointer<frmAlarm>> m_windows;
    bool m_ticking = false;
};

} // namespace zelmora
