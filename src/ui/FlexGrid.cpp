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

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent), m_model(new FlexGridModel(this)) {
    setModel(m_model);
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
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { syncCurrentFromView(current.row(), current.column()); });
}

void FlexGrid::keepCurrentInside() {
    if (m_row >= rows())
        setCurrentGridCell(rows() - 1, m_col);
}

void FlexGrid::setRows(int rows) {
    m_model->setBodyRowCount(qMax(rows, 1) - 1);
    keepCurrentInside();
}

void FlexGrid::setBody(QList<FlexGridRow> rows) {
    m_model->setBody(std::move(rows));
    keepCurrentInside();
}

void FlexGrid::setCols(int cols) {
    m_model->setColumns(cols);
    if (m_col >= cols)
        setCurrentGridCell(m_row, qMax(cols - 1, 0));
}

QString FlexGrid::textMatrix(int row, int col) const {
    const FlexGridCell* cell = m_model->cell(row - 1, col);
    return cell ? cell->text : QString();
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text) {
    m_model->setCellText(row - 1, col, text);
}

QColor FlexGrid::cellForeColor(int row, int col) const {
    const FlexGridCell* cell = m_model->cell(row - 1, col);
    if (!cell || !cell->foreColor.isValid())
        return QColor(Qt::black);
    return cell->foreColor;
}

void FlexGrid::setCellForeColor(int row, int col, const QColor& color) {
    m_model->setCellForeColor(row - 1, col, color);
}

void FlexGrid::setColAlignment(int col, Qt::Alignment alignment) {
    m_model->setAlignment(col, alignment);
}

Qt::Alignment FlexGrid::colAlignment(int col) const {
    return m_model->alignment(col);
}

void FlexGrid::setCurrentGridCell(int row, int col) {
    row = qBound(0, row, rows() - 1);
    col = qBound(0, col, qMax(cols() - 1, 0));
    const bool changed = row != m_row || col != m_col;
    m_row = row;
    m_col = col;
    m_settingCurrent = true;
    if (row >= 1)
        selectionModel()->setCurrentIndex(m_model->index(row - 1, col), QItemSelectionModel::NoUpdate);
    else
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    m_settingCurrent = false;
    if (changed)
        emit rowColChange();
}

void FlexGrid::setFocusRect(FocusRect style) {
    // Every refresh sets it; the same style again must not repaint every visible cell.
    if (style == m_focusRect)
        return;
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
    QTableView::mouseReleaseEvent(event);
    emit mouseUp(event->button(), viewport()->mapTo(this, event->position().toPoint()));
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit dblClick();
}

} // namespace zelmora::ui
