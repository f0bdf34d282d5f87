#include "status/StatusPages.h"

namespace zelmora {

QString groupwareDate(const QDate& date) {
    return QString::number(date.year()) + QLatin1Char('.') + QString::number(date.month()) + QLatin1Char('.') +
           QString::number(date.day());
}

std::optional<StatusPage> statusPageFor(const QString& name, const StatusPageContext& context) {
    const QString url = context.programUrl;
    const QString today = groupwareDate(context.today);
    auto page = [&](const QString& query) { return StatusPage{1, url + query}; };
    auto memberSchedule = [&](qint32 member) {
        return page(QStringLiteral("?page=ScheduleMonth&id=") + QString::number(member) + QStringLiteral("&gid=") +
                    QString::number(context.selectedGroup) + QStringLiteral("&date=da.") + today +
                    QStringLiteral("&tp=s"));
    };
    auto telMemo = [&](qint32 member) {
        return page(QStringLiteral("?page=WhereHistory&id=") + QString::number(member) + QStringLiteral("&gid=0"));
    };

    if (name == QLatin1String("mnuToCybozuTopPage"))
        return StatusPage{0, QString()};
    if (name == QLatin1String("mnuToCybozuBulletin"))
        return page(QStringLiteral("?page=BulletinIndex"));
    if (name == QLatin1String("mnuToCybozuCircular"))
        return page(QStringLiteral("?page=CircularIndex"));
    if (name == QLatin1String("mnuToCybozuWebMail"))
        return page(QStringLiteral("?page=WebMailIndex"));
    if (name == QLatin1String("mnuToCybozuWorkFlow"))
        return page(QStringLiteral("?page=WorkFlowIndex"));
    if (name == QLatin1String("mnuAddNewSchedule")) {
        if (context.userFirstGroup == 0)
            return std::nullopt;
        return page(QStringLiteral("?page=ScheduleEntry&id=") + QString::number(context.userId) +
                    QStringLiteral("&gid=") + QString::number(context.userFirstGroup) + QStringLiteral("&date=da.") +
                    today + QStringLiteral("&bdate=da.") + today);
    }
    if (name == QLatin1String("mnuRefMemberSchedule"))
        return memberSchedule(context.currentMember);
    if (name == QLatin1String("mnuR_RefSchedule"))
        return memberSchedule(context.clickedMember);
    if (name == QLatin1String("mnuRefGroupSchedule"))
        return page(QStringLiteral("?page=ScheduleIndex&date=da.") + today + QStringLiteral("&gid=") +
                    QString::number(context.selectedGroup));
    if (name == QLatin1String("mnuDispGroupWhereList"))
        return page(QStringLiteral("?page=WhereIndex&gid=") + QString::number(context.selectedGroup));
    if (name == QLatin1String("mnuRefMyTelMemo"))
        return telMemo(context.userId);
    if (name == QLatin1String("mnuRefMemberTelMemo"))
        return telMemo(context.currentMember);
    if (name == QLatin1String("mnuR_RefTelMemo"))
        return telMemo(context.clickedMember);
    return std::nullopt;
}

MemberMenuState memberMenuState(const QList<qint32>& rowUserIds, int currentRow, qint32 userId, qint16 permission) {
    MemberMenuState state;
    if (currentRow < 0 || currentRow >= rowUserIds.size()) {
        // The grid and the row list disagree: only the member position menu is taken away.
        state.changeMemberPosition = false;
        return state;
    }
    const bool hasMembers = rowUserIds.size() > 1;
    if (hasMembers && rowUserIds.at(currentRow) != userId) {
        state.writeTelMemo = true;
        state.refMemberTelMemo = true;
        if (permission == 0) {
            state.changeMemberPosition = false;
            state.rChangePos = false;
        } else if (permission == 1 || permission == 2) {
            state.changeMemberPosition = true;
            state.rChangePos = true;
        }
        return state;
    }
    state.changeMemberPosition = false;
    state.refMemberTelMemo = false;
    state.rChangePos = true;
    if (!hasMembers)
        state.writeTelMemo = false;
    return state;
}

MemberWindowFields memberWindowFields(const QString& name, const QString& position, const QString& memo,
                                      const QString& contact, const QString& updated) {
    MemberWindowFields fields;
    fields.title = name + QStringLiteral("さんの行先 - ") +
                   (updated.isEmpty() ? QStringLiteral("未登録") : updated + QStringLiteral("更新"));
    fields.position = position;
    fields.telNo = contact;
    fields.telMemo = memo == QStringLiteral("○");
    return fields;
}

} // namespace zelmora
