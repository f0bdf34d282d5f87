#pragma once

#include "FormFields.h"
#include "Organisation.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QString>

#include <mutex>

namespace zelmora::sim {

struct SimRequest {
    QByteArray method; // "GET" or "POST"
    QByteArray rawQuery;
    QByteArray body;
    QByteArray sessionToken; // value of the session cookie, empty without one
};

struct SimReply {
    int status = 200;
    QString html;
    QString kind;               // what the request was, for the request log
    qint32 user = 0;            // session user after the request, 0 for none
    QByteArray newSessionToken; // set as cookie when not empty
    bool sessionEnded = false;  // clear the cookie
    FormFields fields;          // decoded query and body fields
};

// The imitated groupware behind the program URL: sessions, the request index, and the changes
// that the two forms make. Thread-safe: the HTTP server calls handle() from several threads.
class Groupware {
public:
    static constexpr const char* kSessionCookie = "CBSESSID";

    Groupware(const Organisation& org, const QString& program);

    SimReply handle(const SimRequest& request, const QDateTime& now);

    int expireSessions();
    void replaceOrganisation(const Organisation& org);
    // One step of changes of a busy office (Churn.h) in the view of `user`; returns the step's number.
    int churn(qint32 user, const QDateTime& now, int moved = 0);
    // The organisation in its data-file form plus the open sessions ("sessions": user ids).
    QJsonObject state() const;
    QString program() const { return m_program; }

private:
    SimReply dispatch(const SimRequest& request, FormFields fields, qint32 user, const QDateTime& now);
    SimReply login(const FormFields& fields, const QByteArray& oldToken, const QDateTime& now);
    SimReply postEntry(const FormFields& fields, qint32 user, const QDateTime& now);
    SimReply postMemo(const FormFields& fields, qint32 user, const QDateTime& now);
    SimReply page(const QString& name, const FormFields& fields, qint32 user, const QDateTime& now);
    qint32 homeGroup(qint32 user) const;

    mutable std::mutex m_mutex;
    Organisation m_org;
    QString m_program;
    QHash<QByteArray, qint32> m_sessions;
    int m_churnSteps = 0;
};

} // namespace zelmora::sim
