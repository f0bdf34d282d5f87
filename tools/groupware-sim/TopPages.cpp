#include "TopPages.h"

#include "PageChrome.h"

namespace zelmora::sim {

namespace {
QString link(const QString& href, const QString& text) {
    return QStringLiteral("<a href=\"") + href + QStringLiteral("\">") + text + QStringLiteral("</a>");
}
} // namespace

QString TopPages::front() const {
    QString page = PageChrome::begin(QStringLiteral("サイボウズ Office 4"));
    page += PageChrome::lines({
        QStringLiteral("<table border=0 cellspacing=0 cellpadding=0 width=\"100%\">"),
        QStringLiteral("<tr><td><img src=\"/cb4/logo.gif\" width=160 height=40 border=0 alt=\"サイボウズ Office "
                       "4\"></td>"),
        QStringLiteral("<td align=right valign=bottom><font size=-1>") + QString::fromUtf8(PageChrome::kVersionText) +
            QStringLiteral("</font></td></tr>"),
        QStringLiteral("</table>"),
        QStringLiteral("<br>"),
    });
    if (!m_org.name.isEmpty())
        page += PageChrome::heading(m_org.name, {});
    page += PageChrome::applicationBar(m_program, SimAllApps);
    page += PageChrome::lines({QStringLiteral("<br>"), QStringLiteral("<b>ログイン</b><br>")});
    page += PageChrome::loginForm(m_org, m_program, 0);
    page += PageChrome::end();
    return page;
}

QString TopPages::loginFailed() const {
    QString page = PageChrome::begin(QStringLiteral("サイボウズ Office 4 ログイン"));
    page += PageChrome::heading(QStringLiteral("ログイン"), {});
    page +=
        PageChrome::loginForm(m_org, m_program, 0, QStringLiteral("ユーザー名またはパスワードが正しくありません。"));
    page += PageChrome::end();
    return page;
}

QString TopPages::loginRequired() const {
    QString page = PageChrome::begin(QStringLiteral("サイボウズ Office 4 ログイン"));
    page += PageChrome::heading(QStringLiteral("ログイン"), {});
    page += PageChrome::lines(
        {QStringLiteral("ログインが必要です。<br>"), QStringLiteral("もう一度ログインしてください。<br><br>")});
    page += PageChrome::loginForm(m_org, m_program, 0);
    page += PageChrome::end();
    return page;
}

QString TopPages::loginGroups(qint32 groupId) const {
    QString page = PageChrome::begin(QStringLiteral("サイボウズ Office 4 ログイン"));
    page += PageChrome::heading(QStringLiteral("ログイン"), {});
    page += PageChrome::lines({QStringLiteral("グループを選んでから、名前を選んでください。<br><br>")});
    page += PageChrome::loginForm(m_org, m_program, groupId);
    page += PageChrome::end();
    return page;
}

QString TopPages::personalTop(qint32 userId) const {
    const SimUser* user = m_org.user(userId);
    if (!user)
        return loginRequired();
    QString page = PageChrome::begin(QStringLiteral("サイボウズ Office 4 個人トップページ"));
    page += PageChrome::applicationBar(m_program, m_org.applicationsOf(userId));
    page += PageChrome::heading(QStringLiteral("個人トップページ"), user->name);
    page += PageChrome::lines({
        QStringLiteral("<table border=0 cellspacing=0 cellpadding=4 width=\"100%\">"),
        QStringLiteral("<tr>"),
        QStringLiteral("<td valign=top width=\"65%\">"),
    });
    page += noticeBox(*user);
    page += scheduleBox(*user);
    page += PageChrome::lines({QStringLiteral("</td>"), QStringLiteral("<td valign=top width=\"35%\">")});
    page += linkBox();
    page += PageChrome::lines({
        QStringLiteral("</td>"),
        QStringLiteral("</tr>"),
        QStringLiteral("</table>"),
        QStringLiteral("<a href=\"%1?_System=Login&_Update=再読込\">再読込</a>").arg(m_program),
    });
    page += PageChrome::end();
    return page;
}

QString TopPages::noticeBox(const SimUser& user) const {
    const quint16 apps = m_org.applicationsOf(user.id);
    QStringList l{m_org.personalMarkerMisspelt ? QStringLiteral("<!-- Persional Box -->")
                                               : QStringLiteral("<!-- Personal Box -->"),
                  QStringLiteral("<table border=1 cellspacing=0 cellpadding=3 width=\"100%\">"),
                  QStringLiteral("<tr bgcolor=\"#ffcc66\"><td><b>") + PageChrome::escape(user.name) +
                      QStringLiteral(" さんへのお知らせ</b></td></tr>"),
                  QStringLiteral("<tr><td>")};
    int shown = 0;
    auto notice = [&](bool usable, int count, const QString& href, const QString& before, const QString& after) {
        if (!usable || count <= 0)
            return;
        l << before + QStringLiteral(" %1 件</a>").arg(count) + after + QStringLiteral("<br>");
        l.last().prepend(QStringLiteral("<img src=\"/cb4/notice.gif\" width=12 height=12 border=0><a href=\"") + href +
                         QStringLiteral("\">"));
        ++shown;
    };
    notice(apps & SimWebMail, user.mail, m_program + QStringLiteral("?page=WebMailIndex"), QStringLiteral("メールが"),
           QStringLiteral("届いています。"));
    notice(apps & SimCircular, user.circulars, m_program + QStringLiteral("?page=CircularIndex&Unread=1"),
           QStringLiteral("未読の回覧が"), QStringLiteral("あります。"));
    notice(apps & SimWhereabouts, m_org.unreadMemos(user.id),
           m_program + QStringLiteral("?page=WhereHistory&id=%1&gid=0").arg(user.id), QStringLiteral("電話メモが"),
           QStringLiteral("あります。"));
    notice(apps & SimWorkflow, user.workflowPending, m_program + QStringLiteral("?page=WorkFlowIndex&Type=1"),
           QStringLiteral("未処理の申請が"), QStringLiteral("あります。"));
    notice(apps & SimWorkflow, user.workflowResults, m_program + QStringLiteral("?page=WorkFlowIndex&Type=2"),
           QStringLiteral("申請の結果が"), QStringLiteral("出ています。"));
    if (shown == 0)
        l << QStringLiteral("新しいお知らせはありません。<br>");
    l << QStringLiteral("</td></tr>") << QStringLiteral("</table>") << QStringLiteral("<p>");
    return PageChrome::lines(l);
}

QString TopPages::scheduleLine(const SimAppointment& a) const {
    const QString href = m_program + QStringLiteral("?page=ScheduleView&sEID=%1&date=da.%2")
                                         .arg(a.id)
                                         .arg(m_now.date().toString(QStringLiteral("yyyy.M.d")));
    if (a.isMultiDay()) {
        return link(href, QStringLiteral("<img src=\"/cb4/banner.gif\" width=12 height=12 border=0>") +
                              PageChrome::escape(a.title));
    }
    QString time;
    if (a.start.isValid()) {
        time = a.start.toString(QStringLiteral("H:mm"));
        if (a.end.isValid())
            time += QLatin1Char('-') + a.end.toString(QStringLiteral("H:mm"));
        time += QLatin1Char(' ');
    }
    return link(href, time + PageChrome::escape(a.title));
}

QString TopPages::scheduleBox(const SimUser& user) const {
    const QDate today = m_now.date();
    QStringList l{QStringLiteral("<!-- Schedule -->"),
                  QStringLiteral("<table border=1 cellspacing=0 cellpadding=3 width=\"100%\">"),
                  QStringLiteral("<tr bgcolor=\"#ccccff\"><td nowrap><font size=-1>今日の予定</font></td>"
                                 "<td nowrap><font size=-1>") +
                      PageChrome::dayCaption(today) + QStringLiteral("</font></td></tr>"),
                  QStringLiteral("<tr>"),
                  QStringLiteral("<td nowrap bgcolor=\"#eeeeff\" valign=top><b>") + PageChrome::escape(user.name) +
                      QStringLiteral("</b></td>"),
                  QStringLiteral("<td>")};
    const QList<SimAppointment> items = m_org.appointmentsOn(user.id, today);
    // Items of the day each end in <br>; one item spanning several days may follow as the cell's last
    // line, marked by its banner image. Further ones are listed as ordinary lines before it.
    qsizetype lastMulti = -1;
    for (qsizetype i = 0; i < items.size(); ++i)
        if (items[i].isMultiDay())
            lastMulti = i;
    for (qsizetype i = 0; i < items.size(); ++i)
        if (i != lastMulti)
            l << scheduleLine(items[i]) + QStringLiteral("<br>");
    if (lastMulti >= 0)
        l << scheduleLine(items[lastMulti]);
    if (items.isEmpty())
        l << QStringLiteral("&nbsp;");
    l << QStringLiteral("</td>") << QStringLiteral("</tr>") << QStringLiteral("</table>") << QStringLiteral("<p>");
    return PageChrome::lines(l);
}

QString TopPages::linkBox() const {
    QStringList l{QStringLiteral("<!-- Link -->"),
                  QStringLiteral("<table border=1 cellspacing=0 cellpadding=3 width=\"100%\">"),
                  QStringLiteral("<tr bgcolor=\"#ccffcc\"><td><b>リンク集</b></td></tr>"), QStringLiteral("<tr><td>"),
                  QStringLiteral("<ul>")};
    bool first = true;
    for (const QList<SimLink>& part : m_org.links) {
        if (!first)
            l << QStringLiteral("<hr size=1 noshade>");
        first = false;
        for (const SimLink& link : part)
            l << QStringLiteral("<li><a href=\"") + link.url + QStringLiteral("\" target=\"_blank\">") +
                     PageChrome::escape(link.title) + QStringLiteral("</a>");
    }
    l << QStringLiteral("</ul>") << QStringLiteral("</td></tr>") << QStringLiteral("</table>") << QStringLiteral("<p>");
    return PageChrome::lines(l);
}

} // namespace zelmora::sim
