#include "ui/FlexGrid.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace zelmora::ui {

namespace {
// Draws cells without the focus rectangle when the grid's style says none.
class FocusRectDelegate : public QStyledItemDelegate {
public:
    explicit FocusRectDelegate(FlexGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (m_grid->focusRect() == FlexGrid::FocusRect::None)
            option->state &= ~QStyle::State_HasFocus;
    }

private:
    FlexGrid* m_grid;
};
} // namespace

FlexGrid::FlexGrid(QWidget* parent) : QTableWidget(parent) {
    setItemDelegate(new FocusRectDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Cells are never highlighted: their text colour carries meaning.
    setSelectionMode(QAbstractItemView::NoSelection);
    setWordWrap(false);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(false);
    // Stored widths may be narrower than the style's default minimum; they are kept as stored.
    horizontalHeader()->setMinimumSectionSize(1);
    connect(this, &QTableWidget::currentCellChanged, this,
            [this](int row, int col, int, int) { syncCurrentFromView(row, col); });
}

void FlexGrid::setRows(int rows) {
    setRowCount(qMax(rows, 1) - 1);
    if (m_row >= this->rows())
        setCurrentGridCell(this->rows() - 1, m_col);
}

void FlexGrid::setCols(int cols) {
    setColumnCount(cols);
    m_alignment.resize(cols, Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 0; c < cols; ++c) {
        if (!horizontalHeaderItem(c))
            setHorizontalHeaderItem(c, new QTableWidgetItem);
    }
    if (m_col >= cols)
        setCurrentGridCell(m_row, qMax(cols - 1, 0));
}

QTableWidgetItem* FlexGrid::itemAt(int row, int col, bool create) {
    if (row < 0 || row >= rows() || col < 0 || col >= cols())
        return nullptr;
    QTableWidgetItem* cell = row == 0 ? horizontalHeaderItem(col) : item(row - 1, col);
    if (!cell && create) {
        cell = new QTableWidgetItem;
        cell->setTextAlignment(m_alignment.value(col));
        if (row == 0)
            setHorizontalHeaderItem(col, cell);
        else
            setItem(row - 1, col, cell);
    }
    return cell;
}

const QTableWidgetItem* FlexGrid::itemAt(int row, int col) const {
    if (row < 0 || row >= rows() || col < 0 || col >= cols())
        return nullptr;
    return row == 0 ? horizontalHeaderItem(col) : item(row - 1, col);
}

QString FlexGrid::textMatrix(int row, int col) const {
    const QTableWidgetItem* cell = itemAt(row, col);
    return cell ? cell->text() : QString();
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text) {
    if (QTableWidgetItem* cell = itemAt(row, col, true))
        cell->setText(text);
}

QColor FlexGrid::cellForeColor(int row, int col) const {
    const QTableWidgetItem* cell = itemAt(row, col);
    if (!cell || cell->foreground().style() == Qt::NoBrush)
        return QColor(Qt::black);
    return cell->foreground().color();
}

void FlexGrid::setCellForeColor(int row, int col, const QColor& color) {
    if (QTableWidgetItem* cell = itemAt(row, col, true))
        cell->setForeground(color);
}

void FlexGrid::setColAlignment(int col, Qt::Alignment alignment) {
    if (col < 0 || col >= cols())
        return;
    m_alignment[col] = alignment;
    for (int r = 0; r < rows(); ++r) {
        if (QTableWidgetItem* cell = itemAt(r, col, true))
            cell->setTextAlignment(alignment);
    }
}

Qt::Alignment FlexGrid::colAlignment(int col) const {
    return m_alignment.value(col);
}

void FlexGrid::setCurrentGridCell(int row, int col) {
    row = qBound(0, row, rows() - 1);
    col = qBound(0, col, qMax(cols() - 1, 0));
    const bool changed = row != m_row || col != m_col;
    m_row = row;
    m_col = col;
    m_settingCurrent = true;
    if (row >= 1)
        setCurrentCell(row - 1, col, QItemSelectionModel::NoUpdate);
    else
        setCurrentIndex(QModelIndex());
    m_settingCurrent = false;
    if (changed)
        emit rowColChange();
}

void FlexGrid::setFocusRect(FocusRect style) {
    m_focusRect = style;
    viewport()->update();
}

void FlexGrid::syncCurrentFromView(int tableRow, int tableCol) {
    if (m_settingCurrent || tableRow < 0 || tableCol < 0)
        return;
    const int row = tableRow + 1;
    if (row == m_row && tableCol == m_col)
        return;
    m_row = row;
    m_col = tableCol;
    emit rowColChange();
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableWidget::mouseReleaseEvent(event);
    emit mouseUp(event->button(), viewport()->mapTo(this, event->position().toPoint()));
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit dblClick();
}

} // namespace zelmora::ui
