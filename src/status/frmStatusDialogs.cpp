#include "status/frmStatus.h"

#include "core/AppState.h"
#include "dialogs/RegistPositionHost.h"
#include "dialogs/frmMemberPosition.h"
#include "dialogs/frmTelMemo.h"
#include "groupware/GroupwareSession.h"
#include "notify/AttentionControl.h"
#include "status/StatusPages.h"

#include <QEventLoop>

// The dialogs the status window opens unless its hooks are given others: the notice window, the
// registration dialog, the telephone memo dialog and the member window.

namespace zelmora {

void frmStatus::connectDialogCommands() {
    m_attention = new AttentionControl(m_settings, m_session, this);
    m_attention->setPageOpener([this](const PageRequest& request) {
        if (m_pageOpener)
            m_pageOpener(request);
    });
    m_openNotice = [this](quint16 informationType) { m_attention->Show(informationType); };

    m_registHost = new RegistPositionHost(m_settings, m_session, this, this);
    m_registDialog = m_registHost;
    m_openRegistrationDialog = [this](const RegistrationDialogRequest& request) { m_registHost->Open(request); };

    m_writeTelMemo = [this](qint32 lngToUserID) { return showTelMemo(lngToUserID); };
    m_openMemberWindow = [this](const MemberWindowFields& fields) { showMemberWindow(fields); };
}

frmMemberPosition* frmStatus::memberWindow() const {
    return m_memberWindow;
}

bool frmStatus::showTelMemo(qint32 lngToUserID) {
    auto* memo = new frmTelMemo(m_settings, m_session, m_appState, this);
    memo->setAttribute(Qt::WA_DeleteOnClose);
    memo->setToUserID(lngToUserID);
    memo->Load();
    memo->show();

    // The memo dialog is modeless: timers and other commands go on while it is open. The window
    // may even be destroyed meanwhile (program exit); the wait ends then too, as a cancel.
    bool sent = false;
    QEventLoop wait;
    connect(memo, &frmTelMemo::formClosed, &wait, [&] {
        sent = !m_appState.dialogCancelled;
        wait.quit();
    });
    connect(memo, &QObject::destroyed, &wait, &QEventLoop::quit);
    wait.exec();
    return sent;
}

void frmStatus::showMemberWindow(const MemberWindowFields& fields) {
    if (!m_memberWindow) {
        m_memberWindow = new frmMemberPosition(m_session, this);
        m_memberWindow->setPageOpener([this](const PageRequest& request) {
            if (m_pageOpener)
                m_pageOpener(request);
        });
    }
    m_memberWindow->Fill(fields);
    m_memberWindow->ShowCentred();
}

} // namespace zelmora
