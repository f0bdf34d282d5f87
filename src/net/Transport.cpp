#include "net/Transport.h"

#include "core/Logging.h"
#include "core/Settings.h"
#include "net/InetProtocol.h"

#include <QRegularExpression>
#include <QScopeGuard>

#include <array>
#include <bitset>
#include <optional>

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
// The texts IsValidPage looks for, as they read in the upper-cased page.
enum Needle { Error, NotFound, Number404, Http404, Forbidden, Number403, Http403, LoginRequired, LicenceKeyMissing };
constexpr int kNeedles = 9;

const std::array<QString, kNeedles>& needles() {
    static const std::array<QString, kNeedles> texts{
        QStringLiteral("ERROR"),    QStringLiteral("NOT FOUND"), QStringLiteral("404"),
        QStringLiteral("HTTP 404"), QStringLiteral("FORBIDDEN"), QStringLiteral("403"),
        QStringLiteral("HTTP 403"), kLoginRequiredText,          kLicenceKeyMissingText};
    return texts;
}

// The first characters of the needles: the pass looks closer only where one stands.
const std::bitset<0x10000>& startsANeedle() {
    static const std::bitset<0x10000> firsts = [] {
        std::bitset<0x10000> set;
        for (const QString& needle : needles())
            set.set(needle.front().unicode());
        return set;
    }();
    return firsts;
}

bool verdict(const std::array<bool, kNeedles>& found) {
    // Tests in this order; a usable page that mentions "error" anywhere is rejected too, as the
    // server's own error pages are recognised no other way.
    if (found[Error])
        return false;
    if ((found[NotFound] && found[Number404]) || found[Http404])
        return false;
    if ((found[Forbidden] && found[Number403]) || found[Http403])
        return false;
    return !found[LoginRequired] && !found[LicenceKeyMissing];
}

// Where no character's upper case is or holds an ASCII letter, upper-casing the page changes only
// ASCII's a-z: ASCII, and from U+3000 on (kana, kanji, full- and half-width forms) except the Latin
// ligatures at U+FB00. Elsewhere (accented Latin, Greek, the dotless i ...) QString's full mapping.
bool upperCasesAsAscii(char16_t u) {
    return u < 0x80 || (u >= 0x3000 && (u < 0xFB00 || u >= 0xFE00));
}

char16_t asciiUpper(char16_t u) {
    return u >= 'a' && u <= 'z' ? char16_t(u - ('a' - 'A')) : u;
}

// One pass over the page read upper-cased, looking for every needle at once; nullopt when a
// character needs the full mapping.
std::optional<std::array<bool, kNeedles>> findNeedles(QStringView page) {
    const auto& texts = needles();
    const std::bitset<0x10000>& firsts = startsANeedle();
    std::array<bool, kNeedles> found{};
    const char16_t* text = page.utf16();
    const qsizetype size = page.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t u = text[i];
        if (!upperCasesAsAscii(u))
            return std::nullopt;
        const char16_t first = asciiUpper(u);
        if (!firsts[first])
            continue;
        for (int k = 0; k < kNeedles; ++k) {
            const QString& needle = texts[size_t(k)];
            if (found[size_t(k)] || needle.front() != first || size - i < needle.size())
                continue;
            qsizetype j = 1;
            while (j < needle.size() && asciiUpper(text[i + j]) == needle.at(j).unicode())
                ++j;
            found[size_t(k)] = j == needle.size();
        }
    }
    return found;
}
} // namespace

bool IsValidPage(const QString& page) {
    if (page.isEmpty())
        return false;
    if (const auto found = findNeedles(page))
        return verdict(*found);
    const QString text = page.toUpper();
    std::array<bool, kNeedles> found{};
    for (int k = 0; k < kNeedles; ++k)
        found[size_t(k)] = text.contains(needles()[size_t(k)]);
    return verdict(found);
}

} // namespace zelmora
