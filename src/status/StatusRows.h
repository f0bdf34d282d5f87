#pragma once

#include "status/RowColour.h"

#include "groupware/Records.h"

#include <QDate>
#include <QList>
#include <QString>

namespace zelmora {

// One member row of the board grid, columns 0..4 ready to write. Columns 0 and 2 are always black; columns
// 1, 3 and 4 take `colour`. `updated` is empty when the member has no update time (the cell is not written).
struct StatusRow {
    qint32 userId = 0; // lngRowUserID of the row
    QString name;
    QString position;
    QString memo; // "○" or empty
    QString contact;
    QString updated; // "yyyy/MM/dd HH:mm"
    CellColour colour = CellColour::Black;
};

// Header texts of grid row 0.
QList<QString> statusHeaders();

// Rows of the grid for the tab of group `tabGroupId`, in member-list order. A member whose id is not in the
// user directory is never shown; otherwise it gets one row per entry of `tabGroupId` in the user's group
// list (normally one).
QList<StatusRow> statusRows(const QList<MemberRecord>& members, const QList<UserRecord>& users, qint32 tabGroupId,
                            const QDate& today);

} // namespace zelmora
