#pragma once

#include "core/Settings.h"
#include "groupware/GroupwareSession.h"

#include <QString>

namespace zelmora {

// Keeps the groupware login alive over a long run. The server holds the login in a session that it
// forgets when it restarts; every later request of the program is then answered with the "login
// required" page. While an object of this class lives, such an answer makes the transport log the
// session's current user in again, once, and repeat the request (see SetLoginRenewal).
//
// A refused login (the password was changed on the server) is not tried again for the same user
// and password: the program goes on as without renewal, and a login with other credentials (the
// login dialog) makes renewal possible again. A login that got no answer may be tried again by
// the next request.
class SessionRenewal {
public:
    // Both are read at each renewal; they must outlive this object.
    SessionRenewal(const ConnectionSettings& connection, GroupwareSession& session);
    ~SessionRenewal();
    SessionRenewal(const SessionRenewal&) = delete;
    SessionRenewal& operator=(const SessionRenewal&) = delete;

    // Logins sent by this object so far, successful or not.
    int attempts() const { return m_attempts; }

private:
    bool renew();

    const ConnectionSettings& m_connection;
    GroupwareSession& m_session;
    int m_attempts = 0;
    qint32 m_refusedUser = GroupwareSession::kNoUser;
    QString m_refusedPassword;
};

} // namespace zelmora
