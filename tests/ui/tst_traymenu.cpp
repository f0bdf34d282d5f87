#include "ui/TrayMenu.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using namespace zelmora;
using namespace zelmora::ui;

namespace {
QStringList captions(QMenu* menu) {
    QStringList list;
    for (QAction* a : menu->actions())
        list << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return list;
}
QStringList names(QMenu* menu) {
    QStringList list;
    for (QAction* a : menu->actions())
        list << a->objectName();
    return list;
}
} // namespace

class TestTrayMenu : public QObject {
    Q_OBJECT
private slots:
    void hasEveryItemWithItsNameAndCaption() {
        TrayMenu tray;
        QMenu* menu = tray.menu();
        QCOMPARE(menu->objectName(), QStringLiteral("mnuFile"));
        QCOMPARE(names(menu),
                 QStringList({"mnuDispStatus", "mnuRegistPosition", "mnuSet", "mnuExit", "mnuSpace1", "mnuLink",
                              "mnuSpace2", "mnuToCybozu", "mnuSpace3", "mnuHelp", "mnuSpace4", "mnuAbout"}));
        QCOMPARE(captions(menu), QStringList({"状態表示", "自分の行先変更", "設定", "終了", "-", "リンク", "-",
                                              "サイボウズ起動", "-", "ヘルプ", "-", "バージョン情報"}));
        QCOMPARE(captions(tray.item("mnuExit")->menu()), QStringList({"終了(通常)", "終了(自動登録機能を無視)"}));
        QCOMPARE(captions(tray.item("mnuToCybozu")->menu()),
                 QStringList({"トップページ", "行き先案内板", "電話メモ確認", "掲示板", "回覧板", "WEBメール",
                              "ワークフロー"}));
        QCOMPARE(names(tray.item("mnuToCybozu")->menu()),
                 QStringList({"mnuToCybozuTopPage", "mnuToCybozuWhere", "mnuToCybozuTelMemo", "mnuToCybozuBulletin",
                              "mnuToCybozuCircular", "mnuToCybozuWebMail", "mnuToCybozuWorkFlow"}));
        QCOMPARE(captions(tray.item("mnuRegistPosition")->menu()), QStringList({"詳細設定...", "-", "自動登録", "-"}));
        QCOMPARE(captions(tray.item("mnuLink")->menu()), QStringList({"-"}));
    }

    void statusWindowPopupHidesDispStatusWhileShown() {
        TrayMenu tray;
        tray.popupFromStatusWindow(QPoint(10, 10));
        QTRY_VERIFY(tray.menu()->isVisible());
        QVERIFY(!tray.item("mnuDispStatus")->isVisible());
        tray.menu()->hide();
        QVERIFY(tray.item("mnuDispStatus")->isVisible());
    }

    void reportsChoices() {
        TrayMenu tray;
        QSignalSpy exits(&tray, &TrayMenu::exitOptionTriggered);
        QSignalSpy pages(&tray, &TrayMenu::pageItemTriggered);
        QSignalSpy positions(&tray, &TrayMenu::positionItemTriggered);
        tray.item("mnuExitOption(1)")->trigger();
        tray.item("mnuToCybozuTelMemo")->trigger();
        tray.item("mnuPositionItem(2)")->trigger();
        QCOMPARE(exits.takeFirst().at(0).toInt(), 1);
        QCOMPARE(pages.takeFirst().at(0).toString(), QStringLiteral("mnuToCybozuTelMemo"));
        QCOMPARE(positions.takeFirst().at(0).toString(), QStringLiteral("自動登録"));
    }

    void offMenuDisablesServerWorkAndOnMenuRespectsLogin() {
        TrayMenu tray;
        const QStringList all = {"mnuDispStatus", "mnuRegistPosition", "mnuSet", "mnuExit", "mnuToCybozu", "mnuLink"};
        tray.setServerItemsEnabled(false, true);
        for (const QString& name : all)
            QVERIFY2(!tray.item(name)->isEnabled(), qPrintable(name));
        QVERIFY(tray.item("mnuHelp")->isEnabled());
        QVERIFY(tray.item("mnuAbout")->isEnabled());

        // Not logged in: the own whereabouts and the links stay as they were.
        tray.setServerItemsEnabled(true, false);
        QVERIFY(tray.item("mnuDispStatus")->isEnabled());
        QVERIFY(tray.item("mnuExit")->isEnabled());
        QVERIFY(!tray.item("mnuRegistPosition")->isEnabled());
        QVERIFY(!tray.item("mnuLink")->isEnabled());
        tray.setServerItemsEnabled(true, true);
        for (const QString& name : all)
            QVERIFY2(tray.item(name)->isEnabled(), qPrintable(name));
    }

    void linkItemsFollowTheTopPage() {
        TrayMenu tray;
        QSignalSpy links(&tray, &TrayMenu::linkItemTriggered);
        tray.setLinkItems({{"社内 & 規程", "http://a/"}, {"-", ""}, {"B", "http://b/"}});
        QMenu* menu = tray.item("mnuLink")->menu();
        QCOMPARE(captions(menu), QStringList({"社内 && 規程", "-", "B"}));
        QCOMPARE(names(menu), QStringList({"mnuLinkItem(0)", "mnuLinkItem(1)", "mnuLinkItem(2)"}));
        QVERIFY(tray.item("mnuLink")->isEnabled());
        tray.item("mnuLinkItem(2)")->trigger();
        QCOMPARE(links.takeFirst().at(0).toInt(), 2);
        // The same links at the next refresh, after the server items were greyed meanwhile.
        tray.setServerItemsEnabled(false, true);
        tray.setLinkItems({{"社内 & 規程", "http://a/"}, {"-", ""}, {"B", "http://b/"}});
        QCOMPARE(captions(menu), QStringList({"社内 && 規程", "-", "B"}));
        QVERIFY(tray.item("mnuLink")->isEnabled());
        tray.item("mnuLinkItem(0)")->trigger();
        QCOMPARE(links.takeFirst().at(0).toInt(), 0);

        tray.setLinkItems({});
        QCOMPARE(captions(menu), QStringList({"-"}));
        QVERIFY(!tray.item("mnuLink")->isEnabled());
    }

    void positionItemsAreReplacedAndChecked() {
        TrayMenu tray;
        MemberRecord own;
        own.position = QStringLiteral("外出");
        tray.setPositionItems({"会議", "--", "外出"}, own);
        QMenu* menu = tray.item("mnuRegistPosition")->menu();
        QCOMPARE(captions(menu), QStringList({"詳細設定...", "-", "自動登録", "-", "会議", "-", "外出"}));
        QVERIFY(tray.item("mnuPositionItem(6)")->isChecked());
        QVERIFY(!tray.item("mnuPositionItem(4)")->isChecked());
        QVERIFY(!tray.item("mnuPositionItem(2)")->isChecked());

        // A marked entry checks "自動登録" and none of the places, even one with the same text.
        own.autoRegistered = true;
        tray.setPositionItems({"外出"}, own);
        QCOMPARE(captions(menu), QStringList({"詳細設定...", "-", "自動登録", "-", "外出"}));
        QVERIFY(tray.item("mnuPositionItem(2)")->isChecked());
        QVERIFY(!tray.item("mnuPositionItem(4)")->isChecked());

        // The same places at the next refresh: the check follows the own entry.
        own.autoRegistered = false;
        tray.setPositionItems({"外出"}, own);
        QCOMPARE(captions(menu), QStringList({"詳細設定...", "-", "自動登録", "-", "外出"}));
        QVERIFY(!tray.item("mnuPositionItem(2)")->isChecked());
        QVERIFY(tray.item("mnuPositionItem(4)")->isChecked());
    }
};

QTEST_MAIN(TestTrayMenu)
#include "tst_traymenu.moc"
