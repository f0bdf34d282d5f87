// Browser pages against the development server: the window logs in by posting the login form,
// then shows the page with the session the server gave it.
#include "app/frmMain.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "groupware/GroupwareSession.h"
#include "support/SimServer.h"
#include "ui/BrowserPages.h"
#include "ui/BrowserWindow.h"
#include "ui/TrayMenu.h"

#include <QAction>
#include <QApplication>
#include <QJsonObject>
#include <QTest>
#include <QWebEngineView>

using namespace zelmora;

namespace {
QString text(const QJsonObject& request, const char* key) {
    return request.value(QLatin1String(key)).toString();
}
QString field(const QJsonObject& request, const char* name) {
    return request.value(QStringLiteral("fields")).toObject().value(QLatin1String(name)).toString();
}
// Requests of the program itself, without the pictures the pages load or the browser's favicon.
QList<QJsonObject> programRequests(test::SimServer& sim) {
    QList<QJsonObject> list;
    for (const QJsonObject& r : sim.requests()) {
        if (text(r, "path") == sim.programUrl().path())
            list.append(r);
    }
    return list;
}
// The resident controller's browser windows; this test links them instead of loading the module.
ui::BrowserPages& pagesOf(frmMain& resident) {
    return dynamic_cast<ui::BrowserPages&>(*resident.browserPages());
}
} // namespace

class TestBrowserPages : public QObject {
    Q_OBJECT

    test::SimServer m_sim;
    QString m_program;

private slots:
    void initTestCase() {
        ui::setBrowserHostFactory([] { return std::make_unique<ui::BrowserPages>(); });
        QVERIFY(m_sim.start());
        m_program = m_sim.programUrl().toString();
    }

    void init() { m_sim.clearRequests(); }

    void opensAPageLoggedInWithAJapanesePassword() {
        Settings settings;
        settings.connection.SERVER_URL = m_sim.baseUrl().toString();
        settings.connection.PROXY_MODE = 1;
        settings.connection.TIMEOUT = 120;
        settings.connection.updateProgramUrl();
        AppState app;
        app.loggedIn = true;
        GroupwareSession session;
        session.setUser(5, QStringLiteral("ぱす&5"));
        frmMain resident(settings, app, session);

        resident.trayMenu()->item(QStringLiteral("mnuToCybozuWhere"))->trigger();
        // Nothing of the web engine exists before the first page is opened.
        QVERIFY(!pagesOf(resident).engineStarted());
        QTRY_VERIFY_WITH_TIMEOUT(pagesOf(resident).openWindows().size() == 1, 120000);
        QVERIFY(pagesOf(resident).engineStarted());

        const QList<QJsonObject> requests = programRequests(m_sim);
        QVERIFY2(requests.size() >= 2, qPrintable(QString::number(requests.size())));
        const QJsonObject& login = requests[0];
        QCOMPARE(text(login, "method"), QStringLiteral("POST"));
        QCOMPARE(text(login, "kind"), QStringLiteral("login"));
        QCOMPARE(field(login, "_ID"), QStringLiteral("5"));
        QCOMPARE(field(login, "Password"), QStringLiteral("ぱす&5"));
        QCOMPARE(login.value(QStringLiteral("user")).toInt(), 5);

        const QJsonObject& page = requests[1];
        QCOMPARE(text(page, "method"), QStringLiteral("GET"));
        QCOMPARE(text(page, "query"), QStringLiteral("page=WhereIndex"));
        QCOMPARE(text(page, "kind"), QStringLiteral("WhereIndex"));
        QCOMPARE(page.value(QStringLiteral("user")).toInt(), 5);
        QVERIFY(!text(page, "cookie").isEmpty());

        ui::BrowserWindow* window = pagesOf(resident).openWindows().constFirst();
        QVERIFY(window->isVisible());
        QCOMPARE(window->view()->url(), QUrl(m_program + QStringLiteral("?page=WhereIndex")));
    }

    void withoutALoginTheProgramUrlIsShownInANewWindow() {
        ui::BrowserPages pages;
        pages.setProgramUrl(m_program);
        pages.setProxy(1, {}, 0);
        pages.setTimeoutSeconds(120);
        ui::BrowserWindow* first = pages.OpenTopPage(0, {});
        QVERIFY(first);
        ui::BrowserWindow* second = pages.OpenPage(m_program + QStringLiteral("?page=BulletinIndex"), 0, {});
        QVERIFY(second);
        QVERIFY(first != second);
        QTRY_VERIFY_WITH_TIMEOUT(second->view()->url().isValid() && !second->view()->page()->isLoading(), 60000);
        QCOMPARE(pages.openWindows().size(), 2);

        for (const QJsonObject& r : programRequests(m_sim)) {
            QCOMPARE(text(r, "method"), QStringLiteral("GET"));
            QCOMPARE(text(r, "query"), QString());
        }
        QVERIFY(!programRequests(m_sim).isEmpty());

        // A window the user closes is gone for good.
        first->close();
        QTRY_COMPARE(pages.openWindows().size(), 1);
    }
};

int main(int argc, char** argv) {
    // The web engine shares OpenGL contexts with the widgets; this must be set before the
    // application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestBrowserPages test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_browserpages.moc"
