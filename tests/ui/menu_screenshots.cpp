// Renders the menus of the status window (each menu of the menu bar dropped down, the grid's
// right-button menu) and the groupware-page submenu of the tray menu against the development server
// with the demo organisation, as PNG files for the user guide. Run it under Xvfb with a Japanese font:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/tests/ui/zelmora-menu-screenshots docs/screenshots
#include "DemoDirectory.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "groupware/Board.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Login.h"
#include "net/Transport.h"
#include "status/frmStatus.h"
#include "support/SimServer.h"
#include "ui/FlexGrid.h"
#include "ui/TrayMenu.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QTabBar>

#include <cstdio>

using namespace zelmora;

namespace {
const QString kDemo = test::demoDataFile();

// The X server maps, unmaps and repaints asynchronously: give it time before the screen is read.
void settle() {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 400)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The screen inside `area`: a menu is a window of its own, so only the screen shows it together
// with the window it drops from.
bool saveScreen(const QRect& area, const QString& path) {
    settle();
    const QPixmap shot =
        QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    if (!shot.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), shot.width(), shot.height());
    return true;
}

// The window's top part down to the lowest open menu, with a small margin.
QRect areaWith(const QWidget* window, const QList<QMenu*>& menus) {
    QRect area = window->frameGeometry();
    QRect covered;
    for (const QMenu* menu : menus)
        covered = covered.united(menu->geometry());
    area.setRight(std::max(area.right(), covered.right() + 8));
    area.setBottom(std::max(area.top() + 120, covered.bottom() + 8));
    return area.intersected(QGuiApplication::primaryScreen()->geometry());
}

struct Shot {
    const char* menu;    // object name of the menu bar's menu
    const char* submenu; // object name of a submenu to open as well, or nullptr
    const char* file;
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
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

    // A plain backdrop, so that the corners beside the menus are not the bare (black) screen.
    QWidget backdrop;
    backdrop.setStyleSheet(QStringLiteral("background: white"));
    backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
    backdrop.show();
    settle();

    // The own entry as the registration pass leaves it, so that the position menus carry their ticks.
    session.setOwnRecord(GetMyPosition(settings.connection, session));
    frmStatus status(settings, appState, session);
    status.BuildLayout();
    status.Update();
    for (int i = 1; i <= status.TabCount(); ++i) {
        if (status.TabKey(i) == QStringLiteral("ID4"))
            status.objTabStrip()->setCurrentIndex(i - 1);
    }
    status.move(20, 20);
    status.show();
    status.raise();
    settle();

    const Shot shots[] = {
        {"mnuFile", "mnuExit", "status-menu-file.png"},
        {"mnuSchedule", nullptr, "status-menu-schedule.png"},
        {"mnuWhere", "mnuChangeMyPosition", "status-menu-where.png"},
        {"mnuTelMemo", nullptr, "status-menu-telmemo.png"},
        {"mnuLink", nullptr, "status-menu-link.png"},
        {"mnuOthers", nullptr, "status-menu-others.png"},
        {"mnuヘルプ", nullptr, "status-menu-help.png"},
    };
    bool ok = true;
    for (const Shot& shot : shots) {
        QMenu* menu = status.findChild<QMenu*>(QString::fromUtf8(shot.menu));
        if (!menu) {
            std::fprintf(stderr, "no menu %s\n", shot.menu);
            ok = false;
            continue;
        }
        QMenuBar* bar = status.menuBar();
        bar->setActiveAction(menu->menuAction());
        settle();
        // The bar does not always drop its menu down when driven this fast; drop it by hand then.
        if (!menu->isVisible())
            menu->popup(bar->mapToGlobal(bar->actionGeometry(menu->menuAction()).bottomLeft()));
        settle();
        QList<QMenu*> open{menu};
        if (shot.submenu) {
            QAction* entry = status.menuItem(QString::fromUtf8(shot.submenu));
            menu->setActiveAction(entry);
            QMenu* sub = entry->menu();
            sub->popup(menu->actionGeometry(entry).topRight() + menu->pos());
            open.append(sub);
        }
        ok = saveScreen(areaWith(&status, open), dir + QLatin1Char('/') + QLatin1String(shot.file)) && ok;
        for (QMenu* m : open)
            m->hide();
        status.menuBar()->setActiveAction(nullptr);
        settle();
    }

    // The right-button menu over the second member row, with its whereabouts submenu.
    ui::FlexGrid* grid = status.objMSFlexGrid();
    const QPoint at = grid->mapToGlobal(QPoint(grid->width() / 3, grid->height() / 3));
    QMenu* rowMenu = status.mnuStatus();
    rowMenu->popup(at);
    settle();
    QAction* changePos = status.menuItem(QStringLiteral("mnuR_ChangePos"));
    rowMenu->setActiveAction(changePos);
    QMenu* positions = changePos->menu();
    positions->popup(rowMenu->actionGeometry(changePos).topRight() + rowMenu->pos());
    ok = saveScreen(areaWith(&status, {rowMenu, positions}), dir + QStringLiteral("/status-context-menu.png")) && ok;
    positions->hide();
    rowMenu->hide();
    status.hide();

    // The tray menu with its groupware-page submenu open.
    ui::TrayMenu tray;
    tray.setServerItemsEnabled(true, true);
    QMenu* trayMenu = tray.menu();
    trayMenu->popup(QPoint(20, 20));
    settle();
    QAction* pages = tray.item(QStringLiteral("mnuToCybozu"));
    trayMenu->setActiveAction(pages);
    pages->menu()->popup(trayMenu->actionGeometry(pages).topRight() + trayMenu->pos());
    const QRect trayArea = trayMenu->geometry().united(pages->menu()->geometry()).adjusted(-4, -4, 4, 4);
    ok = saveScreen(trayArea, dir + QStringLiteral("/tray-menu-pages.png")) && ok;
    return ok ? 0 : 1;
}
