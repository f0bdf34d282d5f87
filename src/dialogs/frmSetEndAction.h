#pragma once

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QPushButton;
class QRadioButton;

namespace zelmora {

struct AppState;

// "終了時処理の設定": chooses between posting a fixed whereabouts entry at exit (AUTO) and asking
// for one (ASK). The opener sets intEndActionType and strEndPosition, runs the dialog modally and
// reads them back unless the dialog was cancelled.
class frmSetEndAction : public QDialog {
    Q_OBJECT
public:
    explicit frmSetEndAction(QWidget* parent = nullptr);

    // In: the current END_ACTION_TYPE (-1 NONE, 0 AUTO, 1 ASK); out: 0 AUTO or 1 ASK.
    qint16 intEndActionType = -1;
    // In: END_REGIST_POSITION; out: the text for AUTO, empty for ASK.
    QString strEndPosition;

    // The dialog-cancelled flag of the program; may be left null (tests read result()).
    void setAppState(AppState* app) { m_app = app; }

    // Fills the controls from the two members (the window's load).
    int exec() override;
    void Initialize();
    // "キャンセル", the close box and Escape: the dialog-cancelled flag is set.
    void reject() override;

    QRadioButton* optEndActionType(int index) const { return m_options[index]; }
    QComboBox* cboEndAction() const { return m_cboEndAction; }
    QPushButton* cmdOk() const { return m_cmdOk; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

private:
    void onOk();
    void updateComboEnabled();
    void setCancelled(bool cancelled);

    QButtonGroup* m_group = nullptr;
    QRadioButton* m_options[2] = {nullptr, nullptr};
    QComboBox* m_cboEndAction = nullptr;
    QPushButton* m_cmdOk = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    AppState* m_app = nullptr;
};

} // namespace zelmora
