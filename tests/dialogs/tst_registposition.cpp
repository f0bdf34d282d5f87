// The whereabouts registration dialog against groupware-sim: the lists, the split of the current
// entry into the fields, automatic registration in both modes, what "登録" sends, the lock, and
// the status window's place choices for another member.
#include "app/StatusDialogs.h"
#include "core/AppState.h"
#include "dialogs/RegistPositionHost.h"
#include "dialogs/RegistPositionLogic.h"
#include "dialogs/frmRegistPosition.h"
#include "groupware/Board.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Login.h"
#include "groupware/Registration.h"
#include "net/Transport.h"
#include "status/frmStatus.h"
#include "support/SimServer.h"
#include "ui/FlexGrid.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using namespace zelmora;
using namespace zelmora::test;

namespace {

class FakeStatus : public StatusControl {
public:
    void UpdateAppearance() override {}
    void LockForm() override {}
    void UnlockForm() override {}
    void Update() override { calls << QStringLiteral("Update(%1)").arg(attention); }
    void SetEnableAttention(bool enable) override { attention = enable; }
    void ShowStatus() override {}
    bool IsStatusVisible() const override { return false; }

    bool attention = true;
    QStringList calls;
};

QJsonObject fieldsOf(const QJsonObject& request) {
    return request.value(QStringLiteral("fields")).toObject();
}

QString field(const QJsonObject& request, const char* name) {
    return fieldsOf(request).value(QLatin1String(name)).toString();
}

} // namespace

class TestRegistPosition : public QObject {
    Q_OBJECT

    SimServer m_sim;
    Settings m_settings;
    AppState m_app;
    GroupwareSession m_session;
    FakeStatus m_status;

    std::unique_ptr<frmRegistPosition> open(qint32 member, qint16 mode, const QString& position,
                                            const QString& contact) {
        auto dialog = std::make_unique<frmRegistPosition>(m_settings, m_session, &m_status);
        dialog->setMember(member, mode, position, contact);
        dialog->Initialize();
        dialog->show();
        return dialog;
    }

    QList<QJsonObject> posts() const { return m_sim.requests(QStringLiteral("WhereEntry-post")); }

private slots:
    void initTestCase() { QVERIFY(m_sim.start()); }

    void init() {
        QVERIFY(m_sim.reset());
        m_settings = Settings();
        m_settings.connection.SERVER_URL = m_sim.baseUrl().toString();
        m_settings.connection.updateProgramUrl();
        m_settings.connection.TIMEOUT = 5;
        m_settings.connection.HERE_POSITION = QStringLiteral("在席");
        m_settings.connection.HERE_TELNO = QStringLiteral("内線101");
        m_settings.connection.memberPermissionState = 1;
        m_settings.groups = {{1, QStringLiteral("営業部")}};
        m_settings.user.GROUP_DISP_ORDER = {1};
        m_settings.users = {{1, QStringLiteral("山田 太郎"), {1}}, {2, QStringLiteral("鈴木 花子"), {1}}};
        SetInetOptions(m_settings.connection, QString(), QString());
        m_session = GroupwareSession();
        QVERIFY(Login(m_settings.connection, m_session, 1, QStringLiteral("pass1")));
        m_app = AppState();
        m_app.loggedIn = true;
        m_status = FakeStatus();
        m_sim.clearRequests();
    }

    void listsAndTheSplitOfTheCurrentEntry() {
        auto dialog = open(2, kRegistModeGrid, QStringLiteral("会議 (15時まで)"), QStringLiteral("内線12"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("鈴木 花子さんの行先登録"));
        // The lists come from the logged-in user's page, whoever the dialog is for.
        const QList<QJsonObject> pages = m_sim.requests(QStringLiteral("WhereEntry"));
        QCOMPARE(pages.size(), 1);
        QCOMPARE(field(pages.first(), "id"), QStringLiteral("1"));
        QComboBox* place = dialog->cboYourPosition();
        QCOMPARE(place->count(), 10);
        QCOMPARE(place->findText(QStringLiteral("--")), -1);
        QCOMPARE(place->currentText(), QStringLiteral("会議"));
        QCOMPARE(dialog->cboToLimit()->count(), 32);
        QCOMPARE(dialog->cboToLimit()->itemText(0), QString());
        QCOMPARE(dialog->cboToLimit()->currentText(), QStringLiteral("15"));
        QCOMPARE(dialog->cboLimitUnit()->currentText(), QStringLiteral("時まで"));
        QCOMPARE(dialog->txtTelNo()->text(), QStringLiteral("内線12"));

        dialog = open(1, kRegistModeMenu, QStringLiteral("外出 (3時半まで)"), QString());
        QCOMPARE(dialog->cboToLimit()->currentText(), QStringLiteral("3"));
        QCOMPARE(dialog->cboLimitUnit()->currentText(), QStringLiteral("時半まで"));

        // Full-width digits are recognised but match no item of the half-width list.
        dialog = open(1, kRegistModeMenu, QStringLiteral("会議 (１５時まで)"), QString());
        QCOMPARE(dialog->cboYourPosition()->currentText(), QStringLiteral("会議"));
        QCOMPARE(dialog->cboToLimit()->currentIndex(), -1);
        QCOMPARE(dialog->cboLimitUnit()->currentText(), QStringLiteral("時まで"));

        // "登録" sends the fields as shown; the server writes the limit after the place.
        dialog->cboToLimit()->setCurrentIndex(17);
        dialog->cmdRegist()->click();
        QCOMPARE(posts().size(), 1);
        QCOMPARE(field(posts().first(), "Detail"), QStringLiteral("会議"));
        QCOMPARE(field(posts().first(), "Until"), QStringLiteral("17"));
        QCOMPARE(field(posts().first(), "Unit"), QStringLiteral("時まで"));
        QList<MemberRecord> board;
        QVERIFY(GetPositionList(m_settings.connection, m_session, board, 1));
        QCOMPARE(board.first().position, QStringLiteral("会議 (17時まで)"));
    }

    void automaticEntryOpenedFromTheMenu() {
        auto dialog = open(1, kRegistModeMenu, QStringLiteral("在席*"), QStringLiteral("内線12*"));
        QVERIFY(dialog->chkAutoUpdatePosition()->isEnabled());
        QVERIFY(dialog->chkAutoUpdatePosition()->isChecked());
        QCOMPARE(dialog->cboYourPosition()->currentText(), QStringLiteral("在席"));
        QCOMPARE(dialog->txtTelNo()->text(), QStringLiteral("内線12"));
        for (QWidget* field : std::initializer_list<QWidget*>{dialog->fraFrame(), dialog->cboYourPosition(),
                                                              dialog->cboToLimit(), dialog->txtTelNo()})
            QVERIFY(!field->isEnabled());

        dialog->cmdRegist()->click();
        // HERE_POSITION and HERE_TELNO with the present mark, not the texts shown.
        QCOMPARE(posts().size(), 1);
        const QJsonObject post = posts().first();
        QCOMPARE(field(post, "ID"), QStringLiteral("1"));
        QCOMPARE(field(post, "Detail"), QStringLiteral("在席*"));
        QCOMPARE(field(post, "Until"), QString());
        QCOMPARE(field(post, "Contact"), QStringLiteral("内線101*"));
        QCOMPARE(m_session.lastRegistration().position, QStringLiteral("在席*"));
        QCOMPARE(m_session.lastRegistration().contact, QStringLiteral("内線101*"));
        // The status window is refreshed without notices, then the dialog closes.
        QCOMPARE(m_status.calls, QStringList{QStringLiteral("Update(0)")});
        QVERIFY(!dialog->isVisible());
        QVERIFY(dialog->cmdRegist()->isEnabled());
    }

    void automaticEntryOpenedFromTheGrid() {
        auto dialog = open(1, kRegistModeGrid, QStringLiteral("在席*"), QStringLiteral("内線12*"));
        QVERIFY(!dialog->chkAutoUpdatePosition()->isEnabled());
        QVERIFY(!dialog->chkAutoUpdatePosition()->isChecked());
        QVERIFY(dialog->cboYourPosition()->isEnabled());
        QVERIFY(dialog->txtTelNo()->isEnabled());
        QCOMPARE(dialog->cboYourPosition()->currentText(), QStringLiteral("在席"));
        dialog->cboYourPosition()->setEditText(QStringLiteral("来客中 & 打合せ"));
        dialog->txtTelNo()->setText(QStringLiteral(" 内線99 "));
        dialog->cmdRegist()->click();
        const QJsonObject post = posts().first();
        QCOMPARE(field(post, "Detail"), QStringLiteral("来客中 & 打合せ"));
        QCOMPARE(field(post, "Contact"), QStringLiteral(" 内線99 "));
        QCOMPARE(m_session.lastRegistration().contact, QStringLiteral(" 内線99 "));

        // Another member's entry never becomes the user's last registration.
        dialog = open(2, kRegistModeGrid, QStringLiteral("外出"), QStringLiteral("携帯"));
        dialog->cmdRegist()->click();
        QCOMPARE(posts().size(), 2);
        QCOMPARE(field(posts().last(), "ID"), QStringLiteral("2"));
        QCOMPARE(m_session.lastRegistration().position, QStringLiteral("来客中 & 打合せ"));
    }

    void hostKeepsOneDialogAndLocksIt() {
        QWidget owner;
        RegistPositionHost host(m_settings, m_session, &m_status, &owner);
        QVERIFY(!host.isFormOpen());
        host.LockForm(); // nothing open: nothing to lock
        host.Open({1, false, QStringLiteral("在席*"), QStringLiteral("内線12*")});
        QVERIFY(host.isFormOpen());
        frmRegistPosition* dialog = host.dialog();
        QVERIFY(dialog->isVisible());
        host.LockForm();
        QVERIFY(!dialog->cmdRegist()->isEnabled());
        QVERIFY(!dialog->cmdCancel()->isEnabled());
        host.UnlockForm();
        QVERIFY(dialog->cmdRegist()->isEnabled());

        // A second opening reuses the open dialog for the new member.
        host.Open({2, true, QStringLiteral("外出"), QString()});
        QCOMPARE(host.dialog(), dialog);
        QCOMPARE(owner.findChildren<frmRegistPosition*>().size(), 1);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("鈴木 花子さんの行先登録"));

        dialog->cmdCancel()->click();
        QVERIFY(!host.isFormOpen());
        QVERIFY(posts().isEmpty());
        QTRY_VERIFY(!host.dialog());
    }

    void placeChosenForAnotherMemberKeepsTheirContact() {
        // 鈴木 花子 registered automatically from her own program, marks on both texts.
        QVERIFY(PostWhereEntry(m_settings.connection,
                               {2, QStringLiteral("外出*"), {}, {}, QStringLiteral("携帯 090-1234-5678*?")})
                    .ok());
        frmStatus status(m_settings, m_app, m_session);
        StatusDialogs dialogs(m_settings, m_app, m_session, status);
        status.BuildLayout();
        status.show();
        QVERIFY(QTest::qWaitForWindowExposed(&status));
        status.Update();
        ui::FlexGrid* grid = status.objMSFlexGrid();
        QCOMPARE(status.lngRowUserID(), (QList<qint32>{0, 1, 2}));
        const QRect cell = grid->visualRect(grid->model()->index(1, 1));
        QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, cell.center());
        QTRY_VERIFY(status.mnuStatus()->isVisible());
        status.mnuStatus()->hide();
        m_sim.clearRequests();

        auto choose = [](const QList<QAction*>& items, const QString& caption) {
            for (QAction* action : items) {
                if (action->text() == caption) {
                    action->trigger();
                    return true;
                }
            }
            return false;
        };
        QVERIFY(choose(status.mnuR_PositionItem(), QStringLiteral("会議")));
        QCOMPARE(posts().size(), 1);
        QCOMPARE(field(posts().first(), "ID"), QStringLiteral("2"));
        QCOMPARE(field(posts().first(), "Detail"), QStringLiteral("会議"));
        QCOMPARE(field(posts().first(), "Contact"), QStringLiteral("携帯 090-1234-5678"));

        // The member menu acts on the current row the same way: her contact, not the user's.
        m_session.recordRegistration(QStringLiteral("在席"), QStringLiteral("内線101*"), QDateTime::currentDateTime());
        QVERIFY(PostWhereEntry(m_settings.connection,
                               {2, QStringLiteral("外出"), {}, {}, QStringLiteral("携帯 090-1234-5678*")})
                    .ok());
        status.Update();
        grid->setCurrentGridCell(2, 1);
        m_sim.clearRequests();
        QVERIFY(choose(status.mnuMemberPositionItem(), QStringLiteral("来客中")));
        QCOMPARE(posts().size(), 1);
        QCOMPARE(field(posts().first(), "Contact"), QStringLiteral("携帯 090-1234-5678"));
        QCOMPARE(m_session.lastRegistration().position, QStringLiteral("在席"));

        // "詳細設定..." of the row menu opens the dialog from the grid, with the row's texts.
        status.mnuR_PositionItem().at(0)->trigger();
        frmRegistPosition* dialog = dialogs.registPositionHost()->dialog();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->intMode(), kRegistModeGrid);
        QCOMPARE(dialog->lngUserID(), 2);
        QCOMPARE(dialog->cboYourPosition()->currentText(), QStringLiteral("来客中"));
        QCOMPARE(dialog->txtTelNo()->text(), QStringLiteral("携帯 090-1234-5678"));
        QVERIFY(dialogs.registPositionHost()->isFormOpen());
        dialog->cmdCancel()->click();

        // "詳細設定..." of the member menu for her automatic entry: her texts, and no "自動登録" that
        // could put the user's own HERE_POSITION/HERE_TELNO with "*" on her entry.
        m_settings.connection.HERE_POSITION = QStringLiteral("在席");
        m_settings.connection.HERE_TELNO = QStringLiteral("内線101");
        QVERIFY(
            PostWhereEntry(m_settings.connection, {2, QStringLiteral("外出*"), {}, {}, QStringLiteral("携帯*")}).ok());
        status.Update();
        grid->setCurrentGridCell(2, 1);
        status.mnuMemberPositionItem().at(0)->trigger();
        dialog = dialogs.registPositionHost()->dialog();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(!dialog->chkAutoUpdatePosition()->isChecked());
        QVERIFY(!dialog->chkAutoUpdatePosition()->isEnabled());
        QCOMPARE(dialog->cboYourPosition()->currentText(), QStringLiteral("外出"));
        m_sim.clearRequests();
        dialog->cmdRegist()->click();
        QCOMPARE(posts().size(), 1);
        QCOMPARE(field(posts().first(), "ID"), QStringLiteral("2"));
        QCOMPARE(field(posts().first(), "Detail"), QStringLiteral("外出"));
        QCOMPARE(field(posts().first(), "Contact"), QStringLiteral("携帯"));
    }
};

QTEST_MAIN(TestRegistPosition)
#include "tst_registposition.moc"
