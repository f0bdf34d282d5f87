#include "ui/DeferredCall.h"
#include "ui/FlexGrid.h"
#include "ui/InputBlocker.h"
#include "ui/PlainText.h"
#include "ui/Twips.h"
#include "ui/WindowUtils.h"

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace zelmora;
using namespace zelmora::ui;

class TestWindowUtils : public QObject {
    Q_OBJECT
private slots:
    void convertsTwipsAtLogicalDpi() {
        QCOMPARE(twipsToPixels(1440, 96), 96);
        QCOMPARE(twipsToPixels(1935, 96), 129);
        QCOMPARE(twipsToPixels(1935, 192), 258);
        QCOMPARE(twipsToPixels(1935, 120), 161); // 161.25
        QCOMPARE(pixelsToTwips(161, 120), 1932);
        QCOMPARE(pixelsToTwips(-10, 96), -150); // positions left of the primary screen
        QCOMPARE(twipsToPixels(100, 0), 7);     // no screen: 96 DPI
    }

    void gridAddressesHeaderAsRowZero() {
        FlexGrid grid;
        grid.setCols(3);
        grid.setRows(3);
        grid.setTextMatrix(0, 1, QStringLiteral("行先"));
        grid.setTextMatrix(2, 2, QStringLiteral("x"));
        grid.setCellForeColor(2, 2, QColor(255, 0, 0));
        QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("行先"));
        QCOMPARE(grid.model()->index(1, 2).data().toString(), QStringLiteral("x"));
        QCOMPARE(grid.cellForeColor(2, 2), QColor(255, 0, 0));
        QCOMPARE(grid.cellForeColor(1, 0), QColor(Qt::black));
        QCOMPARE(grid.textMatrix(5, 0), QString());
        grid.setColAlignment(1, Qt::AlignCenter);
        grid.setTextMatrix(1, 1, QStringLiteral("y"));
        QCOMPARE(Qt::Alignment(grid.model()->index(0, 1).data(Qt::TextAlignmentRole).toInt()),
                 Qt::Alignment(Qt::AlignCenter));
        QCOMPARE(Qt::Alignment(grid.model()->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).toInt()),
                 Qt::Alignment(Qt::AlignCenter));
    }

    void gridCurrentCellSignalsOnlyChanges() {
        FlexGrid grid;
        grid.setCols(5);
        grid.setRows(4);
        QSignalSpy spy(&grid, &FlexGrid::rowColChange);
        grid.setCurrentGridCell(2, 3);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(grid.currentIndex().row(), 1);
        grid.setCurrentGridCell(2, 3);
        QCOMPARE(spy.count(), 1);
        // Shrinking to the header row moves the current cell onto it.
        grid.setRows(1);
        QCOMPARE(grid.currentGridRow(), 0);
        QCOMPARE(grid.currentGridCol(), 3);
        QCOMPARE(spy.count(), 2);
        // A click by the user moves it too.
        grid.setRows(3);
        grid.setColumnWidth(0, 50);
        grid.resize(400, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const QRect cell = grid.visualRect(grid.model()->index(1, 0));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(grid.currentGridRow(), 2);
        QCOMPARE(grid.currentGridCol(), 0);
    }

    void hitTestFindsRowsColumnsAndMisses() {
        QWidget window;
        auto* grid = new FlexGrid(&window);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(grid);
        grid->setCols(2);
        grid->setRows(3);
        grid->setColumnWidth(0, 60);
        grid->setColumnWidth(1, 80);
        window.resize(400, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QPoint header = grid->horizontalHeader()->geometry().center();
        QCOMPARE(GridHitTest(grid, QPoint(10, header.y())), (GridCell{0, 0}));
        const QRect cell = grid->visualRect(grid->model()->index(1, 1));
        const QPoint inGrid = grid->viewport()->mapTo(grid, cell.center());
        QCOMPARE(GridHitTest(grid, inGrid), (GridCell{1, 2}));
        // Right of the last column, below the last row, outside the grid.
        QCOMPARE(GridHitTest(grid, QPoint(300, inGrid.y())), GridCell{});
        QCOMPARE(GridHitTest(grid, QPoint(inGrid.x(), grid->height() - 5)), GridCell{});
        QCOMPARE(GridHitTest(grid, QPoint(-5, -5)), GridCell{});

        QSignalSpy up(grid, &FlexGrid::mouseUp);
        QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, cell.center());
        QCOMPARE(up.count(), 1);
        QCOMPARE(up.first().at(0).value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(GridHitTest(grid, up.first().at(1).toPoint()), (GridCell{1, 2}));
    }

    void findsListItemsAndVisibleWindows() {
        QListWidget list;
        list.addItems({QStringLiteral("外出"), QStringLiteral("在席"), QStringLiteral("在席")});
        QCOMPARE(FindListItem(&list, QStringLiteral("在席")), 1);
        QCOMPARE(FindListItem(&list, QStringLiteral("在")), -1);

        QWidget memo;
        memo.setObjectName(QStringLiteral("frmTelMemo"));
        QVERIFY(!IsFormVisible(QStringLiteral("frmTelmemo")));
        memo.show();
        QVERIFY(IsFormVisible(QStringLiteral("FRMTELMEMO")));
        QVERIFY(!IsFormVisible(QStringLiteral("frmNothing")));
    }

    void keepsServerTextPlain() {
        QCOMPARE(escapeMnemonic(QStringLiteral("R&D <b>")), QStringLiteral("R&&D <b>"));
        QCOMPARE(unescapeMnemonic(escapeMnemonic(QStringLiteral("a&&b&"))), QStringLiteral("a&&b&"));
        QLabel label;
        label.setTextFormat(Qt::RichText);
        setPlainText(&label, QStringLiteral("<b>x</b>"));
        QCOMPARE(label.textFormat(), Qt::PlainText);
    }

    void blocksInputWithoutDisabling() {
        QWidget window;
        auto* button = new QPushButton(QStringLiteral("更新"), &window);
        button->resize(80, 30);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy clicked(button, &QPushButton::clicked);
        InputBlocker blocker(&window);
        blocker.setBlocked(true);
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::keyClick(button, Qt::Key_Space);
        QCOMPARE(clicked.count(), 0);
        QVERIFY(button->isEnabled());
        blocker.setBlocked(false);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
    }

    void deferredCallRunsOnceAfterTheHandler() {
        int calls = 0;
        DeferredCall call(10, [&] { ++calls; });
        call.start();
        call.start();
        QCOMPARE(calls, 0);
        QVERIFY(call.isActive());
        QTRY_COMPARE(calls, 1);
        QVERIFY(!call.isActive());
        QTest::qWait(30);
        QCOMPARE(calls, 1);
    }
};

QTEST_MAIN(TestWindowUtils)
#include "tst_windowutils.moc"
