#pragma once

#include "dialogs/InetDetailLogic.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zelmora {

struct AppState;

// "接続の詳細設定": request time-out, proxy and the server logon of a web server that asks for its own
// authentication. The opener sets the public members, calls Initialize, runs the dialog modally and
// takes the members back unless the dialog was cancelled; the members change only on "設定".
class frmSetInetDetail : public QDialog {
    Q_OBJECT
public:
    explicit frmSetInetDetail(QWidget* parent = nullptr);

    qint16 intTimeOut = 180;
    qint16 intProxyMode = 0;
    QString strProxyServer;
    qint32 lngProxyPortNo = 0;
    bool bServerPassRequired = false;
    QString strServerID;
    QString strServerPassword;
    bool bSaveServerPassword = false;

    // The dialog-cancelled flag of the program; may be left null (then only result() tells).
    void setAppState(AppState* app) { m_app = app; }

    // Copies the members into the dialog's own copy and fills the controls.
    void Initialize();
    // "キャンセル", the close box and Escape.
    void reject() override;

    QLineEdit* txtTimeOut() const { return m_txtTimeOut; }
    QRadioButton* optProxy(int index) const { return m_optProxy[index]; }
    QLineEdit* txtProxyURL() const { return m_txtProxyURL; }
    QLineEdit* txtProxyPortNo() const { return m_txtProxyPortNo; }
    QCheckBox* chkServerPassRequired() const { return m_chkServerPassRequired; }
    QLineEdit* txtServerID() const { return m_txtServerID; }
    QLineEdit* txtServerPassword() const { return m_txtServerPassword; }
    QCheckBox* chkSaveServerPassword() const { return m_chkSaveServerPassword; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

private:
    void createControls();
    void updateEnabledStates();
    void cmdOK_Click();
    InetDetailForm form() const;
    void setMembers(const InetDetailValues& values);

    InetDetailValues m_values; // the private copy
    AppState* m_app = nullptr;

    QLineEdit* m_txtTimeOut = nullptr;
    QButtonGroup* m_proxyGroup = nullptr;
    QRadioButton* m_optProxy[3] = {nullptr, nullptr, nullptr};
    QLineEdit* m_txtProxyURL = nullptr;
    QLabel* m_lblProxyPortNo = nullptr;
    QLineEdit* m_txtProxyPortNo = nullptr;
    QCheckBox* m_chkServerPassRequired = nullptr;
    QLabel* m_lblServerID = nullptr;
    QLineEdit* m_txtServerID = nullptr;
    QLabel* m_lblServerPassword = nullptr;
    QLineEdit* m_txtServerPassword = nullptr;
    QCheckBox* m_chkSaveServerPassword = nullptr;
    QLabel* m_lblNote = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

} // namespace zelmora
