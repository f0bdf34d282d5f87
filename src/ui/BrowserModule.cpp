#include "ui/BrowserModule.h"

#include "core/Logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibrary>
#include <QOpenGLContext>

#include <cstdio>

// Qt's application-wide share context; exported by QtGui, declared only in its private headers.
QOpenGLContext* qt_gl_global_share_context();
void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace zelmora::ui {

namespace {

QtMessageHandler g_previousHandler = nullptr;

// Setting the attribute after the application object exists is warned about because Qt reads it
// at start-up; here its only reader left is the sharing of the context made next, which is meant.
void dropLateAttributeWarning(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("Attribute Qt::AA_ShareOpenGLContexts must be set before")))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

BrowserHostFactory& factoryOverride() {
    static BrowserHostFactory factory;
    return factory;
}

// What Qt does at start-up when Qt::AA_ShareOpenGLContexts is set, done at the first page instead:
// the web engine's compositor and the windows' widgets share this context. Creating it loads the
// OpenGL driver (with a software renderer, tens of megabytes), which a program at rest never needs.
void prepareSharedOpenGLContext() {
#if QT_CONFIG(opengl)
    if (qt_gl_global_share_context() || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    g_previousHandler = qInstallMessageHandler(dropLateAttributeWarning);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    qInstallMessageHandler(g_previousHandler);
    auto* context = new QOpenGLContext(qApp);
    // Set even when it cannot be created (no OpenGL on the display), as the engine's own start-up
    // does: the engine then renders without OpenGL, but it expects the context object to exist.
    if (!context->create())
        qCInfo(lcApp) << "no OpenGL context for the browser windows";
    qt_gl_set_global_share_context(context);
#endif
}

} // namespace

void setBrowserHostFactory(BrowserHostFactory factory) {
    factoryOverride() = std::move(factory);
}

std::unique_ptr<BrowserHost> createBrowserHost() {
    if (factoryOverride())
        return factoryOverride()();
    QString error;
    std::unique_ptr<BrowserHost> host = loadBrowserModule(&error);
    if (!host)
        qCWarning(lcApp).noquote() << "browser module not loaded:" << error;
    return host;
}

QString browserModuleFileName() {
    return QStringLiteral("zelmora_browser.so");
}

QStringList browserModuleCandidates(const QString& applicationDir) {
    const QDir dir(applicationDir);
    return {dir.filePath(browserModuleFileName()),
            QDir::cleanPath(dir.filePath(QStringLiteral("../lib/zelmora/") + browserModuleFileName()))};
}

QString findBrowserModule(const QString& applicationDir) {
    for (const QString& candidate : browserModuleCandidates(applicationDir)) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return QString();
}

std::unique_ptr<BrowserHost> loadBrowserModule(QString* error) {
    const QString path = findBrowserModule(QCoreApplication::applicationDirPath());
    if (path.isEmpty()) {
        if (error)
            *error = browserModuleFileName() + QStringLiteral(" not found beside the program");
        return nullptr;
    }
    prepareSharedOpenGLContext();
    // Never unloaded: the engine keeps threads and static state for the life of the process.
    QLibrary library(path);
    library.setLoadHints(QLibrary::PreventUnloadHint);
    const auto create = reinterpret_cast<ZelmoraCreateBrowserHost>(library.resolve("zelmora_createBrowserHost"));
    if (!create) {
        if (error)
            *error = library.errorString();
        return nullptr;
    }
    qCInfo(lcApp).noquote() << "browser module loaded:" << path;
    return std::unique_ptr<BrowserHost>(create());
}

} // namespace zelmora::ui
