#pragma once

#include "net/FormData.h"
#include "net/TransferResult.h"

#include <QString>

#include <functional>

namespace zelmora {

struct ConnectionSettings;

// The server's page that reports a groupware product without a registered licence key.
inline const QString kLicenceKeyMissingText = QStringLiteral("ライセンスキーが登録されていません");

// Configures the program's transfer object from the connection settings (TIMEOUT, PROXY_MODE,
// PROXY_SERVER, PROXY_PORTNO) and the server logon user name and password.
void SetInetOptions(const ConnectionSettings& connection, const QString& userName, const QString& password);

// GET of `url` on the program's transfer object. An empty page when the watchdog ended the wait
// or the URL is malformed; other failures are in the result's error.
PageResult GetPage(const QString& url);

// POST of a form body (application/x-www-form-urlencoded) to `url`. `headers`: empty or extra
// "Name: value" lines separated by CR LF. timedOut() of the result: cancelled for lack of answer.
PostResult PostForm(const QString& url, const QByteArray& body, const QString& headers = {});
PostResult PostForm(const QString& url, const FormData& form, const QString& headers = {});

// Logs the current user in again; true when the server took the login.
using LoginRenewal = std::function<bool()>;

// Installs the renewal of the groupware login (an empty function removes it). When the answer to a
// GET, or to a POST, is the "login required" page, GetPage and PostForm call it once and, when it
// worked, send the same request once more; otherwise the caller gets the first answer. Requests
// made while the renewal runs (its own login, a timer's request in its wait) are never renewed.
void SetLoginRenewal(LoginRenewal renewal);

// True when the server answered with its "login required" page: the message together with the
// login form's password field. Texts of members (a whereabouts reading "ログインが必要です") reach a
// page as text only, the server writing "<" as "&lt;", so they can never bring a form field along.
bool IsLoginRequiredPage(const QString& page);

// True when `page` is a usable groupware page, false for an empty page and the server's error pages.
bool IsValidPage(const QString& page);

} // namespace zelmora
