#pragma once

#include "ui/FlexGridModel.h"

#include <QColor>
#include <QTableView>

namespace zelmora::ui {

// A grid with one fixed header row addressed like the board's rows: row 0 is the header (the
// table's horizontal header), data rows count from 1. Keeps its own current cell so that the
// header row can be current (an empty grid), and a focus-rectangle style of none or light.
class FlexGrid : public QTableView {
    Q_OBJECT
public:
    enum class FocusRect { None, Light };

    explicit FlexGrid(QWidget* parent = nullptr);

    // Row count including the header row (at least 1).
    int rows() const { return m_model->rowCount() + 1; }
    void setRows(int rows);
    int cols() const { return m_model->columnCount(); }
    void setCols(int cols);
    // Replaces every data row at once (row 1 on); only the cells that differ are redrawn.
    void setBody(QList<FlexGridRow> rows);

    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);
    QColor cellForeColor(int row, int col) const;
    void setCellForeColor(int row, int col, const QColor& color);
    void setColAlignment(int col, Qt::Alignment alignment);
    Qt::Alignment colAlignment(int col) const;

    int currentGridRow() const { return m_row; }
    int currentGridCol() const { return m_col; }
    void setCurrentGridCell(int row, int col);

    FocusRect focusRect() const { return m_focusRect; }
    void setFocusRect(FocusRect style);

signals:
    // The current row or column changed, by the user or by setCurrentGridCell.
    void rowColChange();
    // A mouse button was released over the data area; `pos` is in the grid's own coordinates.
    void mouseUp(Qt::MouseButton button, QPoint pos);
    void dblClick();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void keepCurrentInside();
    void syncCurrentFromView(int tableRow, int tableCol);

    FlexGridModel* m_model;

    int m_row = 0;
    int m_col = 0;
    FocusRect m_focusRect = FocusRect::Light;
    bool m_settingCurrent = false;
};

} // namespace zelmora::ui
