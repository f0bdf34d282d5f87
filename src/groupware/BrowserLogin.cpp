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
    return {BrowserNavigation{QUrl::fromUserInput(address), {}, true}};
}

} // namespace zelmora
