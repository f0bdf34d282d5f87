#pragma once

#include "ui/WindowRequests.h"

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace zelmora {

class GroupwareSession;
struct MemberWindowFields;

// One member's whereabouts entry in full, for texts too long for the grid: position, contact and
// whether a telephone memo waits. The status window fills it from the double-clicked row; there
// is one such window, refilled by every double-click.
class frmMemberPosition : public QDialog {
    Q_OBJECT
public:
    frmMemberPosition(const GroupwareSession& session, QWidget* parent = nullptr);

    void setPageOpener(PageOpener opener) { m_pageOpener = std::move(opener); }

    // Fills the window from what the grid row shows: title, position, contact, memo mark.
    void Fill(const MemberWindowFields& fields);
    // Shows it in the middle of the screen, or brings it forward when it is already shown.
    void ShowCentred();

    // Opens the groupware top page, logged in; the window stays open.
    void cmdToCybozu_Click();

    QPlainTextEdit* txtPosition() const { return m_txtPosition; }
    QPlainTextEdit* txtTelNo() const { return m_txtTelNo; }
    QCheckBox* chkTelMemo() const { return m_chkTelMemo; }
    QPushButton* cmdToCybozu() const { return m_cmdToCybozu; }
    QPushButton* cmdClose() const { return m_cmdClose; }

private:
    void createControls();

    const GroupwareSession& m_session;
    PageOpener m_pageOpener;

    QPlainTextEdit* m_txtPosition = nullptr;
    QPlainTextEdit* m_txtTelNo = nullptr;
    QCheckBox* m_chkTelMemo = nullptr;
    QPushButton* m_cmdToCybozu = nullptr;
    QPushButton* m_cmdClose = nullptr;
};

} // namespace zelmora
