#pragma once

#include "groupware/Records.h"

#include <QDate>

namespace zelmora {

// Text colour of a board cell; the window maps it to its palette (red 255,0,0, magenta 255,0,255,
// blue 0,0,255).
enum class CellColour { Black, Red, Magenta, Blue };

// Colour of the whereabouts, contact and update-time cells of a member, first match wins: not updated today
// (including no update time at all) → Red; whereabouts text with "?" anywhere → Magenta; with "*" → Blue;
// otherwise Black.
CellColour entryColour(const MemberRecord& member, const QDate& today);

} // namespace zelmora
