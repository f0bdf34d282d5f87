#include "status/StatusText.h"

namespace zelmora {

QString statusTitle(bool failed, const QDateTime& now) {
    if (failed)
        return QStringLiteral("ゼルモラ - サーバーにアクセスできません");
    return QStringLiteral("ゼルモラ - ") + now.toString(QStringLiteral("yyyy/MM/dd HH:mm")) + QStringLiteral(" 更新");
}

namespace {
void addNotice(NoticeSummary& summary, bool present, const QString& line, quint16 bit, bool notify) {
    if (!present)
        return;
    summary.lines.append(line);
    summary.informationType |= bit;
    summary.due = summary.due || notify;
}
} // namespace

NoticeSummary summarizeNotices(const NoticeCounts& counts, const UserSettings& user) {
    NoticeSummary s;
    addNotice(s, counts.mail != 0, QStringLiteral("メールが%1件届いています。").arg(counts.mail), 1, user.NOTIFY_MAIL);
    addNotice(s, counts.circular != 0, QStringLiteral("未読の回覧が%1件あります。").arg(counts.circular), 2,
              user.NOTIFY_CIRCULAR);
    addNotice(s, counts.memo != 0, QStringLiteral("電話メモが%1件あります。").arg(counts.memo), 4, user.NOTIFY_MEMO);
    addNotice(s, counts.newArticle, QStringLiteral("新着の掲示があります。"), 8, user.NOTIFY_NEW_ARTICLE);
    addNotice(s, counts.workflow != 0, QStringLiteral("申請・決済書類が%1件あります。").arg(counts.workflow), 16,
              user.NOTIFY_WORKFLOW);
    return s;
}

QStringList scheduleLines(const QList<ScheduleItem>& schedule) {
    QStringList lines;
    for (const ScheduleItem& item : schedule) {
        if (item.kind == ScheduleItem::NoTime || item.kind == ScheduleItem::StartOnly ||
            item.kind == ScheduleItem::StartEnd)
            lines.append(scheduleTimePrefix(item) + item.title);
    }
    return lines;
}

} // namespace zelmora
