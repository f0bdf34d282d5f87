// Renders the program's windows with demo data and saves them as PNG files, for the screenshots
// in docs/. Run it under Xvfb with a Japanese font:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/tests/ui/zelmora-screenshots docs/screenshots
#include "core/AppState.h"
#include "groupware/GroupwareSession.h"
#include "status/frmStatus.h"
#include "ui/FlexGrid.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

using namespace zelmora;

namespace {
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
    QDir().mkpath(dir);

    Settings settings;
    AppState appState;
    GroupwareSession session;
    settings.groups = {{1, QStringLiteral("営業部")}, {2, QStringLiteral("開発部")}, {3, QStringLiteral("総務部")}};
    settings.user.GROUP_DISP_ORDER = {1, 2, 3};
    frmStatus status(settings, appState, session);
    status.BuildLayout();
    bool ok = save(&status, dir + QStringLiteral("/status-window.png"));
    return ok ? 0 : 1;
}
