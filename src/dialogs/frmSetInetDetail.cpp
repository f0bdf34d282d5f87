#include "dialogs/frmSetInetDetail.h"

#include "core/AppState.h"
#include "core/MessageBox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zelmora {

namespace {
QLineEdit* lineEdit(QWidget* parent, const char* name, int minimumChars) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * minimumChars + 12);
    return edit;
}
} // namespace

frmSetInetDetail::frmSetInetDetail(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSetInetDetail"));
    setWindowTitle(inetdetail::kTitle);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    createControls();
    connect(m_proxyGroup, &QButtonGroup::idClicked, this, &frmSetInetDetail::updateEnabledStates);
    connect(m_chkServerPassRequired, &QCheckBox::clicked, this, &frmSetInetDetail::updateEnabledStates);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmSetInetDetail::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmSetInetDetail::reject);
    updateEnabledStates();
}

void frmSetInetDetail::createControls() {
    auto* fraConnection = new QGroupBox(QStringLiteral("接続"), this);
    fraConnection->setObjectName(QStringLiteral("fraConnection"));
    m_txtTimeOut = lineEdit(fraConnection, "txtTimeOut", 5);
    m_txtTimeOut->setMaximumWidth(m_txtTimeOut->minimumWidth());
    auto* connectionRow = new QHBoxLayout(fraConnection);
    connectionRow->addWidget(new QLabel(QStringLiteral("タイムアウト時間："), fraConnection));
    connectionRow->addWidget(m_txtTimeOut);
    connectionRow->addWidget(new QLabel(QStringLiteral("秒"), fraConnection));
    connectionRow->addStretch(1);

    auto* fraProxy = new QGroupBox(QStringLiteral("プロキシ"), this);
    fraProxy->setObjectName(QStringLiteral("fraProxy"));
    m_proxyGroup = new QButtonGroup(this);
    const QString captions[3] = {QStringLiteral("IEの設定と同一"), QStringLiteral("プロキシを使用しない"),
                                 QStringLiteral("手動設定")};
    for (int i = 0; i < 3; ++i) {
        m_optProxy[i] = new QRadioButton(captions[i], fraProxy);
        m_optProxy[i]->setObjectName(QStringLiteral("optProxy(%1)").arg(i));
        m_proxyGroup->addButton(m_optProxy[i], i);
    }
    m_txtProxyURL = lineEdit(fraProxy, "txtProxyURL", 24);
    m_lblProxyPortNo = new QLabel(QStringLiteral("ポート番号："), fraProxy);
    m_txtProxyPortNo = lineEdit(fraProxy, "txtProxyPortNo", 6);
    m_txtProxyPortNo->setMaximumWidth(m_txtProxyPortNo->minimumWidth());
    auto* manualRow = new QHBoxLayout;
    manualRow->addSpacing(20);
    manualRow->addWidget(m_txtProxyURL, 1);
    manualRow->addWidget(m_lblProxyPortNo);
    manualRow->addWidget(m_txtProxyPortNo);
    auto* proxyLayout = new QVBoxLayout(fraProxy);
    proxyLayout->addWidget(m_optProxy[0]);
    proxyLayout->addWidget(m_optProxy[1]);
    proxyLayout->addWidget(m_optProxy[2]);
    proxyLayout->addLayout(manualRow);

    auto* fraAuthentication = new QGroupBox(QStringLiteral("認証"), this);
    fraAuthentication->setObjectName(QStringLiteral("fraAuthentication"));
    m_chkServerPassRequired = new QCheckBox(QStringLiteral("サーバーへのアクセスに認証が必要"), fraAuthentication);
    m_chkServerPassRequired->setObjectName(QStringLiteral("chkServerPassRequired"));
    m_lblServerID = new QLabel(QStringLiteral("ユーザー名："), fraAuthentication);
    m_txtServerID = lineEdit(fraAuthentication, "txtServerID", 20);
    m_lblServerPassword = new QLabel(QStringLiteral("パスワード："), fraAuthentication);
    m_txtServerPassword = lineEdit(fraAuthentication, "txtServerPassword", 20);
    m_txtServerPassword->setEchoMode(QLineEdit::Password);
    // Each character shows as "*", whatever mask character the style would choose.
    m_txtServerPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    m_chkSaveServerPassword = new QCheckBox(QStringLiteral("パスワードを保存する"), fraAuthentication);
    m_chkSaveServerPassword->setObjectName(QStringLiteral("chkSaveServerPassword"));
    m_lblNote =
        new QLabel(QStringLiteral("サイボウズのユーザー名、パスワードではありません。通常はこの項目は設定不要です。"),
                   fraAuthentication);
    m_lblNote->setObjectName(QStringLiteral("lblNote"));
    m_lblNote->setWordWrap(true);
    auto* authLayout = new QGridLayout(fraAuthentication);
    authLayout->addWidget(m_chkServerPassRequired, 0, 0, 1, 3);
    authLayout->setColumnMinimumWidth(0, 20);
    authLayout->addWidget(m_lblServerID, 1, 1);
    authLayout->addWidget(m_txtServerID, 1, 2);
    authLayout->addWidget(m_lblServerPassword, 2, 1);
    authLayout->addWidget(m_txtServerPassword, 2, 2);
    authLayout->addWidget(m_chkSaveServerPassword, 3, 1, 1, 2);
    authLayout->addWidget(m_lblNote, 4, 1, 1, 2);
    authLayout->setColumnStretch(2, 1);

    m_cmdOK = new QPushButton(QStringLiteral("設定"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraConnection);
    layout->addWidget(fraProxy);
    layout->addWidget(fraAuthentication);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // The note wraps: give the window a width at which it takes two lines, not one per word.
    fraAuthentication->setMinimumWidth(m_lblNote->fontMetrics().horizontalAdvance(m_lblNote->text()) / 2 + 60);
}

void frmSetInetDetail::Initialize() {
    m_values.intTimeOut = intTimeOut;
    m_values.intProxyMode = intProxyMode;
    m_values.strProxyServer = strProxyServer;
    m_values.lngProxyPortNo = lngProxyPortNo;
    m_values.bServerPassRequired = bServerPassRequired;
    m_values.strServerID = strServerID;
    m_values.strServerPassword = strServerPassword;
    m_values.bSaveServerPassword = bSaveServerPassword;

    m_txtTimeOut->setText(QString::number(m_values.intTimeOut));
    m_proxyGroup->setExclusive(false);
    for (int i = 0; i < 3; ++i)
        m_optProxy[i]->setChecked(i == m_values.intProxyMode);
    m_proxyGroup->setExclusive(true);
    const bool manual = m_values.intProxyMode == 2;
    m_txtProxyURL->setText(manual ? m_values.strProxyServer : QString());
    m_txtProxyPortNo->setText(manual ? QString::number(m_values.lngProxyPortNo) : QString());
    m_chkServerPassRequired->setChecked(m_values.bServerPassRequired);
    m_txtServerID->setText(m_values.bServerPassRequired ? m_values.strServerID : QString());
    m_txtServerPassword->setText(m_values.bServerPassRequired ? m_values.strServerPassword : QString());
    m_chkSaveServerPassword->setChecked(m_values.bServerPassRequired && m_values.bSaveServerPassword);
    updateEnabledStates();
}

void frmSetInetDetail::updateEnabledStates() {
    const bool manual = m_optProxy[2]->isChecked();
    m_txtProxyURL->setEnabled(manual);
    m_txtProxyPortNo->setEnabled(manual);
    m_lblProxyPortNo->setEnabled(manual);
    const bool required = m_chkServerPassRequired->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(m_txtServerID), static_cast<QWidget*>(m_txtServerPassword),
                       static_cast<QWidget*>(m_chkSaveServerPassword), static_cast<QWidget*>(m_lblServerID),
                       static_cast<QWidget*>(m_lblServerPassword), static_cast<QWidget*>(m_lblNote)})
        w->setEnabled(required);
}

InetDetailForm frmSetInetDetail::form() const {
    InetDetailForm form;
    form.timeOut = m_txtTimeOut->text();
    form.proxyMode = m_proxyGroup->checkedId();
    form.proxyServer = m_txtProxyURL->text();
    form.proxyPort = m_txtProxyPortNo->text();
    form.serverPassRequired = m_chkServerPassRequired->isChecked();
    form.serverId = m_txtServerID->text();
    form.serverPassword = m_txtServerPassword->text();
    form.saveServerPassword = m_chkSaveServerPassword->isChecked();
    return form;
}

void frmSetInetDetail::setMembers(const InetDetailValues& values) {
    intTimeOut = values.intTimeOut;
    intProxyMode = values.intProxyMode;
    strProxyServer = values.strProxyServer;
    lngProxyPortNo = values.lngProxyPortNo;
    bServerPassRequired = values.bServerPassRequired;
    strServerID = values.strServerID;
    strServerPassword = values.strServerPassword;
    bSaveServerPassword = values.bSaveServerPassword;
}

void frmSetInetDetail::cmdOK_Click() {
    const InetDetailForm current = form();
    const QString error = ValidateInetDetail(current);
    if (!error.isEmpty()) {
        showMessage(kTitleError, MsgIcon::Warning, error);
        return;
    }
    m_values = ReadBackInetDetail(current);
    setMembers(m_values);
    if (m_app)
        m_app->dialogCancelled = false;
    accept();
}

void frmSetInetDetail::reject() {
    if (m_app)
        m_app->dialogCancelled = true;
    QDialog::reject();
}

} // namespace zelmora
