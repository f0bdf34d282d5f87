#pragma once

#include "ui/WindowRequests.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace zelmora {

// Browser pages opened from the status window's menus, and the enabled state of the member menus
// that follows the grid's current row. Values only; the window supplies them.

// A page for the deferred opening: kind (`intOpenPageType`: 0 top page, 1 groupware page after
// login, 2 any address without login) and address (`strOpenPageQuery`).
struct StatusPage {
    qint16 type = 0;
    QString address;
    bool operator==(const StatusPage&) const = default;
};

struct StatusPageContext {
    QString programUrl;
    qint32 userId = 0;         // logged-in user
    qint32 currentMember = 0;  // member of the grid's current row
    qint32 clickedMember = 0;  // member of the row last clicked
    qint32 selectedGroup = 0;  // group of the selected tab, 0 without tabs
    qint32 userFirstGroup = 0; // first group of the logged-in user in the directory, 0 when unknown
    QDate today;
};

// "yyyy.m.d" without leading zeros, as the groupware writes dates in its addresses.
QString groupwareDate(const QDate& date);

// The page of the menu item `controlName` (for example "mnuRefGroupSchedule"). Nothing for a
// name that opens no page, and for "mnuAddNewSchedule" when the user's group is unknown: the
// entry page cannot be addressed without it.
std::optional<StatusPage> statusPageFor(const QString& controlName, const StatusPageContext& context);

// Enabled state of the member menus after the grid's current cell changed; an empty optional
// leaves an item as it is.
struct MemberMenuState {
    std::optional<bool> writeTelMemo;         // mnuWriteTelMemo
    std::optional<bool> refMemberTelMemo;     // mnuRefMemberTelMemo
    std::optional<bool> changeMemberPosition; // mnuChangeMemberPosition
    std::optional<bool> rChangePos;           // mnuR_ChangePos
    bool operator==(const MemberMenuState&) const = default;
};

// `rowUserIds` is the window's row list (element r = member of grid row r, element 0 unused);
// `currentRow` the grid's current row; `permission` the state of changing other members' entries.
MemberMenuState memberMenuState(const QList<qint32>& rowUserIds, int currentRow, qint32 userId, qint16 permission);

// What the member whereabouts window shows for one grid row (texts of columns 0..4).
MemberWindowFields memberWindowFields(const QString& name, const QString& position, const QString& memo,
                                      const QString& contact, const QString& updated);

} // namespace zelmora
