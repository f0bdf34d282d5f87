#include "groupware/TopPage.h"

#include "core/Settings.h"
#include "net/PatternUtils.h"
#include "net/Transport.h"

#include <QRegularExpression>
#include <QStringList>

#include <limits>

namespace zelmora {

namespace {

// Digits as the top page writes them, half-width or full-width.
const QString kDigit = QStringLiteral("[0-9０-９]");

QString withoutLineBreaks(QString text) {
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

// Count in a notice sentence such as "メールが 3 件</a>届いています。"; 0 when the sentence is missing.
qint16 noticeCount(const QString& box, const QString& before, const QString& after) {
    const QRegularExpression re =
        cachedRegExp(before + QStringLiteral(" (") + kDigit + QStringLiteral("+) 件< */a *>") + after, true);
    const QRegularExpressionMatch m = re.match(box);
    if (!m.hasMatch()) {
        return 0;
    }
    bool ok = false;
    const qint32 count = ReadNumber(m.capturedView(1), &ok);
    // A count too long for the field is still "many", not an error.
    return ok ? qint16(qMin<qint32>(count, std::numeric_limits<qint16>::max())) : std::numeric_limits<qint16>::max();
}

QString noticeBox(const QString& page) {
    const QString end = QStringLiteral("< */table *> *< *p *>");
    // Server versions differ in the spelling of the marker.
    QString box = CutBetweenEx(page, QStringLiteral("<!-- Persional Box -->"), end, CutKeepEnd);
    if (box.isEmpty()) {
        box = CutBetweenEx(page, QStringLiteral("<!-- Personal Box -->"), end, CutKeepEnd);
    }
    return box;
}

const QString& timeOfDay() {
    static const QString pattern = QStringLiteral("(([1-2１-２]") + kDigit + QStringLiteral(")|") + kDigit +
                                   QStringLiteral("):[0-5０-５]") + kDigit;
    return pattern;
}

QTime readTime(QStringView text) {
    const QString time = HalfWidthDigits(text.toString());
    const qsizetype colon = time.indexOf(QLatin1Char(':'));
    if (colon < 0) {
        return {};
    }
    return QTime(time.left(colon).toInt(), time.mid(colon + 1).toInt());
}

// Title of a multi-day appointment: the text of its link, which starts with an image.
QString multiDayText(const QString& line) {
    return CutBetween(line, QStringLiteral("< *a *[^>]*> *< *img *[^>]*>"), QStringLiteral("< */a *>"));
}

ScheduleItem multiDayItem(const QString& text) {
    ScheduleItem item;
    item.kind = ScheduleItem::NoTime;
    item.title = QStringLiteral("(複数日) ") + DecodeEntities(text);
    return item;
}

ScheduleItem dayItem(const QString& line, const QDate& today) {
    const QString text = RegExpReplace(line, QStringLiteral("<[^>]+>"), QString(), true, true);
    ScheduleItem item;
    item.kind = ScheduleItem::NoTime;
    item.title = text;

    static const QString rangePattern =
        QStringLiteral("(") + timeOfDay() + QStringLiteral(")-(") + timeOfDay() + QStringLiteral(")");
    const QRegularExpressionMatch range = cachedRegExp(rangePattern, true).match(text);
    if (range.hasMatch()) {
        const QTime start = readTime(range.capturedView(1));
        const QTime end = readTime(range.capturedView(4));
        if (start.isValid() && end.isValid()) {
            item.kind = ScheduleItem::StartEnd;
            item.start = QDateTime(today, start);
            item.end = QDateTime(today, end);
            item.title = DecodeEntities(text.mid(range.capturedEnd()));
        }
        return item;
    }
    const QRegularExpressionMatch single = cachedRegExp(timeOfDay(), true).match(text);
    if (single.hasMatch()) {
        const QTime start = readTime(single.capturedView(0));
        if (start.isValid()) {
            item.kind = ScheduleItem::StartOnly;
            item.start = QDateTime(today, start);
            item.title = DecodeEntities(text.mid(single.capturedEnd()));
        }
    }
    return item;
}

QList<LinkItem> linksOf(const QString& part) {
    QList<LinkItem> links;
    QStringList entries;
    CutAllBetween(part, QStringLiteral("< *li *>"), QStringLiteral("< */a *>"), entries, CutKeepEnd);
    for (const QString& entry : entries) {
        LinkItem link;
        link.title =
            DecodeEntities(CutBetween(entry, QStringLiteral("< *a +href *= *[^>]*>"), QStringLiteral("< */a *>")));
        // Only an address in double quotes is taken.
        const QString href = CutBetween(entry, QStringLiteral("< *a +href *= *"), QStringLiteral(">"));
        const qsizetype open = href.indexOf(QLatin1Char('"'));
        const qsizetype close = open < 0 ? -1 : href.indexOf(QLatin1Char('"'), open + 1);
        if (close > open) {
            link.url = href.mid(open + 1, close - open - 1);
        }
        links.append(link);
    }
    return links;
}

} // namespace

NoticeCounts GetNotice(const QString& page, qint32 latestArticleId, qint32& lastNotifiedArticleId) {
    NoticeCounts counts;
    const QString box = noticeBox(withoutLineBreaks(page));
    counts.mail = noticeCount(box, QStringLiteral("メールが"), QStringLiteral("届いています。"));
    counts.circular = noticeCount(box, QStringLiteral("未読の回覧が"), QStringLiteral("あります。"));
    counts.memo = noticeCount(box, QStringLiteral("電話メモが"), QStringLiteral("あります。"));
    const qint32 workflow = qint32(noticeCount(box, QStringLiteral("未処理の申請が"), QStringLiteral("あります。"))) +
                            noticeCount(box, QStringLiteral("申請の結果が"), QStringLiteral("出ています。"));
    counts.workflow = qint16(qMin<qint32>(workflow, std::numeric_limits<qint16>::max()));
    if (latestArticleId > lastNotifiedArticleId) {
        counts.newArticle = true;
        lastNotifiedArticleId = latestArticleId;
    }
    return counts;
}

qsizetype GetTodaySchedule(const QString& page, const QString& userName, const QDate& today,
                           QList<ScheduleItem>& items) {
    items.clear();
    const QString box = CutBetweenEx(withoutLineBreaks(page), QStringLiteral("<!-- Schedule -->"),
                                     QStringLiteral("< */td *> *< */tr *> *< */table *> *< *p *>"), CutKeepEnd);
    const QString row = CutBetween(
        box, QStringLiteral("< *b *>") + QRegularExpression::escape(userName) + QStringLiteral("< */b *> *< */td *>"),
        QStringLiteral("< */tr *>"));
    const QString cell = CutBetween(row, QStringLiteral("< *td *>"), QStringLiteral("< */td *>"));

    QStringList lines;
    const qsizetype count = RegExpSplit(cell, QStringLiteral("< *br *>"), lines, true);
    if (count < 0) {
        // Without a line break the cell can only hold a multi-day appointment.
        const QString text = multiDayText(cell);
        if (!text.isEmpty()) {
            items.append(multiDayItem(text));
        }
        return items.size();
    }
    for (qsizetype i = 0; i + 1 < count; ++i) {
        items.append(dayItem(lines.at(i), today));
    }
    // The text after the last break is a multi-day appointment when there is one.
    if (!lines.last().isEmpty()) {
        items.append(multiDayItem(multiDayText(lines.last())));
    }
    return items.size();
}

qsizetype GetLinks(const QString& page, QList<LinkItem>& links) {
    links.clear();
    const QString box = CutBetween(withoutLineBreaks(page), QStringLiteral("<!-- Link -->"), QStringLiteral("< *p *>"));
    QStringList parts;
    if (RegExpSplit(box, QStringLiteral("< *hr +[^>]*>"), parts, true) < 0) {
        links = linksOf(box);
        return links.size();
    }
    links = linksOf(parts.at(0));
    links.append(LinkItem{QStringLiteral("-"), QString()});
    links.append(linksOf(parts.at(1)));
    return links.size();
}

qint32 readLatestArticleId(const QString& page, const QString& programName) {
    const QString text = TrimSpaces(withoutLineBreaks(page));
    const QString box = CutBetween(text, QStringLiteral(" *\\[検索する\\] *< */a *> *< */td *> *< */tr *>"),
                                   QStringLiteral("< *tr *> *< *td[^>]*> *< *font[^>]*> *最新記事へ *< */font *>"));
    const QString linkPattern = QStringLiteral("< *a +href *= *['\"]") + QRegularExpression::escape(programName) +
                                QStringLiteral("\\?page *= *BulletinArticle *& *aid *= *[^>]*>");
    const QRegularExpressionMatch link = cachedRegExp(linkPattern, true).match(box);
    if (!link.hasMatch()) {
        return -1;
    }
    bool ok = false;
    const qint32 id =
        ReadNumber(CutBetween(link.captured(0), QStringLiteral("& *aid *= *"), QStringLiteral("&head")), &ok);
    return ok ? id : -1;
}

qint32 GetLatestArticleId(const ConnectionSettings& connection) {
    const PageResult page = GetPage(connection.programUrl + QStringLiteral("?page=BulletinIndex"));
    return readLatestArticleId(page.text, connection.programName);
}

} // namespace zelmora
