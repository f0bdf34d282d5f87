#pragma once

#include "Organisation.h"

#include <QDateTime>

namespace zelmora::sim {

// One step of a busy office, for long runs of the program: every other member's whereabouts moves
// to the next place (or only `moved` of them when it is above 0, the next ones at each step), the user gets a mail, a telephone memo and a new bulletin article, and a new
// appointment 90 minutes ahead (too far ahead for an alarm in a run of an hour). Old memos,
// articles and appointments of earlier steps are dropped, so the state stays the same size.
void churnOrganisation(Organisation& org, qint32 user, int step, const QDateTime& now, int moved = 0);

} // namespace zelmora::sim
