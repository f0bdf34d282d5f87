#include "ui/BrowserWindow.h"

#include "core/Logging.h"
#include "ui/PlainText.h"

#include <QAuthenticator>
#include <QCloseEvent>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineHttpRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace zelmora::ui {

BrowserWindow::BrowserWindow(QWebEngineProfile* profile, QWidget* parent) : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("BrowserWindow"));
    resize(1000, 720);
    m_view = new QWebEngineView(this);
    auto* page = new QWebEnginePage(profile, m_view);
    m_view->setPage(page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    connect(page, &QWebEnginePage::titleChanged, this,
            [this](const QString& title) { setPlainWindowTitle(this, title); });
    connect(page, &QWebEnginePage::authenticationRequired, this, [this](const QUrl&, QAuthenticator* authenticator) {
        if (m_authenticationAnswered || m_serverUser.isEmpty()) {
            // Leaving the authenticator untouched refuses: the server's answer is shown.
            return;
        }
        m_authenticationAnswered = true;
        authenticator->setUser(m_serverUser);
        authenticator->setPassword(m_serverPassword);
    });
    connect(page, &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
}

BrowserWindow::~BrowserWindow() {
    // The page must go before the profile it uses; the view owns it.
    delete m_view;
}

void BrowserWindow::setServerCredentials(const QString& user, const QString& password) {
    m_serverUser = user;
    m_serverPassword = password;
    m_authenticationAnswered = false;
}

void BrowserWindow::navigate(const BrowserNavigation& navigation) {
    if (navigation.isPost())
        qCDebug(lcNet).noquote() << "browser POST" << redactPasswords(navigation.url.toString()) << ":"
                                 << describeFormBody(navigation.postBody);
    else
        qCDebug(lcNet).noquote() << "browser GET" << redactPasswords(navigation.url.toString());
    QWebEngineHttpRequest request(navigation.url);
    if (navigation.isPost()) {
        request.setMethod(QWebEngineHttpRequest::Post);
        request.setHeader(QByteArrayLiteral("Content-Type"), QByteArray(kLoginContentType));
        request.setPostData(navigation.postBody);
    }
    m_view->load(request);
}

bool BrowserWindow::waitForLoad(int timeoutMs) {
    QPointer<BrowserWindow> self(this);
    QEventLoop loop;
    bool finished = false;
    connect(m_view, &QWebEngineView::loadFinished, &loop, [&](bool ok) {
        qCDebug(lcNet) << "  -> browser page" << (ok ? "loaded" : "failed");
        finished = true;
        loop.quit();
    });
    // Closing the window (or the program ending) while it loads ends the wait.
    connect(this, &BrowserWindow::closed, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return self && finished;
}

void BrowserWindow::closeEvent(QCloseEvent* event) {
    m_closed = true;
    emit closed();
    QWidget::closeEvent(event);
}

void BrowserWindow::run(const QList<BrowserNavigation>& navigations, int timeoutMs) {
    QPointer<BrowserWindow> self(this);
    for (const BrowserNavigation& navigation : navigations) {
        navigate(navigation);
        if (navigation.waitForLoad)
            waitForLoad(timeoutMs);
        if (!self || m_closed)
            return; // closed while loading
    }
    show();
    raise();
    activateWindow();
}

} // namespace zelmora::ui
