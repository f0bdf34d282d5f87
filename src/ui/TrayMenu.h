#pragma once

#include "groupware/Records.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <QStringList>

class QAction;
class QMenu;

namespace zelmora::ui {

// The tray's pop-up menu `mnuFile` with its items and submenus. Every action and submenu carries
// its control name as objectName; indexed control arrays are named "mnuPositionItem(2)" and so on.
// The menu only reports choices; the resident controller acts on them.
class TrayMenu : public QObject {
    Q_OBJECT
public:
    explicit TrayMenu(QObject* parent = nullptr);
    ~TrayMenu() override;

    QMenu* menu() const { return m_menu; }
    // Action (or submenu's action) by control name; nullptr when there is none.
    QAction* item(const QString& name) const;

    // Pops the menu up from the status window's background, without "状態表示" (the window is shown).
    void popupFromStatusWindow(QPoint globalPos);

    // OnMenu (enabled) / OffMenu: the items that may start server work.
    void setServerItemsEnabled(bool enabled, bool loggedIn);

    // Link submenu: item 0 becomes link 1, one item per further link; an empty list leaves the
    // separator alone and disables the submenu.
    void setLinkItems(const QList<LinkItem>& links);
    int linkItemCount() const;

    // Position submenu: the fixed items 0..3, then one item per place ("--" a separator); a place
    // is checked when it is the own entry written by hand, "自動登録" when the own entry is marked.
    void setPositionItems(const QStringList& places, const MemberRecord& ownRecord);

signals:
    void dispStatusTriggered();
    void positionItemTriggered(const QString& caption);
    void setTriggered();
    void exitOptionTriggered(int index);
    void linkItemTriggered(int index);
    void pageItemTriggered(const QString& name);
    void helpTriggered();
    void aboutTriggered();

private:
    QAction* addAction(QMenu* menu, const QString& name, const QString& caption);
    QAction* addSeparator(QMenu* menu, const QString& name);
    void buildPositionMenu();
    void buildLinkMenu();
    void clearFrom(QMenu* menu, int index);

    QMenu* m_menu = nullptr;
    QMenu* m_positionMenu = nullptr;
    QMenu* m_linkMenu = nullptr;
    QMenu* m_exitMenu = nullptr;
    QMenu* m_pagesMenu = nullptr;
    QStringList m_placesShown;   // the places the position items were made for
    QList<LinkItem> m_linksShown; // the links the link items were made for
};

} // namespace zelmora::ui
