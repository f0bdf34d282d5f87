// The support sample: menu items and actions counted once each (a submenu is a window of its own and
// a child of its menu), windows, objects and resident memory; the log line that bench/longrun.sh and
// tst_longrun read.
#include "ui/ResourceDiagnostics.h"

#include <QAction>
#include <QMenu>
#include <QRegularExpression>
#include <QTest>

using namespace zelmora::ui;

class TestResourceDiagnostics : public QObject {
    Q_OBJECT
private slots:
    void countsMenusWindowsAndObjectsOnce() {
        const ResourceSample before = sampleResources();
        QVERIFY(before.rssKb > 0);

        auto* menu = new QMenu;
        menu->addAction(QStringLiteral("状態表示"));
        QMenu* sub = menu->addMenu(QStringLiteral("リンク"));
        sub->addAction(QStringLiteral("社内ポータル"));
        sub->addAction(QStringLiteral("交通費精算"));
        const ResourceSample with = sampleResources();
        // Three items and the submenu's entry in the menu; every menu also owns the action that stands
        // for it in its parent. The submenu is a second top-level widget.
        QCOMPARE(with.menuActions - before.menuActions, 4);
        QCOMPARE(with.actions - before.actions, 5);
        QCOMPARE(with.topLevelWidgets - before.topLevelWidgets, 2);
        QVERIFY(with.objects > before.objects);

        delete menu;
        const ResourceSample after = sampleResources();
        QCOMPARE(after.menuActions, before.menuActions);
        QCOMPARE(after.actions, before.actions);
        QCOMPARE(after.topLevelWidgets, before.topLevelWidgets);
        QCOMPARE(after.objects, before.objects);

        static const QRegularExpression line(
            QStringLiteral("^rss_kb=\\d+ menu_actions=\\d+ actions=\\d+ top_level=\\d+ visible=\\d+ objects=\\d+$"));
        QVERIFY2(line.match(describe(after)).hasMatch(), qPrintable(describe(after)));
    }
};

QTEST_MAIN(TestResourceDiagnostics)
#include "tst_resourcediagnostics.moc"
