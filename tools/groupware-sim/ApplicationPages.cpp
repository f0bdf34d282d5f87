#include "ApplicationPages.h"

#include "PageChrome.h"

namespace zelmora::sim {

QString ApplicationPages::header(const QString& title) const {
    const SimUser* u = m_org.user(m_user);
    return PageChrome::begin(QStringLiteral("サイボウズ Office 4 ") + title) +
           PageChrome::applicationBar(m_program, m_org.applicationsOf(m_user)) +
           PageChrome::heading(title, u ? u->name : QString());
}

QString ApplicationPages::bulletinIndex() const {
    QString page = header(QStringLiteral("掲示板"));
    QStringList l{
        QStringLiteral("<table border=0 cellspacing=0 cellpadding=3 width=\"100%\">"),
        QStringLiteral("<tr><td colspan=3><b>全体の掲示板</b></td><td align=right nowrap>"
                       "<a href=\"%1?page=BulletinSearch\">[検索する]</a></td></tr>")
            .arg(m_program),
        QStringLiteral("<tr bgcolor=\"#99ccff\"><th nowrap>タイトル</th><th nowrap>カテゴリ</th>"
                       "<th nowrap>作成者</th><th nowrap>作成日時</th></tr>"),
    };
    // Newest first: the desktop program takes the first article link after [検索する] as the newest.
    for (const SimArticle& a : m_org.articlesNewestFirst()) {
        const SimUser* author = m_org.user(a.author);
        l << QStringLiteral("<tr bgcolor=\"#ffffff\"><td><a href=\"%1?page=BulletinArticle&aid=%2&head=0&cid=0\">")
                     .arg(m_program)
                     .arg(a.id) +
                 PageChrome::escape(a.title) + QStringLiteral("</a></td><td nowrap>") + PageChrome::escape(a.category) +
                 QStringLiteral("</td><td nowrap>") + PageChrome::escape(author ? author->name : QString()) +
                 QStringLiteral("</td><td nowrap>") + PageChrome::updateTime(a.posted) + QStringLiteral("</td></tr>");
    }
    if (m_org.articles.isEmpty())
        l << QStringLiteral("<tr><td colspan=4>記事はありません。</td></tr>");
    l << QStringLiteral("<tr><td colspan=4 align=right><font size=-1>最新記事へ</font> "
                        "<font size=-1>&lt;&lt; 前の20件 | 次の20件 &gt;&gt;</font></td></tr>")
      << QStringLiteral("</table>");
    page += PageChrome::lines(l);
    page += PageChrome::end();
    return page;
}

QString ApplicationPages::bulletinArticle(qint32 articleId) const {
    for (const SimArticle& a : m_org.articles) {
        if (a.id != articleId)
            continue;
        const SimUser* author = m_org.user(a.author);
        QString body = PageChrome::escape(a.body);
        body.replace(QLatin1String("\n"), QLatin1String("<br>\r\n"));
        QString page = header(QStringLiteral("掲示板"));
        page += PageChrome::lines({
            QStringLiteral("<table border=1 cellspacing=0 cellpadding=4 width=\"100%\">"),
            QStringLiteral("<tr bgcolor=\"#99ccff\"><td><b>") + PageChrome::escape(a.title) +
                QStringLiteral("</b></td></tr>"),
            QStringLiteral("<tr><td><font size=-1>") + PageChrome::escape(author ? author->name : QString()) +
                QStringLiteral(" ") + PageChrome::updateTime(a.posted) + QStringLiteral("</font></td></tr>"),
            QStringLiteral("<tr><td>") + body + QStringLiteral("</td></tr>"),
            QStringLiteral("</table>"),
            QStringLiteral("<a href=\"%1?page=BulletinIndex\">掲示板へ戻る</a>").arg(m_program),
        });
        page += PageChrome::end();
        return page;
    }
    return groupwareError(QStringLiteral("指定された記事は存在しません。"));
}

QString ApplicationPages::schedule(qint32 memberId) const {
    const SimUser* member = m_org.user(memberId);
    QString page = header(QStringLiteral("スケジュール"));
    QStringList l{QStringLiteral("<b>") + PageChrome::escape(member ? member->name : QString()) +
                      QStringLiteral("</b> ") + PageChrome::dayCaption(m_now.date()) + QStringLiteral("<br>"),
                  QStringLiteral("<table border=1 cellspacing=0 cellpadding=3 width=\"100%\">")};
    const QList<SimAppointment> items = m_org.appointmentsOn(memberId, m_now.date());
    for (const SimAppointment& a : items) {
        QString when = a.isMultiDay() ? a.firstDay.toString(QStringLiteral("M/d")) + QStringLiteral("～") +
                                            a.lastDay.toString(QStringLiteral("M/d"))
                       : a.start.isValid() ? a.start.toString(QStringLiteral("H:mm"))
                                           : QString();
        if (!a.isMultiDay() && a.end.isValid())
            when += QLatin1Char('-') + a.end.toString(QStringLiteral("H:mm"));
        l << QStringLiteral("<tr><td nowrap>") + when + QStringLiteral("</td><td>") + PageChrome::escape(a.title) +
                 QStringLiteral("</td></tr>");
    }
    if (items.isEmpty())
        l << QStringLiteral("<tr><td>予定はありません。</td></tr>");
    l << QStringLiteral("</table>");
    page += PageChrome::lines(l);
    page += PageChrome::end();
    return page;
}

QString ApplicationPages::simpleApplication(const QString& pageName) const {
    struct Caption {
        const char* prefix;
        const char* title;
    };
    static const Caption captions[] = {{"Circular", "回覧板"},       {"WebMail", "Webメール"},
                                       {"WorkFlow", "ワークフロー"}, {"Bulletin", "掲示板"},
                                       {"Schedule", "スケジュール"}, {"Where", "行き先案内板"}};
    QString title = QStringLiteral("トップページ");
    for (const Caption& c : captions)
        if (pageName.startsWith(QLatin1String(c.prefix), Qt::CaseInsensitive))
            title = QString::fromUtf8(c.title);
    QString page = header(title);
    page += PageChrome::lines({QStringLiteral("この画面の内容はありません。<br>")});
    page += PageChrome::end();
    return page;
}

QString ApplicationPages::notUsable() const {
    QString page = header(QStringLiteral("お知らせ"));
    page += PageChrome::lines({QStringLiteral("このアプリケーションを利用する権限がありません。<br>")});
    page += PageChrome::end();
    return page;
}

QString ApplicationPages::groupwareError(const QString& detail) {
    QString page = PageChrome::begin(QStringLiteral("サイボウズ Office 4 エラー"));
    page += PageChrome::lines({
        QStringLiteral("<table border=1 cellspacing=0 cellpadding=6><tr><td bgcolor=\"#ffcccc\">"),
        QStringLiteral("<b>ERROR</b><br>"),
        PageChrome::escape(detail) + QStringLiteral("<br>"),
        QStringLiteral("</td></tr></table>"),
    });
    page += PageChrome::end();
    return page;
}

QString ApplicationPages::licenceMissing() {
    QString page = PageChrome::begin(QStringLiteral("サイボウズ Office 4"));
    page += PageChrome::lines({
        QStringLiteral("<table border=1 cellspacing=0 cellpadding=6><tr><td bgcolor=\"#ffffcc\">"),
        QStringLiteral("ライセンスキーが登録されていません。<br>"),
        QStringLiteral("システム管理者にお問い合わせください。<br>"),
        QStringLiteral("</td></tr></table>"),
    });
    page += PageChrome::end();
    return page;
}

QString ApplicationPages::httpStatusPage(int status) {
    QString title;
    QString text;
    switch (status) {
    case 401:
        title = QStringLiteral("You are not authorized to view this page");
        text = QStringLiteral("HTTP 401.1 - Unauthorized: Logon failed");
        break;
    case 403:
        title = QStringLiteral("The page cannot be displayed");
        text = QStringLiteral("HTTP 403 - Forbidden");
        break;
    case 404:
        title = QStringLiteral("The page cannot be found");
        text = QStringLiteral("HTTP 404 - File not found");
        break;
    default:
        title = QStringLiteral("The page cannot be displayed");
        text = QStringLiteral("HTTP %1 - Internal server error").arg(status);
        break;
    }
    return PageChrome::lines({
        QStringLiteral("<html><head><title>") + title + QStringLiteral("</title></head>"),
        QStringLiteral("<body><h2>") + title + QStringLiteral("</h2>"),
        QStringLiteral("<hr>"),
        QStringLiteral("<p>") + text + QStringLiteral("<br>Internet Information Services</p>"),
        QStringLiteral("</body></html>"),
    });
}

} // namespace zelmora::sim
