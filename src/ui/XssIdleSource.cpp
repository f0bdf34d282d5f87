#include "ui/XssIdleSource.h"

#include "ui/WaylandIdleSource.h"

#include <QGuiApplication>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#include <dlfcn.h>

namespace zelmora::ui {

struct XssIdleSource::Api {
    void* x11 = nullptr;
    void* xss = nullptr;
    Display* display = nullptr;
    XScreenSaverInfo* info = nullptr;

    decltype(&XOpenDisplay) openDisplay = nullptr;
    decltype(&XCloseDisplay) closeDisplay = nullptr;
    decltype(&XDefaultRootWindow) defaultRootWindow = nullptr;
    decltype(&XFree) free = nullptr;
    decltype(&XScreenSaverQueryExtension) queryExtension = nullptr;
    decltype(&XScreenSaverAllocInfo) allocInfo = nullptr;
    decltype(&XScreenSaverQueryInfo) queryInfo = nullptr;
};

namespace {
template <typename F> bool resolve(void* library, const char* symbol, F& function) {
    function = reinterpret_cast<F>(::dlsym(library, symbol));
    return function != nullptr;
}
} // namespace

XssIdleSource::XssIdleSource() {
    if (onRealX11(QGuiApplication::platformName()) && !open())
        close();
}

XssIdleSource::~XssIdleSource() {
    close();
}

QString XssIdleSource::name() const {
    return QStringLiteral("X11 screen saver extension");
}

bool XssIdleSource::open() {
    m_api = new Api;
    m_api->x11 = ::dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    m_api->xss = ::dlopen("libXss.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!m_api->x11 || !m_api->xss)
        return false;
    if (!resolve(m_api->x11, "XOpenDisplay", m_api->openDisplay) ||
        !resolve(m_api->x11, "XCloseDisplay", m_api->closeDisplay) ||
        !resolve(m_api->x11, "XDefaultRootWindow", m_api->defaultRootWindow) ||
        !resolve(m_api->x11, "XFree", m_api->free) ||
        !resolve(m_api->xss, "XScreenSaverQueryExtension", m_api->queryExtension) ||
        !resolve(m_api->xss, "XScreenSaverAllocInfo", m_api->allocInfo) ||
        !resolve(m_api->xss, "XScreenSaverQueryInfo", m_api->queryInfo))
        return false;
    m_api->display = m_api->openDisplay(nullptr);
    if (!m_api->display)
        return false;
    int eventBase = 0;
    int errorBase = 0;
    if (!m_api->queryExtension(m_api->display, &eventBase, &errorBase))
        return false;
    m_api->info = m_api->allocInfo();
    return m_api->info != nullptr;
}

void XssIdleSource::close() {
    if (!m_api)
        return;
    if (m_api->info && m_api->free)
        m_api->free(m_api->info);
    if (m_api->display && m_api->closeDisplay)
        m_api->closeDisplay(m_api->display);
    if (m_api->xss)
        ::dlclose(m_api->xss);
    if (m_api->x11)
        ::dlclose(m_api->x11);
    delete m_api;
    m_api = nullptr;
}

std::optional<qint64> XssIdleSource::idleSeconds() {
    if (!m_api)
        return std::nullopt;
    if (!m_api->queryInfo(m_api->display, m_api->defaultRootWindow(m_api->display), m_api->info))
        return std::nullopt;
    return qint64(m_api->info->idle / 1000); // milliseconds
}

} // namespace zelmora::ui
