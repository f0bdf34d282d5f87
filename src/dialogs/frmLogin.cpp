#include "dialogs/frmLogin.h"

#include "core/AppState.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "ui/DialogUtils.h"
#include "ui/Fonts.h"
#include "ui/HourglassCursor.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace zelmora {

namespace {
const QString kLoginFailed = QStringLiteral("サイボウズにログインできません. パスワードを確認して下さい");
const QString kUpdateFailed = QStringLiteral("ユーザーデータの更新に失敗しました");
} // namespace

frmLogin::frmLogin(Settings& settings, AppState& appState, LoginOperations operations, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_appState(appState), m_operations(std::move(operations)) {
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("サイボウズログイン"));
    setFont(ui::japaneseUiFont(9));
    createControls();
    ui::makeFixedDialog(this);
}

frmLogin::~frmLogin() = default;

void frmLogin::createControls() {
    m_lblLabel[2] = ui::makeDialogLabel(QStringLiteral("lblLabel(2)"), QStringLiteral("所属グループ："), this);
    m_cboGroup = new QComboBox(this);
    m_cboGroup->setObjectName(QStringLiteral("cboGroup"));
    m_lblLabel[1] = ui::makeDialogLabel(QStringLiteral("lblLabel(1)"), QStringLiteral("氏名："), this);
    m_cboName = new QComboBox(this);
    m_cboName->setObjectName(QStringLiteral("cboName"));
    m_lblLabel[0] = ui::makeDialogLabel(QStringLiteral("lblLabel(0)"), QStringLiteral("パスワード："), this);
    m_txtPassword = new QLineEdit(this);
    m_txtPassword->setObjectName(QStringLiteral("txtPassword"));
    ui::setAsteriskEcho(m_txtPassword);
    m_chkAutoLogin = new QCheckBox(QStringLiteral("パスワードを記憶し、以後自動ログインする"), this);
    m_chkAutoLogin->setObjectName(QStringLiteral("chkAutoLogin"));
    m_cmdLogin = ui::makeDialogButton(QStringLiteral("cmdLogin"), QStringLiteral("ログイン"), this);
    m_cmdLogin->setDefault(true);
    m_cmdCancel = ui::makeDialogButton(QStringLiteral("cmdCancel"), QStringLiteral("キャンセル"), this);
    m_cmdUpdateUserList = ui::makeDialogButton(QStringLiteral("cmdUpdateUserList"), QStringLiteral("データ更新"), this);
    for (QComboBox* list : {m_cboGroup, m_cboName}) {
        list->setMinimumContentsLength(16);
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }

    auto* fields = new QGridLayout;
    fields->addWidget(m_lblLabel[2], 0, 0);
    fields->addWidget(m_cboGroup, 0, 1);
    fields->addWidget(m_lblLabel[1], 1, 0);
    fields->addWidget(m_cboName, 1, 1);
    fields->addWidget(m_lblLabel[0], 2, 0);
    fields->addWidget(m_txtPassword, 2, 1);
    fields->addWidget(m_chkAutoLogin, 3, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdUpdateUserList);
    buttons->addStretch(1);
    buttons->addWidget(m_cmdLogin);
    buttons->addWidget(m_cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    setTabOrder(m_cboGroup, m_cboName);
    setTabOrder(m_cboName, m_txtPassword);
    setTabOrder(m_txtPassword, m_chkAutoLogin);
    setTabOrder(m_chkAutoLogin, m_cmdLogin);
    setTabOrder(m_cmdLogin, m_cmdCancel);
    setTabOrder(m_cmdCancel, m_cmdUpdateUserList);

    connect(m_cboGroup, &QComboBox::currentIndexChanged, this, [this] { cboGroup_Click(); });
    connect(m_cmdLogin, &QPushButton::clicked, this, [this] { cmdLogin_Click(); });
    connect(m_cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(m_cmdUpdateUserList, &QPushButton::clicked, this, [this] { cmdUpdateUserList_Click(); });
}

void frmLogin::Load() {
    const LoginSelection selection =
        initialLoginSelection(m_settings.groups, m_settings.users, m_settings.connection.LASTLOGINUSER_GROUP,
                              m_settings.connection.LASTLOGINUSER_NAME);
    {
        // Filling the list must not run the group change for every added item.
        const QSignalBlocker blocker(m_cboGroup);
        m_cboGroup->clear();
        for (const GroupRecord& group : m_settings.groups)
            m_cboGroup->addItem(group.name);
        m_cboGroup->setCurrentIndex(selection.groupIndex);
    }
    cboGroup_Click();
    m_cboName->setCurrentIndex(selection.nameIndex);
    bflgLoginEnd = false;
}

void frmLogin::SetInitialFocus() {
    switch (loginFocus(m_cboGroup->currentIndex() >= 0, m_cboName->currentIndex() >= 0)) {
    case LoginFocus::Password:
        m_txtPassword->setFocus();
        break;
    case LoginFocus::Name:
        m_cboName->setFocus();
        break;
    case LoginFocus::Group:
        m_cboGroup->setFocus();
        break;
    }
}

void frmLogin::cboGroup_Click() {
    const int index = m_cboGroup->currentIndex();
    m_members.clear();
    m_cboName->clear();
    if (index < 0 || index >= m_settings.groups.size())
        return;
    m_members = membersOfGroup(m_settings.users, m_settings.groups.at(index).id);
    for (const UserRecord& member : std::as_const(m_members))
        m_cboName->addItem(member.name);
    m_cboName->setCurrentIndex(-1);
}

void frmLogin::setControlsEnabled(bool enabled) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{m_lblLabel[0], m_lblLabel[1], m_lblLabel[2], m_cboGroup, m_cboName,
                                         m_txtPassword, m_cmdLogin, m_cmdCancel, m_cmdUpdateUserList, m_chkAutoLogin})
        control->setEnabled(enabled);
}

void frmLogin::cmdLogin_Click() {
    const int groupIndex = m_cboGroup->currentIndex();
    const int nameIndex = m_cboName->currentIndex();
    setControlsEnabled(false);
    bool loggedIn = false;
    // Without a group and a name there is nobody to log in; that is answered like a refused login.
    if (groupIndex >= 0 && nameIndex >= 0 && nameIndex < m_members.size() && m_operations.login) {
        ui::HourglassCursor busy;
        loggedIn = m_operations.login(m_members.at(nameIndex).id, m_txtPassword->text());
    }
    if (!loggedIn) {
        showMessage(kTitleError, MsgIcon::Warning, kLoginFailed);
        setControlsEnabled(true);
        m_txtPassword->setFocus();
        m_txtPassword->selectAll();
        return;
    }
    m_appState.loggedIn = true;
    m_settings.connection.LASTLOGINUSER_GROUP = m_settings.groups.at(groupIndex).id;
    m_settings.connection.LASTLOGINUSER_NAME = m_members.at(nameIndex).id;
    bflgAutoLogin = m_chkAutoLogin->isChecked();
    endDialog();
}

void frmLogin::cmdCancel_Click() {
    m_appState.loggedIn = false;
    endDialog();
}

void frmLogin::endDialog() {
    bflgLoginEnd = true;
    hide();
    emit loginEnded();
}

void frmLogin::cmdUpdateUserList_Click() {
    setControlsEnabled(false);
    QList<UserRecord> users;
    bool fetched = false;
    if (m_operations.fetchUserData) {
        ui::HourglassCursor busy;
        fetched = m_operations.fetchUserData(users);
    }
    if (!fetched) {
        showMessage(kTitleError, MsgIcon::Warning, kUpdateFailed);
        setControlsEnabled(true);
        return;
    }
    m_settings.users = users;
    if (m_operations.saveUserData)
        m_operations.saveUserData(m_settings.users);
    setControlsEnabled(true);
    Load();
}

void frmLogin::closeEvent(QCloseEvent* event) {
    // The close box ends the dialog as "キャンセル" does, so that the waiting start-up goes on;
    // while a login or a refresh waits for the server it is ignored.
    if (!bflgLoginEnd) {
        if (!m_cmdCancel->isEnabled()) {
            event->ignore();
            return;
        }
        cmdCancel_Click();
    }
    event->accept();
}

void frmLogin::reject() {
    // Escape: the same as the close box.
    close();
}

} // namespace zelmora
