#pragma once

#include "Organisation.h"

#include <QDateTime>
#include <QString>

namespace zelmora::sim {

// The login side of the groupware and the personal top page with its three marked boxes
// (notices, today's schedule, links).
class TopPages {
public:
    TopPages(const Organisation& org, const QString& program, const QDateTime& now)
        : m_org(org), m_program(program), m_now(now) {}

    // The program URL without a session: version, login form and the applications.
    QString front() const;
    QString loginFailed() const;
    QString loginRequired() const;
    QString loginGroups(qint32 groupId) const;
    QString personalTop(qint32 userId) const;

    QString noticeBox(const SimUser& user) const;
    QString scheduleBox(const SimUser& user) const;
    QString linkBox() const;

private:
    QString scheduleLine(const SimAppointment& a) const;

    const Organisation& m_org;
    QString m_program;
    QDateTime m_now;
};

} // namespace zelmora::sim
