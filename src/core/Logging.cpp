#include "core/Logging.h"

#include "core/Cp932.h"

#include <QRegularExpression>

Q_LOGGING_CATEGORY(lcNet, "zelmora.net", QtWarningMsg)
Q_LOGGING_CATEGORY(lcRegistration, "zelmora.registration", QtWarningMsg)
Q_LOGGING_CATEGORY(lcApp, "zelmora.app", QtWarningMsg)
Q_LOGGING_CATEGORY(lcStatus, "zelmora.status", QtWarningMsg)
Q_LOGGING_CATEGORY(lcEventLoop, "zelmora.eventloop", QtWarningMsg)
Q_LOGGING_CATEGORY(lcPerf, "zelmora.perf", QtWarningMsg)
Q_LOGGING_CATEGORY(lcDiag, "zelmora.diag", QtWarningMsg)

namespace zelmora {

QString redactPasswords(const QString& requestText) {
    static const QRegularExpression field(QStringLiteral("((?:^|[?&])[^=&]*password=)[^&]*"),
                                          QRegularExpression::CaseInsensitiveOption);
    QString result = requestText;
    result.replace(field, QStringLiteral("\\1***"));
    return result;
}

QString describeFormBody(const QByteArray& body) {
    QStringList fields;
    for (const QByteArray& field : body.split('&')) {
        const qsizetype equals = field.indexOf('=');
        const QString name = cp932::formDecode(equals < 0 ? field : field.left(equals));
        if (equals < 0) {
            fields << name;
            continue;
        }
        const bool secret = name.contains(QLatin1String("password"), Qt::CaseInsensitive);
        fields << name + QLatin1Char('=') +
                      (secret ? QStringLiteral("***") : cp932::formDecode(QByteArrayView(field).sliced(equals + 1)));
    }
    return fields.join(QLatin1Char('&'));
}

} // namespace zelmora
