#include "net/Transport.h"

#include "core/Settings.h"
#include "net/InetProtocol.h"

namespace zelmora {

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
    return InetProtocol::instance().get(url);
}

PostResult PostForm(const QString& url, const QByteArray& body, const QString& headers) {
    return InetProtocol::instance().post(url, body, headers);
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

bool IsValidPage(const QString& page) {
    // Substring tests in this order on the upper-cased text; a usable page that mentions "error"
    // anywhere is rejected too, as the server's own error pages are recognised no other way.
    const QString text = page.toUpper();
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
    if (text.contains(QStringLiteral("ログインが必要です")))
        return false;
    if (text.contains(kLicenceKeyMissingText))
        return false;
    return true;
}

} // namespace zelmora
