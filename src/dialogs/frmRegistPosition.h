#pragma once

#include "core/Settings.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zelmora {

class GroupwareSession;
class StatusControl;

// The whereabouts registration dialog: place, "until" limit and contact of one member's entry
// typed by hand, or the user's own entry switched back to automatic registration. Modeless; the
// resident controller and the status window lock its two buttons while they talk to the server.
class frmRegistPosition : public QDialog {
    Q_OBJECT
public:
    frmRegistPosition(const Settings& settings, GroupwareSession& session, StatusControl* status,
                      QWidget* parent = nullptr);

    // Set by the opener before Initialize: the member (lngUserID), intMode (0 from a position
    // menu handler, -1 from the status window's grid) and the entry as the board shows it.
    void setMember(qint32 lngUserID, qint16 intMode, const QString& strCurrentPosition, const QString& strCurrentTelNo);
    qint32 lngUserID() const { return m_lngUserID; }
    qint16 intMode() const { return m_intMode; }

    // Reads the place, until and unit lists from the logged-in user's entry page and fills the
    // fields from the current entry.
    void Initialize();

    // Disable / enable "登録" and "キャンセル".
    void LockForm();
    void UnlockForm();

    void cmdRegist_Click();
    void cmdCancel_Click();

    QCheckBox* chkAutoUpdatePosition() const { return m_chkAutoUpdatePosition; }
    QGroupBox* fraFrame() const { return m_fraFrame; }
    QLabel* lblLabel(int index) const { return m_lblLabel.at(index); }
    QComboBox* cboYourPosition() const { return m_cboYourPosition; }
    QComboBox* cboToLimit() const { return m_cboToLimit; }
    QComboBox* cboLimitUnit() const { return m_cboLimitUnit; }
    QLineEdit* txtTelNo() const { return m_txtTelNo; }
    QPushButton* cmdRegist() const { return m_cmdRegist; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void createControls();
    void chkAutoUpdatePosition_Click();
    static void selectItem(QComboBox* list, const QString& text);

    const Settings& m_settings;
    GroupwareSession& m_session;
    StatusControl* m_status;
    qint32 m_lngUserID = 0;
    qint16 m_intMode = 0;
    QString m_strCurrentPosition;
    QString m_strCurrentTelNo;
    // Between "登録" and the end of its refresh the dialog must not go away.
    bool m_registering = false;

    QCheckBox* m_chkAutoUpdatePosition = nullptr;
    QGroupBox* m_fraFrame = nullptr;
    std::array<QLabel*, 3> m_lblLabel{};
    QComboBox* m_cboYourPosition = nullptr;
    QComboBox* m_cboToLimit = nullptr;
    QComboBox* m_cboLimitUnit = nullptr;
    QLineEdit* m_txtTelNo = nullptr;
    QPushButton* m_cmdRegist = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

} // namespace zelmora
