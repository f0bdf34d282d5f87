#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

namespace zelmora {

// What a browser window does to show a groupware page already logged in: post the login form to
// the program URL, wait for it to load, then go to the page. The window executes the steps; the
// steps themselves are plain data so that they can be checked without a browser.

// "Content-Type" value of the login post.
inline constexpr char kLoginContentType[] = "application/x-www-form-urlencoded";

// Body of the groupware's login form for the browser. The password travels as its cp932 bytes,
// percent-encoded as a Shift_JIS form would send it, so that "&", "+" or "%" in it cannot split
// the field. `ok` becomes false when the password has characters without a cp932 code.
QByteArray browserLoginBody(qint32 userId, const QString& password, bool* ok = nullptr);

struct BrowserNavigation {
    QUrl url;
    QByteArray postBody;     // empty: a plain GET
    bool waitForLoad = true; // show the window only after this navigation finished loading

    bool isPost() const { return !postBody.isEmpty(); }
};

// Navigations of the top page opener: the login post to the program URL when a user is logged
// in (userId != 0), else the program URL alone.
QList<BrowserNavigation> topPageNavigations(const QString& programUrl, qint32 userId, const QString& password);

// Navigations of the page opener: login post, then `pageUrl`. Without a logged-in user the
// program URL is shown instead of the page (it would only answer with the login form), and the
// window is shown without waiting.
QList<BrowserNavigation> pageNavigations(const QString& programUrl, const QString& pageUrl, qint32 userId,
                                         const QString& password);

// A plain address (a link of the top page): one navigation, no login. None when the address is
// no web address (isWebAddress): a link of the top page may hold any scheme.
QList<BrowserNavigation> plainNavigations(const QString& address);

// True for an http or https address, the only kind the program opens. "javascript:", "file:",
// "data:" and custom schemes would act inside the logged-in browser or outside the program.
bool isWebAddress(const QUrl& url);
// The address a top-page link is opened at (a bare host name becomes an http address).
QUrl linkAddress(const QString& address);

// True when both addresses have the same scheme, host and port (the scheme's port when none is
// written): the server logon credentials are given to the configured server's origin only.
bool isSameOrigin(const QUrl& a, const QUrl& b);

// What a browser window tells its user when it refuses something (shown in the window).
inline const QString kForeignAuthenticationNotice =
    QStringLiteral("%1 がユーザー名とパスワードを求めましたが、設定されたサーバー以外には送信しません.");
inline const QString kRefusedAuthenticationNotice =
    QStringLiteral("サーバーがサーバーログオンのユーザー名とパスワードを受け付けませんでした.");
inline const QString kNoServerLogonNotice =
    QStringLiteral("サーバーがユーザー名とパスワードを求めていますが、サーバーログオンが設定されていません.");
inline const QString kRefusedAddressNotice =
    QStringLiteral("このアドレスは開けません(開けるのは http と https のアドレスだけです): %1");
// The message box for a top-page link that is no web address.
inline const QString kRefusedLinkMessage =
    QStringLiteral("このリンクは開けません.\r\n開けるのは http または https のアドレスだけです.");

} // namespace zelmora
