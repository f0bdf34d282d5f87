#pragma once

#include "app/IntervalClock.h"

namespace zelmora {

// The two counting clocks of frmMain and the flags that keep a board read (GetData) and an automatic
// registration (UpdatePosition) from overlapping while either waits for the server. frmMain wires:
//   board tick:  if (getClock().tick()) GetData();
//   GetData:     if (!beginGetData()) return; OffMenu … frmStatus.Update() … OnMenu; endGetData();
//   reg. tick:   if (updateClock().tick()) UpdatePosition(false);
//   UpdatePosition(forced): if (!beginUpdatePosition(loggedIn)) return; … endUpdatePosition();
class ResidentClocks {
public:
    IntervalClock& getClock() { return m_getClock; }
    IntervalClock& updateClock() { return m_updateClock; }
    const IntervalClock& getClock() const { return m_getClock; }
    const IntervalClock& updateClock() const { return m_updateClock; }

    // False while a registration runs (skip the read). Otherwise stops the board clock and sets
    // bflgWhileGettingData.
    bool beginGetData();
    // Clears bflgWhileGettingData and starts the board clock again.
    void endGetData();

    // False when nobody is logged in or a board read runs (skip the pass, touch no menu). Otherwise stops
    // the registration clock and sets bflgWhileUpdatingData.
    bool beginUpdatePosition(bool loggedIn);
    // Clears bflgWhileUpdatingData and starts the registration clock again.
    void endUpdatePosition();

    bool bflgWhileGettingData() const { return m_whileGettingData; }
    bool bflgWhileUpdatingData() const { return m_whileUpdatingData; }

private:
    IntervalClock m_getClock;
    IntervalClock m_updateClock;
    bool m_whileGettingData = false;
    bool m_whileUpdatingData = false;
};

} // namespace zelmora
