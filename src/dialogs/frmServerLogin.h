#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zelmora {

struct AppState;

// Asks for the user name and password of a web server that wants its own HTTP authentication
// before any groupware page (not the groupware login). Shown modally; the opener reads the
// dialog-cancelled flag of the application state, then the three public members.
class frmServerLogin : public QDialog {
    Q_OBJECT
public:
    explicit frmServerLogin(AppState& appState, QWidget* parent = nullptr);
    ~frmServerLogin() override;

    QString strServerID;
    QString strServerPassword;
    bool bflgSavePassword = false;

    QLabel* lblLabel(int index) const { return m_lblLabel.at(index); }
    QLineEdit* txtUserName() const { return m_txtUserName; }
    QLineEdit* txtPassword() const { return m_txtPassword; }
    QCheckBox* chkSavePassword() const { return m_chkSavePassword; }
    QPushButton* cmdOk() const { return m_cmdOk; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void cmdOk_Click();
    void cmdCancel_Click();

    AppState& m_appState;
    bool m_ended = false;
    std::array<QLabel*, 3> m_lblLabel{};
    QLineEdit* m_txtUserName = nullptr;
    QLineEdit* m_txtPassword = nullptr;
    QCheckBox* m_chkSavePassword = nullptr;
    QPushButton* m_cmdOk = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

} // namespace zelmora
