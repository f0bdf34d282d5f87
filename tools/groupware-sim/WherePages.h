#pragma once

#include "Organisation.h"

#include <QDateTime>
#include <QString>

namespace zelmora::sim {

// Pages of the whereabouts application: the board of a group, the entry form of a member, the
// refusal to change another member's entry, telephone memos and a member's profile.
class WherePages {
public:
    WherePages(const Organisation& org, const QString& program, const QDateTime& now, qint32 sessionUser)
        : m_org(org), m_program(program), m_now(now), m_user(sessionUser) {}

    QString board(qint32 groupId) const;
    QString entry(qint32 memberId) const;
    QString refusal(qint32 memberId) const;
    QString memos(qint32 memberId) const;
    QString memberInfo(qint32 memberId) const;

    QString boardRow(const SimUser& member, qint32 groupId) const;
    QString groupSelect(qint32 groupId) const;

private:
    QString entryForm(const SimUser& member, const SimEntry* e) const;
    QString sessionName() const;

    const Organisation& m_org;
    QString m_program;
    QDateTime m_now;
    qint32 m_user;
};

} // namespace zelmora::sim
