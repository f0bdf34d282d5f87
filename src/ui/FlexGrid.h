#pragma once

#include <QColor>
#include <QTableWidget>

namespace zelmora::ui {

// A grid with one fixed header row addressed like the board's rows: row 0 is the header (the
// table's horizontal header), data rows count from 1. Keeps its own current cell so that the
// header row can be current (an empty grid), and a focus-rectangle style of none or light.
class FlexGrid : public QTableWidget {
    Q_OBJECT
public:
    enum class FocusRect { None, Light };

    explicit FlexGrid(QWidget* parent = nullptr);

    // Row count including the header row (at least 1).
    int rows() const { return rowCount() + 1; }
    void setRows(int rows);
    int cols() const { return columnCount(); }
    void setCols(int cols);

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
    QTableWidgetItem* itemAt(int row, int col, bool create);
    const QTableWidgetItem* itemAt(int row, int col) const;
    void syncCurrentFromView(int tableRow, int tableCol);

    int m_row = 0;
    int m_col = 0;
    FocusRect m_focusRect = FocusRect::Light;
    QList<Qt::Alignment> m_alignment;
    bool m_settingCurrent = false;
};

} // namespace zelmora::ui
