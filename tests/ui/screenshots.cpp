// Renders the status window against the development server with the demo organisation and saves
// it as a PNG file, for the screenshots in docs/. Run it under Xvfb with a Japanese font:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/tests/ui/zelmora-screenshots docs/screenshots
// A second argument is appended to the file name (for example "@2x" with QT_SCALE_FACTOR=2).
#include "DemoDirectory.h"
#include "app/frmStartup.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "dialogs/frmLogin.h"
#include "dialogs/frmServerLogin.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Login.h"
#include "net/Transport.h"
#include "status/frmStatus.h"
#include "support/SimServer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPixmap>
#include <QTabBar>

#include <cstdio>

using namespace zelmora;

namespace {
const QString kDemo = test::demoDataFile();

bool save(QWidget* window, const QString& path) {
    window->show();
    window->raise();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const QPixmap shot = window->grab();
    if (!shot.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), shot.width(), shot.height());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    const QString suffix = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QDir().mkpath(dir);

    test::SimServer::Options options;
    options.dataFile = kDemo;
    test::SimServer sim(options);
    Settings settings;
    if (!sim.start() || !test::loadDemoDirectory(settings)) {
        std::fprintf(stderr, "cannot start the development server with %s\n", qPrintable(kDemo));
        return 1;
    }
    settings.connection.SERVER_URL = sim.baseUrl().toString();
    settings.connection.updateProgramUrl();
    SetInetOptions(settings.connection, QString(), QString());
    AppState appState;
    GroupwareSession session;
    appState.loggedIn = Login(settings.connection, session, 1, QStringLiteral("yamada"));

    frmStatus status(settings, appState, session);
    status.BuildLayout();
    status.Update();
    // The tab of the user's first group, so that the own row shows.
    for (int i = 1; i <= status.TabCount(); ++i) {
        if (status.TabKey(i) == QStringLiteral("ID4"))
            status.objTabStrip()->setCurrentIndex(i - 1);
    }
    bool ok = save(&status, dir + QStringLiteral("/status-window") + suffix + QStringLiteral(".png"));
    status.hide();

    frmStartup splash;
    ok = save(&splash, dir + QStringLiteral("/startup") + suffix + QStringLiteral(".png")) && ok;
    splash.hide();
    // The login dialog as the demo opens it: the remembered group and name, the password to type.
    settings.connection.LASTLOGINUSER_GROUP = 4;
    settings.connection.LASTLOGINUSER_NAME = 1;
    frmLogin login(settings, appState, LoginOperations{});
    login.Load();
    ok = save(&login, dir + QStringLiteral("/login-dialog") + suffix + QStringLiteral(".png")) && ok;
    login.hide();
    frmServerLogin serverLogin(appState);
    ok = save(&serverLogin, dir + QStringLiteral("/server-logon-dialog") + suffix + QStringLiteral(".png")) && ok;
    return ok ? 0 : 1;
}
