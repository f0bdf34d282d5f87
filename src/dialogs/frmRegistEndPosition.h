#pragma once

#include "core/EndPosition.h"

#include <QDialog>
#include <QTimer>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zelmora {

// "ゼルモラ終了時の行先登録": asked at a normal exit when the end-of-day action is ASK. The exit goes
// on whichever button is pressed; "登録" posts the entry first.
class frmRegistEndPosition : public QDialog {
    Q_OBJECT
public:
    using Poster = std::function<void(const EndPositionEntry&)>;

    explicit frmRegistEndPosition(QWidget* parent = nullptr);

    // The window's load: the fixed places "帰宅" and "不在", then the server's choices; all combo
    // texts empty.
    void Initialize(const EndPositionChoices& choices);
    // Posts the entry for the logged-in user (called between LockForm and UnlockForm).
    void setPoster(Poster poster) { m_poster = std::move(poster); }

    void LockForm();
    void UnlockForm();

    // At a session end nobody may be there to answer: the dialog counts down `seconds` (one step
    // every `stepMs`) on a label and then answers itself with "キャンセル".
    void setAutoCancel(int seconds, int stepMs = 1000);
    QLabel* lblCountdown() const { return m_lblCountdown; }

    QComboBox* cboYourPosition() const { return m_cboYourPosition; }
    QComboBox* cboToLimit() const { return m_cboToLimit; }
    QComboBox* cboLimitUnit() const { return m_cboLimitUnit; }
    QLineEdit* txtTelNo() const { return m_txtTelNo; }
    QPushButton* cmdRegist() const { return m_cmdRegist; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

private:
    void onRegist();
    void onCountdownStep();
    void showCountdown();

    QComboBox* m_cboYourPosition = nullptr;
    QComboBox* m_cboToLimit = nullptr;
    QComboBox* m_cboLimitUnit = nullptr;
    QLineEdit* m_txtTelNo = nullptr;
    QPushButton* m_cmdRegist = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QLabel* m_lblCountdown = nullptr;
    QTimer m_countdown;
    int m_secondsLeft = 0;
    Poster m_poster;
};

} // namespace zelmora
