#include "net/Transport.h"

#include "core/Logging.h"
#include "core/Settings.h"
#include "net/InetProtocol.h"

#include <QRegularExpression>
#include <QScopeGuard>

namespace zelmora {

namespace {

LoginRenewal& installedRenewal() {
    static LoginRenewal renewal;
    return renewal;
}

bool g_renewing = false;

// One renewal at a time: the login it sends, and any request a timer makes while it waits, must
// not start another one.
bool renewLogin(const QString& url) {
    if (g_renewing || !installedRenewal())
        return false;
    qCInfo(lcNet).noquote() << "login required for" << redactPasswords(url) << "- logging in again";
    g_renewing = true;
    const auto done = qScopeGuard([] { g_renewing = false; });
    const LoginRenewal renewal = installedRenewal(); // the call may install another one
    const bool renewed = renewal();
    qCInfo(lcNet) << (renewed ? "logged in again; repeating the request" : "logging in again failed");
    return renewed;
}

} // namespace

void SetLoginRenewal(LoginRenewal renewal) {
    installedRenewal() = std::move(renewal);
}

bool IsLoginRequiredPage(const QString& page) {
    static const QRegularExpression passwordField(QStringLiteral("(*ANYCRLF)< *input +[^>]*type *= *['\"]?password"),
                                                  QRegularExpression::CaseInsensitiveOption);
    return page.contains(kLoginRequiredText) && passwordField.match(page).hasMatch();
}

void SetInetOptions(const ConnectionSettings& connection, const QString& userName, const QString& password) {
    InetOptions options;
    options.timeoutSeconds = connection.TIMEOUT;
    options.proxyMode = connection.PROXY_MODE;
    options.proxyServer = connection.PROXY_SERVER;
    options.proxyPort = connection.PROXY_PORTNO;
    options.userName = userName;
    options.password = password;
    InetProtocol::instance().setOptions(options);
}

PageResult GetPage(const QString& url) {
    PageResult result = InetProtocol::instance().get(url);
    if (IsLoginRequiredPage(result.text) && renewLogin(url))
        result = InetProtocol::instance().get(url);
    return result;
}

PostResult PostForm(const QString& url, const QByteArray& body, const QString& headers) {
    PostResult result = InetProtocol::instance().post(url, body, headers);
    // The server refused the form without acting on it, so sending it again cannot register twice.
    if (result.loginRequired && renewLogin(url))
        result = InetProtocol::instance().post(url, body, headers);
    return result;
}

PostResult PostForm(const QString& url, const FormData& form, const QString& headers) {
    bool ok = true;
    const QByteArray body = form.encoded(&ok);
    if (!ok) {
        PostResult result;
        result.error = TransferError::UnencodableText;
        return result;
    }
    return PostForm(url, body, headers);
}

namespace {
// The text upper-cased as far as the needles of IsValidPage can tell, in one tight pass over
// ASCII's a-z where no other character's upper case is or holds an ASCII letter: ASCII, and from
// U+3000 on (kana, kanji, full- and half-width forms) except the block of the Latin ligatures at
// U+FB00. Other text takes QString's full mapping.
QString upperCased(const QString& page) {
    QString text(page.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (const QChar c : page) {
        const char16_t u = c.unicode();
        if (u >= 0x80 && (u < 0x3000 || (u >= 0xFB00 && u < 0xFE00)))
            return page.toUpper();
        *out++ = u >= 'a' && u <= 'z' ? char16_t(u - ('a' - 'A')) : u;
    }
    return text;
}
} // namespace

bool IsValidPage(const QString& page) {
    // Substring tests in this order on the upper-cased text; a usable page that mentions "error"
    // anywhere is rejected too, as the server's own error pages are recognised no other way.
    const QString text = upperCased(page);
    if (text.isEmpty())
        return false;
    if (text.contains(QLatin1String("ERROR")))
        return false;
    if ((text.contains(QLatin1String("NOT FOUND")) && text.contains(QLatin1String("404"))) ||
        text.contains(QLatin1String("HTTP 404")))
        return false;
    if ((text.contains(QLatin1String("FORBIDDEN")) && text.contains(QLatin1String("403"))) ||
        text.contains(QLatin1String("HTTP 403")))
        return false;
    if (text.contains(kLoginRequiredText))
        return false;
    if (text.contains(kLicenceKeyMissingText))
        return false;
    return true;
}

} // namespace zelmora
