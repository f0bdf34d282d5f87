#include "ui/TrayMenu.h"

#include "groupware/PositionMenu.h"
#include "groupware/TrayPages.h"
#include "ui/PlainText.h"

#include <QAction>
#include <QMenu>

namespace zelmora::ui {

namespace {
QString indexed(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}
} // namespace

TrayMenu::TrayMenu(QObject* parent) : QObject(parent) {
    m_menu = new QMenu;
    m_menu->setObjectName(QStringLiteral("mnuFile"));
    m_menu->setTitle(QStringLiteral("ﾌｧｲﾙ(&F)"));

    connect(addAction(m_menu, QStringLiteral("mnuDispStatus"), QStringLiteral("状態表示")), &QAction::triggered, this,
            &TrayMenu::dispStatusTriggered);
    // "状態表示" is hidden only while the status window shows this menu; whenever the tray pops it
    // up itself, the item is there.
    connect(m_menu, &QMenu::aboutToHide, this, [this] { item(QStringLiteral("mnuDispStatus"))->setVisible(true); });

    m_positionMenu = m_menu->addMenu(QStringLiteral("自分の行先変更"));
    m_positionMenu->menuAction()->setObjectName(QStringLiteral("mnuRegistPosition"));
    buildPositionMenu();

    connect(addAction(m_menu, QStringLiteral("mnuSet"), QStringLiteral("設定")), &QAction::triggered, this,
            &TrayMenu::setTriggered);

    m_exitMenu = m_menu->addMenu(QStringLiteral("終了"));
    m_exitMenu->menuAction()->setObjectName(QStringLiteral("mnuExit"));
    const QString exitCaptions[] = {QStringLiteral("終了(通常)"), QStringLiteral("終了(自動登録機能を無視)")};
    for (int i = 0; i < 2; ++i) {
        connect(addAction(m_exitMenu, indexed("mnuExitOption", i), exitCaptions[i]), &QAction::triggered, this,
                [this, i] { emit exitOptionTriggered(i); });
    }

    addSeparator(m_menu, QStringLiteral("mnuSpace1"));
    m_linkMenu = m_menu->addMenu(QStringLiteral("リンク"));
    m_linkMenu->menuAction()->setObjectName(QStringLiteral("mnuLink"));
    buildLinkMenu();

    addSeparator(m_menu, QStringLiteral("mnuSpace2"));
    m_pagesMenu = m_menu->addMenu(QStringLiteral("サイボウズ起動"));
    m_pagesMenu->menuAction()->setObjectName(QStringLiteral("mnuToCybozu"));
    for (const TrayPageItem& page : trayPageItems()) {
        const QString name = QLatin1String(page.name);
        connect(addAction(m_pagesMenu, name, page.caption), &QAction::triggered, this,
                [this, name] { emit pageItemTriggered(name); });
    }

    addSeparator(m_menu, QStringLiteral("mnuSpace3"));
    connect(addAction(m_menu, QStringLiteral("mnuHelp"), QStringLiteral("ヘルプ")), &QAction::triggered, this,
            &TrayMenu::helpTriggered);
    addSeparator(m_menu, QStringLiteral("mnuSpace4"));
    connect(addAction(m_menu, QStringLiteral("mnuAbout"), QStringLiteral("バージョン情報")), &QAction::triggered, this,
            &TrayMenu::aboutTriggered);
}

TrayMenu::~TrayMenu() {
    delete m_menu;
}

QAction* TrayMenu::addAction(QMenu* menu, const QString& name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QAction* TrayMenu::addSeparator(QMenu* menu, const QString& name) {
    QAction* action = menu->addSeparator();
    action->setObjectName(name);
    return action;
}

QAction* TrayMenu::item(const QString& name) const {
    const QList<QMenu*> menus = {m_menu, m_positionMenu, m_exitMenu, m_linkMenu, m_pagesMenu};
    for (QMenu* menu : menus) {
        for (QAction* action : menu->actions()) {
            if (action->objectName() == name)
                return action;
        }
    }
    return nullptr;
}

void TrayMenu::popupFromStatusWindow(QPoint globalPos) {
    item(QStringLiteral("mnuDispStatus"))->setVisible(false);
    m_menu->popup(globalPos);
}

void TrayMenu::setServerItemsEnabled(bool enabled, bool loggedIn) {
    item(QStringLiteral("mnuDispStatus"))->setEnabled(enabled);
    if (!enabled || loggedIn) {
        item(QStringLiteral("mnuRegistPosition"))->setEnabled(enabled);
        item(QStringLiteral("mnuLink"))->setEnabled(enabled);
    }
    item(QStringLiteral("mnuSet"))->setEnabled(enabled);
    item(QStringLiteral("mnuExit"))->setEnabled(enabled);
    item(QStringLiteral("mnuToCybozu"))->setEnabled(enabled);
}

void TrayMenu::clearFrom(QMenu* menu, int index) {
    const QList<QAction*> actions = menu->actions();
    for (int i = index; i < actions.size(); ++i) {
        menu->removeAction(actions[i]);
        delete actions[i];
    }
}

void TrayMenu::buildPositionMenu() {
    const QString fixed[] = {QStringLiteral("詳細設定..."), QStringLiteral("-"), QStringLiteral("自動登録"),
                             QStringLiteral("-")};
    for (int i = 0; i < 4; ++i) {
        if (fixed[i] == QLatin1String("-")) {
            addSeparator(m_positionMenu, indexed("mnuPositionItem", i));
            continue;
        }
        QAction* action = addAction(m_positionMenu, indexed("mnuPositionItem", i), fixed[i]);
        const QString caption = fixed[i];
        connect(action, &QAction::triggered, this, [this, caption] { emit positionItemTriggered(caption); });
    }
    item(indexed("mnuPositionItem", 2))->setCheckable(true);
}

void TrayMenu::setPositionItems(const QStringList& places, const MemberRecord& ownRecord) {
    const PlaceMenu menu = placeMenu(places, ownRecord);
    // The same places keep their items; the check marks follow the own entry on every refresh.
    if (places != m_placesShown) {
        clearFrom(m_positionMenu, 4);
        int index = 4;
        for (const PlaceMenuItem& place : menu.places) {
            const QString name = indexed("mnuPositionItem", index++);
            if (place.separator) {
                addSeparator(m_positionMenu, name);
                continue;
            }
            QAction* action = addAction(m_positionMenu, name, menuCaption(place.caption));
            action->setCheckable(true);
            const QString caption = place.caption;
            connect(action, &QAction::triggered, this, [this, caption] { emit positionItemTriggered(caption); });
        }
        m_placesShown = places;
    }
    const QList<QAction*> actions = m_positionMenu->actions();
    for (qsizetype i = 0; i < menu.places.size(); ++i) {
        if (!menu.places.at(i).separator)
            actions.at(4 + i)->setChecked(menu.places.at(i).checked);
    }
    actions.at(2)->setChecked(menu.autoChecked);
}

void TrayMenu::buildLinkMenu() {
    clearFrom(m_linkMenu, 0);
    addSeparator(m_linkMenu, indexed("mnuLinkItem", 0));
}

void TrayMenu::setLinkItems(const QList<LinkItem>& links) {
    // The same links keep their items.
    if (links == m_linksShown && !links.isEmpty()) {
        m_linkMenu->menuAction()->setEnabled(true);
        return;
    }
    m_linksShown = links;
    buildLinkMenu();
    if (links.isEmpty()) {
        m_linkMenu->menuAction()->setEnabled(false);
        return;
    }
    clearFrom(m_linkMenu, 0);
    for (int i = 0; i < links.size(); ++i) {
        const QString name = indexed("mnuLinkItem", i);
        if (links[i].isSeparator()) {
            addSeparator(m_linkMenu, name);
            continue;
        }
        connect(addAction(m_linkMenu, name, menuCaption(links[i].title)), &QAction::triggered, this,
                [this, i] { emit linkItemTriggered(i); });
    }
    m_linkMenu->menuAction()->setEnabled(true);
}

int TrayMenu::linkItemCount() const {
    return int(m_linkMenu->actions().size());
}

} // namespace zelmora::ui
