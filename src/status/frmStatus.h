#pragma once

#include "core/Settings.h"
#include "groupware/Records.h"
#include "ui/ResidentControl.h"
#include "ui/WindowRequests.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabBar;

namespace zelmora {

struct AppState;
class GroupwareSession;
struct PlaceMenu;
struct StatusPageContext;

namespace ui {
class DeferredCall;
class FlexGrid;
class InputBlocker;
} // namespace ui

// The status window: the whereabouts board of the user's groups (one tab per group), notices,
// today's schedule, the menu bar and the grid's right-button menu. Created once, hidden instead
// of closed, destroyed at program exit.
class frmStatus : public QMainWindow, public StatusControl {
    Q_OBJECT
public:
    frmStatus(Settings& settings, AppState& appState, GroupwareSession& session, QWidget* parent = nullptr);
    ~frmStatus() override;

    void setResidentControl(ResidentControl* resident) { m_resident = resident; }
    void setPageOpener(PageOpener opener) { m_pageOpener = std::move(opener); }
    // Hands a page to the opener (nothing without one); the dialogs composed onto the window use it.
    void openRequestedPage(const PageRequest& request) const {
        if (m_pageOpener)
            m_pageOpener(request);
    }
    // The dialogs the window opens come through the hooks below, which the program composes
    // (app/StatusDialogs); an unset hook does nothing.
    void setRegistrationDialog(LockableForm* dialog) { m_registDialog = dialog; }
    // Opens the registration dialog for a member ("詳細設定..." of a position menu).
    void setRegistrationDialogOpener(std::function<void(const RegistrationDialogRequest&)> opener) {
        m_openRegistrationDialog = std::move(opener);
    }
    // Opens the notice window with its intInformationType.
    void setNoticeOpener(std::function<void(quint16 informationType)> opener) { m_openNotice = std::move(opener); }
    // Shows the telephone memo dialog for a member and waits, processing events, until it is
    // closed; true when a memo was sent (the dialog was not cancelled).
    void setTelMemoWriter(std::function<bool(qint32 lngToUserID)> writer) { m_writeTelMemo = std::move(writer); }
    // Shows the member whereabouts window, not modal.
    void setMemberWindowOpener(std::function<void(const MemberWindowFields&)> opener) {
        m_openMemberWindow = std::move(opener);
    }
    // Reads the user directory from the server (false when it could not be read).
    void setUserDataFetcher(std::function<bool(QList<UserRecord>& users)> fetcher) {
        m_getUserData = std::move(fetcher);
    }
    // Pops the tray menu up at a global position (right click on the window's background).
    void setTrayMenuPopup(std::function<void(QPoint globalPos)> popup) { m_trayMenuPopup = std::move(popup); }

    // StatusControl
    void UpdateAppearance() override;
    void LockForm() override;
    void UnlockForm() override;
    void Update() override;
    void SetEnableAttention(bool enable) override { m_bflgEnableAttention = enable; }
    void ShowStatus() override;
    bool IsStatusVisible() const override { return isVisible(); }

    void BuildLayout();
    void ShowData();
    // Loading at start-up: BuildLayout, the stored position, then Update.
    void Load();
    // Program exit: stores the column widths and the window position into the settings record
    // and lets the window close for real.
    void Unload();
    // Column widths into STATUS_COLUMN_WIDTH, position into WINDOWPOS_X/WINDOWPOS_Y.
    void StoreWindowGeometry();
    void StoreWindowPosition();
    // Moves the window to WINDOWPOS_X/WINDOWPOS_Y as stored, even off a smaller screen.
    void ApplyWindowPosition();

    bool bflgEnableAttention() const { return m_bflgEnableAttention; }
    bool isLocked() const;
    int intCurrentTab() const { return m_intCurrentTab; }
    const QList<qint32>& lngRowUserID() const { return m_lngRowUserID; }
    int lngClickedRow() const { return m_lngClickedRow; }
    int lngClickedCol() const { return m_lngClickedCol; }
    const NoticeCounts& noticeCounts() const { return m_notices; }
    const QList<LinkItem>& links() const { return m_links; }
    // Today's schedule; the alarm tick reads it and updates the alarm fields.
    QList<ScheduleItem>& todaySchedule() { return m_schedule; }

    int TabCount() const;
    // Key and caption of tab `index` (from 1).
    QString TabKey(int index) const;
    QString TabCaption(int index) const;
    // Group id of the first selected tab, 0 when no tab is selected.
    qint32 SelectedGroupId() const;

    // Controls, for the window's own commands and for tests.
    QLabel* lblLabel(int index) const { return m_lblLabel.at(index); }
    QTabBar* objTabStrip() const { return m_objTabStrip; }
    ui::FlexGrid* objMSFlexGrid() const { return m_objMSFlexGrid; }
    QPushButton* cmdUpdate() const { return m_cmdUpdate; }
    QPlainTextEdit* txtYourNotice() const { return m_txtYourNotice; }
    QPlainTextEdit* txtTodaySchedule() const { return m_txtTodaySchedule; }
    ui::DeferredCall* tmrAvoidVBBug() const { return m_tmrAvoidVBBug; }
    QMenu* mnuStatus() const { return m_mnuStatus; }
    QMenu* mnuLink() const { return m_mnuLink; }
    const QList<QAction*>& mnuMyPositionItem() const { return m_mnuMyPositionItem; }
    const QList<QAction*>& mnuMemberPositionItem() const { return m_mnuMemberPositionItem; }
    const QList<QAction*>& mnuR_PositionItem() const { return m_mnuR_PositionItem; }
    const QList<QAction*>& mnuLinkItem() const { return m_mnuLinkItem; }
    // A menu item or submenu entry by its control name, e.g. "mnuSetup" or "mnuExitOption(1)".
    QAction* menuItem(const QString& name) const;

signals:
    // Commands that belong to the resident controller: the program's exit with option 0 (normal)
    // or 1 (without any automatic registration), the settings command and the about box.
    void exitRequested(int option);
    void setupRequested();
    void aboutRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void createControls();
    void createMenus();
    void connectCommands();
    QMenu* addMenu(QMenu* parent, const QString& name, const QString& caption);
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption);
    void applyDesignSize();
    void applyColumnWidths();
    QList<qint32> tabGroupIds() const;
    bool isWhereaboutsUsable() const;
    bool isScheduleUsable() const;

    // Refresh pieces.
    void rebuildLinkMenus(int count);
    void rebuildPositionMenus();
    void addPositionItems(const PlaceMenu& menu);
    void fillGrid();
    void fillNoticesAndSchedule();

    // Commands.
    void cmdUpdate_Click();
    void mnuClose_Click();
    void mnuHelpIndex_Click();
    void objTabStrip_Click();
    void objMSFlexGrid_MouseUp(Qt::MouseButton button, QPoint pos);
    void objMSFlexGrid_RowColChange();
    void openPage(const QString& controlName);
    void OpenPageDeferred(qint16 type, const QString& query);
    void tmrAvoidVBBug_Timer();
    void mnuLinkItem_Click(int index);
    void positionItem_Click(const QString& caption, qint32 memberId);
    void mnuR_PositionItem_Click(const QString& caption);
    void refreshAfterPost();
    void writeTelMemo(qint32 member);
    void objMSFlexGrid_DblClick();
    void mnuUpdateUserData_Click();
    StatusPageContext pageContext() const;
    qint32 memberOfRow(int row) const;

    Settings& m_settings;
    AppState& m_appState;
    GroupwareSession& m_session;
    ResidentControl* m_resident = nullptr;
    PageOpener m_pageOpener;
    LockableForm* m_registDialog = nullptr;
    std::function<void(const RegistrationDialogRequest&)> m_openRegistrationDialog;
    std::function<void(quint16)> m_openNotice;
    std::function<void(QPoint)> m_trayMenuPopup;
    std::function<bool(qint32)> m_writeTelMemo;
    std::function<void(const MemberWindowFields&)> m_openMemberWindow;
    std::function<bool(QList<UserRecord>&)> m_getUserData;

    std::array<QLabel*, 4> m_lblLabel{};
    QTabBar* m_objTabStrip = nullptr;
    ui::FlexGrid* m_objMSFlexGrid = nullptr;
    QPushButton* m_cmdUpdate = nullptr;
    QPlainTextEdit* m_txtYourNotice = nullptr;
    QPlainTextEdit* m_txtTodaySchedule = nullptr;
    ui::DeferredCall* m_tmrAvoidVBBug = nullptr;
    ui::InputBlocker* m_inputBlocker = nullptr;

    QMenu* m_mnuStatus = nullptr;
    QMenu* m_mnuLink = nullptr;
    QMenu* m_mnuChangeMyPosition = nullptr;
    QMenu* m_mnuChangeMemberPosition = nullptr;
    QMenu* m_mnuR_ChangePos = nullptr;
    QList<QAction*> m_mnuMyPositionItem;
    QList<QAction*> m_mnuMemberPositionItem;
    QList<QAction*> m_mnuR_PositionItem;
    QList<QAction*> m_mnuLinkItem;
    // What the run-time menu items were made from; a refresh that reads the same leaves them in place.
    std::optional<QStringList> m_linkTitlesShown;
    std::optional<QStringList> m_placesShown;
    // The texts of the two boxes as last set (the boxes keep line ends as paragraphs).
    QString m_noticeTextShown;
    QString m_scheduleTextShown;

    bool m_bflgEnableAttention = false;
    bool m_bflgTabStripEnabled = true;
    int m_intCurrentTab = 0;
    // Grid rows are numbered as the board shows them: row 0 is the header, members from row 1.
    // Element r is the member id of grid row r; element 0 stays 0.
    QList<qint32> m_lngRowUserID{0};
    int m_lngClickedCol = 0;
    int m_lngClickedRow = 0;
    qint16 m_intOpenPageType = 0;
    QString m_strOpenPageQuery;
    NoticeCounts m_notices;
    QList<LinkItem> m_links;
    QList<ScheduleItem> m_schedule;

    // Column widths in twips as last applied; a column the user has not resized is stored back
    // unchanged, so that rounding to pixels never drifts the saved widths.
    QList<int> m_columnTwips;
    QList<int> m_columnPixels;
    QPoint m_appliedPosition;
    QPoint m_appliedPositionTwips;
    bool m_positionApplied = false;
    bool m_unloading = false;
};

} // namespace zelmora
