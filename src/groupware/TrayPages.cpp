#include "groupware/TrayPages.h"

namespace zelmora {

const QList<TrayPageItem>& trayPageItems() {
    static const QList<TrayPageItem> items = {
        {"mnuToCybozuTopPage", QStringLiteral("トップページ"), OpenTopPageType, QString(), false},
        {"mnuToCybozuWhere", QStringLiteral("行き先案内板"), OpenGroupwarePage, QStringLiteral("WhereIndex"), false},
        {"mnuToCybozuTelMemo", QStringLiteral("電話メモ確認"), OpenGroupwarePage, QStringLiteral("WhereHistory"), true},
        {"mnuToCybozuBulletin", QStringLiteral("掲示板"), OpenGroupwarePage, QStringLiteral("BulletinIndex"), false},
        {"mnuToCybozuCircular", QStringLiteral("回覧板"), OpenGroupwarePage, QStringLiteral("CircularIndex"), false},
        {"mnuToCybozuWebMail", QStringLiteral("WEBメール"), OpenGroupwarePage, QStringLiteral("WebMailIndex"), false},
        {"mnuToCybozuWorkFlow", QStringLiteral("ワークフロー"), OpenGroupwarePage, QStringLiteral("WorkFlowIndex"),
         false},
    };
    return items;
}

QString trayPageAddress(const TrayPageItem& item, const QString& programUrl, qint32 userId) {
    if (item.page.isEmpty())
        return QString();
    QString address = programUrl + QStringLiteral("?page=") + item.page;
    if (item.appendUserId)
        address += QStringLiteral("&id=") + QString::number(userId);
    return address;
}

} // namespace zelmora
