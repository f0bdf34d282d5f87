#pragma once

#include "groupware/Records.h"

#include <QList>
#include <QStringList>

namespace zelmora {

// Which of the four periodic timers of the resident controller were running.
struct PeriodicTimerStates {
    bool getInterval = false;    // tmrGetIntervalTimer (board clock)
    bool updateInterval = false; // tmrUpdateIntervalTimer (registration clock)
    bool scheduleAlarm = false;  // tmrScheduleAlarmTimer
    bool mouseCapture = false;   // tmrMouseCapture
};

// What the windows ask of the resident controller (`frmMain`): its clocks, the tray menu's
// enabled state and the tray menu items that the status refresh rebuilds. frmMain implements it;
// window tests use a fake.
class ResidentControl {
public:
    virtual ~ResidentControl() = default;

    virtual void OnGetTimer() = 0;
    virtual void OffGetTimer() = 0;
    virtual void ClearGetTimer() = 0;
    virtual void OnUpdateTimer() = 0;
    virtual void OffUpdateTimer() = 0;
    virtual void ClearUpdateTimer() = 0;
    virtual void GetTimerInterval(qint16 intInterval) = 0;
    virtual void UpdateTimerInterval(qint16 intInterval) = 0;
    virtual void OnMenu() = 0;
    virtual void OffMenu() = 0;
    virtual void UpdatePosition(bool bflgForced) = 0;
    virtual void GetData() = 0;

    // Stops the four periodic timers (board clock, registration clock, alarm tick, mouse sampler)
    // and returns which of them ran; RestorePeriodicTimers starts
    // exactly those again. A suspension inside another finds them stopped and restores nothing.
    virtual PeriodicTimerStates SuspendPeriodicTimers() = 0;
    virtual void RestorePeriodicTimers(const PeriodicTimerStates& states) = 0;

    // The tray's link menu: item 0 and the items added at run time. An empty list disables it.
    virtual void SetLinkItems(const QList<LinkItem>& links) = 0;
    // The tray's position menu (`mnuPositionItem`): the place options from the second on ("--"
    // becomes a separator), checked by the own record as the status refresh decides.
    virtual void SetPositionItems(const QStringList& places, const MemberRecord& ownRecord) = 0;
};

// The four periodic timers suspended for a scope: reading or writing UserData.dat while the
// clocks run, so that no timer event runs under a failure message. Nothing without a controller.
class PeriodicTimersSuspended {
public:
    explicit PeriodicTimersSuspended(ResidentControl* resident) : m_resident(resident) {
        if (m_resident)
            m_states = m_resident->SuspendPeriodicTimers();
    }
    ~PeriodicTimersSuspended() {
        if (m_resident)
            m_resident->RestorePeriodicTimers(m_states);
    }
    PeriodicTimersSuspended(const PeriodicTimersSuspended&) = delete;
    PeriodicTimersSuspended& operator=(const PeriodicTimersSuspended&) = delete;

private:
    ResidentControl* m_resident;
    PeriodicTimerStates m_states;
};

// What the resident controller and the dialogs ask of the status window (`frmStatus`).
class StatusControl {
public:
    virtual ~StatusControl() = default;

    virtual void UpdateAppearance() = 0;
    virtual void LockForm() = 0;
    virtual void UnlockForm() = 0;
    virtual void Update() = 0;
    virtual void SetEnableAttention(bool bflgEnableAttention) = 0;
    // Shows the window (restored and raised) as the tray's show command does.
    virtual void ShowStatus() = 0;
    virtual bool IsStatusVisible() const = 0;
};

} // namespace zelmora
