#include "app/StatusDialogs.h"

#include "core/AppState.h"
#include "dialogs/RegistPositionHost.h"
#include "dialogs/frmMemberPosition.h"
#include "dialogs/frmTelMemo.h"
#include "groupware/Directory.h"
#include "groupware/GroupwareSession.h"
#include "notify/AttentionControl.h"
#include "status/frmStatus.h"

#include <QEventLoop>

namespace zelmora {

StatusDialogs::StatusDialogs(Settings& settings, AppState& appState, GroupwareSession& session, frmStatus& status)
    : QObject(&status), m_settings(settings), m_appState(appState), m_session(session), m_status(status) {
    m_attention = new AttentionControl(m_settings, m_session, &m_status);
    m_attention->setPageOpener([this](const PageRequest& request) { m_status.openRequestedPage(request); });
    m_status.setNoticeOpener([this](quint16 informationType) { m_attention->Show(informationType); });

    m_registHost = new RegistPositionHost(m_settings, m_session, &m_status, &m_status);
    m_status.setRegistrationDialog(m_registHost);
    m_status.setRegistrationDialogOpener(
        [this](const RegistrationDialogRequest& request) { m_registHost->Open(request); });

    m_status.setTelMemoWriter([this](qint32 lngToUserID) { return showTelMemo(lngToUserID); });
    m_status.setMemberWindowOpener([this](const MemberWindowFields& fields) { showMemberWindow(fields); });
    // "ユーザーデータ更新" reads the directory of the server the program is connected to now.
    m_status.setUserDataFetcher([this](QList<UserRecord>& users) { return GetUserData(m_settings.connection, users); });
}

StatusDialogs::~StatusDialogs() = default;

frmMemberPosition* StatusDialogs::memberWindow() const {
    return m_memberWindow;
}

bool StatusDialogs::showTelMemo(qint32 lngToUserID) {
    auto* memo = new frmTelMemo(m_settings, m_session, m_appState, &m_status);
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

void StatusDialogs::showMemberWindow(const MemberWindowFields& fields) {
    if (!m_memberWindow) {
        m_memberWindow = new frmMemberPosition(m_session, &m_status);
        m_memberWindow->setPageOpener([this](const PageRequest& request) { m_status.openRequestedPage(request); });
    }
    m_memberWindow->Fill(fields);
    m_memberWindow->ShowCentred();
}

} // namespace zelmora
