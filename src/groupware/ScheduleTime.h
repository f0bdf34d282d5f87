#pragma once

#include "groupware/Records.h"

#include <QString>

namespace zelmora {

// "HH:mm" / "HH:mm-HH:mm" time part of an item followed by a space ("" for kind 0), shared with the alarm.
QString scheduleTimePrefix(const ScheduleItem& item);

} // namespace zelmora
