#include "notify/ScheduleAlarm.h"

#include "core/Clock.h"
#include "notify/AlarmLogic.h"
#include "notify/frmAlarm.h"

#include <QCoreApplication>

namespace zelmora {

ScheduleAlarm::ScheduleAlarm(QList<ScheduleItem>& schedule, const UserSettings& user, QObject* parent)
    : QObject(parent), m_schedule(schedule), m_user(user) {}

ScheduleAlarm::~ScheduleAlarm() {
    for (const QPointer<frmAlarm>& window : std::as_const(m_windows))
        delete window.data();
}

void ScheduleAlarm::Tick() {
    // The events processed between alarms could run a second check; it would find nothing the
    // first has not raised already, but would interleave its windows with the first one's.
    if (m_ticking)
        return;
    m_windows.removeAll(nullptr);
    // With nothing that could ring, the clock is not read: the local time costs a look at the
    // system's time zone, every minute of the day.
    if (!m_user.NOTIFY_SCHEDULE || m_schedule.isEmpty())
        return;
    m_ticking = true;
    AlarmTick walk(m_user.NOTIFY_SCHEDULE);
    const QDateTime now = Clock::now();
    while (const std::optional<AlarmRef> ref = walk.next(m_schedule, now)) {
        auto* window = new frmAlarm(m_schedule, m_user);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setAlarm(*ref);
        m_windows.append(window);
        window->Load();
        QCoreApplication::processEvents();
    }
    m_ticking = false;
}

QList<frmAlarm*> ScheduleAlarm::openWindows() const {
    QList<frmAlarm*> open;
    for (const QPointer<frmAlarm>& window : m_windows) {
        if (window && window->isVisible())
            open.append(window.data());
    }
    return open;
}

} // namespace zelmora
