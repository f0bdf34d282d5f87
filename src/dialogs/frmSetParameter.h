#pragma once

#include "core/Settings.h"
#include "dialogs/GroupOrderEditor.h"
#include "dialogs/SetParameterLogic.h"
#include "dialogs/SoundFileLogic.h"
#include "net/InetProtocol.h"

#include <QDialog>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace zelmora {

struct AppState;
class GroupwareSession;
class ResidentControl;

// "設定": every setting of Zelmora.ini but the window geometry and the notice bookkeeping, on two
// tabs: the user's own settings ("個人設定") and the machine's connection settings ("共通設定").
// The dialog edits copies; "設定" checks them (the server among them), decides whether the program
// must restart, and commits them; "キャンセル" and the close box change nothing.
//
// The opener sets bflgFirstSetup and runs exec(), which fills the dialog first, then reads the
// program's dialog-cancelled flag and restart request.
class frmSetParameter : public QDialog {
    Q_OBJECT
public:
    frmSetParameter(Settings& settings, AppState& app, GroupwareSession& session, QWidget* parent = nullptr);
    ~frmSetParameter() override;

    // True at the first setup of a new installation (and when start-up cannot reach the server):
    // the directory is not loaded and only the common settings are read back.
    bool bflgFirstSetup = false;

    void setResidentControl(ResidentControl* resident) { m_resident = resident; }
    // EndProgram(mode) of the program, for the emergency exit after a failed directory fetch.
    // The program's answer to a failed fetch of the group list or the directory (message and exit).
    void setServerDataError(std::function<void()> handler) { m_serverDataError = std::move(handler); }

    // The end-of-day action dialog: gets END_ACTION_TYPE (-1 none, 0 automatic, 1 ask) and
    // END_REGIST_POSITION, returns false when it was cancelled.
    using EndActionEditor = std::function<bool(QWidget* parent, qint16& endActionType, QString& endPosition)>;
    void setEndActionEditor(EndActionEditor editor) { m_editEndAction = std::move(editor); }
    // The file chooser of "参照...": returns the chosen path, empty when cancelled.
    using FileChooser = std::function<QString(QWidget* parent, const QString& title, const SoundChooserStart& start,
                                              const QString& filter)>;
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    // Plays a sound file to its end (bounded).
    using SoundPlayer = std::function<void(const QString& path)>;
    void setSoundPlayer(SoundPlayer player) { m_playSound = std::move(player); }

    // Opening: copies the settings, reads the place choices of the server and fills the controls.
    void Load();
    int exec() override;
    // "キャンセル", the close box and Escape; ignored while the dialog waits for the server.
    void reject() override;

    bool isBusy() const { return m_busy; }
    QTabWidget* objTabStrip() const { return m_objTabStrip; }
    QPushButton* cmdApply() const { return m_cmdApply; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

private:
    // Layout (frmSetParameterLayout.cpp).
    void createControls();
    QWidget* createPersonalTab();
    QWidget* createCommonTab();
    QGroupBox* createNotifyFrame(QWidget* parent);
    QGroupBox* createGroupOrderFrame(QWidget* parent);
    QGroupBox* createStartEndFrame(QWidget* parent);
    QGroupBox* createServerFrame(QWidget* parent);
    QGroupBox* createGetDataModeFrame(QWidget* parent);
    QGroupBox* createAutoRegistFrame(QWidget* parent);
    QGroupBox* createTimerFrame(QWidget* parent);
    void connectControls();

    // Filling and reading back.
    void fillPlaceChoices();
    void fillControls();
    void fillGroupOrderList(int selected);
    void readCommonControls(ConnectionSettings& common) const;
    void readPersonalControls(UserSettings& user, std::optional<qint16> alarmMinutes) const;
    ParameterTexts parameterTexts() const;

    // States.
    void applyEnabledStates();
    void setBusy(bool busy);
    void setPersonalTabAvailable(bool available);
    bool applicationEnabled(ApplicationFlag bit) const;
    // Applies the edited connection settings to the transfer object for a server check.
    ConnectionSettings connectionUnderTest();

    // Handlers.
    void serverControls_Change();
    void chkCheckUsableApplication_Click();
    void cmdTestConnection_Click();
    void cmdSetInetDetail_Click();
    void cmdSetEndAction_Click();
    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdToUp_Click();
    void cmdToDown_Click();
    void cmdFileRef_Click();
    void cmdSoundTest_Click();
    void cmdApply_Click();
    bool validate(const ConnectionSettings& edited, ParameterCheck& check, RestartClass& restartClass);

    Settings& m_settings;
    AppState& m_app;
    GroupwareSession& m_session;
    ResidentControl* m_resident = nullptr;
    std::function<void()> m_serverDataError;
    EndActionEditor m_editEndAction;
    FileChooser m_chooseFile;
    SoundPlayer m_playSound;

    // Working copies, the common settings as they were at opening, and the server logon.
    ConnectionSettings m_common;
    UserSettings m_user;
    ConnectionSettings m_original;
    QList<GroupRecord> m_groups;
    GroupOrderEditor m_order;
    QString m_serverUserName;
    QString m_serverPassword;
    bool m_serverLogonSaved = false;
    // The transfer object's settings at opening; the checks change them, a cancel puts them back.
    InetOptions m_inetAtOpening;
    // Applications the personal settings may refer to: the start-up set, then the last check's.
    ApplicationFlags m_usable = AppAll;
    bool m_loading = false;
    bool m_busy = false;
    bool m_tabStripWasEnabled = true;

    QTabWidget* m_objTabStrip = nullptr;
    QList<QGroupBox*> m_frames;
    // Personal tab.
    QCheckBox* m_chkNotifyMail = nullptr;
    QCheckBox* m_chkNotifyCircular = nullptr;
    QCheckBox* m_chkNotifyMemo = nullptr;
    QCheckBox* m_chkNotifyNewArticle = nullptr;
    QCheckBox* m_chkNotifyWorkFlow = nullptr;
    QCheckBox* m_chkNotifySchedule = nullptr;
    QLineEdit* m_txtAlarmTiming = nullptr;
    QLabel* m_lblAlarmTiming = nullptr;
    QCheckBox* m_chkUseSound = nullptr;
    QLabel* m_lblSoundFile = nullptr;
    QLineEdit* m_txtSoundFileName = nullptr;
    QPushButton* m_cmdFileRef = nullptr;
    QPushButton* m_cmdSoundTest = nullptr;
    QComboBox* m_cboSelectGroup = nullptr;
    QPushButton* m_cmdAdd = nullptr;
    QPushButton* m_cmdRemove = nullptr;
    QListWidget* m_lstGroupDispOrder = nullptr;
    QPushButton* m_cmdToUp = nullptr;
    QPushButton* m_cmdToDown = nullptr;
    QCheckBox* m_chkAutoLogin = nullptr;
    QCheckBox* m_chkRegistStartUpPosition = nullptr;
    QCheckBox* m_chkRegistEndPosition = nullptr;
    QPushButton* m_cmdSetEndAction = nullptr;
    // Common tab.
    QButtonGroup* m_optServerType = nullptr;
    QLineEdit* m_txtServerURL = nullptr;
    QPushButton* m_cmdTestConnection = nullptr;
    QPushButton* m_cmdSetInetDetail = nullptr;
    QCheckBox* m_chkCheckUsableApplication = nullptr;
    QCheckBox* m_chkAlwaysUpdateUserData = nullptr;
    QButtonGroup* m_optGetDataMode = nullptr;
    QComboBox* m_cboPositionName = nullptr;
    QLineEdit* m_txtTelNo = nullptr;
    QLineEdit* m_txtGetInterval = nullptr;
    QLineEdit* m_txtUpdateInterval = nullptr;
    QLineEdit* m_txtAbsenseLevel = nullptr;
    QPushButton* m_cmdApply = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

} // namespace zelmora
