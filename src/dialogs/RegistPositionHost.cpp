#include "dialogs/RegistPositionHost.h"
#include "ui/ResidentControl.h"

#include "dialogs/RegistPositionLogic.h"
#include "dialogs/frmRegistPosition.h"

namespace zelmora {

RegistPositionHost::RegistPositionHost(const Settings& settings, GroupwareSession& session, StatusControl* status,
                                       QWidget* owner)
    : QObject(owner), m_settings(settings), m_session(session), m_status(status), m_owner(owner) {}

RegistPositionHost::~RegistPositionHost() {
    delete m_dialog.data();
}

void RegistPositionHost::Open(const RegistrationDialogRequest& request) {
    if (!m_dialog) {
        auto* dialog = new frmRegistPosition(m_settings, m_session, m_status, m_owner);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog, &QDialog::finished, this, [this] { m_open = false; });
        connect(dialog, &QObject::destroyed, this, [this] { m_open = false; });
        m_dialog = dialog;
    }
    m_open = true;
    m_dialog->setMember(request.lngUserID, request.intMode ? kRegistModeGrid : kRegistModeMenu,
                        request.strCurrentPosition, request.strCurrentTelNo);
    // Reading the lists lets other events run; the dialog may be closed meanwhile.
    const QPointer<frmRegistPosition> dialog = m_dialog;
    dialog->Initialize();
    if (!dialog || !m_open)
        return;
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

frmRegistPosition* RegistPositionHost::dialog() const {
    return m_dialog;
}

void RegistPositionHost::LockForm() {
    if (m_open && m_dialog)
        m_dialog->LockForm();
}

void RegistPositionHost::UnlockForm() {
    if (m_open && m_dialog)
        m_dialog->UnlockForm();
}

} // namespace zelmora
