#pragma once

#include "dialogs/LoginChoices.h"

#include <QDialog>
#include <QList>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zelmora {

struct AppState;
struct Settings;

// What the login dialog asks of the server and the disk; the program wires them to Login,
// GetUserData and SaveUserData.
struct LoginOperations {
    std::function<bool(qint32 userId, const QString& password)> login;
    std::function<bool(QList<UserRecord>& users)> fetchUserData;
    std::function<void(const QList<UserRecord>& users)> saveUserData;
};

// The login window: a group, a name within it, the groupware password, and whether to remember
// the password. Shown without being modal; the opener waits for `bflgLoginEnd`.
class frmLogin : public QDialog {
    Q_OBJECT
public:
    frmLogin(Settings& settings, AppState& appState, LoginOperations operations, QWidget* parent = nullptr);
    ~frmLogin() override;

    // Fills the lists from the directory and selects the remembered group and name.
    void Load();
    // Focus on the password once a name is selected, else on the first list without a selection.
    void SetInitialFocus();

    bool bflgLoginEnd = false;
    bool bflgAutoLogin = false;

    // Controls, for the opener and for tests.
    QLabel* lblLabel(int index) const { return m_lblLabel.at(index); }
    QComboBox* cboGroup() const { return m_cboGroup; }
    QComboBox* cboName() const { return m_cboName; }
    QLineEdit* txtPassword() const { return m_txtPassword; }
    QCheckBox* chkAutoLogin() const { return m_chkAutoLogin; }
    QPushButton* cmdLogin() const { return m_cmdLogin; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }
    QPushButton* cmdUpdateUserList() const { return m_cmdUpdateUserList; }

signals:
    // bflgLoginEnd has become true.
    void loginEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void createControls();
    void cboGroup_Click();
    void cmdLogin_Click();
    void cmdCancel_Click();
    void cmdUpdateUserList_Click();
    void setControlsEnabled(bool enabled);
    void endDialog();

    Settings& m_settings;
    AppState& m_appState;
    LoginOperations m_operations;
    // Users of the selected group, in the order of cboName.
    QList<UserRecord> m_members;

    std::array<QLabel*, 3> m_lblLabel{};
    QComboBox* m_cboGroup = nullptr;
    QComboBox* m_cboName = nullptr;
    QLineEdit* m_txtPassword = nullptr;
    QCheckBox* m_chkAutoLogin = nullptr;
    QPushButton* m_cmdLogin = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QPushButton* m_cmdUpdateUserList = nullptr;
};

} // namespace zelmora
