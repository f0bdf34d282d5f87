#include "core/AppState.h"
#include "dialogs/frmRegistEndPosition.h"
#include "dialogs/frmSetEndAction.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace zelmora;

namespace {
QStringList items(QComboBox* combo) {
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}
} // namespace

class TestEndDialogs : public QObject {
    Q_OBJECT
private slots:
    void setEndActionStartsFromTheCurrentChoice() {
        frmSetEndAction dialog;
        dialog.intEndActionType = 0;
        dialog.strEndPosition = QStringLiteral("直帰");
        dialog.Initialize();
        QVERIFY(dialog.optEndActionType(0)->isChecked());
        QCOMPARE(dialog.cboEndAction()->currentText(), QStringLiteral("直帰"));
        QCOMPARE(items(dialog.cboEndAction()), QStringList({"帰宅", "不在"}));
        QVERIFY(dialog.cboEndAction()->isEnabled());

        // Choosing ASK disables the text and clears what is stored.
        QTest::mouseClick(dialog.optEndActionType(1), Qt::LeftButton);
        QVERIFY(!dialog.optEndActionType(0)->isChecked());
        QVERIFY(!dialog.cboEndAction()->isEnabled());
        dialog.cmdOk()->click();
        QCOMPARE(dialog.intEndActionType, qint16(1));
        QCOMPARE(dialog.strEndPosition, QString());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void setEndActionFromNoneStoresAskOrTheTypedText() {
        AppState app;
        frmSetEndAction dialog;
        dialog.setAppState(&app);
        dialog.intEndActionType = -1;
        dialog.strEndPosition = QStringLiteral("帰宅");
        dialog.Initialize();
        QVERIFY(!dialog.optEndActionType(0)->isChecked());
        QVERIFY(!dialog.optEndActionType(1)->isChecked());
        QVERIFY(!dialog.cboEndAction()->isEnabled());
        QCOMPARE(dialog.cboEndAction()->currentText(), QString());
        app.dialogCancelled = true;
        dialog.cmdOk()->click();
        QCOMPARE(dialog.intEndActionType, qint16(1));
        QVERIFY(!app.dialogCancelled);

        // AUTO with an empty text is kept as it is: an empty entry is posted at exit.
        dialog.intEndActionType = -1;
        dialog.Initialize();
        QTest::mouseClick(dialog.optEndActionType(0), Qt::LeftButton);
        QVERIFY(dialog.cboEndAction()->isEnabled());
        dialog.cmdOk()->click();
        QCOMPARE(dialog.intEndActionType, qint16(0));
        QCOMPARE(dialog.strEndPosition, QString());

        dialog.intEndActionType = 1;
        dialog.Initialize();
        dialog.cmdCancel()->click();
        QVERIFY(app.dialogCancelled);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void registEndPositionOffersTheServerChoicesAndPostsWhatIsTyped() {
        frmRegistEndPosition dialog;
        dialog.Initialize({{"会議", "外出"}, {"1", "2"}, {"時間後", "日後"}});
        QCOMPARE(items(dialog.cboYourPosition()), QStringList({"帰宅", "不在", "会議", "外出"}));
        QCOMPARE(items(dialog.cboToLimit()), QStringList({"", "1", "2"}));
        QCOMPARE(items(dialog.cboLimitUnit()), QStringList({"", "時間後", "日後"}));
        QCOMPARE(dialog.cboYourPosition()->currentText(), QString());

        QList<EndPositionEntry> posted;
        bool lockedWhilePosting = false;
        dialog.setPoster([&](const EndPositionEntry& entry) {
            lockedWhilePosting = !dialog.cmdRegist()->isEnabled() && !dialog.cmdCancel()->isEnabled();
            posted << entry;
        });
        dialog.cboYourPosition()->setEditText(QStringLiteral("帰宅"));
        dialog.cboToLimit()->setCurrentIndex(2);
        dialog.cboLimitUnit()->setCurrentIndex(1);
        dialog.txtTelNo()->setText(QStringLiteral("090-1234"));
        dialog.cmdRegist()->click();
        QCOMPARE(posted.size(), 1);
        QCOMPARE(posted[0].position, QStringLiteral("帰宅"));
        QCOMPARE(posted[0].limit, QStringLiteral("2"));
        QCOMPARE(posted[0].unit, QStringLiteral("時間後"));
        QCOMPARE(posted[0].contact, QStringLiteral("090-1234"));
        QVERIFY(lockedWhilePosting);
        QVERIFY(dialog.cmdRegist()->isEnabled());

        frmRegistEndPosition cancelled;
        cancelled.Initialize({});
        cancelled.setPoster([&](const EndPositionEntry& entry) { posted << entry; });
        cancelled.cmdCancel()->click();
        QCOMPARE(posted.size(), 1);
        QCOMPARE(cancelled.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestEndDialogs)
#include "tst_enddialogs.moc"
