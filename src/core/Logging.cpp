#include "core/Logging.h"

#include <QRegularExpression>

Q_LOGGING_CATEGORY(lcNet, "zelmora.net", QtWarningMsg)
Q_LOGGING_CATEGORY(lcRegistration, "zelmora.registration", QtWarningMsg)
Q_LOGGING_CATEGORY(lcApp, "zelmora.app", QtWarningMsg)

namespace zelmora {

QString redactPasswords(const QString& requestText) {
    static const QRegularExpression field(QStringLiteral("((?:^|[?&])[^=&]*password=)[^&]*"),
                                          QRegularExpression::CaseInsensitiveOption);
    QString result = requestText;
    result.replace(field, QStringLiteral("\\1***"));
    return result;
}

} // namespace zelmora
