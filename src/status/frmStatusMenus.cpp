#include "status/frmStatus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

// The menu tree of the status window. Items of control arrays are named "array(index)" after the
// index they have in the array; the run-time items of the position and link menus continue the
// numbering.

namespace zelmora {

namespace {
QString indexed(const char* array, qsizetype index) {
    return QLatin1String(array) + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}
} // namespace

void frmStatus::createMenus() {
    QMenu* file = addMenu(nullptr, QStringLiteral("mnuFile"), QStringLiteral("ファイル"));
    addItem(file, QStringLiteral("mnuSetup"), QStringLiteral("設定"));
    addItem(file, QStringLiteral("mnuUpdateUserData"), QStringLiteral("ユーザーデータ更新"));
    addItem(file, QStringLiteral("mnuSpace1"), QStringLiteral("-"));
    addItem(file, QStringLiteral("mnuUpdate"), QStringLiteral("最新の情報に更新"));
    addItem(file, QStringLiteral("mnuSpace2"), QStringLiteral("-"));
    addItem(file, QStringLiteral("mnuClose"), QStringLiteral("閉じる"));
    addItem(file, QStringLiteral("mnuSpace3"), QStringLiteral("-"));
    QMenu* exit = addMenu(file, QStringLiteral("mnuExit"), QStringLiteral("ゼルモラ終了"));
    addItem(exit, indexed("mnuExitOption", 0), QStringLiteral("終了(通常)"));
    addItem(exit, indexed("mnuExitOption", 1), QStringLiteral("終了(自動登録機能を無視)"));

    QMenu* schedule = addMenu(nullptr, QStringLiteral("mnuSchedule"), QStringLiteral("スケジュール"));
    addItem(schedule, QStringLiteral("mnuAddNewSchedule"), QStringLiteral("新規スケジュール登録"));
    addItem(schedule, QStringLiteral("mnuSpace4"), QStringLiteral("-"));
    addItem(schedule, QStringLiteral("mnuRefMemberSchedule"), QStringLiteral("メンバーのスケジュール確認"));
    addItem(schedule, QStringLiteral("mnuRefGroupSchedule"), QStringLiteral("グループのスケジュール一覧"));

    QMenu* where = addMenu(nullptr, QStringLiteral("mnuWhere"), QStringLiteral("行き先案内板"));
    m_mnuChangeMyPosition = addMenu(where, QStringLiteral("mnuChangeMyPosition"), QStringLiteral("自分の行先変更"));
    m_mnuMyPositionItem = {
        addItem(m_mnuChangeMyPosition, indexed("mnuMyPositionItem", 0), QStringLiteral("詳細設定...")),
        addItem(m_mnuChangeMyPosition, indexed("mnuMyPositionItem", 1), QStringLiteral("-")),
        addItem(m_mnuChangeMyPosition, indexed("mnuMyPositionItem", 2), QStringLiteral("自動登録")),
        addItem(m_mnuChangeMyPosition, indexed("mnuMyPositionItem", 3), QStringLiteral("-")),
    };
    m_mnuMyPositionItem.at(2)->setCheckable(true);
    m_mnuChangeMemberPosition =
        addMenu(where, QStringLiteral("mnuChangeMemberPosition"), QStringLiteral("メンバーの行先変更"));
    m_mnuMemberPositionItem = {
        addItem(m_mnuChangeMemberPosition, indexed("mnuMemberPositionItem", 0), QStringLiteral("詳細設定...")),
        addItem(m_mnuChangeMemberPosition, indexed("mnuMemberPositionItem", 1), QStringLiteral("-")),
    };
    addItem(where, QStringLiteral("mnuSpace5"), QStringLiteral("-"));
    addItem(where, QStringLiteral("mnuDispGroupWhereList"), QStringLiteral("グループの行先一覧"));

    QMenu* telMemo = addMenu(nullptr, QStringLiteral("mnuTelMemo"), QStringLiteral("電話メモ"));
    addItem(telMemo, QStringLiteral("mnuRefMyTelMemo"), QStringLiteral("自分宛の電話メモの確認"));
    addItem(telMemo, QStringLiteral("mnuSpace6"), QStringLiteral("-"));
    addItem(telMemo, QStringLiteral("mnuRefMemberTelMemo"), QStringLiteral("メンバー宛の電話メモの確認"));
    addItem(telMemo, QStringLiteral("mnuWriteTelMemo"), QStringLiteral("メンバー宛の電話メモの作成"));

    m_mnuLink = addMenu(nullptr, QStringLiteral("mnuLink"), QStringLiteral("リンク"));
    m_mnuLinkItem = {addItem(m_mnuLink, indexed("mnuLinkItem", 0), QStringLiteral("-"))};

    QMenu* others = addMenu(nullptr, QStringLiteral("mnuOthers"), QStringLiteral("その他"));
    addItem(others, QStringLiteral("mnuToCybozuTopPage"), QStringLiteral("トップページ"));
    addItem(others, QStringLiteral("mnuToCybozuBulletin"), QStringLiteral("掲示板"));
    addItem(others, QStringLiteral("mnuToCybozuCircular"), QStringLiteral("回覧板"));
    addItem(others, QStringLiteral("mnuToCybozuWebMail"), QStringLiteral("Webメール"));
    addItem(others, QStringLiteral("mnuToCybozuWorkFlow"), QStringLiteral("ワークフロー"));

    QMenu* help = addMenu(nullptr, QStringLiteral("mnuヘルプ"), QStringLiteral("ヘルプ"));
    addItem(help, QStringLiteral("mnuHelpIndex"), QStringLiteral("目次とキーワード"));
    addItem(help, QStringLiteral("mnuSpace7"), QStringLiteral("-"));
    addItem(help, QStringLiteral("mnuAbout"), QStringLiteral("バージョン情報..."));

    // Only ever popped up over the grid; its entry in the menu bar stays hidden.
    m_mnuStatus = addMenu(nullptr, QStringLiteral("mnuStatus"), QStringLiteral("状態表示右ボタン用メニュー"));
    addItem(m_mnuStatus, QStringLiteral("mnuR_WriteTelMemo"), QStringLiteral("電話メモの作成"));
    addItem(m_mnuStatus, QStringLiteral("mnuR_RefTelMemo"), QStringLiteral("電話メモの確認"));
    addItem(m_mnuStatus, QStringLiteral("mnuSpace8"), QStringLiteral("-"));
    m_mnuR_ChangePos = addMenu(m_mnuStatus, QStringLiteral("mnuR_ChangePos"), QStringLiteral("行先変更"));
    m_mnuR_PositionItem = {
        addItem(m_mnuR_ChangePos, indexed("mnuR_PositionItem", 0), QStringLiteral("詳細設定...")),
        addItem(m_mnuR_ChangePos, indexed("mnuR_PositionItem", 1), QStringLiteral("-")),
        addItem(m_mnuR_ChangePos, indexed("mnuR_PositionItem", 2), QStringLiteral("自動登録")),
        addItem(m_mnuR_ChangePos, indexed("mnuR_PositionItem", 3), QStringLiteral("-")),
    };
    addItem(m_mnuStatus, QStringLiteral("mnuSpace9"), QStringLiteral("-"));
    addItem(m_mnuStatus, QStringLiteral("mnuR_RefSchedule"), QStringLiteral("スケジュール確認"));
    m_mnuStatus->menuAction()->setVisible(false);
}

} // namespace zelmora
