#include "ui/WindowUtils.h"

#include "ui/FlexGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QListWidget>

namespace zelmora::ui {

GridCell GridHitTest(const FlexGrid* grid, QPoint pos) {
    const QHeaderView* header = grid->horizontalHeader();
    int row = -1;
    int col = -1;
    if (!header->isHidden() && header->geometry().contains(pos)) {
        row = 0;
        col = header->logicalIndexAt(pos.x() - header->x());
    } else {
        const QWidget* viewport = grid->viewport();
        const QPoint inViewport = pos - viewport->pos();
        if (viewport->rect().contains(inViewport)) {
            const int tableRow = grid->rowAt(inViewport.y());
            row = tableRow < 0 ? -1 : tableRow + 1;
            col = grid->columnAt(inViewport.x());
        }
    }
    if (row < 0 || col < 0)
        return {};
    return {col, row};
}

int FindListItem(const QListWidget* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text() == text)
            return i;
    }
    return -1;
}

int FindListItem(const QComboBox* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i) {
        if (list->itemText(i) == text)
            return i;
    }
    return -1;
}

bool IsFormVisible(const QString& name) {
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget* window : windows) {
        if (window->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return window->isVisible();
    }
    return false;
}

} // namespace zelmora::ui
