#include "app/ResidentClocks.h"

namespace zelmora {

bool ResidentClocks::beginGetData() {
    if (m_whileUpdatingData)
        return false;
    m_getClock.off();
    m_whileGettingData = true;
    return true;
}

void ResidentClocks::endGetData() {
    m_whileGettingData = false;
    m_getClock.on();
}

bool ResidentClocks::beginUpdatePosition(bool loggedIn) {
    if (!loggedIn || m_whileGettingData)
        return false;
    m_updateClock.off();
    m_whileUpdatingData = true;
    return true;
}

void ResidentClocks::endUpdatePosition() {
    m_whileUpdatingData = false;
    m_updateClock.on();
}

} // namespace zelmora
