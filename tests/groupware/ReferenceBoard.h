#pragma once

#include "groupware/Records.h"

#include <QList>
#include <QString>

namespace zelmora::reference {

// The board reader written as the literal sequence of whole-page replacements (remove the line
// breaks, cut the table, rewrite the cells into marked fields one pattern at a time, strip the
// tags, drop the weekday, split at the row ends, read the fields). It is slow and obviously right;
// the program's reader must give the same records for every page.
bool readPositionList(const QString& page, const QString& programName, QList<MemberRecord>& members);

} // namespace zelmora::reference
