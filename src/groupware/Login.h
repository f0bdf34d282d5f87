#pragma once

#include "core/Settings.h"
#include "groupware/GroupwareSession.h"
#include "net/TransferResult.h"

#include <QString>

namespace zelmora {

// Title of the server check page and of the personal top page: the only texts these requests
// rely on.
inline const QString kServerCheckText = QStringLiteral("サイボウズ(R) Office Version 4.0");
inline const QString kTopPageTitle = QStringLiteral("サイボウズ Office 4 個人トップページ");

// True when the program URL leads to a Cybozu Office 4 server. `page`, when given, receives the
// answer (or the transfer error) so that the caller can tell "no answer" from "another server".
bool CheckServer(const ConnectionSettings& connection, PageResult* page = nullptr);

// Logs `userId` in with `password`. On success the session's user becomes them; on failure
// nobody is logged in. The server keeps the login in the transfer object's cookies.
bool Login(const ConnectionSettings& connection, GroupwareSession& session, qint32 userId, const QString& password,
           PageResult* page = nullptr);

// Clears the mask stored in `connection` and returns the applications the logged-in user's top
// page links to; the caller stores the result.
ApplicationFlags GetUsableApplications(ConnectionSettings& connection);

// The mask of applications linked from a top page's text.
ApplicationFlags usableApplicationsOf(const QString& topPage);

} // namespace zelmora
