#pragma once

#include "core/Settings.h"

#include <QDialog>

#include <array>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace zelmora {

struct AppState;
class GroupwareSession;

// The telephone memo dialog: who called, when, what the caller asks for, the caller's number, a
// message and who took the call, sent to the member's whereabouts entry with the groupware's memo
// form. Modeless: the opener waits for bflgCloseForm while events go on, then reads the
// dialog-cancelled flag of the application state.
class frmTelMemo : public QDialog {
    Q_OBJECT
public:
    frmTelMemo(const Settings& settings, const GroupwareSession& session, AppState& appState,
               QWidget* parent = nullptr);

    void setToUserID(qint32 lngToUserID) { m_lngToUserID = lngToUserID; }
    qint32 lngToUserID() const { return m_lngToUserID; }
    // True once the dialog has ended through "ＯＫ" (after sending), "キャンセル" or its close box.
    bool bflgCloseForm() const { return m_bflgCloseForm; }

    // The opening: today's date and the current time, the title, the writers and the first request.
    void Load();

    void cmdOK_Click();
    void cmdCancel_Click();

    QLabel* lblDay() const { return m_lblDay; }
    QLabel* lblLabel(int index) const { return m_lblLabel.at(index); }
    QLineEdit* txtTime() const { return m_txtTime; }
    QLineEdit* txtFromName() const { return m_txtFromName; }
    QGroupBox* fraFrame() const { return m_fraFrame; }
    QRadioButton* optContent(int index) const { return m_optContent.at(index); }
    QLineEdit* txtTelNo() const { return m_txtTelNo; }
    QPlainTextEdit* txtMemo() const { return m_txtMemo; }
    QComboBox* cboMyName() const { return m_cboMyName; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

signals:
    // Emitted once, when bflgCloseForm becomes true.
    void formClosed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void createControls();
    void optContent_Click();
    void setControlsEnabled(bool enabled);
    void endDialog(bool cancelled);
    int selectedRequest() const;

    const Settings& m_settings;
    const GroupwareSession& m_session;
    AppState& m_appState;
    qint32 m_lngToUserID = 0;
    bool m_bflgCloseForm = false;
    bool m_sending = false;

    QLabel* m_lblDay = nullptr;
    std::array<QLabel*, 6> m_lblLabel{};
    QLineEdit* m_txtTime = nullptr;
    QLineEdit* m_txtFromName = nullptr;
    QGroupBox* m_fraFrame = nullptr;
    std::array<QRadioButton*, 3> m_optContent{};
    QButtonGroup* m_optGroup = nullptr;
    QLineEdit* m_txtTelNo = nullptr;
    QPlainTextEdit* m_txtMemo = nullptr;
    QComboBox* m_cboMyName = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

} // namespace zelmora
