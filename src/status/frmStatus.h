#pragma once

#include "core/Settings.h"

#include <QList>
#include <QMainWindow>

#include <array>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabBar;

namespace zelmora {

class ResidentControl;

namespace ui {
class DeferredCall;
class FlexGrid;
class InputBlocker;
} // namespace ui

// A browser page waiting for the deferred opening.
struct PageRequest {
    qint16 intOpenPageType = 0; // 0 top page, 1 page after login, 2 plain address without login
    QString strOpenPageQuery;   // whole address for types 1 and 2
    qint32 userId = 0;          // 0 and an empty password: not logged in
    QString password;
};
using PageOpener = std::function<void(const PageRequest&)>;

// The status window: the whereabouts board of the user's groups (one tab per group), notices,
// today's schedule, the menu bar and the grid's right-button menu. Created once, hidden instead
// of closed, destroyed at program exit.
class frmStatus : public QMainWindow {
    Q_OBJECT
public:
    explicit frmStatus(Settings& settings, QWidget* parent = nullptr);
    ~frmStatus() override;

    void setResidentControl(ResidentControl* resident) { m_resident = resident; }
    void setPageOpener(PageOpener opener) { m_pageOpener = std::move(opener); }

    void UpdateAppearance();
    void LockForm();
    void UnlockForm();
    void BuildLayout();

    // Program exit: stores the column widths and the window position into the settings record
    // and lets the window close for real.
    void Unload();
    // Column widths into STATUS_COLUMN_WIDTH, position into WINDOWPOS_X/WINDOWPOS_Y.
    void StoreWindowGeometry();
    void StoreWindowPosition();
    // Moves the window to WINDOWPOS_X/WINDOWPOS_Y as stored, even off a smaller screen.
    void ApplyWindowPosition();

    bool isLocked() const;
    int intCurrentTab() const { return m_intCurrentTab; }
    int TabCount() const;
    // Key and caption of tab `index` (from 1).
    QString TabKey(int index) const;
    QString TabCaption(int index) const;
    // Group id of the first selected tab, 0 when no tab is selected.
    qint32 SelectedGroupId() const;
    static QString TabKeyFor(qint32 groupId);
    static qint32 GroupIdFromKey(const QString& key);

    // Controls, for the window's own commands and for tests.
    QLabel* lblLabel(int index) const { return m_lblLabel.at(index); }
    QTabBar* objTabStrip() const { return m_objTabStrip; }
    ui::FlexGrid* objMSFlexGrid() const { return m_objMSFlexGrid; }
    QPushButton* cmdUpdate() const { return m_cmdUpdate; }
    QPlainTextEdit* txtYourNotice() const { return m_txtYourNotice; }
    QPlainTextEdit* txtTodaySchedule() const { return m_txtTodaySchedule; }
    QMenu* mnuStatus() const { return m_mnuStatus; }
    QMenu* mnuLink() const { return m_mnuLink; }
    const QList<QAction*>& mnuMyPositionItem() const { return m_mnuMyPositionItem; }
    const QList<QAction*>& mnuMemberPositionItem() const { return m_mnuMemberPositionItem; }
    const QList<QAction*>& mnuR_PositionItem() const { return m_mnuR_PositionItem; }
    const QList<QAction*>& mnuLinkItem() const { return m_mnuLinkItem; }
    // A menu item or submenu entry by its control name, e.g. "mnuSetup" or "mnuExitOption(1)".
    QAction* menuItem(const QString& name) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createMenus();
    void connectCommands();
    void mnuClose_Click();
    QMenu* addMenu(QMenu* parent, const QString& name, const QString& caption);
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption);
    void applyDesignSize();
    void applyColumnWidths();

    Settings& m_settings;
    ResidentControl* m_resident = nullptr;
    PageOpener m_pageOpener;

    std::array<QLabel*, 4> m_lblLabel{};
    QTabBar* m_objTabStrip = nullptr;
    ui::FlexGrid* m_objMSFlexGrid = nullptr;
    QPushButton* m_cmdUpdate = nullptr;
    QPlainTextEdit* m_txtYourNotice = nullptr;
    QPlainTextEdit* m_txtTodaySchedule = nullptr;
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
    QList<QAction*> m_mnuExitOption;

    bool m_bflgTabStripEnabled = true;
    int m_intCurrentTab = 0;
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
