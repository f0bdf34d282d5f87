#include "groupware/Directory.h"

#include "net/PageWalker.h"
#include "net/PatternUtils.h"
#include "net/Transport.h"

#include <QRegularExpression>

namespace zelmora {

namespace {

// Options whose value is not a number name no group; on the whereabouts page 0 is "all groups".
QList<GroupRecord> groupsOf(const QList<SelectOption>& options, bool skipAllGroups) {
    QList<GroupRecord> groups;
    for (const SelectOption& option : options) {
        bool ok = false;
        const qint32 id = ReadNumber(option.value, &ok);
        if (ok && !(skipAllGroups && id == 0)) {
            groups.append(GroupRecord{id, option.text, true});
        }
    }
    return groups;
}

// A transfer failure other than an empty page (no answer, refused, cut off) fails the whole read.
bool fetch(const QString& url, QString& page, PageResult* fetched) {
    const PageResult result = GetPage(url);
    if (fetched) {
        *fetched = result;
    }
    page = result.text;
    return !result.isError();
}

} // namespace

bool readGroupList(const QString& page, QList<GroupRecord>& groups) {
    QList<SelectOption> options;
    GetSelectOptions(page, QStringLiteral("Group"), options);
    groups = groupsOf(options, false);
    return !groups.isEmpty();
}

QList<GroupRecord> readBoardGroups(const QString& page) {
    QList<SelectOption> options;
    GetSelectOptions(page, QStringLiteral("gid"), options);
    return groupsOf(options, true);
}

DirectoryBuilder::DirectoryBuilder(const QString& programName)
    : m_linkStart(QRegularExpression::escape(programName) + QStringLiteral("\\?page=OfficeInfo&id=")),
      m_linkLine(m_linkStart + QStringLiteral(".*< */a *>")) {}

void DirectoryBuilder::addGroupPage(const QString& page, qint32 groupId) {
    const QRegularExpression separator = cachedRegExp(QStringLiteral("['\"]?>"), true);
    PageWalker walker(page);
    while (true) {
        // The stretch from the member link's id to its end tag: `12">山田 太郎`.
        const QStringView cut = walker.cutBetween(m_linkStart, QStringLiteral("< */a *>"));
        if (cut.isEmpty()) {
            break;
        }
        const QRegularExpressionMatch first = separator.match(cut);
        bool ok = false;
        const qint32 id = first.hasMatch() ? ReadNumber(cut.left(first.capturedStart()), &ok) : 0;
        if (ok) {
            const QStringView after = cut.mid(first.capturedEnd());
            const QRegularExpressionMatch second = separator.match(after);
            const QString name = (second.hasMatch() ? after.left(second.capturedStart()) : after).toString();
            const auto key = qMakePair(id, name);
            const auto known = m_index.constFind(key);
            if (known != m_index.constEnd()) {
                m_users[*known].groupIds.append(groupId);
            } else {
                m_index.insert(key, m_users.size());
                UserRecord user;
                user.id = id;
                user.name = name;
                user.groupIds = {groupId};
                m_users.append(user);
            }
        }
        // The server writes one member link per line; the rest of that line is skipped.
        if (!walker.skipPast(m_linkLine)) {
            break;
        }
    }
}

QList<UserRecord> DirectoryBuilder::users() const {
    QHash<QString, int> nameCount;
    for (const UserRecord& user : m_users) {
        ++nameCount[user.name];
    }
    QList<UserRecord> users = m_users;
    for (UserRecord& user : users) {
        user.duplicateName = nameCount.value(user.name) > 1;
    }
    return users;
}

bool GetGroupList(const ConnectionSettings& connection, QList<GroupRecord>& groups, PageResult* fetched) {
    groups.clear();
    QString page;
    if (!fetch(connection.programUrl + QStringLiteral("?page=LoginGroup&group=0&bpage="), page, fetched) ||
        !IsValidPage(page)) {
        return false;
    }
    return readGroupList(page, groups);
}

bool GetUserData(const ConnectionSettings& connection, QList<UserRecord>& users, PageResult* fetched) {
    users.clear();
    const QString pageUrl = connection.programUrl + QStringLiteral("?page=WhereIndex&gid=");
    QString page;
    if (!fetch(pageUrl + QStringLiteral("0"), page, fetched) || !IsValidPage(page)) {
        return false;
    }
    DirectoryBuilder builder(connection.programName);
    for (const GroupRecord& group : readBoardGroups(page)) {
        // The group pages are not classified: an error page simply lists nobody.
        QString groupPage;
        if (!fetch(pageUrl + QString::number(group.id), groupPage, fetched)) {
            return false;
        }
        builder.addGroupPage(groupPage, group.id);
    }
    users = builder.users();
    return true;
}

QString groupNameById(const QList<GroupRecord>& groups, qint32 id) {
    const qsizetype index = groupIndexById(groups, id);
    return index < 0 ? QString() : groups.at(index).name;
}

qsizetype groupIndexById(const QList<GroupRecord>& groups, qint32 id) {
    for (qsizetype i = 0; i < groups.size(); ++i) {
        if (groups.at(i).id == id) {
            return i;
        }
    }
    return -1;
}

QString userNameById(const QList<UserRecord>& users, qint32 id) {
    const qsizetype index = userIndexById(users, id);
    return index < 0 ? QString() : users.at(index).name;
}

qsizetype userIndexById(const QList<UserRecord>& users, qint32 id) {
    for (qsizetype i = 0; i < users.size(); ++i) {
        if (users.at(i).id == id) {
            return i;
        }
    }
    return -1;
}

} // namespace zelmora
