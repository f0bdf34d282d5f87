#include "ui/ResourceDiagnostics.h"

#include "core/Logging.h"
#include "net/InetProtocol.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QSet>
#include <QWidget>

#include <unistd.h>

namespace zelmora::ui {

namespace {
qint64 residentKb() {
    // Second field of statm: resident pages.
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().simplified().split(' ');
    bool ok = false;
    const qint64 pages = fields.value(1).toLongLong(&ok);
    return ok ? pages * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

// Every object under the windows and the application object, each once (a submenu is a window of
// its own and a child of its menu).
QSet<QObject*> allObjects(const QWidgetList& windows) {
    QSet<QObject*> seen;
    for (QWidget* window : windows) {
        seen.insert(window);
        for (QObject* object : window->findChildren<QObject*>())
            seen.insert(object);
    }
    for (QObject* object : qApp->findChildren<QObject*>())
        seen.insert(object);
    return seen;
}
} // namespace

ResourceSample sampleResources() {
    ResourceSample sample;
    sample.rssKb = residentKb();
    const QWidgetList windows = QApplication::topLevelWidgets();
    sample.topLevelWidgets = int(windows.size());
    for (const QWidget* window : windows) {
        if (window->isVisible())
            ++sample.visibleTopLevel;
    }
    for (const QWidget* widget : QApplication::allWidgets()) {
        if (const auto* menu = qobject_cast<const QMenu*>(widget))
            sample.menuActions += int(menu->actions().size());
    }
    const QSet<QObject*> objects = allObjects(windows);
    sample.objects = int(objects.size());
    for (QObject* object : objects) {
        if (qobject_cast<QAction*>(object))
            ++sample.actions;
    }
    return sample;
}

QString describe(const ResourceSample& s) {
    return QStringLiteral("rss_kb=%1 menu_actions=%2 actions=%3 top_level=%4 visible=%5 objects=%6")
        .arg(s.rssKb)
        .arg(s.menuActions)
        .arg(s.actions)
        .arg(s.topLevelWidgets)
        .arg(s.visibleTopLevel)
        .arg(s.objects);
}

ResourceDiagnostics::ResourceDiagnostics(int periodMs, QObject* parent) : QObject(parent) {
    m_timer.setInterval(periodMs);
    connect(&m_timer, &QTimer::timeout, this, &ResourceDiagnostics::sampleAtRest);
}

void ResourceDiagnostics::sampleAtRest() {
    // A request under way holds its reply and connection for a moment: a sample taken then would
    // count them, and the tick of a refresh often falls on one. It waits until the request is over.
    if (InetProtocol::instance().isExecuting()) {
        QTimer::singleShot(kRetryMs, this, &ResourceDiagnostics::sampleAtRest);
        return;
    }
    log("resources");
}

bool ResourceDiagnostics::startIfEnabled() {
    if (!lcDiag().isInfoEnabled())
        return false;
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (!std::exchange(m_exitLogged, true))
            log("resources at exit");
    });
    log("resources at start");
    m_timer.start();
    return true;
}

void ResourceDiagnostics::log(const char* when) {
    qCInfo(lcDiag).noquote() << when << describe(sampleResources());
}

} // namespace zelmora::ui
