// Renders the tray menu (popped up, with its whereabouts submenu) and the two end-of-day dialogs
// against the development server with the demo organisation, as PNG files for docs/. Run it under
// Xvfb with a Japanese font:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/tests/ui/zelmora-resident-screenshots docs/screenshots
#include "core/AppState.h"
#include "core/Settings.h"
#include "dialogs/frmRegistEndPosition.h"
#include "dialogs/frmSetEndAction.h"
#include "groupware/Board.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Login.h"
#include "groupware/Registration.h"
#include "groupware/TopPage.h"
#include "net/Transport.h"
#include "support/SimServer.h"
#include "ui/TrayIcon.h"
#include "ui/TrayMenu.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QPixmap>

#include <cstdio>

using namespace zelmora;

namespace {
const QString kDemo = QStringLiteral(ZELMORA_FIXTURE_DIR "/../../tools/groupware-sim/data/demo.json");

void settle() {
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool save(QWidget* widget, const QString& path) {
    settle();
    const QPixmap shot = widget->grab();
    if (!shot.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), shot.width(), shot.height());
    return true;
}

bool showAndSave(QWidget* window, const QString& path) {
    window->show();
    window->raise();
    return save(window, path);
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
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
    GroupwareSession session;
    if (!Login(settings.connection, session, 1, QStringLiteral("yamada"))) {
        std::fprintf(stderr, "cannot log in to the development server\n");
        return 1;
    }

    // The tray menu as a status refresh leaves it: the server's places and the top page's links.
    ui::TrayMenu tray;
    const WhereEntryChoices choices = GetWhereEntryChoices(settings.connection, session);
    MemberRecord own = GetMyPosition(settings.connection, session);
    tray.setPositionItems(choices.place, own);
    QList<LinkItem> links;
    GetLinks(GetPage(settings.connection.programUrl + QStringLiteral("?_System=Login&_Update=再読込")).text, links);
    tray.setLinkItems(links);
    tray.setServerItemsEnabled(true, true);

    const QString iconPath = dir + QStringLiteral("/tray-icon.png");
    bool ok = ui::TrayIcon::programIcon().pixmap(64, 64).save(iconPath);
    std::printf("%s\n", qPrintable(iconPath));

    QMenu* menu = tray.menu();
    menu->popup(QPoint(40, 40));
    ok = save(menu, dir + QStringLiteral("/tray-menu.png")) && ok;
    menu->setActiveAction(tray.item(QStringLiteral("mnuRegistPosition")));
    QMenu* positions = tray.item(QStringLiteral("mnuRegistPosition"))->menu();
    positions->popup(menu->geometry().topRight() + QPoint(0, 20));
    ok = save(positions, dir + QStringLiteral("/tray-menu-position.png")) && ok;
    positions->hide();
    menu->hide();

    AppState appState;
    frmSetEndAction endAction;
    endAction.setAppState(&appState);
    endAction.intEndActionType = 0;
    endAction.strEndPosition = QStringLiteral("帰宅");
    endAction.Initialize();
    ok = showAndSave(&endAction, dir + QStringLiteral("/end-action-dialog.png")) && ok;
    endAction.hide();

    frmRegistEndPosition endPosition;
    endPosition.Initialize({choices.placesWithoutSeparators(), choices.until, choices.unit});
    endPosition.cboYourPosition()->setEditText(QStringLiteral("帰宅"));
    ok = showAndSave(&endPosition, dir + QStringLiteral("/end-position-dialog.png")) && ok;
    endPosition.hide();

    // At a session end the same dialog counts down to its own キャンセル.
    frmRegistEndPosition sessionEnd;
    sessionEnd.Initialize({choices.placesWithoutSeparators(), choices.until, choices.unit});
    sessionEnd.setAutoCancel(20);
    ok = showAndSave(&sessionEnd, dir + QStringLiteral("/end-position-dialog-session-end.png")) && ok;
    return ok ? 0 : 1;
}
