#pragma once

#include "core/Settings.h"
#include "notify/AlarmLogic.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace zelmora {

// The alarm window of one appointment of today's schedule: the message, a sound, "5分後に通知"
// (remind again in five minutes) and "アラームを解除" (cancel). Each alarm has its own window;
// several can be open at once. The buttons find their item again by title when a refresh has
// replaced the list meanwhile.
class frmAlarm : public QDialog {
    Q_OBJECT
public:
    frmAlarm(QList<ScheduleItem>& schedule, const UserSettings& user, QWidget* parent = nullptr);

    // intAlarmScheduleIndex (0-based here) and strAlarmScheduleName, set before Load.
    void setAlarm(const AlarmRef& ref) { m_ref = ref; }
    const AlarmRef& alarm() const { return m_ref; }

    // Shows the window above all others, unarms the item, writes the message and sounds
    // ALARM_SOUNDFILE (or the beep).
    void Load();

    void cmdAlarmOn_Click();
    void cmdAlarmoff_Click();

    QLabel* lblSchedule() const { return m_lblSchedule; }
    QPushButton* cmdAlarmOn() const { return m_cmdAlarmOn; }
    QPushButton* cmdAlarmoff() const { return m_cmdAlarmoff; }

private:
    void createControls();
    void placeControls();

    QList<ScheduleItem>& m_schedule;
    const UserSettings& m_user;
    AlarmRef m_ref;

    QLabel* m_imgImage = nullptr;
    QLabel* m_lblSchedule = nullptr;
    QPushButton* m_cmdAlarmOn = nullptr;
    QPushButton* m_cmdAlarmoff = nullptr;
};

} // namespace zelmora
