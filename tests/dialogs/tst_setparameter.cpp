// The settings dialog against groupware-sim, filled through its controls.
#include "app/Launch.h"
#include "core/AppState.h"
#include "core/Cp932.h"
#include "dialogs/frmSetEndAction.h"
#include "dialogs/frmSetInetDetail.h"
#include "dialogs/frmSetParameter.h"
#include "groupware/Directory.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Login.h"
#include "net/InetProtocol.h"
#include "net/Transport.h"
#include "support/ScriptedMessages.h"
#include "support/SimServer.h"
#include "support/TestFiles.h"
#include "support/TinyProxy.h"
#include "ui/ResidentControl.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace zelmora;
using namespace zelmora::test;
using namespace zelmora::setparameter;

namespace {

class FakeResident : public ResidentControl {
public:
    void OnGetTimer() override {}
    void OffGetTimer() override {}
    void ClearGetTimer() override {}
    void OnUpdateTimer() override {}
    void OffUpdateTimer() override {}
    void ClearUpdateTimer() override {}
    void GetTimerInterval(qint16 i) override { getInterval = i; }
    void UpdateTimerInterval(qint16 i) override { updateInterval = i; }
    void OnMenu() override {}
    void OffMenu() override {}
    void UpdatePosition(bool) override {}
    void GetData() override {}
    PeriodicTimerStates SuspendPeriodicTimers() override { return {}; }
    void RestorePeriodicTimers(const PeriodicTimerStates&) override {}
    void SetLinkItems(const QList<LinkItem>&) override {}
    void SetPositionItems(const QStringList&, const MemberRecord&) override {}

    qint16 getInterval = -1;
    qint16 updateInterval = -1;
};

template <typename T> T* control(QWidget* dialog, const char* name) {
    T* found = dialog->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// Replaces the text as typing would (QTest only types Latin-1; the rest is inserted as an IME does).
void retype(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    bool latin1 = true;
    for (const QChar c : text)
        latin1 = latin1 && c.unicode() < 0x80;
    if (latin1)
        QTest::keyClicks(edit, text);
    else
        edit->insert(text);
}

QStringList itemTexts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

QStringList itemTexts(const QComboBox* combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    return texts;
}

// The settings file as text lines.
QStringList fileLines(const QString& path) {
    QString text = cp932::decode(readFile(path));
    if (text.endsWith(QStringLiteral("\r\n")))
        text.chop(2);
    return text.split(QStringLiteral("\r\n"));
}

// Runs `edit` on the connection details dialog once it is open, then confirms it.
void whenDetailsOpen(const std::function<void(frmSetInetDetail&)>& edit) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, edit] {
        auto* detail = qobject_cast<frmSetInetDetail*>(QApplication::activeModalWidget());
        if (!detail || !detail->isVisible())
            return;
        poll->deleteLater();
        poll->stop();
        edit(*detail);
        detail->cmdOK()->click();
    });
    poll->start(10);
}

quint16 deadPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort(); // closed again when the server goes
}

} // namespace

class TestSetParameter : public QObject {
    Q_OBJECT
private:
    SimServer m_sim;
    QTemporaryDir m_dir;
    Settings m_settings;
    AppState m_app;
    GroupwareSession m_session;
    FakeResident m_resident;
    std::unique_ptr<frmSetParameter> m_dialog;
    QList<qint16> m_endModes;

    QString iniPath() const { return m_dir.filePath(QStringLiteral("Zelmora.ini")); }

    frmSetParameter& open(bool firstSetup = false) {
        m_dialog = std::make_unique<frmSetParameter>(m_settings, m_app, m_session);
        m_dialog->bflgFirstSetup = firstSetup;
        m_dialog->setResidentControl(&m_resident);
        m_dialog->setServerDataError(
            [this] { ShowServerDataError(1, [this](qint16 mode) { m_endModes.append(mode); }); });
        m_dialog->Load();
        m_dialog->show();
        return *m_dialog;
    }
    QWidget* dlg() const { return m_dialog.get(); }
    void useServer(const QUrl& base) {
        m_settings.connection.SERVER_URL = base.toString();
        m_settings.connection.updateProgramUrl();
        SetInetOptions(m_settings.connection, {}, {});
    }

private slots:
    void initTestCase() { QVERIFY(m_sim.start()); }

    void init() {
        m_dialog.reset();
        m_settings = Settings();
        m_settings.connection.PROXY_MODE = 1; // never a proxy of the environment
        m_settings.connection.CHECK_USABLE_APPLICATION = false;
        m_settings.connection.LASTLOGINUSER_GROUP = 1;
        m_settings.connection.LASTLOGINUSER_NAME = 1;
        useServer(m_sim.baseUrl());
        m_settings.groups = {
            {1, QStringLiteral("営業部")}, {2, QStringLiteral("開発部")}, {3, QStringLiteral("総務部")}};
        m_settings.user.GROUP_DISP_ORDER = {1, 3};
        m_app = AppState();
        m_app.settingsFilePath = iniPath();
        m_app.userDataFilePath = m_dir.filePath(QStringLiteral("UserData.dat"));
        m_app.logonName = QStringLiteral("tester");
        m_app.directoryLoaded = true;
        m_app.loggedIn = Login(m_settings.connection, m_session, 1, QStringLiteral("pass1"));
        QVERIFY(m_app.loggedIn);
        m_resident = FakeResident();
        m_endModes.clear();
        QFile::remove(iniPath());
        QFile::remove(m_app.userDataFilePath);
        QVERIFY(m_sim.clearFault());
    }

    void openingFillsTheControls() {
        m_settings.user.NOTIFY_MAIL = false;
        m_settings.user.ALARM_TIMING = QTime(0, 15, 0);
        m_settings.user.END_ACTION_TYPE = EndAction::Auto;
        m_settings.user.END_REGIST_POSITION = QStringLiteral("帰宅");
        m_settings.connection.GET_DATA_MODE = 2;
        m_settings.connection.HERE_POSITION = QStringLiteral("在席");
        frmSetParameter& d = open();
        QCOMPARE(d.windowTitle(), QStringLiteral("設定"));
        QCOMPARE(d.objTabStrip()->tabText(0), QStringLiteral("個人設定"));
        QCOMPARE(d.objTabStrip()->tabText(1), QStringLiteral("共通設定"));
        QVERIFY(d.objTabStrip()->tabBar()->isEnabled());
        QVERIFY(!control<QCheckBox>(dlg(), "chkNotifyMail")->isChecked());
        QVERIFY(control<QCheckBox>(dlg(), "chkNotifyMemo")->isChecked());
        QCOMPARE(control<QLineEdit>(dlg(), "txtAlarmTiming")->text(), QStringLiteral("15"));
        QVERIFY(!control<QCheckBox>(dlg(), "chkUseSound")->isChecked());
        QVERIFY(!control<QLineEdit>(dlg(), "txtSoundFileName")->isEnabled());
        QVERIFY(!control<QPushButton>(dlg(), "cmdSoundTest")->isEnabled());
        QCOMPARE(itemTexts(control<QListWidget>(dlg(), "lstGroupDispOrder")), QStringList({"営業部", "総務部"}));
        auto* groups = control<QComboBox>(dlg(), "cboSelectGroup");
        QCOMPARE(itemTexts(groups), QStringList({"営業部", "開発部", "総務部"}));
        QCOMPARE(groups->currentIndex(), -1);
        // The place choices of the entry page, from its second option on.
        const QStringList places = itemTexts(control<QComboBox>(dlg(), "cboPositionName"));
        QVERIFY2(places.contains(QStringLiteral("外出")) && places.contains(QStringLiteral("--")),
                 qPrintable(places.join(QLatin1Char(','))));
        QCOMPARE(control<QComboBox>(dlg(), "cboPositionName")->currentText(), QStringLiteral("在席"));
        QVERIFY(control<QRadioButton>(dlg(), "optGetDataMode(2)")->isChecked());
        QVERIFY(control<QRadioButton>(dlg(), "optServerType(0)")->isChecked());
        QCOMPARE(control<QLineEdit>(dlg(), "txtServerURL")->text(), m_sim.baseUrl().toString());
        QVERIFY(control<QCheckBox>(dlg(), "chkRegistEndPosition")->isChecked());
        QVERIFY(control<QPushButton>(dlg(), "cmdSetEndAction")->isEnabled());

        // Dependent states follow their check boxes.
        control<QCheckBox>(dlg(), "chkNotifySchedule")->click();
        QVERIFY(!control<QLineEdit>(dlg(), "txtAlarmTiming")->isEnabled());
        QVERIFY(!control<QLabel>(dlg(), "lblAlarmTiming")->isEnabled());
        control<QCheckBox>(dlg(), "chkUseSound")->click();
        QVERIFY(control<QPushButton>(dlg(), "cmdFileRef")->isEnabled());
        control<QCheckBox>(dlg(), "chkRegistEndPosition")->click();
        QVERIFY(!control<QPushButton>(dlg(), "cmdSetEndAction")->isEnabled());
    }

    void personalTabOnlyWhenLoggedInOnTheSameServer() {
        m_app.loggedIn = false;
        frmSetParameter& d = open();
        QCOMPARE(d.objTabStrip()->tabText(0), QStringLiteral("個人設定(不可)"));
        QCOMPARE(d.objTabStrip()->currentIndex(), 1);
        QVERIFY(!d.objTabStrip()->tabBar()->isEnabled());
        m_dialog.reset();

        m_app.loggedIn = true;
        frmSetParameter& e = open();
        auto* url = control<QLineEdit>(dlg(), "txtServerURL");
        retype(url, QStringLiteral("http://other.example.jp/cbag/"));
        QCOMPARE(e.objTabStrip()->tabText(0), QStringLiteral("個人設定(不可)"));
        QCOMPARE(e.objTabStrip()->currentIndex(), 1);
        QVERIFY(!e.objTabStrip()->tabBar()->isEnabled());
        // The same server again, written without the final "/".
        QString same = m_sim.baseUrl().toString();
        same.chop(1);
        retype(url, same);
        QCOMPARE(e.objTabStrip()->tabText(0), QStringLiteral("個人設定"));
        QVERIFY(e.objTabStrip()->tabBar()->isEnabled());
        control<QRadioButton>(dlg(), "optServerType(1)")->click();
        QCOMPARE(e.objTabStrip()->tabText(0), QStringLiteral("個人設定(不可)"));
    }

    void validationAtTheBoundaries_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("alarm 0") << "txtAlarmTiming"
                                 << "0" << QString();
        QTest::newRow("alarm 60") << "txtAlarmTiming"
                                  << "60" << QStringLiteral("スケジュールの通知時間には0～59の値を入力してください.");
        QTest::newRow("alarm text") << "txtAlarmTiming"
                                    << "abc" << QStringLiteral("スケジュールの通知時間には数値を入力してください.");
        QTest::newRow("get 1") << "txtGetInterval"
                               << "1" << QString();
        QTest::newRow("get 59") << "txtGetInterval"
                                << "59" << QString();
        QTest::newRow("get 0") << "txtGetInterval"
                               << "0" << QStringLiteral("行先情報取得間隔には1～59の値を入力してください.");
        QTest::newRow("get 60") << "txtGetInterval"
                                << "60" << QStringLiteral("行先情報取得間隔には1～59の値を入力してください.");
        QTest::newRow("get too large") << "txtGetInterval"
                                       << "99999999999999"
                                       << QStringLiteral("行先情報取得間隔には1～59の値を入力してください.");
        QTest::newRow("get text") << "txtGetInterval"
                                  << "五" << QStringLiteral("行先情報取得間隔には数値を入力してください.");
        QTest::newRow("update 1") << "txtUpdateInterval"
                                  << "1" << QString();
        QTest::newRow("update 59") << "txtUpdateInterval"
                                   << "59" << QString();
        QTest::newRow("update 0") << "txtUpdateInterval"
                                  << "0" << QStringLiteral("行先登録更新間隔には1～59の値を入力してください.");
        QTest::newRow("update 60") << "txtUpdateInterval"
                                   << "60" << QStringLiteral("行先登録更新間隔には1～59の値を入力してください.");
        QTest::newRow("update too large")
            << "txtUpdateInterval"
            << "70000" << QStringLiteral("行先登録更新間隔には1～59の値を入力してください.");
        QTest::newRow("absence 5") << "txtAbsenseLevel"
                                   << "5" << QString();
        QTest::newRow("absence 60") << "txtAbsenseLevel"
                                    << "60" << QString();
        QTest::newRow("absence 4") << "txtAbsenseLevel"
                                   << "4" << QStringLiteral("不在判断時間には5～60の値を入力してください.");
        QTest::newRow("absence 61") << "txtAbsenseLevel"
                                    << "61" << QStringLiteral("不在判断時間には5～60の値を入力してください.");
        QTest::newRow("absence empty") << "txtAbsenseLevel"
                                       << "" << QStringLiteral("不在判断時間には数値を入力してください.");
        QTest::newRow("fraction rounds") << "txtGetInterval"
                                         << "7.4" << QString();
    }
    void validationAtTheBoundaries() {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, message);
        frmSetParameter& d = open();
        retype(control<QLineEdit>(dlg(), qPrintable(box)), text);
        ScriptedMessages messages;
        d.cmdApply()->click();
        if (message.isEmpty()) {
            QCOMPARE(messages.count(), 0);
            QCOMPARE(d.result(), int(QDialog::Accepted));
            QVERIFY(!d.isVisible());
            if (box == QLatin1String("txtGetInterval"))
                QCOMPARE(m_resident.getInterval, qint16(qRound(text.toDouble())));
        } else {
            QCOMPARE(messages.count(), 1);
            QCOMPARE(messages.lastText(), message);
            QCOMPARE(messages.shown().at(0).title, QStringLiteral("エラー"));
            QCOMPARE(messages.shown().at(0).icon, MsgIcon::Warning);
            QVERIFY(d.isVisible());
            QVERIFY(d.cmdApply()->isEnabled());
            QVERIFY(!QFile::exists(iniPath()));
            QCOMPARE(m_resident.getInterval, qint16(-1));
        }
    }

    void scheduleOffTakesAnyAlarmText() {
        frmSetParameter& d = open();
        control<QCheckBox>(dlg(), "chkNotifySchedule")->click();
        retype(control<QLineEdit>(dlg(), "txtAlarmTiming"), QStringLiteral("なし"));
        ScriptedMessages messages;
        d.cmdApply()->click();
        QCOMPARE(messages.count(), 0);
        QVERIFY(!m_settings.user.NOTIFY_SCHEDULE);
        QCOMPARE(m_settings.user.ALARM_TIMING, QTime(0, 10, 0));
    }

    void unreachableServerKeepsTheDialogOpen() {
        frmSetParameter& d = open();
        retype(control<QLineEdit>(dlg(), "txtServerURL"),
               QStringLiteral("http://127.0.0.1:%1/scripts/cbag/").arg(deadPort()));
        ScriptedMessages messages;
        d.cmdApply()->click();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.lastText(), QStringLiteral("サイボウズサーバーにアクセスできません."));
        QVERIFY(messages.shown().at(0).foreground);
        QVERIFY(d.isVisible());
        QCOMPARE(m_settings.connection.SERVER_URL, m_sim.baseUrl().toString());

        // The connection test says the same, then says the server answers.
        control<QPushButton>(dlg(), "cmdTestConnection")->click();
        QCOMPARE(messages.lastText(), QStringLiteral("サイボウズサーバーにアクセスできません."));
        QCOMPARE(control<QLineEdit>(dlg(), "txtServerURL")->selectedText(),
                 control<QLineEdit>(dlg(), "txtServerURL")->text());
        retype(control<QLineEdit>(dlg(), "txtServerURL"), m_sim.baseUrl().toString());
        control<QPushButton>(dlg(), "cmdTestConnection")->click();
        QCOMPARE(messages.lastText(), QStringLiteral("サイボウズサーバーにアクセスできました."));
        QCOMPARE(messages.shown().last().title, QStringLiteral("確認"));
    }

    void timeOutAloneNeedsNoRestart() {
        frmSetParameter& d = open();
        whenDetailsOpen([](frmSetInetDetail& detail) { retype(detail.txtTimeOut(), QStringLiteral("30")); });
        control<QPushButton>(dlg(), "cmdSetInetDetail")->click();
        ScriptedMessages messages;
        d.cmdApply()->click();
        QCOMPARE(messages.count(), 0);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(m_app.restartRequest, RestartRequest::None);
        QCOMPARE(m_settings.connection.TIMEOUT, qint16(30));
        QVERIFY(fileLines(iniPath()).contains(QStringLiteral("TIMEOUT=30")));
        QCOMPARE(InetProtocol::instance().options().timeoutSeconds, 30);
    }

    void proxyHostAndPort() {
        if (!TinyProxy::available())
            QSKIP("tinyproxy is not installed");
        TinyProxy proxy;
        QVERIFY2(proxy.start(), qPrintable(proxy.error()));

        // Only the proxy host: taken over at once.
        m_settings.connection.PROXY_MODE = 2;
        m_settings.connection.PROXY_SERVER = QStringLiteral("127.0.0.1");
        m_settings.connection.PROXY_PORTNO = proxy.port();
        SetInetOptions(m_settings.connection, {}, {});
        frmSetParameter& d = open();
        whenDetailsOpen([](frmSetInetDetail& detail) { retype(detail.txtProxyURL(), QStringLiteral("localhost")); });
        control<QPushButton>(dlg(), "cmdSetInetDetail")->click();
        ScriptedMessages messages;
        d.cmdApply()->click();
        QCOMPARE(messages.count(), 0);
        QCOMPARE(m_app.restartRequest, RestartRequest::None);
        QCOMPARE(m_settings.connection.PROXY_SERVER, QStringLiteral("localhost"));
        QVERIFY(fileLines(iniPath()).contains(QStringLiteral("PROXY_SERVER=localhost")));
        QFile::remove(iniPath());

        // Only the proxy port: the program must restart; the dialog writes nothing.
        m_settings.connection.PROXY_PORTNO = deadPort();
        SetInetOptions(m_settings.connection, {}, {});
        frmSetParameter& e = open();
        whenDetailsOpen(
            [&proxy](frmSetInetDetail& detail) { retype(detail.txtProxyPortNo(), QString::number(proxy.port())); });
        control<QPushButton>(dlg(), "cmdSetInetDetail")->click();
        e.cmdApply()->click();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.lastText(), QStringLiteral("設定が変更されました. ゼルモラを再起動してください."));
        QCOMPARE(messages.shown().at(0).title, QStringLiteral("確認"));
        QCOMPARE(m_app.restartRequest, RestartRequest::OtherSettingsChanged);
        QCOMPARE(m_settings.connection.PROXY_PORTNO, qint32(proxy.port()));
        QVERIFY(!QFile::exists(iniPath()));
        QVERIFY(!m_app.dialogCancelled);
    }

    void serverAndProxyModeTogetherRestartWithoutWriting() {
        frmSetParameter& d = open();
        retype(control<QLineEdit>(dlg(), "txtServerURL"),
               QStringLiteral("http://localhost:%1/scripts/cbag").arg(m_sim.port()));
        whenDetailsOpen([](frmSetInetDetail& detail) { detail.optProxy(0)->click(); });
        control<QPushButton>(dlg(), "cmdSetInetDetail")->click();
        ScriptedMessages messages;
        d.cmdApply()->click();
        QCOMPARE(messages.lastText(), QStringLiteral("設定が変更されました. ゼルモラを再起動してください."));
        QCOMPARE(m_app.restartRequest, RestartRequest::OtherSettingsChanged);
        QVERIFY(!QFile::exists(iniPath()));
        QCOMPARE(m_settings.connection.SERVER_URL,
                 QStringLiteral("http://localhost:%1/scripts/cbag/").arg(m_sim.port()));
        QCOMPARE(m_settings.connection.PROXY_MODE, qint16(0));
        QCOMPARE(m_settings.connection.LASTLOGINUSER_GROUP, 1);
        QCOMPARE(m_settings.connection.LASTLOGINUSER_NAME, 1);
    }

    void firstSetupWithAServerIsAServerChange() {
        m_settings.connection = ConnectionSettings();
        m_settings.connection.PROXY_MODE = 1;
        m_settings.connection.CHECK_USABLE_APPLICATION = false;
        m_app.loggedIn = false;
        m_app.directoryLoaded = false;
        m_session.clearUser();
        frmSetParameter& d = open(true);
        QCOMPARE(d.objTabStrip()->tabText(0), QStringLiteral("個人設定(不可)"));
        QCOMPARE(control<QComboBox>(dlg(), "cboSelectGroup")->count(), 0);
        retype(control<QLineEdit>(dlg(), "txtServerURL"), m_sim.baseUrl().toString());
        ScriptedMessages messages;
        d.cmdApply()->click();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.lastText(), QStringLiteral("設定が変更されました. ゼルモラを再起動してください."));
        QCOMPARE(m_app.restartRequest, RestartRequest::ServerSettingsChanged);
        QVERIFY(!m_app.dialogCancelled);
        QCOMPARE(m_settings.connection.SERVER_URL, m_sim.baseUrl().toString());
        QCOMPARE(m_settings.connection.programUrl, m_sim.programUrl().toString());
        QCOMPARE(m_settings.connection.LASTLOGINUSER_NAME, -1);
        QVERIFY(!QFile::exists(iniPath()));
        QCOMPARE(m_resident.getInterval, qint16(-1));
    }

    void confirmedSettingsRewriteTheUserSectionInPlace() {
        writeFile(iniPath(), crlfCp932({QStringLiteral("[COMMON]"), QStringLiteral("GET_INTERVAL=5"), QString(),
                                        QStringLiteral("[2]"), QStringLiteral("NOTIFY_MAIL=OFF"), QString(),
                                        QStringLiteral("[1]"), QStringLiteral("NOTIFY_MAIL=ON"), QString(),
                                        QStringLiteral("[3]"), QStringLiteral("NOTIFY_MEMO=OFF")}));
        frmSetParameter& d = open();
        control<QCheckBox>(dlg(), "chkNotifyMail")->click();
        control<QCheckBox>(dlg(), "chkAutoLogin")->click();
        retype(control<QLineEdit>(dlg(), "txtGetInterval"), QStringLiteral("7"));
        retype(control<QLineEdit>(dlg(), "txtTelNo"), QStringLiteral("内線 123"));
        // Display order: 総務部 up, then 開発部 appended with nothing selected, 営業部 again ignored.
        auto* list = control<QListWidget>(dlg(), "lstGroupDispOrder");
        auto* groups = control<QComboBox>(dlg(), "cboSelectGroup");
        list->setCurrentRow(1);
        control<QPushButton>(dlg(), "cmdToUp")->click();
        QCOMPARE(itemTexts(list), QStringList({"総務部", "営業部"}));
        QCOMPARE(list->currentRow(), 0);
        control<QPushButton>(dlg(), "cmdRemove")->click();
        QCOMPARE(itemTexts(list), QStringList({"営業部"}));
        groups->setCurrentIndex(2);
        control<QPushButton>(dlg(), "cmdAdd")->click();
        groups->setCurrentIndex(1);
        control<QPushButton>(dlg(), "cmdAdd")->click();
        groups->setCurrentIndex(0);
        control<QPushButton>(dlg(), "cmdAdd")->click();
        QCOMPARE(itemTexts(list), QStringList({"営業部", "総務部", "開発部"}));
        list->setCurrentRow(2);
        control<QPushButton>(dlg(), "cmdToDown")->click();
        QCOMPARE(list->currentRow(), 2);

        ScriptedMessages messages;
        d.cmdApply()->click();
        QCOMPARE(messages.count(), 0);
        QVERIFY(!m_app.dialogCancelled);
        const QStringList lines = fileLines(iniPath());
        const qsizetype two = lines.indexOf(QStringLiteral("[2]"));
        const qsizetype one = lines.indexOf(QStringLiteral("[1]"));
        const qsizetype three = lines.indexOf(QStringLiteral("[3]"));
        QVERIFY(lines.indexOf(QStringLiteral("[COMMON]")) == 0 && two > 0 && one > two && three > one);
        QCOMPARE(lines.at(two + 1), QStringLiteral("NOTIFY_MAIL=OFF"));
        QCOMPARE(lines.mid(three), QStringList({"[3]", "NOTIFY_MEMO=OFF"}));
        const QStringList own = lines.mid(one, three - one);
        QVERIFY(own.contains(QStringLiteral("NOTIFY_MAIL=OFF")));
        QVERIFY(own.contains(QStringLiteral("AUTO_LOGIN=ON")));
        QVERIFY(own.contains(QStringLiteral("GROUP_DISP_ORDER=1;3;2;")));
        // The login password is kept, scrambled, for the automatic login.
        QVERIFY(!own.contains(QStringLiteral("PASSWORD=")));
        QVERIFY(lines.contains(QStringLiteral("GET_INTERVAL=7")));
        QVERIFY(lines.contains(QStringLiteral("HERE_TELNO=内線 123")));
        QCOMPARE(m_resident.getInterval, qint16(7));
        QCOMPARE(m_resident.updateInterval, qint16(3));
        // The directory is read again; UserData.dat was missing, so it is fetched and saved.
        QCOMPARE(m_settings.groups.size(), 3);
        QVERIFY(!m_settings.users.isEmpty());
        QVERIFY(QFile::exists(m_app.userDataFilePath));
        QCOMPARE(m_settings.user.GROUP_DISP_ORDER, QList<qint32>({1, 3, 2}));
    }

    void cancelAndCloseBoxChangeNothing() {
        for (const bool closeBox : {false, true}) {
            const InetOptions inet = InetProtocol::instance().options();
            frmSetParameter& d = open();
            control<QCheckBox>(dlg(), "chkNotifyMail")->click();
            retype(control<QLineEdit>(dlg(), "txtGetInterval"), QStringLiteral("9"));
            control<QListWidget>(dlg(), "lstGroupDispOrder")->setCurrentRow(0);
            control<QPushButton>(dlg(), "cmdRemove")->click();
            whenDetailsOpen([](frmSetInetDetail& detail) { retype(detail.txtTimeOut(), QStringLiteral("20")); });
            control<QPushButton>(dlg(), "cmdSetInetDetail")->click();
            retype(control<QLineEdit>(dlg(), "txtServerURL"),
                   QStringLiteral("http://127.0.0.1:%1/elsewhere/").arg(deadPort()));
            ScriptedMessages messages;
            control<QPushButton>(dlg(), "cmdTestConnection")->click();
            if (closeBox)
                d.close();
            else
                d.cmdCancel()->click();
            QVERIFY(!d.isVisible());
            QVERIFY(m_app.dialogCancelled);
            QCOMPARE(m_app.restartRequest, RestartRequest::None);
            QVERIFY(m_settings.user.NOTIFY_MAIL);
            QCOMPARE(m_settings.connection.GET_INTERVAL, qint16(5));
            QCOMPARE(m_settings.connection.TIMEOUT, qint16(180));
            QCOMPARE(m_settings.connection.SERVER_URL, m_sim.baseUrl().toString());
            QCOMPARE(m_settings.user.GROUP_DISP_ORDER, QList<qint32>({1, 3}));
            QVERIFY(!QFile::exists(iniPath()));
            QCOMPARE(m_resident.getInterval, qint16(-1));
            // The connection test pointed the transfer object elsewhere; that is undone.
            QVERIFY(InetProtocol::instance().options() == inet);
        }
    }

    void usableApplicationsOfTheServer() {
        QJsonObject organisation = QJsonDocument::fromJson(SimServer::builtInOrganisation()).object();
        organisation.insert(QStringLiteral("applications"),
                            QJsonArray{QStringLiteral("schedule"), QStringLiteral("whereabouts"),
                                       QStringLiteral("bulletin"), QStringLiteral("circular")});
        SimServer::Options options;
        options.organisationJson = QJsonDocument(organisation).toJson();
        SimServer limited(options);
        QVERIFY(limited.start());
        useServer(limited.baseUrl());
        QVERIFY(Login(m_settings.connection, m_session, 1, QStringLiteral("pass1")));
        m_settings.connection.CHECK_USABLE_APPLICATION = true;

        open();
        auto* check = control<QCheckBox>(dlg(), "chkCheckUsableApplication");
        auto* mail = control<QCheckBox>(dlg(), "chkNotifyMail");
        auto* workflow = control<QCheckBox>(dlg(), "chkNotifyWorkFlow");
        auto* circular = control<QCheckBox>(dlg(), "chkNotifyCircular");
        QVERIFY(check->isChecked());
        QVERIFY(!mail->isChecked() && !mail->isEnabled());
        QVERIFY(!workflow->isChecked() && !workflow->isEnabled());
        QVERIFY(circular->isChecked() && circular->isEnabled());
        QVERIFY(control<QCheckBox>(dlg(), "chkNotifyNewArticle")->isEnabled());
        QVERIFY(control<QCheckBox>(dlg(), "chkNotifyMemo")->isChecked());
        QVERIFY(control<QWidget>(dlg(), "fraGroupDispOrder")->isEnabled());
        QVERIFY(control<QLineEdit>(dlg(), "txtAlarmTiming")->isEnabled());

        // Unticking enables everything again without bringing the ticks back.
        check->click();
        QVERIFY(mail->isEnabled() && !mail->isChecked());
        QVERIFY(workflow->isEnabled() && !workflow->isChecked());
        check->click();
        QVERIFY(!mail->isEnabled());
        QVERIFY(!m_dialog->isBusy());
        QVERIFY(m_dialog->cmdApply()->isEnabled());
    }

    void soundFileChoiceAndTest() {
        frmSetParameter& d = open();
        const QString wav = m_dir.filePath(QStringLiteral("ALARM.WAV"));
        writeFile(wav, QByteArray("RIFF"));
        QStringList answers{m_dir.filePath(QStringLiteral("song.mp3")), wav};
        QList<SoundChooserStart> starts;
        d.setFileChooser([&](QWidget*, const QString& title, const SoundChooserStart& start, const QString& filter) {
            starts.append(start);
            [&] {
                QCOMPARE(title, QStringLiteral("WAVﾌｧｲﾙ選択"));
                QVERIFY(filter.startsWith(QStringLiteral("WAVﾌｧｲﾙ (*.wav)")));
            }();
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
        bool buttonDisabledWhilePlaying = false;
        QStringList played;
        d.setSoundPlayer([&](const QString& path) {
            played.append(path);
            buttonDisabledWhilePlaying = !control<QPushButton>(dlg(), "cmdSoundTest")->isEnabled();
        });
        control<QCheckBox>(dlg(), "chkUseSound")->click();
        ScriptedMessages messages;
        control<QPushButton>(dlg(), "cmdSoundTest")->click();
        QCOMPARE(messages.lastText(), QStringLiteral("指定されたサウンドファイルが見つかりません."));
        QVERIFY(played.isEmpty());

        control<QPushButton>(dlg(), "cmdFileRef")->click();
        QCOMPARE(starts.size(), 2);
        QCOMPARE(messages.count(), 2);
        QCOMPARE(messages.lastText(), QStringLiteral("通知用サウンドには、WAVファイルを指定してください"));
        QCOMPARE(control<QLineEdit>(dlg(), "txtSoundFileName")->text(), wav);
        control<QPushButton>(dlg(), "cmdSoundTest")->click();
        QCOMPARE(played, QStringList{wav});
        QVERIFY(buttonDisabledWhilePlaying);
        QVERIFY(control<QPushButton>(dlg(), "cmdSoundTest")->isEnabled());

        // A second choice starts beside the file named; cancelling keeps it.
        control<QPushButton>(dlg(), "cmdFileRef")->click();
        QCOMPARE(starts.last().folder, m_dir.path());
        QCOMPARE(starts.last().file, QStringLiteral("ALARM.WAV"));
        QCOMPARE(control<QLineEdit>(dlg(), "txtSoundFileName")->text(), wav);

        // A sound file that is gone is only a warning.
        retype(control<QLineEdit>(dlg(), "txtSoundFileName"), m_dir.filePath(QStringLiteral("gone.wav")));
        messages.clear();
        d.cmdApply()->click();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.lastText(), QStringLiteral("通知に使用するサウンドファイルの指定が正しくありません."));
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(m_settings.user.ALARM_SOUNDFILE, m_dir.filePath(QStringLiteral("gone.wav")));
    }

    void endOfDayActionEditor() {
        m_settings.user.END_ACTION_TYPE = EndAction::None;
        frmSetParameter& d = open();
        qint16 handedIn = 99;
        d.setEndActionEditor([&](QWidget*, qint16& type, QString& position) {
            handedIn = type;
            type = 0;
            position = QStringLiteral("直帰");
            return true;
        });
        QVERIFY(!control<QPushButton>(dlg(), "cmdSetEndAction")->isEnabled());
        control<QCheckBox>(dlg(), "chkRegistEndPosition")->click();
        control<QPushButton>(dlg(), "cmdSetEndAction")->click();
        QCOMPARE(handedIn, qint16(-1));
        d.cmdApply()->click();
        QCOMPARE(m_settings.user.END_ACTION_TYPE, EndAction::Auto);
        QCOMPARE(m_settings.user.END_REGIST_POSITION, QStringLiteral("直帰"));

        // Unticked, the end action is none whatever was chosen.
        frmSetParameter& e = open();
        QVERIFY(control<QCheckBox>(dlg(), "chkRegistEndPosition")->isChecked());
        control<QCheckBox>(dlg(), "chkRegistEndPosition")->click();
        e.cmdApply()->click();
        QCOMPARE(m_settings.user.END_ACTION_TYPE, EndAction::None);
        QVERIFY(m_settings.user.END_REGIST_POSITION.isEmpty());
    }

    void endOfDayActionDialog() {
        m_settings.user.END_ACTION_TYPE = EndAction::Auto;
        m_settings.user.END_REGIST_POSITION = QStringLiteral("帰宅");
        frmSetParameter& d = open();
        for (const bool cancel : {true, false}) {
            auto* poll = new QTimer(&d);
            QObject::connect(poll, &QTimer::timeout, poll, [poll, cancel] {
                auto* end = qobject_cast<frmSetEndAction*>(QApplication::activeModalWidget());
                if (!end || !end->isVisible())
                    return;
                poll->stop();
                QCOMPARE(end->cboEndAction()->currentText(), QStringLiteral("帰宅"));
                end->optEndActionType(1)->click();
                if (cancel)
                    end->cmdCancel()->click();
                else
                    end->cmdOk()->click();
            });
            poll->start(10);
            control<QPushButton>(dlg(), "cmdSetEndAction")->click();
        }
        d.cmdApply()->click();
        QCOMPARE(m_settings.user.END_ACTION_TYPE, EndAction::Ask);
        QVERIFY(m_settings.user.END_REGIST_POSITION.isEmpty());
    }

    void directoryFailureEndsTheProgram() {
        frmSetParameter& d = open();
        QVERIFY(m_sim.setFault(QStringLiteral("status"), 500, 0, -1, QStringLiteral("LoginGroup")));
        ScriptedMessages messages;
        d.cmdApply()->click();
        QCOMPARE(m_endModes, QList<qint16>{4});
        QVERIFY(messages.lastText().startsWith(QStringLiteral("サーバーから必要なデータを取得できませんでした.")));
        QCOMPARE(messages.shown().last().icon, MsgIcon::Critical);
        QCOMPARE(m_settings.groups.size(), 3); // the old list, not an empty one
    }
};

QTEST_MAIN(TestSetParameter)
#include "tst_setparameter.moc"
