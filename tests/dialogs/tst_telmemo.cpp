// The telephone memo dialog and the member window opened from the status window, against
// groupware-sim: what reaches the server, the refresh afterwards, the time check, one dialog at a
// time, the close box; the member window refilled by each double-click.
#include "app/StatusDialogs.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "dialogs/frmMemberPosition.h"
#include "dialogs/frmTelMemo.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Login.h"
#include "net/Transport.h"
#include "status/frmStatus.h"
#include "support/ScriptedMessages.h"
#include "support/SimServer.h"
#include "ui/FlexGrid.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace zelmora;
using namespace zelmora::test;

namespace {
const QDateTime kNow(QDate(2024, 12, 6), QTime(10, 15));

QStringList fieldPairs(const QJsonObject& request) {
    QStringList pairs;
    for (const QJsonValue& pair : request.value(QStringLiteral("fieldList")).toArray())
        pairs << pair[0].toString() + QLatin1Char('=') + pair[1].toString();
    return pairs;
}
} // namespace

class TestTelMemo : public QObject {
    Q_OBJECT

    SimServer m_sim;
    Settings m_settings;
    AppState m_app;
    GroupwareSession m_session;
    std::unique_ptr<frmStatus> m_status;
    StatusDialogs* m_dialogs = nullptr; // the window's child
    QList<quint16> m_notices;

    // The status window on the board of 総務部 (山田 太郎 row 1, 佐藤 一郎 (4) row 2), current row 2.
    frmStatus& openStatus() {
        m_settings.connection.GET_DATA_MODE = 1;
        m_settings.user.GROUP_DISP_ORDER = {3, 1, 2};
        m_status = std::make_unique<frmStatus>(m_settings, m_app, m_session);
        m_dialogs = new StatusDialogs(m_settings, m_app, m_session, *m_status);
        m_status->setNoticeOpener([this](quint16 type) { m_notices << type; });
        m_status->BuildLayout();
        m_status->SetEnableAttention(true);
        m_status->Update();
        m_status->objMSFlexGrid()->setCurrentGridCell(2, 0);
        m_notices.clear();
        m_sim.clearRequests();
        return *m_status;
    }

    // Runs `steps` on the memo dialog once it is open, while the command waits for it. A dialog
    // the steps leave open (a failed check) is cancelled, so that the wait always ends.
    void whenOpen(std::function<void(frmTelMemo*)> steps) {
        QTimer::singleShot(0, m_status.get(), [this, steps] {
            const QPointer<frmTelMemo> memo = m_status->findChild<frmTelMemo*>();
            QVERIFY(memo && memo->isVisible());
            steps(memo);
            if (memo && !memo->bflgCloseForm())
                memo->cmdCancel()->click();
        });
    }

private slots:
    void initTestCase() { QVERIFY(m_sim.start()); }

    void init() {
        QVERIFY(m_sim.reset());
        Clock::setFixed(kNow);
        m_settings = Settings();
        m_settings.connection.SERVER_URL = m_sim.baseUrl().toString();
        m_settings.connection.updateProgramUrl();
        m_settings.connection.TIMEOUT = 5;
        m_settings.groups = {
            {1, QStringLiteral("営業部")}, {2, QStringLiteral("開発部")}, {3, QStringLiteral("総務部")}};
        m_settings.users = {{1, QStringLiteral("山田 太郎"), {1, 3}},
                            {2, QStringLiteral("鈴木 花子"), {1}},
                            {4, QStringLiteral("佐藤 一郎"), {3}}};
        SetInetOptions(m_settings.connection, QString(), QString());
        m_session = GroupwareSession();
        QVERIFY(Login(m_settings.connection, m_session, 1, QStringLiteral("pass1")));
        m_app = AppState();
        m_app.loggedIn = true;
    }

    void cleanup() {
        m_status.reset();
        Clock::reset();
    }

    void memoReachesTheServerAndShowsOnTheBoard() {
        frmStatus& status = openStatus();
        QCOMPARE(status.objMSFlexGrid()->textMatrix(2, 2), QString());
        whenOpen([](frmTelMemo* memo) {
            QCOMPARE(memo->windowTitle(), QStringLiteral("佐藤 一郎さんへの電話メモ"));
            QCOMPARE(memo->lblDay()->text(), QStringLiteral("12/6 (金) "));
            QCOMPARE(memo->txtTime()->text(), QStringLiteral("10:15"));
            QCOMPARE(memo->cboMyName()->currentText(), QStringLiteral("山田 太郎"));
            QCOMPARE(memo->cboMyName()->count(), 3);
            QVERIFY(memo->optContent(0)->isChecked());
            QVERIFY(memo->txtTelNo()->isEnabled());
            QVERIFY(!memo->txtMemo()->isEnabled());

            memo->txtTime()->setText(QStringLiteral(" 10:05 "));
            memo->txtFromName()->setText(QStringLiteral("田中 & 佐藤"));
            memo->txtTelNo()->setText(QStringLiteral("03-1111-2222"));
            // The number typed under the first request is sent with the third one too.
            memo->optContent(2)->click();
            QVERIFY(!memo->txtTelNo()->isEnabled());
            QVERIFY(memo->txtMemo()->isEnabled());
            memo->txtMemo()->setPlainText(QStringLiteral("  一行目 A=B\n二行目 100%  "));
            memo->cboMyName()->setEditText(QStringLiteral("鈴木 花子"));
            memo->cmdOK()->click();
        });
        status.menuItem(QStringLiteral("mnuWriteTelMemo"))->trigger();

        QVERIFY(!m_app.dialogCancelled);
        const QList<QJsonObject> posts = m_sim.requests(QStringLiteral("WhereMemo-post"));
        QCOMPARE(posts.size(), 1);
        QCOMPARE(fieldPairs(posts.first()),
                 (QStringList{"Page=WhereMemo", "ID=4", "GID=0", "Title=電話メモ", "TitleWhom=さんからの用件です。",
                              "TitleTime=時刻", "TitleTel=電話番号", "TitleMemo=伝言", "TitleWriter=電話メモ発信者",
                              "Date=12/6 (金) ", "Time=10:05", "Whom=田中 & 佐藤", "Request=伝言を残します。",
                              "Tel=03-1111-2222", "Memo=一行目 A=B\r\n二行目 100%", "Writer=鈴木 花子",
                              "Submit=電話メモを残す"}));
        const QString raw = posts.first().value(QStringLiteral("rawBody")).toString();
        QVERIFY(raw.contains(QStringLiteral("%0D%0A")));
        QCOMPARE(posts.first()[QStringLiteral("headers")][QStringLiteral("content-type")].toString(),
                 QStringLiteral("application/x-www-form-urlencoded"));

        // The refresh afterwards shows the memo mark and opens no notice window.
        QCOMPARE(status.objMSFlexGrid()->textMatrix(2, 2), QStringLiteral("○"));
        QVERIFY(m_notices.isEmpty());
        QVERIFY(!status.bflgEnableAttention());
        QTRY_VERIFY(!status.findChild<frmTelMemo*>());
    }

    void badTimeIsRefusedAndCancelRefreshesNothing() {
        frmStatus& status = openStatus();
        ScriptedMessages messages;
        whenOpen([&messages](frmTelMemo* memo) {
            for (const QString& time : {QStringLiteral("25:00"), QStringLiteral("10時半")}) {
                memo->txtTime()->setText(time);
                memo->cmdOK()->click();
            }
            QCOMPARE(messages.count(), 2);
            QCOMPARE(messages.shown().first().title, QStringLiteral("エラー"));
            QCOMPARE(messages.shown().first().icon, MsgIcon::Warning);
            QCOMPARE(messages.lastText(), QStringLiteral("時刻の指定が正しくありません"));
            QVERIFY(memo->isVisible());
            QCOMPARE(memo->txtTime()->text(), QStringLiteral("10時半"));
            memo->cmdCancel()->click();
        });
        status.menuItem(QStringLiteral("mnuWriteTelMemo"))->trigger();
        QVERIFY(m_app.dialogCancelled);
        QVERIFY(m_sim.requests(QStringLiteral("WhereMemo-post")).isEmpty());
        QVERIFY(m_sim.requests(QStringLiteral("toppage")).isEmpty());
    }

    void oneDialogAtATimeAndTheCloseBoxCancels() {
        frmStatus& status = openStatus();
        ScriptedMessages messages;
        int dialogs = 0;
        whenOpen([&](frmTelMemo* memo) {
            // A second command while the dialog is open does nothing, with no message.
            status.menuItem(QStringLiteral("mnuWriteTelMemo"))->trigger();
            dialogs = int(status.findChildren<frmTelMemo*>().size());
            memo->txtFromName()->setText(QStringLiteral("田中"));
            memo->close();
        });
        status.menuItem(QStringLiteral("mnuWriteTelMemo"))->trigger();
        QCOMPARE(dialogs, 1);
        QCOMPARE(messages.count(), 0);
        QVERIFY(m_app.dialogCancelled);
        QVERIFY(m_sim.requests(QStringLiteral("WhereMemo-post")).isEmpty());

        // A text without a cp932 code is not lost silently: the dialog says so and stays open.
        whenOpen([&](frmTelMemo* memo) {
            memo->txtFromName()->setText(QStringLiteral("田中 😀"));
            memo->cmdOK()->click();
            QCOMPARE(messages.count(), 1);
            QVERIFY(memo->isVisible());
            memo->txtFromName()->setText(QStringLiteral("田中"));
            memo->cmdOK()->click();
        });
        status.menuItem(QStringLiteral("mnuWriteTelMemo"))->trigger();
        QVERIFY(!m_app.dialogCancelled);
        QCOMPARE(m_sim.requests(QStringLiteral("WhereMemo-post")).size(), 1);
    }

    void memberWindowFollowsTheDoubleClickedRow() {
        frmStatus& status = openStatus();
        QList<PageRequest> opened;
        status.setPageOpener([&opened](const PageRequest& request) { opened << request; });
        status.show();
        QVERIFY(QTest::qWaitForWindowExposed(&status));
        ui::FlexGrid* grid = status.objMSFlexGrid();
        auto doubleClick = [grid](int row) {
            const QRect cell = grid->visualRect(grid->model()->index(row - 1, 0));
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        };

        doubleClick(1);
        frmMemberPosition* window = m_dialogs->memberWindow();
        QVERIFY(window && window->isVisible());
        QVERIFY(!grid->textMatrix(1, 4).isEmpty());
        QCOMPARE(window->windowTitle(), QStringLiteral("山田 太郎さんの行先 - ") + grid->textMatrix(1, 4) + "更新");
        QCOMPARE(window->txtPosition()->toPlainText(), QStringLiteral("在席*"));
        QCOMPARE(window->txtTelNo()->toPlainText(), QStringLiteral("内線101*"));
        QVERIFY(!window->chkTelMemo()->isChecked());

        // The same window, refilled: 佐藤 一郎 (4) has no entry yet.
        doubleClick(2);
        QCOMPARE(m_dialogs->memberWindow(), window);
        QCOMPARE(window->windowTitle(), QStringLiteral("佐藤 一郎さんの行先 - 未登録"));
        QCOMPARE(window->txtPosition()->toPlainText(), grid->textMatrix(2, 1));

        window->cmdToCybozu()->click();
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.first().intOpenPageType, 0);
        QCOMPARE(opened.first().userId, 1);
        QCOMPARE(opened.first().password, QStringLiteral("pass1"));
        QVERIFY(window->isVisible());
    }
};

QTEST_MAIN(TestTelMemo)
#include "tst_telmemo.moc"
