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
// Characters whose upper case is themselves or never an ASCII letter: ASCII, and from U+3000 on
// (kana, kanji, full- and half-width forms) except the Latin ligatures U+FB00... and their block.
bool upperCaseStaysApart(QStringView text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x80 && (u < 0x3000 || (u >= 0xFB00 && u < 0xFE00)))
            return false;
    }
    return true;
}

// The rejections below, on a text where `has` tells whether an upper-case needle occurs.
template <typename Has>
bool usable(Has has) {
    if (has(QLatin1String("ERROR")))
        return false;
    if ((has(QLatin1String("NOT FOUND")) && has(QLatin1String("404"))) || has(QLatin1String("HTTP 404")))
        return false;
    if ((has(QLatin1String("FORBIDDEN")) && has(QLatin1String("403"))) || has(QLatin1String("HTTP 403")))
        return false;
    if (has(kLoginRequiredText) || has(kLicenceKeyMissingText))
        return false;
    return true;
}
} // namespace

bool IsValidPage(const QString& page) {
    // Substring tests in this order on the upper-cased text; a usable page that mentions "error"
    // anywhere is rejected too, as the server's own error pages are recognised no other way.
    if (page.isEmpty())
        return false;
    if (upperCaseStaysApart(page)) {
        // Upper-casing maps ASCII letters to ASCII letters and leaves the rest: a search that
        // ignores case finds the ASCII needles without a copy of the page; the Japanese ones have
        // no case.
        return usable([&page](const auto& needle) { return page.contains(needle, Qt::CaseInsensitive); });
    }
    const QString text = page.toUpper();
    return usable([&text](const auto& needle) { return text.contains(needle); });
}

} // namespace zelmora
