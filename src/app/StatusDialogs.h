#pragma once

#include "ui/WindowRequests.h"

#include <QObject>
#include <QPointer>

namespace zelmora {

struct AppState;
struct Settings;
class AttentionControl;
class GroupwareSession;
class RegistPositionHost;
class frmMemberPosition;
class frmStatus;

// The dialogs the status window opens, composed onto it: the notice window, the registration
// dialog, the telephone memo dialog and the member window, and the directory fetch of its
// user-data refresh. Installs the window's hooks for them and lives as long as the window (it is
// the window's child).
class StatusDialogs : public QObject {
    Q_OBJECT
public:
    // The pages that the notice window and the member window ask for go to the status window's
    // page opener.
    StatusDialogs(Settings& settings, AppState& appState, GroupwareSession& session, frmStatus& status);
    ~StatusDialogs() override;

    AttentionControl* attention() const { return m_attention; }
    RegistPositionHost* registPositionHost() const { return m_registHost; }
    // The member window of the last double-click, or nullptr.
    frmMemberPosition* memberWindow() const;

private:
    bool showTelMemo(qint32 lngToUserID);
    void showMemberWindow(const MemberWindowFields& fields);

    Settings& m_settings;
    AppState& m_appState;
    GroupwareSession& m_session;
    frmStatus& m_status;
    AttentionControl* m_attention = nullptr;
    RegistPositionHost* m_registHost = nullptr;
    QPointer<frmMemberPosition> m_memberWindow;
};

} // namespace zelmora
