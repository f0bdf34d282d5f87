#include "status/frmStatus.h"

#include <QAction>

// Commands of the status window: the refresh button, the menus, clicks on the grid and the tabs.

namespace zelmora {

void frmStatus::connectCommands() {
    connect(menuItem(QStringLiteral("mnuClose")), &QAction::triggered, this, &frmStatus::mnuClose_Click);
}

void frmStatus::mnuClose_Click() {
    StoreWindowPosition();
    hide();
}

} // namespace zelmora
