#include "PageChrome.h"

namespace zelmora::sim {

namespace {
struct AppLink {
    SimApp bit;
    const char* page;
    const char* caption;
    const char* icon;
};
constexpr AppLink kApps[] = {
    {SimSchedule, "ScheduleIndex", "スケジュール", "sche"}, {SimWhereabouts, "WhereIndex", "行き先", "where"},
    {SimBulletin, "BulletinIndex", "掲示板", "bltn"},       {SimCircular, "CircularIndex", "回覧板", "circ"},
    {SimWebMail, "WebMailIndex", "Webメール", "mail"},      {SimWorkflow, "WorkFlowIndex", "ワークフロー", "wflow"},
};
} // namespace

QString PageChrome::lines(const QStringList& l) {
    return l.join(QLatin1String("\r\n")) + QLatin1String("\r\n");
}

QString PageChrome::escape(const QString& text) {
    QString out = text;
    out.replace(u'<', QLatin1String("&lt;"))
        .replace(u'>', QLatin1String("&gt;"))
        .replace(u'"', QLatin1String("&quot;"));
    return out;
}

QString PageChrome::begin(const QString& title) {
    return lines({
        QStringLiteral("<html>"),
        QStringLiteral("<head>"),
        QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">"),
        QStringLiteral("<meta http-equiv=\"Pragma\" content=\"no-cache\">"),
        QStringLiteral("<title>") + escape(title) + QStringLiteral("</title>"),
        QStringLiteral("</head>"),
        QStringLiteral("<body bgcolor=\"#ffffff\" text=\"#000000\" link=\"#0000cc\" vlink=\"#660099\" "
                       "alink=\"#ff0000\">"),
    });
}

QString PageChrome::end() {
    return lines({
        QStringLiteral("<hr size=1 noshade>"),
        QStringLiteral("<div align=right><font size=-1 color=\"#666666\">") + QString::fromUtf8(kVersionText) +
            QStringLiteral("</font></div>"),
        QStringLiteral("</body>"),
        QStringLiteral("</html>"),
    });
}

QString PageChrome::applicationBar(const QString& program, quint16 apps) {
    QStringList l{QStringLiteral("<table border=0 cellspacing=0 cellpadding=4>"), QStringLiteral("<tr>")};
    l << QStringLiteral("<td align=center nowrap><a href=\"%1\"><img src=\"/cb4/top.gif\" width=32 height=32 "
                        "border=0 alt=\"トップページ\"><br><font size=-1>トップページ</font></a></td>")
             .arg(program);
    for (const AppLink& a : kApps) {
        if (!(apps & a.bit))
            continue;
        l << QStringLiteral("<td align=center nowrap><a href=\"%1?page=%2\"><img src=\"/cb4/%3.gif\" width=32 "
                            "height=32 border=0 alt=\"%4\"><br><font size=-1>%4</font></a></td>")
                 .arg(program, QLatin1String(a.page), QLatin1String(a.icon), QString::fromUtf8(a.caption));
    }
    l << QStringLiteral("</tr>") << QStringLiteral("</table>");
    return lines(l);
}

QString PageChrome::heading(const QString& text, const QString& userName) {
    QStringList l{QStringLiteral("<table border=0 cellspacing=0 cellpadding=2 width=\"100%\">"),
                  QStringLiteral("<tr bgcolor=\"#336699\"><td><font color=\"#ffffff\"><b>") + escape(text) +
                      QStringLiteral("</b></font></td>")};
    if (!userName.isEmpty())
        l << QStringLiteral("<td align=right><font color=\"#ffffff\" size=-1>") + escape(userName) +
                 QStringLiteral(" さん</font></td>");
    l << QStringLiteral("</tr>") << QStringLiteral("</table>") << QStringLiteral("<br>");
    return lines(l);
}

QString PageChrome::loginForm(const Organisation& org, const QString& program, qint32 groupId, const QString& message) {
    QStringList l;
    if (!message.isEmpty())
        l << QStringLiteral("<font color=\"#cc0000\"><b>") + escape(message) + QStringLiteral("</b></font><br><br>");
    l << QStringLiteral("<form name=\"LoginForm\" method=\"post\" action=\"%1\">").arg(program)
      << QStringLiteral("<input type=hidden name=\"_System\" value=\"login\">")
      << QStringLiteral("<input type=hidden name=\"_Login\" value=\"1\">")
      << QStringLiteral("<table border=0 cellspacing=0 cellpadding=3>")
      << QStringLiteral("<tr><td nowrap>グループ</td><td>")
      << QStringLiteral("<select name=\"Group\" onChange=\"location.href='%1?page=LoginGroup&group='+"
                        "this.options[this.selectedIndex].value+'&bpage='\">")
             .arg(program);
    for (const SimGroup& g : org.groups)
        l << QStringLiteral("<option value=\"%1\"%2>%3")
                 .arg(g.id)
                 .arg(g.id == groupId ? QStringLiteral(" selected") : QString(), escape(g.name));
    l << QStringLiteral("</select>") << QStringLiteral("</td></tr>") << QStringLiteral("<tr><td nowrap>名前</td><td>")
      << QStringLiteral("<select name=\"_ID\">");
    for (const SimUser* u : org.members(groupId))
        l << QStringLiteral("<option value=\"%1\">%2").arg(u->id).arg(escape(u->name));
    l << QStringLiteral("</select>") << QStringLiteral("</td></tr>")
      << QStringLiteral("<tr><td nowrap>パスワード</td><td><input type=password name=\"Password\" size=20></td></tr>")
      << QStringLiteral("<tr><td></td><td><input type=submit value=\"ログイン\"></td></tr>")
      << QStringLiteral("</table>") << QStringLiteral("</form>");
    return lines(l);
}

QString PageChrome::weekday(QDate day) {
    static const QString names[] = {QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
                                    QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土"),
                                    QStringLiteral("日")};
    return day.isValid() ? names[day.dayOfWeek() - 1] : QString();
}

QString PageChrome::updateTime(const QDateTime& t) {
    if (!t.isValid())
        return {};
    return t.date().toString(QStringLiteral("yyyy/MM/dd")) + QStringLiteral(" (") + weekday(t.date()) +
           QStringLiteral(") ") + t.time().toString(QStringLiteral("HH:mm"));
}

QString PageChrome::dayCaption(QDate day) {
    return QStringLiteral("%1月%2日(%3)").arg(day.month()).arg(day.day()).arg(weekday(day));
}

} // namespace zelmora::sim
