// The notice window: which boxes are offered and ticked, the page its button opens, one window at
// a time with one sound, the desktop notification that goes with each opening, and the status
// refresh opening it against groupware-sim.
#include "app/StatusDialogs.h"
#include "core/AppState.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Login.h"
#include "net/Transport.h"
#include "notify/AttentionControl.h"
#include "notify/frmAttention.h"
#include "status/frmStatus.h"
#include "support/SimServer.h"
#include "ui/DesktopNotifier.h"
#include "ui/NoticeSound.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

using namespace zelmora;

namespace {

class FakeNotifier : public ui::DesktopNotifier {
public:
    bool notify(const QString& title, const QString& body, std::function<void()> activated) override {
        titles << title;
        bodies << body;
        clicks << std::move(activated);
        return true;
    }
    QStringList titles;
    QStringList bodies;
    QList<std::function<void()>> clicks;
};

} // namespace

class TestAttention : public QObject {
    Q_OBJECT

    Settings m_settings;
    GroupwareSession m_session;
    QStringList m_sounds;
    QList<PageRequest> m_opened;
    FakeNotifier* m_notifier = nullptr;
    std::unique_ptr<AttentionControl> m_control;

    QString page(const char* query) const { return m_settings.connection.programUrl + QLatin1String(query); }

private slots:
    void init() {
        m_settings = Settings();
        m_settings.connection.SERVER_URL = QStringLiteral("http://groupware.example/scripts/cbag/");
        m_settings.connection.updateProgramUrl();
        m_session = GroupwareSession();
        m_session.setUser(1, QStringLiteral("pass1"));
        m_sounds.clear();
        m_opened.clear();
        ui::setSoundPlayer([this](const QString& file) { m_sounds << file; });
        m_control = std::make_unique<AttentionControl>(m_settings, m_session);
        m_notifier = new FakeNotifier;
        m_notifier->setParent(m_control.get());
        m_control->setNotifier(m_notifier);
        m_control->setPageOpener([this](const PageRequest& request) { m_opened << request; });
    }

    void cleanup() {
        m_control.reset();
        ui::setSoundPlayer({});
    }

    void boxesFollowTheUsableApplications() {
        // Mail waits, but web mail is not usable: its box stays off and the button skips it.
        m_settings.connection.CHECK_USABLE_APPLICATION = true;
        m_settings.connection.usableApplications = AppAll & ~AppWebMail;
        m_control->Show(1 | 4);
        frmAttention* window = m_control->window();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("通知"));
        QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!window->chkInformationType(0)->isEnabled());
        QVERIFY(!window->chkInformationType(0)->isChecked());
        QVERIFY(window->chkInformationType(2)->isChecked());
        for (int i : {1, 3, 4})
            QVERIFY(window->chkInformationType(i)->isEnabled() && !window->chkInformationType(i)->isChecked());
        QCOMPARE(m_sounds, QStringList{QString()}); // no sound file: the beep

        window->cmdToCybozu()->click();
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(m_opened.first().intOpenPageType, 1);
        QCOMPARE(m_opened.first().strOpenPageQuery, page("?page=WhereHistory&id=1&gid=0"));
        QCOMPARE(m_opened.first().userId, 1);
        QCOMPARE(m_opened.first().password, QStringLiteral("pass1"));
        QVERIFY(!m_control->isOpen());

        // Without the check every application counts as usable.
        m_settings.connection.CHECK_USABLE_APPLICATION = false;
        m_control->Show(1 | 4);
        QVERIFY(m_control->window()->chkInformationType(0)->isChecked());
        m_control->window()->cmdToCybozu()->click();
        QCOMPARE(m_opened.last().strOpenPageQuery, page("?page=WebMailIndex"));
    }

    void oneWindowOneSoundPerOpening() {
        m_settings.user.ALARM_SOUNDFILE = QStringLiteral("/home/user/notice.wav");
        m_control->Show(4);
        frmAttention* window = m_control->window();
        // A refresh while it is open: no second window, no second sound, the ticks stay.
        m_control->Show(2 | 16);
        QCOMPARE(m_control->window(), window);
        QCOMPARE(window->intInformationType(), quint16(2 | 16));
        QVERIFY(!window->chkInformationType(1)->isChecked());
        QCOMPARE(m_sounds, QStringList{m_settings.user.ALARM_SOUNDFILE});
        QCOMPARE(m_notifier->bodies, QStringList{QStringLiteral("電話メモがあります")});

        // Only the ticks at the moment of the click count: the user's own choice, the first one.
        window->chkInformationType(2)->setChecked(false);
        window->chkInformationType(4)->setChecked(true);
        window->chkInformationType(3)->setChecked(true);
        window->cmdToCybozu()->click();
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(m_opened.first().strOpenPageQuery, page("?page=BulletinIndex"));

        // Closed: the next refresh opens it again, with its sound; nothing ticked only closes it.
        QVERIFY(!m_control->isOpen());
        m_control->Show(1);
        QCOMPARE(m_sounds.size(), 2);
        m_control->window()->chkInformationType(0)->setChecked(false);
        m_control->window()->cmdToCybozu()->click();
        QCOMPARE(m_opened.size(), 1);
        QVERIFY(!m_control->isOpen());
    }

    void desktopNotificationActsAsTheButton() {
        m_control->Show(4 | 16);
        QCOMPARE(m_notifier->titles, QStringList{QStringLiteral("あなた宛にメッセージが届いています")});
        QCOMPARE(m_notifier->bodies, QStringList{QStringLiteral("電話メモがあります\n申請・決済書類があります")});
        // Clicked while the window is open: as its button, with the window's ticks.
        m_control->window()->chkInformationType(2)->setChecked(false);
        m_notifier->clicks.first()();
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(m_opened.first().strOpenPageQuery, page("?page=WorkFlowIndex"));
        QVERIFY(!m_control->isOpen());

        // Clicked after the window was closed: the page of the first kind announced.
        m_control->Show(2 | 4);
        QCOMPARE(m_notifier->clicks.size(), 2);
        m_control->window()->cmdClose()->click();
        QVERIFY(!m_control->isOpen());
        m_notifier->clicks.last()();
        QCOMPARE(m_opened.last().strOpenPageQuery, page("?page=CircularIndex"));
        QVERIFY(!m_control->isOpen());
    }

    void statusRefreshOpensItOnce() {
        test::SimServer sim;
        QVERIFY(sim.start());
        m_settings.connection.SERVER_URL = sim.baseUrl().toString();
        m_settings.connection.updateProgramUrl();
        m_settings.connection.TIMEOUT = 5;
        m_settings.groups = {{1, QStringLiteral("営業部")}};
        m_settings.user.GROUP_DISP_ORDER = {1};
        m_settings.users = {{1, QStringLiteral("山田 太郎"), {1}}, {2, QStringLiteral("鈴木 花子"), {1}}};
        SetInetOptions(m_settings.connection, QString(), QString());
        QVERIFY(Login(m_settings.connection, m_session, 1, QStringLiteral("pass1")));
        AppState app;
        app.loggedIn = true;
        frmStatus status(m_settings, app, m_session);
        StatusDialogs dialogs(m_settings, app, m_session, status);
        dialogs.attention()->setNotifier(m_notifier);
        status.setPageOpener([this](const PageRequest& request) { m_opened << request; });
        status.BuildLayout();

        // A refresh of the user's own (no notices wanted) opens nothing.
        status.SetEnableAttention(false);
        status.Update();
        QVERIFY(!dialogs.attention()->isOpen());

        // 山田 has mail, a circular and workflow documents waiting.
        status.SetEnableAttention(true);
        status.Update();
        frmAttention* window = dialogs.attention()->window();
        QVERIFY(window);
        for (int i : {0, 1, 4})
            QVERIFY(window->chkInformationType(i)->isChecked());
        QVERIFY(!window->chkInformationType(2)->isChecked());
        status.SetEnableAttention(true);
        status.Update();
        QCOMPARE(dialogs.attention()->window(), window);
        QCOMPARE(m_sounds.size(), 1);
        QCOMPARE(m_notifier->bodies.size(), 1);
        window->cmdToCybozu()->click();
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(m_opened.first().strOpenPageQuery, m_settings.connection.programUrl + "?page=WebMailIndex");
    }
};

QTEST_MAIN(TestAttention)
#include "tst_attention.moc"
