#include "PageReading.h"

namespace zelmora::test::reading {

namespace {
const QString S = QString(QChar(0xFE)); // field markers; never in decoded page text
const QString E = QString(QChar(0xFF));
} // namespace

QRegularExpression rx(const QString& pattern) {
    return QRegularExpression(QStringLiteral("(*ANYCRLF)") + pattern, QRegularExpression::CaseInsensitiveOption);
}

QString removeBreaks(const QString& text) {
    QString t = text;
    return t.remove(rx(QStringLiteral("[\\r\\n]")));
}

QString cutBetween(const QString& text, const QString& start, const QString& end, int flags) {
    const auto s = rx(start).match(text);
    if (!s.hasMatch())
        return {};
    const QString rest = text.mid((flags & 1) ? s.capturedStart() : s.capturedEnd());
    const auto e = rx(end).match(rest);
    if (!e.hasMatch())
        return {};
    return rest.left((flags & 2) ? e.capturedEnd() : e.capturedStart());
}

QStringList cutAllBetween(const QString& text, const QString& start, const QString& end, int flags) {
    QList<QRegularExpressionMatch> starts, ends;
    for (auto it = rx(start).globalMatch(text); it.hasNext();)
        starts.append(it.next());
    for (auto it = rx(end).globalMatch(text); it.hasNext();)
        ends.append(it.next());
    QStringList pieces;
    qsizetype i = 0, j = 0, last = -1;
    while (i < starts.size() && j < ends.size()) {
        if (starts[i].capturedStart() <= last) {
            ++i;
        } else if (ends[j].capturedStart() < starts[i].capturedStart()) {
            ++j;
        } else {
            QString piece = text.mid(starts[i].capturedEnd(), ends[j].capturedStart() - starts[i].capturedEnd());
            if (flags & 1)
                piece.prepend(starts[i].captured());
            if (flags & 2)
                piece.append(ends[j].captured());
            pieces.append(piece);
            last = ends[j].capturedStart();
            ++i;
            ++j;
        }
    }
    return pieces;
}

QStringList split(const QString& text, const QString& pattern) {
    QStringList pieces;
    qsizetype cursor = 0;
    for (auto it = rx(pattern).globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        pieces.append(m.capturedStart() > cursor ? text.mid(cursor, m.capturedStart() - cursor) : QString());
        cursor = m.capturedEnd();
    }
    if (pieces.isEmpty())
        return {};
    pieces.append(text.mid(cursor));
    return pieces;
}

QList<QPair<QString, QString>> selectOptions(const QString& page, const QString& name) {
    const QString start = QStringLiteral("(< *select +name *= *['\"]") + name +
                          QStringLiteral("['\"] *[^>]*>)|(< *select +name *= *") + name + QStringLiteral(" *[^>]*>)");
    QString rest = cutBetween(page, start, QStringLiteral("< */select *>"));
    QList<QPair<QString, QString>> options;
    for (;;) {
        const QString part =
            cutBetween(rest, QStringLiteral("< *option( value *=)?"), QStringLiteral("\\r|\\n|(\\r\\n)|<"));
        if (part.isEmpty())
            break;
        QStringList pieces;
        const auto m = QRegularExpression(QStringLiteral(" *> *")).match(part);
        pieces << (m.hasMatch() ? part.left(m.capturedStart()) : part)
               << (m.hasMatch() ? part.mid(m.capturedEnd()) : QString());
        QString value = pieces[0].trimmed();
        if (value.startsWith(u'\'') || value.startsWith(u'"'))
            value = value.section(value.at(0), 1, 1);
        value = value.remove(rx(QStringLiteral(" *selected"))).trimmed();
        options.append({value, pieces[1].trimmed()});
        const auto drop = rx(QStringLiteral("< *option( value *=)?.*>")).match(rest);
        rest = rest.mid(drop.capturedEnd());
    }
    return options;
}

QString decodeEntities(const QString& text) {
    QString t = text;
    t.replace(rx(QStringLiteral("&quot;")), QStringLiteral("\""));
    t.replace(rx(QStringLiteral("&lt;")), QStringLiteral("<"));
    t.replace(rx(QStringLiteral("&gt;")), QStringLiteral(">"));
    return t;
}

bool isValidPage(const QString& page) {
    const QString t = page.toUpper();
    if (t.isEmpty() || t.contains(QLatin1String("ERROR")))
        return false;
    if ((t.contains(QLatin1String("NOT FOUND")) && t.contains(QLatin1String("404"))) ||
        t.contains(QLatin1String("HTTP 404")))
        return false;
    if ((t.contains(QLatin1String("FORBIDDEN")) && t.contains(QLatin1String("403"))) ||
        t.contains(QLatin1String("HTTP 403")))
        return false;
    return !t.contains(QStringLiteral("ログインが必要です")) &&
           !t.contains(QStringLiteral("ライセンスキーが登録されていません"));
}

QDateTime readDateTime(const QString& text) {
    return QDateTime::fromString(text.simplified(), QStringLiteral("yyyy/MM/dd HH:mm"));
}

QList<BoardRow> readBoard(const QString& page, const QString& program, bool* ok) {
    QList<BoardRow> rows;
    QString t = removeBreaks(page).trimmed();
    if (ok)
        *ok = !t.isEmpty();
    t = cutBetween(
        t,
        QStringLiteral("< *tr +bgcolor *= *[^>]*>< *th +nowrap *> *名前 *< */th *> *< *th +width *= *[^>]*> "
                       "*電話メモ *< */th *> *< *th +nowrap *> *行き先 *< */th *> *< *th +nowrap *> *連絡（先） "
                       "*< */th *> *< */tr *>"),
        QStringLiteral("< */table *> *(< *img +[^>]*>[^<]*)? *(< *img +[^>]*>[^<]*)? *< */form *> *< *p *>"));
    t.replace(rx(QStringLiteral("< *font +size *= *([^>]*)> *登録されていません *< */font *> *< */a *> *< *br *>")),
              QStringLiteral("<font size=(\\1)>登録されていません</font></a><br><font color=\"red\"></font></td>"));
    t.replace(rx(QStringLiteral("< *a +href *= *['\"]") + program +
                 QStringLiteral("\\?page *= *OfficeInfo&id *= *(\\d*)['\"]*>([^<]*) *< */a *>")),
              S + QStringLiteral("ID=\\1") + E + S + QStringLiteral("NAME=\\2") + E);
    t.replace(rx(QStringLiteral("< *img +src *= *['\"]/cb4/recept\\.gif['\"] +border *= *[^>]*>")),
              S + QStringLiteral("MEMO=○") + E);
    t.replace(rx(QStringLiteral("< *a +href *= *['\"]") + program +
                 QStringLiteral(
                     "\\?page *= *WhereEntry&id=[^>]*> *< *font +size *=[^>]*>([^<]*)< */font *> *< */a *> *< *br "
                     "*> *< *font +color *= *[^>]*>([^<]*)< */font *> *< */td *> *< *td *>([^<]*)< *br *> *< */td *>")),
              S + QStringLiteral("POS=\\1") + E + S + QStringLiteral("UPDATE=\\2") + E + S + QStringLiteral("TEL=\\3") +
                  E + QStringLiteral("\r\n"));
    t.remove(rx(QStringLiteral("<[^>]*>")));
    t.replace(rx(S + QStringLiteral("UPDATE=([^\\(]*)\\(.\\)")), S + QStringLiteral("UPDATE=\\1 "));
    const QStringList pieces = split(t, QStringLiteral("\\r\\n"));
    for (qsizetype i = 0; i + 1 < pieces.size(); ++i) {
        const QString& row = pieces[i];
        auto field = [&](const char* key) { return cutBetween(row, S + QLatin1String(key), E); };
        BoardRow r;
        r.id = field("ID=").toInt();
        r.name = field("NAME=");
        r.memo = field("MEMO=") == QStringLiteral("○");
        r.position = decodeEntities(field("POS="));
        r.updateText = field("UPDATE=");
        r.updated = readDateTime(r.updateText);
        r.contact = decodeEntities(field("TEL="));
        rows.append(r);
    }
    return rows;
}

BoardRow readOwnEntry(const QString& page) {
    BoardRow r;
    const QString row =
        cutBetween(removeBreaks(page).trimmed(), QStringLiteral("< *tr +bgcolor *= *['\"]?#ffffff['\"]? *>"),
                   QStringLiteral("< */tr *> *< */table *>"))
            .trimmed();
    r.name =
        cutBetween(row, QStringLiteral("< *td *> *< *font +size *= *\\+1>"), QStringLiteral("< */font *> *< *br *>"));
    if (r.name.isEmpty())
        return r;
    auto dropThrough = [](const QString& text, const QString& pattern) {
        const auto m = rx(pattern).match(text);
        return m.hasMatch() ? text.mid(m.capturedEnd()) : text;
    };
    QString rest = dropThrough(row, QStringLiteral("< *td *> *< *font +size *= *\\+1> *") + r.name +
                                        QStringLiteral(" *< */font *> *< *br *>"));
    r.position = decodeEntities(
        cutBetween(rest, QStringLiteral("< *td *> *< *font +size *= *\\+1>"), QStringLiteral("< */font *>")));
    rest = dropThrough(rest, QStringLiteral("< *td *> *< *font +size *= *\\+1> *[^<]*< */font *>"));
    r.updateText = cutBetween(rest, QStringLiteral("< *br *>"), QStringLiteral("< */td *>"));
    r.updated = readDateTime(QString(r.updateText).remove(rx(QStringLiteral(" \\(.\\)"))));
    rest = dropThrough(rest, QStringLiteral("< */td *>"));
    r.contact = decodeEntities(cutBetween(rest, QStringLiteral("< *td *>"), QStringLiteral("< *br *>")));
    return r;
}

void collectMembers(const QString& groupPage, const QString& program, qint32 groupId, QList<DirectoryUser>& users) {
    QString page = groupPage;
    for (;;) {
        const QString cut =
            cutBetween(page, program + QStringLiteral("\\?page=OfficeInfo&id="), QStringLiteral("< */a *>"));
        if (cut.isEmpty())
            break;
        const QStringList pieces = split(cut, QStringLiteral("['\"]?>"));
        const qint32 id = pieces.value(0).toInt();
        const QString name = pieces.value(1);
        bool found = false;
        for (DirectoryUser& u : users)
            if (u.id == id && u.name == name) {
                u.groups.append(groupId);
                found = true;
            }
        if (!found)
            users.append({id, name, {groupId}});
        const auto drop = rx(program + QStringLiteral("\\?page=OfficeInfo&id=.*< */a *>")).match(page);
        page = page.mid(drop.capturedEnd());
    }
}

} // namespace zelmora::test::reading
