// The status window driven against groupware-sim: what a refresh reads, how the grid, notices,
// schedule, menus and title come out, and the commands that act on the rows.
#include "FakeResident.h"
#include "app/StatusDialogs.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/SettingsFile.h"
#include "groupware/Directory.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Login.h"
#include "groupware/UserDataFile.h"
#include "net/Transport.h"
#include "status/StatusPages.h"
#include "status/frmStatus.h"
#include "support/ScriptedMessages.h"
#include "support/SimServer.h"
#include "ui/DeferredCall.h"
#include "ui/FlexGrid.h"

#include <QAction>
#include <QHeaderView>
#include <QJsonArray>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

using namespace zelmora;
using namespace zelmora::test;

namespace {
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kMagenta(255, 0, 255);
const QColor kBlack(0, 0, 0);

QStringList column(const ui::FlexGrid* grid, int col) {
    QStringList texts;
    for (int r = 1; r < grid->rows(); ++r)
        texts << grid->textMatrix(r, col);
    return texts;
}

int deliveredActions(const QObject* window) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return int(window->findChildren<QAction*>().size());
}
} // namespace

class TestStatusRefresh : public QObject {
    Q_OBJECT

    SimServer m_sim;
    Settings m_settings;
    AppState m_app;
    GroupwareSession m_session;
    FakeResident m_resident;
    std::unique_ptr<frmStatus> m_status;
    QList<PageRequest> m_opened;
    QList<quint16> m_notices;

    frmStatus& makeWindow(qint16 mode, const QList<qint32>& order = {1, 2, 3}) {
        m_settings.connection.GET_DATA_MODE = mode;
        m_settings.user.GROUP_DISP_ORDER = order;
        m_status = std::make_unique<frmStatus>(m_settings, m_app, m_session);
        m_status->setResidentControl(&m_resident);
        m_status->setPageOpener([this](const PageRequest& request) { m_opened << request; });
        m_status->setNoticeOpener([this](quint16 type) { m_notices << type; });
        m_status->BuildLayout();
        return *m_status;
    }

    QList<QJsonObject> boardReads() const { return m_sim.requests(QStringLiteral("WhereIndex")); }
    static QString gidOf(const QJsonObject& request) {
        return request.value(QStringLiteral("fields")).toObject().value(QStringLiteral("gid")).toString();
    }

private slots:
    void initTestCase() { QVERIFY(m_sim.start()); }

    void init() {
        QVERIFY(m_sim.reset());
        Clock::reset();
        m_settings = Settings();
        m_settings.connection.SERVER_URL = m_sim.baseUrl().toString();
        m_settings.connection.updateProgramUrl();
        m_settings.connection.TIMEOUT = 2;
        m_settings.connection.memberPermissionState = 1;
        m_settings.groups = {
            {1, QStringLiteral("営業部")}, {2, QStringLiteral("開発部")}, {3, QStringLiteral("総務部")}};
        // Member 4 is on the board of 総務部 but not in the directory.
        m_settings.users = {{1, QStringLiteral("山田 太郎"), {1, 3}},
                            {2, QStringLiteral("鈴木 花子"), {1}},
                            {3, QStringLiteral("佐藤 一郎"), {2}},
                            {5, QStringLiteral("高橋 健"), {2}}};
        SetInetOptions(m_settings.connection, QString(), QString());
        m_session = GroupwareSession();
        QVERIFY(Login(m_settings.connection, m_session, 1, QStringLiteral("pass1")));
        m_app = AppState();
        m_app.loggedIn = true;
        m_resident = FakeResident();
        m_opened.clear();
        m_notices.clear();
        m_sim.clearRequests();
    }

    void cleanup() { m_status.reset(); }

    void refreshFillsGridNoticesScheduleAndTitle() {
        frmStatus& status = makeWindow(1);
        status.SetEnableAttention(true);
        status.Update();

        const ui::FlexGrid* grid = status.objMSFlexGrid();
        QCOMPARE(grid->textMatrix(0, 4), QStringLiteral("最終更新日時"));
        QCOMPARE(column(grid, 0), (QStringList{QStringLiteral("山田 太郎"), QStringLiteral("鈴木 花子")}));
        QCOMPARE(status.lngRowUserID(), (QList<qint32>{0, 1, 2}));
        // Registered present today: blue; updated yesterday: red; names and memo marks stay black.
        for (int c : {1, 3, 4}) {
            QCOMPARE(grid->cellForeColor(1, c), kBlue);
            QCOMPARE(grid->cellForeColor(2, c), kRed);
        }
        QCOMPARE(grid->cellForeColor(2, 0), kBlack);
        QCOMPARE(column(grid, 2), (QStringList{QString(), QStringLiteral("○")}));
        QCOMPARE(grid->textMatrix(1, 4),
                 Clock::today().toString(QStringLiteral("yyyy/MM/dd")) + QStringLiteral(" 09:00"));
        QCOMPARE(grid->currentGridRow(), 1);

        QVERIFY(QRegularExpression(QStringLiteral("^ゼルモラ - \\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d 更新$"))
                    .match(status.windowTitle())
                    .hasMatch());
        const QString notices = status.txtYourNotice()->toPlainText();
        QVERIFY2(notices.startsWith(QStringLiteral("メールが3件届いています。\n未読の回覧が1件あります。\n")),
                 qPrintable(notices));
        QVERIFY(notices.contains(QStringLiteral("申請・決済書類が3件あります。")));
        QVERIFY(notices.contains(QStringLiteral("新着の掲示があります。")));
        QCOMPARE(m_settings.user.LAST_NOTIFIED_ARTICLEID, 9);
        QCOMPARE(m_notices.size(), 1);
        QCOMPARE(m_notices.first() & 1, 1);
        const QString schedule = status.txtTodaySchedule()->toPlainText();
        // The title is taken with the space the page puts after the time.
        QVERIFY2(schedule.contains(QStringLiteral("\n10:00-11:30  定例会議\n")), qPrintable(schedule));
        QVERIFY(schedule.startsWith(QStringLiteral("資料作成\n09:00  朝会\n")));
        QCOMPARE(status.todaySchedule().size(), 4);
        QVERIFY(status.todaySchedule().first().armed);

        // The data clock is stopped during the refresh and restarted from zero afterwards.
        QCOMPARE(m_resident.calls.first(), QStringLiteral("OffGetTimer"));
        QCOMPARE(m_resident.calls.mid(m_resident.calls.size() - 2),
                 (QStringList{QStringLiteral("ClearGetTimer"), QStringLiteral("OnGetTimer")}));
        QVERIFY(m_resident.timersEnabled);
        QVERIFY(!status.isLocked());

        // A second refresh keeps the alarm state of the same items and announces the same article
        // only once: the mail is announced again, the article neither in the window nor in the box.
        status.todaySchedule()[0].armed = false;
        // The same board again redraws no cell.
        QSignalSpy redrawn(grid->model(), &QAbstractItemModel::dataChanged);
        QSignalSpy inserted(grid->model(), &QAbstractItemModel::rowsInserted);
        status.Update();
        QCOMPARE(redrawn.count() + inserted.count(), 0);
        QVERIFY(!status.todaySchedule().first().armed);
        QCOMPARE(m_notices.size(), 2);
        QCOMPARE(m_notices.last() & 8, 0);
        QCOMPARE(m_notices.last() & 1, 1);
        QVERIFY(!status.txtYourNotice()->toPlainText().contains(QStringLiteral("新着の掲示があります。")));
    }

    void rebuildsLinkAndPositionMenus() {
        frmStatus& status = makeWindow(1);
        status.Update();
        const QList<QAction*>& links = status.mnuLinkItem();
        QCOMPARE(links.size(), 3);
        QCOMPARE(links.at(0)->text(), QStringLiteral("社内ポータル"));
        QVERIFY(!links.at(0)->isSeparator());
        QVERIFY(links.at(1)->isSeparator());
        QVERIFY(links.at(1)->text().isEmpty()); // drawn as a line, not as a heading "-"
        QCOMPARE(links.at(2)->text(), QStringLiteral("交通費精算"));
        QVERIFY(status.mnuLink()->menuAction()->isEnabled());
        QCOMPARE(m_resident.links.size(), 3);

        const QList<QAction*>& mine = status.mnuMyPositionItem();
        QCOMPARE(m_resident.places.first(), QStringLiteral("在席"));
        QCOMPARE(mine.size(), 4 + m_resident.places.size());
        QCOMPARE(status.mnuMemberPositionItem().size(), 2 + m_resident.places.size());
        QCOMPARE(status.mnuR_PositionItem().size(), 4 + m_resident.places.size());
        QCOMPARE(mine.at(4)->text(), QStringLiteral("在席"));
        QCOMPARE(mine.at(4)->objectName(), QStringLiteral("mnuMyPositionItem(4)"));
        // The own entry "在席*" was registered automatically: "自動登録" is checked, the place is not.
        QVERIFY(mine.at(2)->isChecked());
        QVERIFY(!mine.at(4)->isChecked());
        const qsizetype separator = m_resident.places.indexOf(QStringLiteral("--"));
        QVERIFY(separator > 0);
        QVERIFY(mine.at(4 + separator)->isSeparator());
        QVERIFY(status.mnuMemberPositionItem().at(2 + separator)->isSeparator());

        // A hundred refreshes leave as many menu items as one.
        const int actions = deliveredActions(&status);
        for (QAction* action : {links.at(2), mine.at(4), status.mnuR_PositionItem().at(4)})
            action->setProperty("kept", true);
        for (int i = 0; i < 100; ++i)
            status.Update();
        QCOMPARE(deliveredActions(&status), actions);
        // The same links and places keep their items.
        for (QAction* action : {links.at(2), mine.at(4), status.mnuR_PositionItem().at(4)})
            QVERIFY(action->property("kept").toBool());
        QCOMPARE(status.mnuLinkItem().size(), 3);
        QCOMPARE(status.mnuMyPositionItem().size(), mine.size());
        QCOMPARE(m_resident.linkRebuilds, 101);
    }

    void tabsFollowTheDataMode_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("firstReads");
        QTest::addColumn<int>("readsOnTabClick");
        QTest::newRow("0: all members at once") << 0 << QStringList{"0"} << 0;
        QTest::newRow("1: the current tab") << 1 << QStringList{"1"} << 1;
        QTest::newRow("2: every tab, merged") << 2 << QStringList{"1", "2", "3"} << 0;
    }

    void tabsFollowTheDataMode() {
        QFETCH(int, mode);
        QFETCH(QStringList, firstReads);
        QFETCH(int, readsOnTabClick);
        frmStatus& status = makeWindow(qint16(mode));
        status.Update();
        QStringList gids;
        for (const QJsonObject& request : boardReads())
            gids << gidOf(request);
        QCOMPARE(gids, firstReads);
        QCOMPARE(column(status.objMSFlexGrid(), 0),
                 (QStringList{QStringLiteral("山田 太郎"), QStringLiteral("鈴木 花子")}));

        // 総務部 lists 山田 and member 4, who is not in the directory and never shows.
        m_sim.clearRequests();
        status.SetEnableAttention(true);
        status.objTabStrip()->setCurrentIndex(2);
        QCOMPARE(status.intCurrentTab(), 3);
        QCOMPARE(int(boardReads().size()), readsOnTabClick);
        if (readsOnTabClick)
            QCOMPARE(gidOf(boardReads().first()), QStringLiteral("3"));
        QVERIFY(!status.bflgEnableAttention());
        QCOMPARE(column(status.objMSFlexGrid(), 0), QStringList{QStringLiteral("山田 太郎")});
        QCOMPARE(status.lngRowUserID(), (QList<qint32>{0, 1}));
        QCOMPARE(m_sim.requests(QStringLiteral("toppage")).size(), 0);

        status.objTabStrip()->setCurrentIndex(1);
        QCOMPARE(column(status.objMSFlexGrid(), 0),
                 (QStringList{QStringLiteral("佐藤 一郎"), QStringLiteral("高橋 健")}));
        // "帰宅?" of yesterday: red wins over the mark.
        QCOMPARE(status.objMSFlexGrid()->cellForeColor(1, 1), kRed);
        QCOMPARE(m_notices.size(), 0);
    }

    void coloursTellHowOldAndHowSureAnEntryIs() {
        QJsonObject organisation = m_sim.state();
        organisation.remove(QStringLiteral("sessions"));
        organisation.remove(QStringLiteral("fault"));
        const QJsonArray entries = {
            QJsonObject{{"user", 3}, {"position", "帰宅?"}, {"contact", "?"}, {"updated", "today 08:00"}},
            QJsonObject{{"user", 1}, {"position", "会議"}, {"contact", "内線101"}, {"updated", "today 08:30"}},
        };
        organisation.insert(QStringLiteral("entries"), entries);
        QVERIFY(m_sim.loadOrganisation(organisation));
        frmStatus& status = makeWindow(0, {2, 1});
        status.Update();
        const ui::FlexGrid* grid = status.objMSFlexGrid();
        QCOMPARE(column(grid, 0), (QStringList{QStringLiteral("佐藤 一郎"), QStringLiteral("高橋 健")}));
        QCOMPARE(grid->cellForeColor(1, 3), kMagenta);
        // Without any entry: red, and no update time.
        QCOMPARE(grid->cellForeColor(2, 1), kRed);
        QCOMPARE(grid->textMatrix(2, 4), QString());
        status.objTabStrip()->setCurrentIndex(1);
        QCOMPARE(grid->cellForeColor(1, 4), kBlack);
        QCOMPARE(grid->cellForeColor(2, 4), kRed);
    }

    void keepsTheGridWhenTheServerStopsAnswering() {
        frmStatus& status = makeWindow(1);
        status.Update();
        const QStringList names = column(status.objMSFlexGrid(), 0);
        const QString notices = status.txtYourNotice()->toPlainText();
        QVERIFY(m_sim.setFault(QStringLiteral("hang")));
        status.Update();
        QVERIFY(m_sim.clearFault());
        QCOMPARE(status.windowTitle(), QStringLiteral("ゼルモラ - サーバーにアクセスできません"));
        QCOMPARE(column(status.objMSFlexGrid(), 0), names);
        QCOMPARE(status.txtYourNotice()->toPlainText(), notices);
        QVERIFY(!status.isLocked());
        QCOMPARE(m_resident.calls.last(), QStringLiteral("OnGetTimer"));
        status.Update();
        QVERIFY(status.windowTitle().endsWith(QStringLiteral(" 更新")));
    }

    void withoutLoginShowsTheBoardOnly() {
        m_app.loggedIn = false;
        frmStatus& status = makeWindow(1);
        status.Update();
        QCOMPARE(m_sim.requests(QStringLiteral("toppage")).size(), 0);
        QCOMPARE(status.objMSFlexGrid()->rows(), 3);
        QVERIFY(!status.txtYourNotice()->isEnabled());
        QVERIFY(!status.txtTodaySchedule()->isEnabled());
        QCOMPARE(status.mnuLinkItem().size(), 1);
        QCOMPARE(m_resident.linkRebuilds, 0);
        // The four timers stay off until the next refresh restarts the data clock.
        QVERIFY(!m_resident.timersEnabled);
    }

    void rightButtonMenuActsOnTheClickedMember() {
        frmStatus& status = makeWindow(1);
        status.show();
        QVERIFY(QTest::qWaitForWindowExposed(&status));
        status.Update();
        ui::FlexGrid* grid = status.objMSFlexGrid();
        auto rightClick = [&](int row) {
            const QRect cell = grid->visualRect(grid->model()->index(row - 1, 1));
            QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, cell.center());
        };

        rightClick(2);
        QTRY_VERIFY(status.mnuStatus()->isVisible());
        QCOMPARE(status.lngClickedRow(), 2);
        QVERIFY(!status.mnuR_PositionItem().at(2)->isEnabled());
        status.mnuStatus()->hide();
        rightClick(1);
        QTRY_VERIFY(status.mnuStatus()->isVisible());
        QVERIFY(status.mnuR_PositionItem().at(2)->isEnabled());
        status.mnuStatus()->hide();

        // A place for 山田 (contact "内線101*"): the bare place, the contact without its mark.
        m_sim.clearRequests();
        status.SetEnableAttention(true);
        QAction* meeting = nullptr;
        for (QAction* action : status.mnuR_PositionItem()) {
            if (action->text() == QStringLiteral("会議"))
                meeting = action;
        }
        QVERIFY(meeting);
        QSignalSpy redrawn(grid->model(), &QAbstractItemModel::dataChanged);
        meeting->trigger();
        // Only 山田's row is redrawn.
        QCOMPARE(redrawn.count(), 1);
        QCOMPARE(redrawn.first().at(0).toModelIndex().row(), 0);
        QCOMPARE(redrawn.first().at(1).toModelIndex().row(), 0);
        const QList<QJsonObject> posts = m_sim.requests(QStringLiteral("WhereEntry-post"));
        QCOMPARE(posts.size(), 1);
        const QJsonObject fields = posts.first().value(QStringLiteral("fields")).toObject();
        QCOMPARE(fields.value(QStringLiteral("ID")).toString(), QStringLiteral("1"));
        QCOMPARE(fields.value(QStringLiteral("Detail")).toString(), QStringLiteral("会議"));
        QCOMPARE(fields.value(QStringLiteral("Contact")).toString(), QStringLiteral("内線101"));
        // The refresh after the post shows the new entry and opens no notice window.
        QCOMPARE(grid->textMatrix(1, 1), QStringLiteral("会議"));
        QCOMPARE(grid->cellForeColor(1, 1), kBlack);
        for (QAction* action : status.mnuMyPositionItem())
            QCOMPARE(action->isChecked(), action->text() == QStringLiteral("会議"));
        QVERIFY(m_notices.isEmpty());

        // A click on the header row changes nothing.
        const QPoint header = grid->horizontalHeader()->geometry().center();
        QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, grid->viewport()->mapFrom(grid, header));
        QCOMPARE(status.lngClickedRow(), 1);
        QVERIFY(!status.mnuStatus()->isVisible());
    }

    void pageCommandsOpenAfterTheMenuCloses() {
        frmStatus& status = makeWindow(1);
        status.Update();
        status.objTabStrip()->setCurrentIndex(2);
        status.menuItem(QStringLiteral("mnuRefGroupSchedule"))->trigger();
        QVERIFY(m_opened.isEmpty());
        QVERIFY(status.tmrAvoidVBBug()->isActive());
        QTRY_COMPARE(m_opened.size(), 1);
        const QString today =
            QStringLiteral("%1.%2.%3").arg(Clock::today().year()).arg(Clock::today().month()).arg(Clock::today().day());
        QCOMPARE(m_opened.first().intOpenPageType, 1);
        QCOMPARE(m_opened.first().strOpenPageQuery, m_settings.connection.programUrl +
                                                        QStringLiteral("?page=ScheduleIndex&date=da.") + today +
                                                        QStringLiteral("&gid=3"));
        QCOMPARE(m_opened.first().userId, 1);
        QCOMPARE(m_opened.first().password, QStringLiteral("pass1"));

        // mnuLinkItem(2) is the third entry of the link list, opened as a plain address.
        status.mnuLinkItem().at(2)->trigger();
        QTRY_COMPARE(m_opened.size(), 2);
        QCOMPARE(m_opened.last().intOpenPageType, 2);
        QCOMPARE(m_opened.last().strOpenPageQuery, QStringLiteral("http://keihi.example.co.jp/"));
        QCOMPARE(m_opened.last().userId, 0);
    }

    void memoDialogRefreshesOnlyWhenAMemoWasSent() {
        frmStatus& status = makeWindow(1);
        status.Update();
        QList<qint32> asked;
        bool send = false;
        status.setTelMemoWriter([&](qint32 member) {
            asked << member;
            return send;
        });
        status.objMSFlexGrid()->setCurrentGridCell(2, 0);
        m_sim.clearRequests();
        status.menuItem(QStringLiteral("mnuWriteTelMemo"))->trigger();
        QCOMPARE(asked, QList<qint32>{2});
        QCOMPARE(m_sim.requests(QStringLiteral("toppage")).size(), 0);

        send = true;
        status.SetEnableAttention(true);
        status.menuItem(QStringLiteral("mnuWriteTelMemo"))->trigger();
        QCOMPARE(m_sim.requests(QStringLiteral("toppage")).size(), 1);
        QVERIFY(!status.bflgEnableAttention());
        QVERIFY(m_notices.isEmpty());

        // While a memo dialog is open another one is not started.
        QWidget open;
        open.setObjectName(QStringLiteral("frmTelMemo"));
        open.show();
        status.menuItem(QStringLiteral("mnuWriteTelMemo"))->trigger();
        QCOMPARE(asked.size(), 2);
    }

    void userDataRefreshReadsTheServersDirectory() {
        // The window as the program composes it, against the server's directory of five members.
        QTemporaryDir dir;
        m_app.userDataFilePath = dir.filePath(QStringLiteral("UserData.dat"));
        frmStatus& status = makeWindow(1);
        StatusDialogs dialogs(m_settings, m_app, m_session, status);
        status.Update();
        const QList<UserRecord> before = m_settings.users;
        ScriptedMessages messages;
        QVERIFY(m_sim.setFault(QStringLiteral("errorpage"), 0, 0, -1, QStringLiteral("page=WhereIndex&gid=0")));
        status.menuItem(QStringLiteral("mnuUpdateUserData"))->trigger();
        QVERIFY(m_sim.clearFault());
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.lastText(), QStringLiteral("ユーザーデータの更新に失敗しました"));
        QCOMPARE(messages.shown().first().title, QStringLiteral("エラー"));
        QCOMPARE(m_settings.users.size(), before.size());
        QVERIFY(!status.isLocked());
        QVERIFY(!QFile::exists(m_app.userDataFilePath));

        // On success the group selector and every group page are read, and the new directory is
        // saved and shown: member 4 (佐藤 一郎 of 総務部) was not in the old one.
        m_sim.clearRequests();
        status.menuItem(QStringLiteral("mnuUpdateUserData"))->trigger();
        QCOMPARE(messages.count(), 1);
        QStringList gids;
        for (const QJsonObject& request : boardReads())
            gids << gidOf(request);
        QCOMPARE(gids.mid(0, 4), (QStringList{"0", "1", "2", "3"}));
        QCOMPARE(userNameById(m_settings.users, 4), QStringLiteral("佐藤 一郎"));
        QList<UserRecord> saved;
        QCOMPARE(LoadUserData(saved, m_app.userDataFilePath), qint16(SettingsDone));
        QCOMPARE(saved.size(), m_settings.users.size());
        QCOMPARE(m_sim.requests(QStringLiteral("toppage")).size(), 1);
        status.objTabStrip()->setCurrentIndex(2);
        QVERIFY(column(status.objMSFlexGrid(), 0).contains(QStringLiteral("佐藤 一郎")));
    }

    void doubleClickOpensTheMemberWindow() {
        frmStatus& status = makeWindow(1);
        status.show();
        QVERIFY(QTest::qWaitForWindowExposed(&status));
        status.Update();
        QList<MemberWindowFields> opened;
        status.setMemberWindowOpener([&](const MemberWindowFields& fields) { opened << fields; });
        ui::FlexGrid* grid = status.objMSFlexGrid();
        const QPoint cell = grid->visualRect(grid->model()->index(1, 0)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell);
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened.first().title.startsWith(QStringLiteral("鈴木 花子さんの行先 - ")));
        QVERIFY(opened.first().title.endsWith(QStringLiteral("17:30更新")));
        QCOMPARE(opened.first().position, QStringLiteral("外出"));
        QVERIFY(opened.first().telMemo);
    }

    void memberMenusFollowTheCurrentRow() {
        frmStatus& status = makeWindow(1);
        status.Update();
        QAction* changeMember = status.menuItem(QStringLiteral("mnuChangeMemberPosition"));
        QAction* writeMemo = status.menuItem(QStringLiteral("mnuWriteTelMemo"));
        // Row 1 is the user's own row.
        QVERIFY(!changeMember->isEnabled());
        status.objMSFlexGrid()->setCurrentGridCell(2, 0);
        QVERIFY(changeMember->isEnabled());
        QVERIFY(writeMemo->isEnabled());
        m_settings.connection.memberPermissionState = 0;
        status.objMSFlexGrid()->setCurrentGridCell(2, 1);
        QVERIFY(!changeMember->isEnabled());
        QVERIFY(!status.menuItem(QStringLiteral("mnuR_ChangePos"))->isEnabled());
    }
};

QTEST_MAIN(TestStatusRefresh)
#include "tst_statusrefresh.moc"
