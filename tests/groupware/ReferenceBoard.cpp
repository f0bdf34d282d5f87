#include "ReferenceBoard.h"

#include "core/Clock.h"
#include "core/DateTimeText.h"
#include "groupware/Board.h"
#include "net/PatternUtils.h"

#include <QRegularExpression>

namespace zelmora::reference {

namespace {

constexpr QChar kFieldStart(0x00FE);
constexpr QChar kFieldEnd(0x00FF);
const QString kCrLf = QStringLiteral("\r\n");

QRegularExpression pattern(const QString& text) {
    return QRegularExpression(QStringLiteral("(*ANYCRLF)") + text, QRegularExpression::CaseInsensitiveOption);
}

QString field(const QString& key, const QString& value) {
    return kFieldStart + key + value + kFieldEnd;
}

QString cutBetween(const QString& text, const QRegularExpression& start, const QRegularExpression& end) {
    const QRegularExpressionMatch s = start.match(text);
    if (!s.hasMatch())
        return {};
    const QRegularExpressionMatch e = end.match(text, s.capturedEnd());
    if (!e.hasMatch())
        return {};
    return text.mid(s.capturedEnd(), e.capturedStart() - s.capturedEnd());
}

QString rowField(QStringView row, QLatin1String key) {
    const QString start = kFieldStart + key;
    const qsizetype s = row.indexOf(start);
    if (s < 0)
        return {};
    const qsizetype from = s + start.size();
    const qsizetype e = row.indexOf(kFieldEnd, from);
    return e < 0 ? QString() : row.mid(from, e - from).toString();
}

MemberRecord readRow(QStringView row, const QDate& today) {
    MemberRecord r;
    r.id = rowField(row, QLatin1String("ID=")).toInt();
    r.name = rowField(row, QLatin1String("NAME="));
    r.memo = rowField(row, QLatin1String("MEMO=")) == QStringLiteral("○");
    r.position = DecodeEntities(rowField(row, QLatin1String("POS=")));
    const QString update = rowField(row, QLatin1String("UPDATE="));
    if (!update.isEmpty())
        r.updated = readDateTime(update, today);
    r.contact = DecodeEntities(rowField(row, QLatin1String("TEL=")));
    applyRegistrationMarks(r);
    return r;
}

} // namespace

bool readPositionList(const QString& page, const QString& programName, QList<MemberRecord>& members) {
    members.clear();
    // Line breaks out, spaces trimmed; nothing left is no page.
    QString text = page;
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    text = TrimSpaces(text);
    if (text.isEmpty())
        return false;
    text.remove(kFieldStart);
    text.remove(kFieldEnd);

    // The table body between the four-column header row and the end of the form.
    const QRegularExpression header = pattern(QStringLiteral(
        "< *tr +bgcolor *= *[^>]*>< *th +nowrap *> *名前 *< */th *> *< *th +width *= *[^>]*> *電話メモ *< */th *> "
        "*< *th +nowrap *> *行き先 *< */th *> *< *th +nowrap *> *連絡（先） *< */th *> *< */tr *>"));
    const QRegularExpression tableEnd =
        pattern(QStringLiteral("< */table *> *(< *img +[^>]*>[^<]*)? *(< *img +[^>]*>[^<]*)? *< */form *> *< *p *>"));
    text = cutBetween(text.left(text.lastIndexOf(QLatin1Char('>')) + 1), header, tableEnd);

    const QString p = QRegularExpression::escape(programName);
    text.replace(
        pattern(QStringLiteral("< *font +size *= *([^>]*)> *登録されていません *< */font *> *< */a *> *< *br *>")),
        QStringLiteral("<font size=(\\1)>登録されていません</font></a><br><font color=\"red\"></font></td>"));
    text.replace(pattern(QStringLiteral("< *a +href *= *['\"]") + p +
                         QStringLiteral("\\?page *= *OfficeInfo&id *= *(\\d*)['\"]*>([^<]*) *< */a *>")),
                 field(QStringLiteral("ID="), QStringLiteral("\\1")) +
                     field(QStringLiteral("NAME="), QStringLiteral("\\2")));
    text.replace(pattern(QStringLiteral("< *img +src *= *['\"]/cb4/recept\\.gif['\"] +border *= *[^>]*>")),
                 field(QStringLiteral("MEMO="), QStringLiteral("○")));
    text.replace(pattern(QStringLiteral("< *a +href *= *['\"]") + p +
                         QStringLiteral("\\?page *= *WhereEntry&id=[^>]*> *< *font +size *=[^>]*>([^<]*)< */font *> "
                                        "*< */a *> *< *br *> *< *font +color *= *[^>]*>([^<]*)< */font *> *< */td *> "
                                        "*< *td *>([^<]*)< *br *> *< */td *>")),
                 field(QStringLiteral("POS="), QStringLiteral("\\1")) +
                     field(QStringLiteral("UPDATE="), QStringLiteral("\\2")) +
                     field(QStringLiteral("TEL="), QStringLiteral("\\3")) + kCrLf);
    text.replace(pattern(QStringLiteral("<[^>]*>")), QString());
    text.replace(pattern(kFieldStart + QStringLiteral("UPDATE=([^\\(") + kFieldEnd + QStringLiteral("]*)\\(.\\)")),
                 kFieldStart + QStringLiteral("UPDATE=\\1 "));

    const QList<QStringView> pieces = QStringView(text).split(kCrLf);
    const QDate today = Clock::today();
    for (qsizetype i = 0; i + 1 < pieces.size(); ++i)
        members.append(readRow(pieces.at(i), today));
    return true;
}

} // namespace zelmora::reference
