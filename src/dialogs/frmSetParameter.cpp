#include "dialogs/frmSetParameter.h"

#include "core/AppState.h"
#include "core/MessageBox.h"
#include "core/SettingsKeys.h"
#include "dialogs/DialogNumber.h"
#include "dialogs/SettingsApply.h"
#include "dialogs/frmSetEndAction.h"
#include "dialogs/frmSetInetDetail.h"
#include "groupware/GroupwareSession.h"
#include "groupware/Login.h"
#include "net/PatternUtils.h"
#include "net/Transport.h"
#include "ui/FileChooser.h"
#include "ui/HourglassCursor.h"
#include "ui/InputBlocker.h"
#include "ui/SyncSound.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>

namespace zelmora {

using namespace setparameter;

namespace {

constexpr int kPersonalTabIndex = 0;
constexpr int kCommonTabIndex = 1;

QString chooseSoundFile(QWidget* parent, const QString& title, const SoundChooserStart& start, const QString& filter) {
    return ui::chooseFileToOpen(parent, title, start.folder, start.file, filter);
}

// Folders where a user keeps sounds, for the chooser when no file is named yet.
QStringList userSoundFolders() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return {data.isEmpty() ? QString() : data + QStringLiteral("/sounds"),
            QStandardPaths::writableLocation(QStandardPaths::MusicLocation)};
}

void showWarning(const QString& text) {
    showMessage(kTitleError, MsgIcon::Warning, text, MsgButtons::Ok, true);
}

} // namespace

frmSetParameter::frmSetParameter(Settings& settings, AppState& app, GroupwareSession& session, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_app(app), m_session(session) {
    setObjectName(QStringLiteral("frmSetParameter"));
    setWindowTitle(kTitle);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_editEndAction = [this](QWidget* owner, qint16& endActionType, QString& endPosition) {
        frmSetEndAction dialog(owner);
        dialog.setAppState(&m_app);
        dialog.intEndActionType = endActionType;
        dialog.strEndPosition = endPosition;
        dialog.exec();
        if (m_app.dialogCancelled)
            return false;
        endActionType = dialog.intEndActionType;
        endPosition = dialog.strEndPosition;
        return true;
    };
    m_chooseFile = chooseSoundFile;
    m_playSound = [](const QString& path) { ui::PlaySoundSync(path); };
    createControls();
    connectControls();
}

frmSetParameter::~frmSetParameter() = default;

int frmSetParameter::exec() {
    Load();
    return QDialog::exec();
}

void frmSetParameter::Load() {
    m_common = m_settings.connection;
    m_common.updateProgramUrl();
    m_user = m_settings.user;
    m_serverUserName = m_settings.user.serverUserName;
    m_serverPassword = m_settings.user.serverPassword;
    m_serverLogonSaved = m_settings.user.serverLogonSaved;
    m_groups = m_app.directoryLoaded ? m_settings.groups : QList<GroupRecord>();
    m_usable = m_settings.connection.usableApplications;
    m_inetAtOpening = InetProtocol::instance().options();

    m_cboSelectGroup->clear();
    m_cboPositionName->clear();
    if (!bflgFirstSetup) {
        for (const GroupRecord& group : std::as_const(m_groups))
            m_cboSelectGroup->addItem(group.name);
        m_cboSelectGroup->setCurrentIndex(-1);
        fillPlaceChoices();
    }

    m_loading = true;
    fillControls();
    m_original = m_common;
    if (!m_app.loggedIn) {
        m_objTabStrip->setCurrentIndex(kCommonTabIndex);
        setPersonalTabAvailable(false);
    }
    applyEnabledStates();
    m_loading = false;
}

void frmSetParameter::fillPlaceChoices() {
    ui::HourglassCursor busy;
    const PageResult page = GetPage(m_common.programUrl + QStringLiteral("?page=WhereEntry&id=0"));
    QList<SelectOption> options;
    GetSelectOptions(page.text, QStringLiteral("Place"), options);
    for (qsizetype i = 1; i < options.size(); ++i)
        m_cboPositionName->addItem(options.at(i).text);
}

void frmSetParameter::fillControls() {
    m_chkNotifyMail->setChecked(m_user.NOTIFY_MAIL);
    m_chkNotifyCircular->setChecked(m_user.NOTIFY_CIRCULAR);
    m_chkNotifyMemo->setChecked(m_user.NOTIFY_MEMO);
    m_chkNotifyNewArticle->setChecked(m_user.NOTIFY_NEW_ARTICLE);
    m_chkNotifyWorkFlow->setChecked(m_user.NOTIFY_WORKFLOW);
    m_chkNotifySchedule->setChecked(m_user.NOTIFY_SCHEDULE);
    m_txtAlarmTiming->setText(QString::number(m_user.ALARM_TIMING.minute()));
    m_chkUseSound->setChecked(!m_user.ALARM_SOUNDFILE.isEmpty());
    m_txtSoundFileName->setText(m_user.ALARM_SOUNDFILE);
    m_txtSoundFileName->setCursorPosition(0); // a long path shows its beginning
    m_order.load(m_groups, m_user.GROUP_DISP_ORDER);
    fillGroupOrderList(-1);
    m_chkAutoLogin->setChecked(m_user.AUTO_LOGIN);
    m_chkRegistStartUpPosition->setChecked(m_user.STARTUP_REGIST_POSITION);
    // No end action in the file acts as none.
    m_chkRegistEndPosition->setChecked(m_user.END_ACTION_TYPE != EndAction::None &&
                                       m_user.END_ACTION_TYPE != EndAction::Unset);

    m_optServerType->button(m_common.SERVER_OS_TYPE == 1 ? 1 : 0)->setChecked(true);
    m_txtServerURL->setText(m_common.SERVER_URL);
    m_chkAlwaysUpdateUserData->setChecked(m_common.ALWAYS_UPDATE_USERDATA);
    if (QAbstractButton* mode = m_optGetDataMode->button(m_common.GET_DATA_MODE))
        mode->setChecked(true);
    m_cboPositionName->setEditText(m_common.HERE_POSITION);
    m_txtTelNo->setText(m_common.HERE_TELNO);
    m_txtGetInterval->setText(QString::number(m_common.GET_INTERVAL));
    m_txtUpdateInterval->setText(QString::number(m_common.UPDATE_INTERVAL));
    m_txtAbsenseLevel->setText(QString::number(m_common.ABSENSE_LEVEL));
    m_chkCheckUsableApplication->setChecked(m_common.CHECK_USABLE_APPLICATION);
    if (m_common.CHECK_USABLE_APPLICATION)
        chkCheckUsableApplication_Click();
}

void frmSetParameter::fillGroupOrderList(int selected) {
    m_lstGroupDispOrder->clear();
    for (const GroupRecord& entry : m_order.entries())
        m_lstGroupDispOrder->addItem(entry.name);
    m_lstGroupDispOrder->setCurrentRow(selected);
    if (selected < 0)
        m_lstGroupDispOrder->clearSelection();
}

void frmSetParameter::readCommonControls(ConnectionSettings& common) const {
    common.SERVER_OS_TYPE = m_optServerType->checkedId() == 1 ? 1 : 0;
    common.SERVER_URL = settingskeys::trimSpaces(m_txtServerURL->text());
    common.updateProgramUrl();
    common.CHECK_USABLE_APPLICATION = m_chkCheckUsableApplication->isChecked();
    common.ALWAYS_UPDATE_USERDATA = m_chkAlwaysUpdateUserData->isChecked();
    if (m_optGetDataMode->checkedId() >= 0)
        common.GET_DATA_MODE = qint16(m_optGetDataMode->checkedId());
    common.HERE_POSITION = settingskeys::trimSpaces(m_cboPositionName->currentText());
    common.HERE_TELNO = settingskeys::trimSpaces(m_txtTelNo->text());
    // The minute boxes are taken only once they passed their checks.
    if (const NumberReading r = readWholeNumber(m_txtGetInterval->text(), 1, 59); r.check == NumberCheck::Ok)
        common.GET_INTERVAL = qint16(r.value);
    if (const NumberReading r = readWholeNumber(m_txtUpdateInterval->text(), 1, 59); r.check == NumberCheck::Ok)
        common.UPDATE_INTERVAL = qint16(r.value);
    if (const NumberReading r = readWholeNumber(m_txtAbsenseLevel->text(), 5, 60); r.check == NumberCheck::Ok)
        common.ABSENSE_LEVEL = qint16(r.value);
}

void frmSetParameter::readPersonalControls(UserSettings& user, std::optional<qint16> alarmMinutes) const {
    user.NOTIFY_MAIL = m_chkNotifyMail->isChecked();
    user.NOTIFY_CIRCULAR = m_chkNotifyCircular->isChecked();
    user.NOTIFY_MEMO = m_chkNotifyMemo->isChecked();
    user.NOTIFY_NEW_ARTICLE = m_chkNotifyNewArticle->isChecked();
    user.NOTIFY_WORKFLOW = m_chkNotifyWorkFlow->isChecked();
    user.NOTIFY_SCHEDULE = m_chkNotifySchedule->isChecked();
    if (alarmMinutes)
        user.ALARM_TIMING = QTime(0, *alarmMinutes, 0);
    user.ALARM_SOUNDFILE = m_chkUseSound->isChecked() ? m_txtSoundFileName->text() : QString();
    user.GROUP_DISP_ORDER = m_order.ids();
    user.AUTO_LOGIN = m_chkAutoLogin->isChecked();
    user.STARTUP_REGIST_POSITION = m_chkRegistStartUpPosition->isChecked();
    if (!m_chkRegistEndPosition->isChecked()) {
        user.END_ACTION_TYPE = EndAction::None;
        user.END_REGIST_POSITION.clear();
    }
}

ParameterTexts frmSetParameter::parameterTexts() const {
    ParameterTexts texts;
    texts.notifySchedule = m_chkNotifySchedule->isChecked();
    texts.alarmTiming = m_txtAlarmTiming->text();
    texts.useSound = m_chkUseSound->isChecked();
    texts.soundFile = m_txtSoundFileName->text();
    texts.getInterval = m_txtGetInterval->text();
    texts.updateInterval = m_txtUpdateInterval->text();
    texts.absenseLevel = m_txtAbsenseLevel->text();
    return texts;
}

bool frmSetParameter::applicationEnabled(ApplicationFlag bit) const {
    return !m_chkCheckUsableApplication->isChecked() || (m_usable & bit);
}

void frmSetParameter::applyEnabledStates() {
    for (const UsableControlRow& row : UsableApplicationControls()) {
        const bool enabled = applicationEnabled(row.bit);
        for (const QString& name : row.controls) {
            if (auto* control = findChild<QWidget*>(name))
                control->setEnabled(enabled);
        }
    }
    const bool alarm = m_chkNotifySchedule->isChecked() && applicationEnabled(AppSchedule);
    m_txtAlarmTiming->setEnabled(alarm);
    m_lblAlarmTiming->setEnabled(alarm);
    const bool sound = m_chkUseSound->isChecked();
    for (QWidget* control : {static_cast<QWidget*>(m_txtSoundFileName), static_cast<QWidget*>(m_lblSoundFile),
                             static_cast<QWidget*>(m_cmdFileRef), static_cast<QWidget*>(m_cmdSoundTest)})
        control->setEnabled(sound);
    m_cmdSetEndAction->setEnabled(m_chkRegistEndPosition->isChecked() && applicationEnabled(AppWhereabouts));
}

void frmSetParameter::setBusy(bool busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    QTabBar* tabs = m_objTabStrip->tabBar();
    if (busy)
        m_tabStripWasEnabled = tabs->isEnabled();
    tabs->setEnabled(busy ? false : m_tabStripWasEnabled);
    for (QGroupBox* box : std::as_const(m_frames))
        box->setEnabled(!busy);
    m_cmdApply->setEnabled(!busy);
    m_cmdCancel->setEnabled(!busy);
    if (!busy)
        applyEnabledStates();
}

void frmSetParameter::setPersonalTabAvailable(bool available) {
    m_objTabStrip->setTabText(kPersonalTabIndex, available ? kPersonalTab : kPersonalTabDisabled);
    if (!available)
        m_objTabStrip->setCurrentIndex(kCommonTabIndex);
    // While busy the strip stays disabled; the state it returns to is what changes.
    if (m_busy)
        m_tabStripWasEnabled = available;
    else
        m_objTabStrip->tabBar()->setEnabled(available);
}

ConnectionSettings frmSetParameter::connectionUnderTest() {
    ConnectionSettings edited = m_common;
    readCommonControls(edited);
    SetInetOptions(edited, m_serverUserName, m_serverPassword);
    return edited;
}

void frmSetParameter::serverControls_Change() {
    if (m_loading || !m_app.loggedIn)
        return;
    ConnectionSettings edited = m_common;
    readCommonControls(edited);
    switch (ClassifyRestart(m_original, edited)) {
    case RestartClass::Server:
        setPersonalTabAvailable(false);
        break;
    case RestartClass::None:
        setPersonalTabAvailable(true);
        break;
    case RestartClass::Other:
        break;
    }
}

void frmSetParameter::chkCheckUsableApplication_Click() {
    if (m_chkCheckUsableApplication->isChecked()) {
        setBusy(true);
        ui::HourglassCursor wait;
        ConnectionSettings edited = connectionUnderTest();
        m_usable = CheckServer(edited) ? GetUsableApplications(edited) : ApplicationFlags(AppAll);
        wait.restore();
        setBusy(false);
        for (const UsableControlRow& row : UsableApplicationControls()) {
            if (m_usable & row.bit)
                continue;
            for (const QString& name : row.checkBoxes) {
                if (auto* check = findChild<QCheckBox*>(name))
                    check->setChecked(false);
            }
        }
    }
    applyEnabledStates();
}

void frmSetParameter::cmdTestConnection_Click() {
    setBusy(true);
    ui::HourglassCursor wait;
    const bool reachable = CheckServer(connectionUnderTest());
    wait.restore();
    setBusy(false);
    if (reachable) {
        showMessage(kTitleConfirm, MsgIcon::Information, kServerReachable, MsgButtons::Ok, true);
        return;
    }
    showWarning(kServerUnreachable);
    m_txtServerURL->selectAll();
    m_txtServerURL->setFocus();
}

void frmSetParameter::cmdSetInetDetail_Click() {
    frmSetInetDetail detail(this);
    detail.setAppState(&m_app);
    detail.intTimeOut = m_common.TIMEOUT;
    detail.intProxyMode = m_common.PROXY_MODE;
    detail.strProxyServer = m_common.PROXY_SERVER;
    detail.lngProxyPortNo = m_common.PROXY_PORTNO;
    detail.bServerPassRequired = m_common.SERVER_PASSWORD_REQUIRED;
    detail.strServerID = m_serverUserName;
    detail.strServerPassword = m_serverPassword;
    detail.bSaveServerPassword = m_serverLogonSaved;
    detail.Initialize();
    if (detail.exec() != QDialog::Accepted || m_app.dialogCancelled)
        return;
    m_common.TIMEOUT = detail.intTimeOut;
    m_common.PROXY_MODE = detail.intProxyMode;
    m_common.PROXY_SERVER = detail.strProxyServer;
    m_common.PROXY_PORTNO = detail.lngProxyPortNo;
    m_common.SERVER_PASSWORD_REQUIRED = detail.bServerPassRequired;
    m_serverUserName = detail.strServerID;
    m_serverPassword = detail.strServerPassword;
    m_serverLogonSaved = detail.bSaveServerPassword;
}

void frmSetParameter::cmdSetEndAction_Click() {
    if (!m_editEndAction)
        return;
    qint16 type = m_user.END_ACTION_TYPE == EndAction::Unset ? qint16(-1) : qint16(m_user.END_ACTION_TYPE);
    QString position = m_user.END_REGIST_POSITION;
    if (!m_editEndAction(this, type, position))
        return;
    m_user.END_ACTION_TYPE = type == 0 ? EndAction::Auto : type == 1 ? EndAction::Ask : EndAction::None;
    m_user.END_REGIST_POSITION = position;
}

void frmSetParameter::cmdAdd_Click() {
    const int selected = m_order.add(m_cboSelectGroup->currentIndex(), m_lstGroupDispOrder->currentRow());
    fillGroupOrderList(selected);
}

void frmSetParameter::cmdRemove_Click() {
    fillGroupOrderList(m_order.remove(m_lstGroupDispOrder->currentRow()));
}

void frmSetParameter::cmdToUp_Click() {
    fillGroupOrderList(m_order.moveUp(m_lstGroupDispOrder->currentRow()));
}

void frmSetParameter::cmdToDown_Click() {
    fillGroupOrderList(m_order.moveDown(m_lstGroupDispOrder->currentRow()));
}

void frmSetParameter::cmdFileRef_Click() {
    const SoundChooserStart start = SoundChooserStartFor(m_txtSoundFileName->text(), qEnvironmentVariable("WINDIR"),
                                                         userSoundFolders(), QCoreApplication::applicationDirPath());
    while (true) {
        const QString path = m_chooseFile(this, kSoundChooserTitle, start, kSoundChooserFilter);
        if (path.isEmpty())
            return;
        if (IsWavFileName(path)) {
            m_txtSoundFileName->setText(path);
            m_txtSoundFileName->setCursorPosition(0);
            return;
        }
        showMessage(kTitleError, MsgIcon::Warning, kNotWavFile);
    }
}

void frmSetParameter::cmdSoundTest_Click() {
    const QString path = m_txtSoundFileName->text();
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        showMessage(kTitleError, MsgIcon::Warning, kSoundFileMissing);
        return;
    }
    // The sound plays to its end before anything else happens in the dialog.
    m_cmdSoundTest->setEnabled(false);
    ui::InputBlocker blocker(this);
    blocker.setBlocked(true);
    m_playSound(path);
    blocker.setBlocked(false);
    m_cmdSoundTest->setEnabled(m_chkUseSound->isChecked());
}

bool frmSetParameter::validate(const ConnectionSettings& edited, ParameterCheck& check, RestartClass& restartClass) {
    if (!CheckServer(edited)) {
        showWarning(kServerUnreachable);
        return false;
    }
    check = CheckParameterTexts(parameterTexts(), [](const QString& path) { return QFileInfo(path).isFile(); });
    for (const QString& warning : std::as_const(check.warnings))
        showWarning(warning);
    if (!check.ok()) {
        showWarning(check.error);
        return false;
    }
    restartClass = ClassifyRestart(m_original, edited);
    if (restartClass != RestartClass::None)
        showMessage(kTitleConfirm, MsgIcon::Information, kRestartNeeded, MsgButtons::Ok, true);
    return true;
}

void frmSetParameter::cmdApply_Click() {
    setBusy(true);
    ui::HourglassCursor wait;
    ConnectionSettings edited = connectionUnderTest();
    ParameterCheck check;
    RestartClass restartClass = RestartClass::None;
    if (!validate(edited, check, restartClass)) {
        wait.restore();
        setBusy(false);
        return;
    }
    edited.GET_INTERVAL = check.getInterval;
    edited.UPDATE_INTERVAL = check.updateInterval;
    edited.ABSENSE_LEVEL = check.absenseLevel;

    SettingsEdit edit;
    edit.common = edited;
    edit.user = m_user;
    edit.personalEdited = !bflgFirstSetup && restartClass != RestartClass::Server;
    if (edit.personalEdited)
        readPersonalControls(edit.user, check.alarmMinutes);
    edit.serverUserName = m_serverUserName;
    edit.serverPassword = m_serverPassword;
    edit.serverLogonSaved = m_serverLogonSaved;
    const bool applied =
        ApplySettings(restartClass, edit, SettingsTarget{m_settings, m_app, m_session, m_resident, m_serverDataError});
    wait.restore();
    setBusy(false);
    if (applied)
        accept();
}

void frmSetParameter::reject() {
    if (m_busy)
        return;
    // The checks may have pointed the transfer object at the edited server or proxy.
    InetProtocol::instance().setOptions(m_inetAtOpening);
    m_app.dialogCancelled = true;
    QDialog::reject();
}

} // namespace zelmora
