// Browser pages against the development server: the window logs in by posting the login form,
// then shows the page with the session the server gave it.
#include "app/frmMain.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "groupware/GroupwareSession.h"
#include "groupware/TrayPages.h"
#include "support/RawHttpServer.h"
#include "support/ScriptedMessages.h"
#include "support/SimServer.h"
#include "ui/BrowserPages.h"
#include "ui/BrowserWindow.h"
#include "ui/TrayMenu.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>
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
// Requests for the page itself, without the favicon the engine asks for.
QList<test::RawHttpServer::Request> pageRequests(const test::RawHttpServer& server) {
    QList<test::RawHttpServer::Request> list;
    for (const auto& r : server.requests()) {
        if (!r.target.startsWith("/favicon"))
            list.append(r);
    }
    return list;
}
void click(ui::BrowserWindow* window, const char* id) {
    window->view()->page()->runJavaScript(
        QStringLiteral("document.getElementById('%1').click()").arg(QLatin1String(id)));
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

    // The server logon is given to the configured server's origin only, once per window; every
    // other request for a password is refused (never answered with empty credentials) and the
    // window says why.
    void serverLogonGoesToTheServerOnly_data() {
        QTest::addColumn<QByteArray>("accepted"); // what the asking server takes
        QTest::addColumn<bool>("foreign");        // the asking server is another origin
        QTest::addColumn<int>("withCredentials"); // requests that carried ours
        QTest::addColumn<QString>("notice");
        const QByteArray ours = "Basic " + QByteArray("web:secret").toBase64();
        QTest::newRow("the server") << ours << false << 1 << QString();
        QTest::newRow("the server refuses them")
            << QByteArray("Basic other") << false << 1
            << QStringLiteral("サーバーがサーバーログオンのユーザー名とパスワードを受け付けませんでした.");
        QTest::newRow("another origin asks")
            << ours << true << 0
            << QStringLiteral(
                   "127.0.0.1 がユーザー名とパスワードを求めましたが、設定されたサーバー以外には送信しません.");
    }
    void serverLogonGoesToTheServerOnly() {
        QFETCH(QByteArray, accepted);
        QFETCH(bool, foreign);
        QFETCH(int, withCredentials);
        QFETCH(QString, notice);
        test::RawHttpServer server;
        test::RawHttpServer other;
        test::RawHttpServer& asking = foreign ? other : server;
        asking.setAuthorization(accepted);
        ui::BrowserPages pages;
        pages.setProgramUrl(server.url(QStringLiteral("/office.exe")));
        pages.setServerCredentials(QStringLiteral("web"), QStringLiteral("secret"));
        pages.setProxy(1, {}, 0);
        ui::BrowserWindow* window = pages.OpenAddress(asking.url(QStringLiteral("/office.exe")));
        QVERIFY(window);
        QTRY_VERIFY_WITH_TIMEOUT(!window->view()->page()->isLoading(), 60000);
        int carried = 0;
        for (const auto& r : pageRequests(asking))
            carried += r.header("Authorization") == "Basic " + QByteArray("web:secret").toBase64();
        QCOMPARE(carried, withCredentials);
        for (const auto& r : pageRequests(asking))
            QVERIFY2(r.header("Authorization") != "Basic " + QByteArray(":").toBase64(), "empty credentials sent");
        QVERIFY(pageRequests(asking).size() <= 2);
        QCOMPARE(window->notice(), notice);
    }

    // New windows of a page, downloads and other schemes stay inside the program.
    void linksAndDownloadsStayInTheProgram() {
        test::RawHttpServer server;
        server.setRoute("/", 200, "Content-Type: text/html\r\n",
                        "<body style='margin:0'><a id=mail href='mailto:x@example.org' "
                        "style='display:block;height:200px'>m</a> <a id=blank target=_blank href=/b>b</a> "
                        "<a id=file href=/file>f</a> <a id=newfile target=_blank href=/file>g</a></body>");
        server.setRoute("/b", 200, "Content-Type: text/html\r\n", "<title>B</title>b");
        server.setRoute("/file", 200,
                        "Content-Type: application/octet-stream\r\n"
                        "Content-Disposition: attachment; filename=\"memo.txt\"\r\n",
                        "attached text");
        QTemporaryDir dir;
        QString suggested;
        int saves = 0;
        ui::BrowserPages pages;
        pages.setProgramUrl(server.url(QStringLiteral("/office.exe")));
        pages.setProxy(1, {}, 0);
        pages.setSaveChooser([&](QWidget*, const QString& path) {
            suggested = path;
            return dir.filePath(QStringLiteral("saved%1.txt").arg(++saves));
        });
        ui::BrowserWindow* window = pages.OpenAddress(server.url());
        QVERIFY(window);

        click(window, "blank");
        QTRY_COMPARE_WITH_TIMEOUT(pages.openWindows().size(), 2, 30000);
        ui::BrowserWindow* opened = pages.openWindows().at(1);
        QTRY_COMPARE_WITH_TIMEOUT(opened->view()->url(), QUrl(server.url(QStringLiteral("/b"))), 30000);
        window->view()->page()->runJavaScript(QStringLiteral("window.open('/b')"));
        QTRY_COMPARE_WITH_TIMEOUT(pages.openWindows().size(), 3, 30000);

        click(window, "file");
        QTRY_VERIFY_WITH_TIMEOUT(window->notice().startsWith(QStringLiteral("ダウンロードが完了しました: ")), 30000);
        QVERIFY(suggested.endsWith(QStringLiteral("memo.txt")));
        QFile saved(dir.filePath(QStringLiteral("saved1.txt")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("attached text"));
        // A file opened in a new window: the download is the page's, and no empty window stays.
        click(window, "newfile");
        QTRY_COMPARE_WITH_TIMEOUT(window->notice(),
                                  QStringLiteral("ダウンロードが完了しました: ") + dir.filePath(QStringLiteral("saved2.txt")),
                                  30000);
        QTRY_COMPARE_WITH_TIMEOUT(pages.openWindows().size(), 3, 30000);
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("saved2.txt"))));

        // The desktop would get a "mailto:" only from a click of the user's: a real one.
        QTRY_VERIFY_WITH_TIMEOUT(window->view()->focusProxy(), 30000);
        QTest::mouseClick(window->view()->focusProxy(), Qt::LeftButton, {}, QPoint(40, 40));
        QTRY_COMPARE_WITH_TIMEOUT(
            window->notice(),
            QStringLiteral(
                "このアドレスは開けません(開けるのは http と https のアドレスだけです): mailto:x@example.org"),
            30000);
        QCOMPARE(pages.openWindows().size(), 3);
    }

    // A top-page link that is no web address is refused with a message, before any browser starts.
    void topPageLinkOfAnotherSchemeIsRefused() {
        Settings settings;
        AppState app;
        GroupwareSession session;
        frmMain resident(settings, app, session);
        test::ScriptedMessages messages;
        resident.OpenRequestedPage(OpenPlainAddress, QStringLiteral("javascript:alert(document.cookie)"), 0, {});
        QCOMPARE(messages.lastText(),
                 QStringLiteral("このリンクは開けません.\r\n開けるのは http または https のアドレスだけです."));
        QCOMPARE(messages.shown().last().title, QStringLiteral("エラー"));
        QVERIFY(!pagesOf(resident).engineStarted());
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
