#include "FakeResident.h"
#include "core/AppState.h"
#include "groupware/GroupwareSession.h"
#include "status/frmStatus.h"
#include "ui/FlexGrid.h"
#include "ui/Twips.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

using namespace zelmora;

namespace {
Settings demoSettings() {
    Settings settings;
    settings.groups = {{1, QStringLiteral("営業部")}, {2, QStringLiteral("開発部")}, {7, QStringLiteral("R&D")}};
    settings.user.GROUP_DISP_ORDER = {2, 99, 7, 1};
    return settings;
}
} // namespace

class TestStatusLayout : public QObject {
    Q_OBJECT
    AppState appState;
    GroupwareSession session;

private slots:
    void buildsOneTabPerDisplayedGroup() {
        Settings settings = demoSettings();
        frmStatus status(settings, appState, session);
        status.BuildLayout();
        QCOMPARE(status.TabCount(), 4);
        const QStringList keys = {status.TabKey(1), status.TabKey(2), status.TabKey(3), status.TabKey(4)};
        QCOMPARE(keys, (QStringList{"ID2", "ID99", "ID7", "ID1"}));
        QCOMPARE(status.TabCaption(1), QStringLiteral("開発部"));
        QCOMPARE(status.TabCaption(2), QString()); // not in the group list
        QCOMPARE(status.TabCaption(3), QStringLiteral("R&D"));
        QCOMPARE(status.objTabStrip()->tabText(2), QStringLiteral("R&&D")); // not a shortcut
        QCOMPARE(status.intCurrentTab(), 1);
        QCOMPARE(status.SelectedGroupId(), 2);

        // A rebuild replaces the tabs; it is not a tab click.
        QSignalSpy changed(status.objTabStrip(), &QTabBar::currentChanged);
        settings.user.GROUP_DISP_ORDER = {1};
        status.BuildLayout();
        QCOMPARE(status.TabCount(), 1);
        QCOMPARE(status.TabKey(1), QStringLiteral("ID1"));
        QCOMPARE(changed.count(), 0);
    }

    void emptyOrderLeavesNoTabs() {
        Settings settings = demoSettings();
        frmStatus status(settings, appState, session);
        status.BuildLayout();
        status.objTabStrip()->setCurrentIndex(2);
        status.BuildLayout();
        QCOMPARE(status.intCurrentTab(), 1);
        settings.user.GROUP_DISP_ORDER.clear();
        status.BuildLayout();
        QCOMPARE(status.TabCount(), 0);
        QCOMPARE(status.SelectedGroupId(), 0);
        QCOMPARE(status.objMSFlexGrid()->rows(), 1);
        QCOMPARE(status.intCurrentTab(), 1); // keeps its value without a selected tab
    }

    void setsColumnsFromStoredWidths() {
        Settings settings = demoSettings();
        settings.user.STATUS_COLUMN_WIDTH = {1500, 2000, 600, 1440, 2400};
        frmStatus status(settings, appState, session);
        status.BuildLayout();
        ui::FlexGrid* grid = status.objMSFlexGrid();
        QCOMPARE(grid->cols(), 5);
        QCOMPARE(grid->rows(), 1);
        for (int c = 0; c < 5; ++c) {
            QCOMPARE(grid->columnWidth(c), ui::twipsToPixelsX(settings.user.STATUS_COLUMN_WIDTH.at(c), &status));
            QCOMPARE(grid->colAlignment(c), Qt::Alignment(Qt::AlignCenter));
        }

        // Widths too narrow for the font in use still show the whole header and update time, and
        // are stored back as they were.
        settings.user.STATUS_COLUMN_WIDTH = {1260, 1935, 15, 1320, 15};
        status.BuildLayout();
        const QFontMetrics header(grid->horizontalHeader()->font());
        QVERIFY(grid->columnWidth(2) > header.horizontalAdvance(QStringLiteral("ﾒﾓ")));
        QVERIFY(grid->columnWidth(4) >
                QFontMetrics(grid->font()).horizontalAdvance(QStringLiteral("2024/12/31 23:59")));
        status.StoreWindowGeometry();
        QCOMPARE(settings.user.STATUS_COLUMN_WIDTH, (QList<qint32>{1260, 1935, 15, 1320, 15}));
    }

    void storesGeometryBackWithoutDrift() {
        Settings settings = demoSettings();
        settings.user.STATUS_COLUMN_WIDTH = {1261, 1935, 377, 1320, 1485}; // not whole pixels
        settings.user.WINDOWPOS_X = 1503;
        settings.user.WINDOWPOS_Y = -300; // saved on another screen: applied as stored
        frmStatus status(settings, appState, session);
        status.BuildLayout();
        status.ApplyWindowPosition();
        QCOMPARE(status.pos(), ui::twipsToPoint(1503, -300, &status));
        status.StoreWindowGeometry();
        QCOMPARE(settings.user.STATUS_COLUMN_WIDTH, (QList<qint32>{1261, 1935, 377, 1320, 1485}));
        QCOMPARE(settings.user.WINDOWPOS_X, 1503);
        QCOMPARE(settings.user.WINDOWPOS_Y, -300);

        // What the user changed is stored, in twips.
        status.objMSFlexGrid()->setColumnWidth(1, 200);
        status.move(ui::twipsToPoint(3000, 1500, &status));
        status.Unload();
        QCOMPARE(settings.user.STATUS_COLUMN_WIDTH.at(1), ui::pixelsToTwipsX(200, &status));
        QCOMPARE(settings.user.STATUS_COLUMN_WIDTH.at(0), 1261);
        QCOMPARE(settings.user.WINDOWPOS_X, 3000);
        QCOMPARE(settings.user.WINDOWPOS_Y, 1500);
    }

    void closeBoxOnlyHides() {
        Settings settings = demoSettings();
        frmStatus status(settings, appState, session);
        status.BuildLayout();
        status.show();
        QVERIFY(QTest::qWaitForWindowExposed(&status));
        QVERIFY(!status.close());
        QVERIFY(status.isHidden());
        status.show();
        QVERIFY(!status.close());
        QVERIFY(!status.close());
        QVERIFY(status.isHidden());
        // mnuClose stores the position (not the widths) and hides.
        settings.user.STATUS_COLUMN_WIDTH = {1, 2, 3, 4, 5};
        status.show();
        status.move(ui::twipsToPoint(1440, 720, &status));
        status.menuItem(QStringLiteral("mnuClose"))->trigger();
        QVERIFY(status.isHidden());
        QCOMPARE(settings.user.WINDOWPOS_X, 1440);
        QCOMPARE(settings.user.WINDOWPOS_Y, 720);
        QCOMPARE(settings.user.STATUS_COLUMN_WIDTH, (QList<qint32>{1, 2, 3, 4, 5}));
        // At program exit the close goes through.
        status.show();
        status.Unload();
        QVERIFY(status.isHidden());
        QCOMPARE(settings.user.STATUS_COLUMN_WIDTH.size(), 5);
    }

    void lockKeepsADisabledTabStripDisabled() {
        Settings settings = demoSettings();
        frmStatus status(settings, appState, session);
        status.BuildLayout();
        status.show();
        QVERIFY(QTest::qWaitForWindowExposed(&status));
        QSignalSpy clicked(status.cmdUpdate(), &QPushButton::clicked);

        status.LockForm();
        QVERIFY(!status.objTabStrip()->isEnabled());
        QVERIFY(!status.cmdUpdate()->isEnabled());
        QVERIFY(status.isLocked());
        status.UnlockForm();
        QVERIFY(status.objTabStrip()->isEnabled());
        QVERIFY(status.cmdUpdate()->isEnabled());
        QVERIFY(!status.isLocked());
        QTest::mouseClick(status.cmdUpdate(), Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);

        status.objTabStrip()->setEnabled(false); // whereabouts not usable
        status.LockForm();
        // Nothing in the locked window reacts, not even a tab.
        const int before = status.objTabStrip()->currentIndex();
        QTest::mouseClick(status.objTabStrip(), Qt::LeftButton, {}, status.objTabStrip()->tabRect(2).center());
        QCOMPARE(status.objTabStrip()->currentIndex(), before);
        status.UnlockForm();
        QVERIFY(!status.objTabStrip()->isEnabled());
        QVERIFY(status.cmdUpdate()->isEnabled());
    }

    void backgroundRightClickOffersTheTrayMenuAndAppearanceRebuilds() {
        Settings settings = demoSettings();
        frmStatus status(settings, appState, session);
        test::FakeResident resident;
        status.setResidentControl(&resident);
        QList<QPoint> popups;
        status.setTrayMenuPopup([&](QPoint at) { popups << at; });
        status.BuildLayout();
        status.show();
        QVERIFY(QTest::qWaitForWindowExposed(&status));
        const QPoint background = status.lblLabel(1)->geometry().bottomRight() + QPoint(0, 2);
        QTest::mouseClick(status.centralWidget(), Qt::LeftButton, {}, background);
        QVERIFY(popups.isEmpty());
        QTest::mouseClick(status.centralWidget(), Qt::RightButton, {}, background);
        QCOMPARE(popups.size(), 1);
        QCOMPARE(popups.first(), status.centralWidget()->mapToGlobal(background));
        // Not on a tab, a label or the grid.
        QTest::mouseClick(status.objTabStrip(), Qt::RightButton, {}, status.objTabStrip()->tabRect(0).center());
        QTest::mouseClick(status.lblLabel(1), Qt::RightButton, {}, QPoint(2, 2));
        QTest::mouseClick(status.lblLabel(0), Qt::RightButton, {}, QPoint(2, 2));
        QTest::mouseClick(status.objMSFlexGrid()->viewport(), Qt::RightButton, {}, QPoint(2, 200));
        QCOMPARE(popups.size(), 1);

        // After the settings dialog: new tabs, then a forced registration and a board read.
        settings.user.GROUP_DISP_ORDER = {7};
        status.UpdateAppearance();
        QCOMPARE(status.TabCount(), 1);
        QCOMPARE(resident.calls, (QStringList{"UpdatePosition(1)", "GetData"}));
    }

    void rightButtonMenuStaysOutOfTheMenuBar() {
        Settings settings = demoSettings();
        frmStatus status(settings, appState, session);
        status.BuildLayout();
        QVERIFY(!status.mnuStatus()->menuAction()->isVisible());
        QStringList visible;
        for (QAction* action : status.menuBar()->actions()) {
            if (action->isVisible())
                visible << action->objectName();
        }
        QCOMPARE(visible, (QStringList{"mnuFile", "mnuSchedule", "mnuWhere", "mnuTelMemo", "mnuLink", "mnuOthers",
                                       QStringLiteral("mnuヘルプ")}));
        QCOMPARE(status.mnuR_PositionItem().size(), 4);
        QVERIFY(status.mnuR_PositionItem().at(1)->isSeparator());
        QCOMPARE(status.menuItem(QStringLiteral("mnuExitOption(1)"))->text(),
                 QStringLiteral("終了(自動登録機能を無視)"));
    }
};

QTEST_MAIN(TestStatusLayout)
#include "tst_statuslayout.moc"
