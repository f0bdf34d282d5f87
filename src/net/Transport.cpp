#include "net/Transport.h"

#include "core/Logging.h"
#include "core/Settings.h"
#include "net/InetProtocol.h"

#include <QRegularExpression>
#include <QScopeGuard>

#include <array>
#include <bit>
#include <bitset>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Marks in `found` the needles that begin at `i` of the page read upper-cased.
void findNeedlesAt(const char16_t* text, qsizetype size, qsizetype i, std::array<bool, kNeedles>& found) {
    const auto& texts = needles();
    const char16_t first = asciiUpper(text[i]);
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

#if defined(__SSE2__)
// The first three characters of each needle, with bit 0x20 set: a character whose upper case is
// the needle's (ASCII a-z or the same character, where upperCasesAsAscii holds) has the same value
// with that bit set.
struct NeedleStarts {
    std::array<std::array<__m128i, 3>, kNeedles> chars;
};

const NeedleStarts& needleStarts() {
    static const NeedleStarts starts = [] {
        NeedleStarts s;
        for (int k = 0; k < kNeedles; ++k) {
            for (int j = 0; j < 3; ++j)
                s.chars[size_t(k)][size_t(j)] = _mm_set1_epi16(short(needles()[size_t(k)].at(j).unicode() | 0x20));
        }
        return s;
    }();
    return starts;
}

// Eight characters at a time from `i` while ten are left: false when one of them needs the full
// mapping; the needles found at the places where the first three characters of one stand. `i` is
// left where the last characters start.
bool findNeedlesInBlocks(const char16_t* text, qsizetype size, qsizetype& i, std::array<bool, kNeedles>& found) {
    const NeedleStarts& starts = needleStarts();
    const __m128i bit = _mm_set1_epi16(0x20);
    // upperCasesAsAscii fails for 0x80..0x2FFF and 0xFB00..0xFDFF: x - low <= span, unsigned.
    const __m128i low1 = _mm_set1_epi16(short(0x80));
    const __m128i span1 = _mm_set1_epi16(short(0x3000 - 0x80 - 1));
    const __m128i low2 = _mm_set1_epi16(short(0xFB00));
    const __m128i span2 = _mm_set1_epi16(short(0xFE00 - 0xFB00 - 1));
    const __m128i zero = _mm_setzero_si128();
    const auto load = [text](qsizetype at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at)); };
    for (; size - i >= 10; i += 8) {
        const __m128i v = load(i);
        const __m128i full = _mm_or_si128(_mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(v, low1), span1), zero),
                                          _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(v, low2), span2), zero));
        if (_mm_movemask_epi8(full))
            return false;
        const std::array<__m128i, 3> at = {_mm_or_si128(v, bit), _mm_or_si128(load(i + 1), bit),
                                           _mm_or_si128(load(i + 2), bit)};
        __m128i hit = zero;
        for (const auto& chars : starts.chars) {
            hit = _mm_or_si128(hit, _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi16(at[0], chars[0]), _mm_cmpeq_epi16(at[1], chars[1])),
                                                  _mm_cmpeq_epi16(at[2], chars[2])));
        }
        // Two bits of the mask for each character.
        for (unsigned mask = unsigned(_mm_movemask_epi8(hit)); mask; mask &= mask - 1) {
            const qsizetype at = i + std::countr_zero(mask) / 2;
            mask &= mask - 1;
            findNeedlesAt(text, size, at, found);
        }
    }
    return true;
}
#endif

// One pass over the page read upper-cased, looking for every needle at once; nullopt when a
// character needs the full mapping.
std::optional<std::array<bool, kNeedles>> findNeedles(QStringView page) {
    const std::bitset<0x10000>& firsts = startsANeedle();
    std::array<bool, kNeedles> found{};
    const char16_t* text = page.utf16();
    const qsizetype size = page.size();
    qsizetype i = 0;
#if defined(__SSE2__)
    if (!findNeedlesInBlocks(text, size, i, found))
        return std::nullopt;
#endif
    for (; i < size; ++i) {
        const char16_t u = text[i];
        if (!upperCasesAsAscii(u))
            return std::nullopt;
        if (firsts[asciiUpper(u)])
            findNeedlesAt(text, size, i, found);
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
