// The connection details dialog, driven through its controls.
#include "core/AppState.h"
#include "dialogs/frmSetInetDetail.h"
#include "support/ScriptedMessages.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace zelmora;
using namespace zelmora::test;

namespace {

// The eight members as an opener hands them in.
void handIn(frmSetInetDetail& dialog) {
    dialog.intTimeOut = 180;
    dialog.intProxyMode = 2;
    dialog.strProxyServer = QStringLiteral("proxy.example.jp");
    dialog.lngProxyPortNo = 8080;
    dialog.bServerPassRequired = true;
    dialog.strServerID = QStringLiteral("webuser");
    dialog.strServerPassword = QStringLiteral("webpass");
    dialog.bSaveServerPassword = true;
}

InetDetailValues members(const frmSetInetDetail& d) {
    return {d.intTimeOut,          d.intProxyMode, d.strProxyServer,    d.lngProxyPortNo,
            d.bServerPassRequired, d.strServerID,  d.strServerPassword, d.bSaveServerPassword};
}

void retype(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

} // namespace

class TestSetInetDetail : public QObject {
    Q_OBJECT
private slots:
    void fillsAndFollowsTheChoices() {
        frmSetInetDetail dialog;
        handIn(dialog);
        dialog.Initialize();
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("接続の詳細設定"));
        QCOMPARE(dialog.txtTimeOut()->text(), QStringLiteral("180"));
        QVERIFY(dialog.optProxy(2)->isChecked());
        QCOMPARE(dialog.txtProxyURL()->text(), QStringLiteral("proxy.example.jp"));
        QCOMPARE(dialog.txtProxyPortNo()->text(), QStringLiteral("8080"));
        QVERIFY(dialog.txtProxyPortNo()->isEnabled());
        QCOMPARE(dialog.txtServerID()->text(), QStringLiteral("webuser"));
        QCOMPARE(dialog.txtServerPassword()->echoMode(), QLineEdit::Password);
        QCOMPARE(dialog.txtServerPassword()->displayText(), QStringLiteral("*******"));
        QVERIFY(dialog.chkSaveServerPassword()->isChecked());
        QVERIFY(dialog.txtServerID()->isEnabled());

        dialog.optProxy(1)->click();
        QVERIFY(!dialog.txtProxyURL()->isEnabled());
        QVERIFY(!dialog.txtProxyPortNo()->isEnabled());
        dialog.chkServerPassRequired()->click();
        QVERIFY(!dialog.txtServerID()->isEnabled());
        QVERIFY(!dialog.txtServerPassword()->isEnabled());
        QVERIFY(!dialog.chkSaveServerPassword()->isEnabled());

        // Other modes hand back no host and port, unticked authentication no credentials.
        AppState app;
        dialog.setAppState(&app);
        app.dialogCancelled = true;
        dialog.cmdOK()->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!app.dialogCancelled);
        const InetDetailValues expected{180, 1, QString(), 0, false, QString(), QString(), false};
        QCOMPARE(members(dialog), expected);
    }

    void browserSettingsShowNoProxy() {
        frmSetInetDetail dialog;
        dialog.intProxyMode = 0;
        dialog.strProxyServer = QStringLiteral("left.over");
        dialog.lngProxyPortNo = 3128;
        dialog.Initialize();
        QVERIFY(dialog.optProxy(0)->isChecked());
        QVERIFY(dialog.txtProxyURL()->text().isEmpty());
        QVERIFY(dialog.txtProxyPortNo()->text().isEmpty());
        QVERIFY(!dialog.chkServerPassRequired()->isChecked());
        // A port that is no number is not looked at in this mode.
        dialog.txtProxyPortNo()->setText(QStringLiteral("abc"));
        ScriptedMessages messages;
        dialog.cmdOK()->click();
        QCOMPARE(messages.count(), 0);
        QCOMPARE(dialog.lngProxyPortNo, 0);
        QCOMPARE(dialog.strProxyServer, QString());
    }

    void refusesOutOfRange_data() {
        QTest::addColumn<QString>("timeOut");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("message");
        QTest::newRow("time-out 10") << "10"
                                     << "8080" << QString();
        QTest::newRow("time-out 600") << "600"
                                      << "8080" << QString();
        QTest::newRow("time-out 9") << "9"
                                    << "8080"
                                    << "タイムアウト時間には10～600の値を入力してください";
        QTest::newRow("time-out 601") << "601"
                                      << "8080"
                                      << "タイムアウト時間には10～600の値を入力してください";
        QTest::newRow("time-out huge") << "99999999999999999999"
                                       << "8080"
                                       << "タイムアウト時間には10～600の値を入力してください";
        QTest::newRow("time-out text") << "abc"
                                       << "8080"
                                       << "タイムアウト時間には数値を入力してください";
        QTest::newRow("port 0") << "180"
                                << "0" << QString();
        QTest::newRow("port 65535") << "180"
                                    << "65535" << QString();
        QTest::newRow("port 65536") << "180"
                                    << "65536"
                                    << "プロキシポート番号には0～65535の値を入力してください";
        QTest::newRow("port -1") << "180"
                                 << "-1"
                                 << "プロキシポート番号には0～65535の値を入力してください";
        QTest::newRow("port text") << "180"
                                   << "http"
                                   << "プロキシポート番号には数値を入力してください";
    }
    void refusesOutOfRange() {
        QFETCH(QString, timeOut);
        QFETCH(QString, port);
        QFETCH(QString, message);
        frmSetInetDetail dialog;
        handIn(dialog);
        dialog.Initialize();
        dialog.show();
        retype(dialog.txtTimeOut(), timeOut);
        retype(dialog.txtProxyPortNo(), port);
        ScriptedMessages messages;
        dialog.cmdOK()->click();
        if (message.isEmpty()) {
            QCOMPARE(messages.count(), 0);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(dialog.intTimeOut, qint16(timeOut.toInt()));
            QCOMPARE(dialog.lngProxyPortNo, port.toInt());
        } else {
            QCOMPARE(messages.count(), 1);
            QCOMPARE(messages.lastText(), message);
            QCOMPARE(messages.shown().at(0).title, QStringLiteral("エラー"));
            QCOMPARE(messages.shown().at(0).icon, MsgIcon::Warning);
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.intTimeOut, qint16(180));
            QCOMPARE(dialog.lngProxyPortNo, 8080);
        }
    }

    void cancelAndCloseKeepTheMembers() {
        for (const bool closeBox : {false, true}) {
            AppState app;
            frmSetInetDetail dialog;
            dialog.setAppState(&app);
            handIn(dialog);
            dialog.Initialize();
            dialog.show();
            const InetDetailValues before = members(dialog);
            retype(dialog.txtTimeOut(), QStringLiteral("30"));
            dialog.optProxy(0)->click();
            dialog.chkServerPassRequired()->click();
            if (closeBox)
                dialog.close();
            else
                dialog.cmdCancel()->click();
            QVERIFY(!dialog.isVisible());
            QVERIFY(app.dialogCancelled);
            QCOMPARE(members(dialog), before);
        }
    }
};

QTEST_MAIN(TestSetInetDetail)
#include "tst_setinetdetail.moc"
