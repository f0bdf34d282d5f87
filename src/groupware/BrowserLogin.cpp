#include "groupware/BrowserLogin.h"

#include "core/Cp932.h"

namespace zelmora {

QByteArray browserLoginBody(qint32 userId, const QString& password, bool* ok) {
    return QByteArrayLiteral("_System=login&_Login=1&_ID=") + QByteArray::number(userId) +
           QByteArrayLiteral("&Password=") + cp932::formEncode(password, ok);
}

QList<BrowserNavigation> topPageNavigations(const QString& programUrl, qint32 userId, const QString& password) {
    BrowserNavigation nav{QUrl(programUrl), {}, true};
    if (userId != 0)
        nav.postBody = browserLoginBody(userId, password);
    return {nav};
}

QList<BrowserNavigation> pageNavigations(const QString& programUrl, const QString& pageUrl, qint32 userId,
                                         const QString& password) {
    if (userId == 0)
        return {BrowserNavigation{QUrl(programUrl), {}, false}};
    return {BrowserNavigation{QUrl(programUrl), browserLoginBody(userId, password), true},
            BrowserNavigation{QUrl(pageUrl), {}, true}};
}

QList<BrowserNavigation> plainNavigations(const QString& address) {
    const QUrl url = linkAddress(address);
    if (!isWebAddress(url))
        return {};
    return {BrowserNavigation{url, {}, true}};
}

QUrl linkAddress(const QString& address) {
    return QUrl::fromUserInput(address.trimmed());
}

bool isWebAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

bool isSameOrigin(const QUrl& a, const QUrl& b) {
    auto defaultPort = [](const QUrl& url) { return url.scheme().toLower() == QLatin1String("https") ? 443 : 80; };
    return isWebAddress(a) && isWebAddress(b) && a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0 &&
           a.host().compare(b.host(), Qt::CaseInsensitive) == 0 && a.port(defaultPort(a)) == b.port(defaultPort(b));
}

} // namespace zelmora
