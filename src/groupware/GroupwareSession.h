#pragma once

#include "groupware/BoardMemo.h"
#include "groupware/Records.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace zelmora {

// What the program registered last for the logged-in user, from a position menu or the
// registration dialog. A whereabouts word chosen later from a position menu takes its contact
// text from here.
struct LastRegistration {
    QString position;
    QString contact;
    QDateTime sentAt; // invalid before the first such registration
};

// The groupware state of one run: who is logged in, the board of the displayed group, the
// logged-in user's own entry and the last registration. Login writes the user; the board and
// registration functions read and update the rest.
class GroupwareSession {
public:
    static constexpr qint32 kNoUser = -1;

    qint32 userId() const { return m_userId; }
    // The groupware password as typed; the browser pages send it again when they log in.
    const QString& password() const { return m_password; }
    bool isLoggedIn() const { return m_userId != kNoUser; }
    void setUser(qint32 id, const QString& password);
    // Nobody logged in: id -1, empty password. The board stays readable without a login.
    void clearUser();

    // Members of the displayed group, in board order.
    QList<MemberRecord>& members() { return m_members; }
    const QList<MemberRecord>& members() const { return m_members; }
    // The member with `id` in the displayed group, or nullptr.
    const MemberRecord* findMember(qint32 id) const;

    // A copy of the logged-in user's board row (or own entry); empty until one was read.
    const MemberRecord& ownRecord() const { return m_ownRecord; }
    void setOwnRecord(const MemberRecord& record) { m_ownRecord = record; }
    // Takes the logged-in user's row of `board` as the own record. Returns false, leaving the own
    // record as it was, when the user is not on that board.
    bool takeOwnRecordFrom(const QList<MemberRecord>& board);

    // The board pages read last and their records (GetPositionList).
    BoardMemo& boardMemo() { return m_boardMemo; }

    const LastRegistration& lastRegistration() const { return m_lastRegistration; }
    void recordRegistration(const QString& position, const QString& contact, const QDateTime& sentAt);

private:
    qint32 m_userId = kNoUser;
    qint32 m_ownerId = kNoUser; // user whose own record and last registration are kept
    QString m_password;
    QList<MemberRecord> m_members;
    MemberRecord m_ownRecord;
    LastRegistration m_lastRegistration;
    BoardMemo m_boardMemo;
};

} // namespace zelmora
