#pragma once

#include "core/Settings.h"
#include "ui/WindowRequests.h"

#include <QObject>
#include <QPointer>

namespace zelmora {

class GroupwareSession;
class StatusControl;
class frmRegistPosition;

// Keeps the one registration dialog of the program: opens it for a member (again on the open
// dialog when there is one), tells whether it is open, and forwards LockForm/UnlockForm to it so
// that the resident controller and the status window can bracket their server exchanges with it.
// The dialog counts as open from the moment it is loaded (before its lists are read) until it
// is closed.
class RegistPositionHost : public QObject, public LockableForm {
    Q_OBJECT
public:
    // `owner` is the window the dialog is centred on; `status` is refreshed after a registration.
    RegistPositionHost(const Settings& settings, GroupwareSession& session, StatusControl* status, QWidget* owner);
    ~RegistPositionHost() override;

    // Loads the dialog (or takes the open one), sets its member and mode, runs Initialize and
    // shows it without making it modal.
    void Open(const RegistrationDialogRequest& request);

    // LockableForm
    bool isFormOpen() const override { return m_open; }
    void LockForm() override;
    void UnlockForm() override;

    frmRegistPosition* dialog() const;

private:
    const Settings& m_settings;
    GroupwareSession& m_session;
    StatusControl* m_status;
    QPointer<QWidget> m_owner;
    QPointer<frmRegistPosition> m_dialog;
    bool m_open = false;
};

} // namespace zelmora
