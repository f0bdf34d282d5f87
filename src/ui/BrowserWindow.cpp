#include "ui/BrowserWindow.h"

#include "core/Logging.h"
#include "groupware/BrowserLogin.h"
#include "ui/BrowserPage.h"
#include "ui/PlainText.h"

#include <QAuthenticator>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
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
    auto* page = new BrowserPage(profile, m_view);
    m_view->setPage(page);
    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("lblNotice"));
    m_notice->setTextFormat(Qt::PlainText);
    m_notice->setWordWrap(true);
    m_notice->setContentsMargins(8, 4, 8, 4);
    m_notice->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_notice);

    connect(page, &QWebEnginePage::titleChanged, this,
            [this](const QString& title) { setPlainWindowTitle(this, title); });
    connect(page, &QWebEnginePage::authenticationRequired, this, &BrowserWindow::onAuthenticationRequired);
    connect(page, &BrowserPage::navigationRefused, this, [this](const QUrl& url) {
        showNotice(kRefusedAddressNotice.arg(url.toDisplayString(QUrl::RemoveUserInfo).left(200)));
    });
    connect(page, &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
}

void BrowserWindow::onAuthenticationRequired(const QUrl& url, QAuthenticator* authenticator) {
    // A null authenticator is the engine's refusal; an untouched one would send an empty user
    // name and password, and the server would ask again at once.
    if (!isSameOrigin(url, m_serverOrigin)) {
        qCWarning(lcNet).noquote() << "browser refused to authenticate to" << url.host() << "(not the server)";
        *authenticator = QAuthenticator();
        showNotice(kForeignAuthenticationNotice.arg(url.host()));
        return;
    }
    if (m_serverUser.isEmpty() || m_authenticationAnswered) {
        qCInfo(lcNet) << "browser refused a request for the server logon"
                      << (m_serverUser.isEmpty() ? "(none set)" : "(already answered)");
        *authenticator = QAuthenticator();
        showNotice(m_serverUser.isEmpty() ? kNoServerLogonNotice : kRefusedAuthenticationNotice);
        return;
    }
    m_authenticationAnswered = true;
    authenticator->setUser(m_serverUser);
    authenticator->setPassword(m_serverPassword);
}

void BrowserWindow::setWindowFactory(WindowFactory factory) {
    auto* page = static_cast<BrowserPage*>(m_view->page());
    if (!factory) {
        page->setWindowFactory({});
        return;
    }
    page->setWindowFactory([this, factory]() -> QWebEnginePage* {
        BrowserWindow* window = factory();
        if (!window)
            return nullptr;
        window->m_opener = this;
        window->show();
        return window->view()->page();
    });
}

void BrowserWindow::showNotice(const QString& text) {
    m_notice->setText(text);
    m_notice->setVisible(!text.isEmpty());
}

QString BrowserWindow::notice() const {
    return m_notice->text();
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

bool BrowserWindow::isEmpty() const {
    const QUrl url = m_view->url();
    return url.isEmpty() || url == QUrl(QStringLiteral("about:blank"));
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
