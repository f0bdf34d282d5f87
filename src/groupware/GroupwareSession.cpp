#include "groupware/GroupwareSession.h"

namespace zelmora {

void GroupwareSession::setUser(qint32 id, const QString& password) {
    // The own record and the last registration belong to one user: another user's login must
    // not send the previous user's contact text.
    if (id != m_ownerId) {
        m_ownRecord = MemberRecord();
        m_lastRegistration = LastRegistration();
        m_ownerId = id;
    }
    m_userId = id;
    m_password = password;
}

void GroupwareSession::clearUser() {
    m_userId = kNoUser;
    m_password.clear();
}

const MemberRecord* GroupwareSession::findMember(qint32 id) const {
    for (const MemberRecord& m : m_members) {
        if (m.id == id)
            return &m;
    }
    return nullptr;
}

bool GroupwareSession::takeOwnRecordFrom(const QList<MemberRecord>& board) {
    if (!isLoggedIn())
        return false;
    // Each of the user's rows overwrites the own record in turn, so the last one counts.
    for (auto m = board.crbegin(); m != board.crend(); ++m) {
        if (m->id == m_userId) {
            m_ownRecord = *m;
            return true;
        }
    }
    return false;
}

void GroupwareSession::recordRegistration(const QString& position, const QString& contact, const QDateTime& sentAt) {
    m_lastRegistration = LastRegistration{position, contact, sentAt};
}

} // namespace zelmora
