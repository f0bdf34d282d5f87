#include "groupware/SessionRenewal.h"

#include "core/Logging.h"
#include "groupware/Login.h"
#include "net/Transport.h"

namespace zelmora {

SessionRenewal::SessionRenewal(const ConnectionSettings& connection, GroupwareSession& session)
    : m_connection(connection), m_session(session) {
    SetLoginRenewal([this] { return renew(); });
}

SessionRenewal::~SessionRenewal() {
    SetLoginRenewal({});
}

bool SessionRenewal::renew() {
    if (!m_session.isLoggedIn())
        return false;
    const qint32 userId = m_session.userId();
    const QString password = m_session.password();
    if (userId == m_refusedUser && password == m_refusedPassword)
        return false;
    ++m_attempts;
    // Login clears the user when it fails; a failed renewal must leave the program's state as it
    // was, so the login goes through a scratch session. On success the state is already right.
    GroupwareSession scratch;
    PageResult page;
    if (Login(m_connection, scratch, userId, password, &page)) {
        m_refusedUser = GroupwareSession::kNoUser;
        m_refusedPassword.clear();
        return true;
    }
    // An answer that is not the top page is a refusal; no answer at all may be better next time.
    if (!page.isError() && !page.text.isEmpty()) {
        qCInfo(lcNet) << "the server refused the login of user" << userId << "- not renewed again";
        m_refusedUser = userId;
        m_refusedPassword = password;
    }
    return false;
}

} // namespace zelmora
