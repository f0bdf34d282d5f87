#include "groupware/TelMemo.h"

#include "core/Settings.h"
#include "net/PatternUtils.h"
#include "net/Transport.h"

#include <QRegularExpression>

namespace zelmora {

namespace {

const char16_t* const kRequests[kTelMemoRequestCount] = {
    u"折返しお電話ください。",
    u"連絡があったことをお伝えください。",
    u"伝言を残します。",
};

// The weekday as Japanese calendars abbreviate it, independent of the locale the program runs in.
const char16_t kWeekdays[] = u"月火水木金土日";

bool inRange(const QString& digits, int low, int high) {
    if (digits.isEmpty())
        return true;
    const int value = digits.toInt();
    return value >= low && value <= high;
}

} // namespace

QString telMemoRequestText(int index) {
    if (index < 0 || index >= kTelMemoRequestCount)
        index = 0;
    return QString::fromUtf16(kRequests[index]);
}

QString memoDateCaption(const QDate& date) {
    return QStringLiteral("%1/%2 (").arg(date.month()).arg(date.day()) + QChar(kWeekdays[date.dayOfWeek() - 1]) +
           QStringLiteral(") ");
}

bool isValidMemoTime(const QString& time) {
    QString text = HalfWidthDigits(time);
    text.replace(QChar(u'：'), QLatin1Char(':'));
    text = TrimSpaces(text);
    if (text.isEmpty())
        return true;
    static const QString pattern = QStringLiteral(
        "^(午前|午後)? *(\\d{1,2})(?::(\\d{1,2})(?::(\\d{1,2}))?|時(?:(\\d{1,2})分(?:(\\d{1,2})秒)?)?) *(AM|PM)?\\z");
    const QRegularExpressionMatch m = cachedRegExp(pattern, true).match(text);
    if (!m.hasMatch())
        return false;
    const bool before = m.capturedLength(1) > 0;
    const bool after = m.capturedLength(7) > 0;
    if (before && after)
        return false;
    const QString minutes = m.captured(3).isEmpty() ? m.captured(5) : m.captured(3);
    const QString seconds = m.captured(4).isEmpty() ? m.captured(6) : m.captured(4);
    return inRange(m.captured(2), 0, before || after ? 12 : 23) && inRange(minutes, 0, 59) && inRange(seconds, 0, 59);
}

QString memoBodyText(const QString& memo) {
    QString text = memo;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return TrimSpaces(text);
}

FormData telMemoForm(const TelMemoRequest& memo) {
    FormData form;
    form.add(QStringLiteral("Page"), QStringLiteral("WhereMemo"))
        .add(QStringLiteral("ID"), memo.toUserId)
        .add(QStringLiteral("GID"), QStringLiteral("0"))
        .add(QStringLiteral("Title"), QStringLiteral("電話メモ"))
        .add(QStringLiteral("TitleWhom"), QStringLiteral("さんからの用件です。"))
        .add(QStringLiteral("TitleTime"), QStringLiteral("時刻"))
        .add(QStringLiteral("TitleTel"), QStringLiteral("電話番号"))
        .add(QStringLiteral("TitleMemo"), QStringLiteral("伝言"))
        .add(QStringLiteral("TitleWriter"), QStringLiteral("電話メモ発信者"))
        .add(QStringLiteral("Date"), memo.date)
        .add(QStringLiteral("Time"), TrimSpaces(memo.time))
        .add(QStringLiteral("Whom"), TrimSpaces(memo.whom))
        .add(QStringLiteral("Request"), telMemoRequestText(memo.request))
        .add(QStringLiteral("Tel"), TrimSpaces(memo.tel))
        .add(QStringLiteral("Memo"), memoBodyText(memo.memo))
        .add(QStringLiteral("Writer"), TrimSpaces(memo.writer))
        .add(QStringLiteral("Submit"), QStringLiteral("電話メモを残す"));
    return form;
}

PostResult PostTelMemo(const ConnectionSettings& connection, const TelMemoRequest& memo) {
    // The server's own form sends this header line; it is kept although the body type is the same.
    return PostForm(connection.programUrl + QLatin1Char('?'), telMemoForm(memo),
                    QStringLiteral("Content-Type: application/x-www-form-urlencoded\r\n"));
}

} // namespace zelmora
