#include "status/BoardRead.h"

#include <QSet>

#include <utility>

namespace zelmora {

QString tabKey(qint32 groupId) {
    return QStringLiteral("ID") + QString::number(groupId);
}

qint32 groupIdFromTabKey(const QString& key) {
    return key.mid(2).trimmed().toInt();
}

void appendMergedBoard(QList<MemberRecord>& members, const QList<MemberRecord>& board) {
    // The ids already listed, looked up in a set: every tab of a large office read one after the
    // other would otherwise compare each row with every row before it.
    QSet<qint32> known;
    known.reserve(members.size() + board.size());
    for (const MemberRecord& record : std::as_const(members))
        known.insert(record.id);
    members.reserve(members.size() + board.size());
    for (const MemberRecord& record : board) {
        if (!known.contains(record.id)) {
            known.insert(record.id);
            members.append(record);
        }
    }
}

namespace {
bool readAllTabs(const QList<qint32>& tabGroupIds, const BoardReader& read, QList<MemberRecord>& members) {
    members.clear();
    bool result = false;
    for (const qint32 groupId : tabGroupIds) {
        QList<MemberRecord> board;
        result = read(groupId, board);
        appendMergedBoard(members, board);
    }
    return result;
}
} // namespace

bool readBoardsByMode(qint16 mode, const QList<qint32>& tabGroupIds, int currentTab, const BoardReader& read,
                      QList<MemberRecord>& members) {
    switch (mode) {
    case 0:
        return read(0, members);
    case 1:
        // intCurrentTab counts tabs from 1, as the tab strip does.
        if (currentTab < 1 || currentTab > tabGroupIds.size())
            return false;
        return read(tabGroupIds.at(currentTab - 1), members);
    case 2:
        return readAllTabs(tabGroupIds, read, members);
    default:
        return false;
    }
}

} // namespace zelmora
