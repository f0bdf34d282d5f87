#include "WherePages.h"

#include "PageChrome.h"

namespace zelmora::sim {

namespace {
// About the length of a board row with an entry.
constexpr qsizetype kRowChars = 320;
} // namespace

QString WherePages::sessionName() const {
    const SimUser* u = m_org.user(m_user);
    return u ? u->name : QString();
}

QString WherePages::groupSelect(qint32 groupId) const {
    QStringList l{
        QStringLiteral("<select name=\"gid\" onChange=\"this.form.submit()\">"),
        QStringLiteral("<option value=\"0\"%1>(全員)").arg(groupId == 0 ? QStringLiteral(" selected") : QString())};
    for (const SimGroup& g : m_org.groups)
        l << QStringLiteral("<option value=\"%1\"%2>")
                     .arg(g.id)
                     .arg(g.id == groupId ? QStringLiteral(" selected") : QString()) +
                 PageChrome::escape(g.name);
    l << QStringLiteral("</select>");
    return PageChrome::lines(l);
}

QString WherePages::boardRow(const SimUser& member, qint32 groupId) const {
    // One member per line: the directory reader drops everything up to the last </a> of the line
    // that holds a member link.
    QString row = QStringLiteral("<tr bgcolor=\"#ffffff\"><td nowrap><a href=\"%1?page=OfficeInfo&id=%2\">")
                      .arg(m_program)
                      .arg(member.id) +
                  PageChrome::escape(member.name) + QStringLiteral("</a></td>");
    if (m_org.unreadMemos(member.id) > 0)
        row += QStringLiteral("<td align=center><a href=\"%1?page=WhereHistory&id=%2&gid=%3\"><img "
                              "src=\"/cb4/recept.gif\" border=0 width=16 height=16 alt=\"電話メモ\"></a></td>")
                   .arg(m_program)
                   .arg(member.id)
                   .arg(groupId);
    else
        row += QStringLiteral("<td align=center>&nbsp;</td>");
    const QString entryLink =
        QStringLiteral("<td><a href=\"%1?page=WhereEntry&id=%2&gid=%3\">").arg(m_program).arg(member.id).arg(groupId);
    const auto e = m_org.entries.constFind(member.id);
    if (e == m_org.entries.cend()) {
        // The groupware leaves this cell without its update time and without </td>.
        row += entryLink + QStringLiteral("<font size=-1>登録されていません</font></a><br><td><br></td></tr>");
        return row;
    }
    const bool stale = e->updated.date() != m_now.date();
    row += entryLink + QStringLiteral("<font size=+1>") + PageChrome::escape(e->position) +
           QStringLiteral("</font></a><br><font color=\"%1\" size=-1>")
               .arg(stale ? QStringLiteral("#999999") : QStringLiteral("#336699")) +
           PageChrome::updateTime(e->updated) + QStringLiteral("</font></td><td>") + PageChrome::escape(e->contact) +
           QStringLiteral("<br></td></tr>");
    return row;
}

QString WherePages::board(qint32 groupId) const {
    const SimGroup* group = m_org.group(groupId);
    QString page = PageChrome::begin(QStringLiteral("サイボウズ Office 4 行き先案内板"));
    page += PageChrome::applicationBar(m_program, m_user > 0 ? m_org.applicationsOf(m_user) : quint16(SimAllApps));
    page += PageChrome::heading(QStringLiteral("行き先案内板"), sessionName());
    QStringList l{QStringLiteral("<form name=\"WhereIndex\" method=\"get\" action=\"%1\">").arg(m_program),
                  QStringLiteral("<input type=hidden name=\"page\" value=\"WhereIndex\">"),
                  QStringLiteral("<table border=0 cellspacing=0 cellpadding=2 width=\"100%\"><tr>"),
                  QStringLiteral("<td nowrap><b>") +
                      PageChrome::escape(group ? group->name : QStringLiteral("(全員)")) + QStringLiteral("</b></td>"),
                  QStringLiteral("<td align=right nowrap>グループ：")};
    page += PageChrome::lines(l);
    page += groupSelect(groupId);
    l = QStringList{QStringLiteral("</td></tr></table>"),
                    QStringLiteral("<table border=1 cellspacing=0 cellpadding=3 width=\"100%\">"),
                    QStringLiteral("<tr bgcolor=\"#99ccff\"><th nowrap>名前</th><th width=60>電話メモ</th>"
                                   "<th nowrap>行き先</th><th nowrap>連絡（先）</th></tr>")};
    page += PageChrome::lines(l);
    if (group || groupId == 0) {
        // A board of thousands is a page of megabytes: the rows go straight into one block rather
        // than through a list joined and copied twice more.
        const QList<const SimUser*> members = m_org.members(groupId);
        page.reserve(page.size() + members.size() * kRowChars + 4096);
        for (const SimUser* member : members) {
            page += boardRow(*member, groupId);
            page += QLatin1String("\r\n");
        }
    }
    page += PageChrome::lines(
        {QStringLiteral("</table>"),
         QStringLiteral("<img src=\"/cb4/recept.gif\" border=0 width=16 height=16>：電話メモがあります"),
         QStringLiteral("</form>"), QStringLiteral("<p>")});
    page += PageChrome::end();
    return page;
}

QString WherePages::entryForm(const SimUser& member, const SimEntry* e) const {
    QStringList l{QStringLiteral("<form name=\"WhereEntry\" method=\"post\" action=\"%1?\">").arg(m_program),
                  QStringLiteral("<input type=hidden name=\"Page\" value=\"WhereEntry\">"),
                  QStringLiteral("<input type=hidden name=\"GID\" value=\"\">"),
                  QStringLiteral("<input type=hidden name=\"ID\" value=\"%1\">").arg(member.id),
                  QStringLiteral("<input type=hidden name=\"Bpage\" value=\"index\">"),
                  QStringLiteral("<table border=0 cellspacing=0 cellpadding=3>"),
                  QStringLiteral("<tr><td nowrap>行き先</td><td>"),
                  QStringLiteral("<select name=\"Place\" onChange=\"if(this.selectedIndex>0)this.form.Detail.value="
                                 "this.options[this.selectedIndex].text\">"),
                  QStringLiteral("<option value=\"\">(選択してください)")};
    for (const QString& place : m_org.places)
        l << QStringLiteral("<option value=\"") + PageChrome::escape(place) + QStringLiteral("\">") +
                 PageChrome::escape(place);
    l << QStringLiteral("</select>")
      << QStringLiteral("<input type=text name=\"Detail\" size=30 value=\"") +
             PageChrome::escape(e ? e->position : QString()) + QStringLiteral("\">")
      << QStringLiteral("</td></tr>") << QStringLiteral("<tr><td nowrap>予定時刻</td><td>")
      << QStringLiteral("<select name=\"Until\">") << QStringLiteral("<option value=\"\">--");
    for (int i = 1; i <= 31; ++i)
        l << QStringLiteral("<option value=\"%1\">%1").arg(i);
    l << QStringLiteral("</select>") << QStringLiteral("<select name=\"Unit\">")
      << QStringLiteral("<option value=\"\">--") << QStringLiteral("<option value=\"日まで\">日まで")
      << QStringLiteral("<option value=\"時まで\">時まで") << QStringLiteral("<option value=\"時半まで\">時半まで")
      << QStringLiteral("</select>") << QStringLiteral("</td></tr>")
      << QStringLiteral("<tr><td nowrap>連絡先</td><td><input type=text name=\"Contact\" size=30 value=\"") +
             PageChrome::escape(e ? e->contact : QString()) + QStringLiteral("\"></td></tr>")
      << QStringLiteral("</table>") << QStringLiteral("<input type=submit name=\"Submit\" value=\"登録する\">")
      << QStringLiteral("</form>");
    return PageChrome::lines(l);
}

QString WherePages::entry(qint32 memberId) const {
    const SimUser* member = m_org.user(memberId);
    if (!member)
        return refusal(memberId);
    const auto it = m_org.entries.constFind(memberId);
    const SimEntry* e = it == m_org.entries.cend() ? nullptr : &*it;
    QString groupName;
    if (!member->groups.isEmpty())
        if (const SimGroup* g = m_org.group(member->groups.first()))
            groupName = g->name;
    QString page = PageChrome::begin(QStringLiteral("サイボウズ Office 4 行き先の変更"));
    page += PageChrome::applicationBar(m_program, m_org.applicationsOf(m_user));
    page += PageChrome::heading(QStringLiteral("行き先の変更"), sessionName());
    // The white row holds the current entry; the registration reader takes it up to </tr></table>.
    page += PageChrome::lines({
        QStringLiteral("<table border=1 cellspacing=0 cellpadding=3>"),
        QStringLiteral("<tr bgcolor=\"#99ccff\"><th nowrap>名前</th><th nowrap>現在の行き先</th>"
                       "<th nowrap>連絡（先）</th></tr>"),
        QStringLiteral("<tr bgcolor=\"#ffffff\"><td><font size=+1>") + PageChrome::escape(member->name) +
            QStringLiteral("</font><br><font size=-1>") + PageChrome::escape(groupName) +
            QStringLiteral("</font></td><td><font size=+1>") + PageChrome::escape(e ? e->position : QString()) +
            QStringLiteral("</font><br>") + (e ? PageChrome::updateTime(e->updated) : QString()) +
            QStringLiteral("</td><td>") + PageChrome::escape(e ? e->contact : QString()) +
            QStringLiteral("<br></td></tr>"),
        QStringLiteral("</table>"),
        QStringLiteral("<br>"),
    });
    page += entryForm(*member, e);
    page += PageChrome::end();
    return page;
}

QString WherePages::refusal(qint32 memberId) const {
    const SimUser* member = m_org.user(memberId);
    QString page = PageChrome::begin(QStringLiteral("サイボウズ Office 4 行き先の変更"));
    page += PageChrome::applicationBar(m_program, m_org.applicationsOf(m_user));
    page += PageChrome::heading(QStringLiteral("行き先の変更"), sessionName());
    if (member)
        page += PageChrome::lines(
            {PageChrome::escape(member->name) + QStringLiteral("さんの行き先を変更する権限はありません。<br>")});
    else
        page += PageChrome::lines({QStringLiteral("指定されたユーザーは存在しません。<br>")});
    page +=
        PageChrome::lines({QStringLiteral("<br><a href=\"%1?page=WhereIndex\">行き先案内板へ戻る</a>").arg(m_program)});
    page += PageChrome::end();
    return page;
}

QString WherePages::memos(qint32 memberId) const {
    const SimUser* member = m_org.user(memberId);
    QString page = PageChrome::begin(QStringLiteral("サイボウズ Office 4 電話メモ"));
    page += PageChrome::applicationBar(m_program, m_org.applicationsOf(m_user));
    page += PageChrome::heading(
        QStringLiteral("電話メモ") + (member ? QStringLiteral(" - ") + member->name : QString()), sessionName());
    QStringList l{
        QStringLiteral("<table border=1 cellspacing=0 cellpadding=3 width=\"100%\">"),
        QStringLiteral("<tr bgcolor=\"#99ccff\"><th nowrap>受付日時</th><th nowrap>依頼主</th>"
                       "<th nowrap>用件</th><th nowrap>電話番号</th><th>伝言</th><th nowrap>作成者</th></tr>")};
    int count = 0;
    for (auto it = m_org.memos.crbegin(); it != m_org.memos.crend(); ++it) {
        if (it->to != memberId)
            continue;
        ++count;
        QString memo = PageChrome::escape(it->memo);
        memo.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
        l << QStringLiteral("<tr bgcolor=\"%1\"><td nowrap>")
                     .arg(it->read ? QStringLiteral("#ffffff") : QStringLiteral("#ffffcc")) +
                 PageChrome::escape(it->date + it->time) + QStringLiteral("</td><td>") + PageChrome::escape(it->whom) +
                 QStringLiteral(" さん</td><td>") + PageChrome::escape(it->request) + QStringLiteral("</td><td>") +
                 PageChrome::escape(it->tel) + QStringLiteral("</td><td>") + memo + QStringLiteral("</td><td>") +
                 PageChrome::escape(it->writer) + QStringLiteral("</td></tr>");
    }
    if (count == 0)
        l << QStringLiteral("<tr><td colspan=6>電話メモはありません。</td></tr>");
    l << QStringLiteral("</table>");
    page += PageChrome::lines(l);
    page += PageChrome::end();
    return page;
}

QString WherePages::memberInfo(qint32 memberId) const {
    const SimUser* member = m_org.user(memberId);
    QString page = PageChrome::begin(QStringLiteral("サイボウズ Office 4 ユーザー情報"));
    page += PageChrome::applicationBar(m_program, m_org.applicationsOf(m_user));
    page += PageChrome::heading(QStringLiteral("ユーザー情報"), sessionName());
    if (!member) {
        page += PageChrome::lines({QStringLiteral("指定されたユーザーは存在しません。<br>")});
    } else {
        QStringList groups;
        for (qint32 g : member->groups)
            if (const SimGroup* group = m_org.group(g))
                groups << PageChrome::escape(group->name);
        page += PageChrome::lines({
            QStringLiteral("<table border=1 cellspacing=0 cellpadding=3>"),
            QStringLiteral("<tr><td bgcolor=\"#eeeeee\" nowrap>名前</td><td>") + PageChrome::escape(member->name) +
                QStringLiteral("</td></tr>"),
            QStringLiteral("<tr><td bgcolor=\"#eeeeee\" nowrap>所属グループ</td><td>") +
                groups.join(QStringLiteral("、")) + QStringLiteral("</td></tr>"),
            QStringLiteral("</table>"),
        });
    }
    page += PageChrome::end();
    return page;
}

} // namespace zelmora::sim
