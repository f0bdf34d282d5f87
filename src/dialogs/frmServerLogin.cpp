#include "dialogs/frmServerLogin.h"

#include "core/AppState.h"
#include "ui/DialogUtils.h"
#include "ui/Fonts.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zelmora {

frmServerLogin::frmServerLogin(AppState& appState, QWidget* parent) : QDialog(parent), m_appState(appState) {
    setObjectName(QStringLiteral("frmServerLogin"));
    setWindowTitle(QStringLiteral("サーバーログイン"));
    setFont(ui::japaneseUiFont(9));
    setModal(true);

    m_lblLabel[2] = ui::makeDialogLabel(
        QStringLiteral("lblLabel(2)"),
        QStringLiteral(
            "ここにでは、サイボウズ用のユーザー名、パスワードではなく、サーバーログイン用のものを入力して下さい。"),
        this);
    m_lblLabel[2]->setWordWrap(true);
    m_lblLabel[0] = ui::makeDialogLabel(QStringLiteral("lblLabel(0)"), QStringLiteral("ユーザー名："), this);
    m_txtUserName = new QLineEdit(this);
    m_txtUserName->setObjectName(QStringLiteral("txtUserName"));
    m_lblLabel[1] = ui::makeDialogLabel(QStringLiteral("lblLabel(1)"), QStringLiteral("パスワード："), this);
    m_txtPassword = new QLineEdit(this);
    m_txtPassword->setObjectName(QStringLiteral("txtPassword"));
    ui::setAsteriskEcho(m_txtPassword);
    m_chkSavePassword = new QCheckBox(QStringLiteral("パスワードを記憶する"), this);
    m_chkSavePassword->setObjectName(QStringLiteral("chkSavePassword"));
    m_cmdOk = ui::makeDialogButton(QStringLiteral("cmdOk"), QStringLiteral("OK"), this);
    m_cmdOk->setDefault(true);
    m_cmdCancel = ui::makeDialogButton(QStringLiteral("cmdCancel"), QStringLiteral("キャンセル"), this);

    auto* fields = new QGridLayout;
    fields->addWidget(m_lblLabel[0], 0, 0);
    fields->addWidget(m_txtUserName, 0, 1);
    fields->addWidget(m_lblLabel[1], 1, 0);
    fields->addWidget(m_txtPassword, 1, 1);
    fields->addWidget(m_chkSavePassword, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdOk);
    buttons->addWidget(m_cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblLabel[2]);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    // The explanation wraps at the width of the fields, not at the screen's.
    m_lblLabel[2]->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("あ")) * 26);

    connect(m_cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(m_cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    ui::makeFixedDialog(this);
}

frmServerLogin::~frmServerLogin() = default;

void frmServerLogin::cmdOk_Click() {
    if (m_txtUserName->text().isEmpty())
        return;
    for (QWidget* control : std::initializer_list<QWidget*>{m_lblLabel[0], m_lblLabel[1], m_lblLabel[2], m_txtUserName,
                                                            m_txtPassword, m_chkSavePassword, m_cmdOk, m_cmdCancel})
        control->setEnabled(false);
    strServerID = m_txtUserName->text();
    strServerPassword = m_txtPassword->text();
    bflgSavePassword = m_chkSavePassword->isChecked();
    m_appState.dialogCancelled = false;
    m_ended = true;
    accept();
}

void frmServerLogin::cmdCancel_Click() {
    m_appState.dialogCancelled = true;
    m_ended = true;
    QDialog::reject();
}

void frmServerLogin::closeEvent(QCloseEvent* event) {
    // The close box and Escape act as "キャンセル".
    if (!m_ended)
        cmdCancel_Click();
    event->accept();
}

void frmServerLogin::reject() {
    if (!m_ended)
        cmdCancel_Click();
}

} // namespace zelmora
