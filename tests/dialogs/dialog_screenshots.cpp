// Renders the settings dialog (both tabs), the connection details and the about box against the
// development server with the demo organisation, and Qt's own windows in Japanese (the WAV file
// chooser of the settings dialog, a yes/no question), as PNG files for docs/. Run it under Xvfb with a
// Japanese font:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/tests/dialogs/zelmora-dialog-screenshots docs/screenshots
#include "core/AppState.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmSetInetDetail.h"
#include "dialogs/frmSetParameter.h"
#include "groupware/Directory.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Login.h"
#include "net/Transport.h"
#include "support/SimServer.h"
#include "ui/MessageBoxUi.h"
#include "ui/QtTranslations.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <functional>

#include <cstdio>

using namespace zelmora;

namespace {
const QString kDemo = QStringLiteral(ZELMORA_FIXTURE_DIR "/../../tools/groupware-sim/data/demo.json");

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

// The modal window that `open` brings up, grabbed and then closed (its cancel or "no" answer).
bool saveModal(const std::function<void()>& open, const QString& path) {
    bool saved = false;
    QTimer::singleShot(500, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        saved = modal && save(modal, path);
        if (modal)
            modal->close();
    });
    open();
    return saved;
}
} // namespace

int main(int argc, char** argv) {
    ui::useJapaneseDates();
    QApplication app(argc, argv);
    // As the program does: Qt's buttons and file chooser in Japanese, message boxes on screen.
    if (ui::installQtTranslations(app).isEmpty())
        return 1;
    ui::installMessageBoxHandler();
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir().mkpath(dir);

    test::SimServer::Options options;
    options.dataFile = kDemo;
    test::SimServer sim(options);
    if (!sim.start()) {
        std::fprintf(stderr, "cannot start the development server with %s\n", qPrintable(kDemo));
        return 1;
    }
    Settings settings;
    settings.connection.SERVER_URL = sim.baseUrl().toString();
    settings.connection.updateProgramUrl();
    SetInetOptions(settings.connection, QString(), QString());
    AppState appState;
    appState.directoryLoaded = GetGroupList(settings.connection, settings.groups);
    for (qsizetype i = 0; i < settings.groups.size() && i < 4; ++i)
        settings.user.GROUP_DISP_ORDER.append(settings.groups.at(i).id);
    settings.user.ALARM_SOUNDFILE = QStringLiteral("/usr/share/sounds/alsa/Front_Center.wav");
    GroupwareSession session;
    appState.loggedIn = Login(settings.connection, session, 1, QStringLiteral("yamada"));

    bool ok = true;
    frmSetParameter parameters(settings, appState, session);
    parameters.Load();
    parameters.objTabStrip()->setCurrentIndex(0);
    ok = save(&parameters, dir + QStringLiteral("/settings-personal.png")) && ok;
    parameters.objTabStrip()->setCurrentIndex(1);
    ok = save(&parameters, dir + QStringLiteral("/settings-common.png")) && ok;

    ok = saveModal([&] { parameters.findChild<QPushButton*>(QStringLiteral("cmdFileRef"))->click(); },
                   dir + QStringLiteral("/sound-file-chooser.png")) &&
         ok;
    ok = saveModal(
             [] {
                 showMessage(kTitleConfirm, MsgIcon::Question,
                             QStringLiteral("サイボウズにログインしない場合は、一部の機能が使用できません.\r\n"
                                            "再度ログイン操作を行いますか?"),
                             MsgButtons::YesNo);
             },
             dir + QStringLiteral("/question-yes-no.png")) &&
         ok;

    frmSetInetDetail detail;
    detail.intProxyMode = 2;
    detail.strProxyServer = QStringLiteral("proxy.example.co.jp");
    detail.lngProxyPortNo = 8080;
    detail.bServerPassRequired = true;
    detail.strServerID = QStringLiteral("webuser");
    detail.strServerPassword = QStringLiteral("secret");
    detail.Initialize();
    ok = save(&detail, dir + QStringLiteral("/connection-details.png")) && ok;

    frmAbout about;
    about.setComponents(QStringLiteral("X11 (XScreenSaver)"), QStringLiteral("Qt WebEngine"));
    ok = save(&about, dir + QStringLiteral("/about.png")) && ok;
    return ok ? 0 : 1;
}
