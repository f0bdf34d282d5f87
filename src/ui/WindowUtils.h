#pragma once

#include <QPoint>
#include <QString>

class QComboBox;
class QListWidget;

namespace zelmora::ui {

class FlexGrid;

struct GridCell {
    int col = -1;
    int row = -1;
    bool operator==(const GridCell&) const = default;
};

// Column and row under `pos` (coordinates of the grid widget). Row 0 is the header row; member
// rows count from 1. (-1, -1) when the point lies outside every row or every column.
GridCell GridHitTest(const FlexGrid* grid, QPoint pos);

// Index (from 0) of the first item whose text equals `text` exactly, or -1.
int FindListItem(const QListWidget* list, const QString& text);
int FindListItem(const QComboBox* list, const QString& text);

// Whether the first top-level window whose object name equals `name` (letter case ignored) is
// visible; false when no such window exists.
bool IsFormVisible(const QString& name);

} // namespace zelmora::ui
