#pragma once

#include "Organisation.h"

#include <QDateTime>
#include <QString>

namespace zelmora::sim {

// The bulletin board, the simple views of the other applications and the error pages.
class ApplicationPages {
public:
    ApplicationPages(const Organisation& org, const QString& program, const QDateTime& now, qint32 sessionUser)
        : m_org(org), m_program(program), m_now(now), m_user(sessionUser) {}

    QString bulletinIndex() const;
    QString bulletinArticle(qint32 articleId) const;
    QString schedule(qint32 memberId) const;
    QString simpleApplication(const QString& page) const;
    QString notUsable() const;

    // The groupware's own error page (an unknown page or a broken request).
    static QString groupwareError(const QString& detail);
    // What the groupware shows instead of any page while its licence key is missing.
    static QString licenceMissing();
    // Bodies of the web server's own answers for a status code, as IIS wrote them.
    static QString httpStatusPage(int status);

private:
    QString header(const QString& title) const;

    const Organisation& m_org;
    QString m_program;
    QDateTime m_now;
    qint32 m_user;
};

} // namespace zelmora::sim
