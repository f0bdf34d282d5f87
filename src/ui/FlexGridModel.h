#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QString>

namespace zelmora::ui {

// One cell of a FlexGrid: its text and its text colour (invalid: the palette's text colour).
struct FlexGridCell {
    QString text;
    QColor foreColor;

    bool operator==(const FlexGridCell&) const = default;
};

using FlexGridRow = QList<FlexGridCell>;

// The cells behind a FlexGrid: a header row and the data rows, with one alignment per column.
// Rows here count from 0 (the first data row); the header is the horizontal header.
class FlexGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit FlexGridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void setBodyRowCount(int rows);
    void setColumns(int cols);

    // The cell of data row `row`, or of the header when `row` is -1; null outside the grid.
    const FlexGridCell* cell(int row, int col) const;
    void setCellText(int row, int col, const QString& text);
    void setCellForeColor(int row, int col, const QColor& color);

    Qt::Alignment alignment(int col) const { return m_alignment.value(col); }
    void setAlignment(int col, Qt::Alignment alignment);

    // Replaces the data rows with `rows` (each cut or padded to the column count). Signals only what
    // differs: rows inserted or removed at the end for the change in count, and dataChanged for the
    // runs of rows whose cells changed, over the columns that changed.
    void setBody(QList<FlexGridRow> rows);

private:
    FlexGridCell* cellAt(int row, int col);
    void notifyCell(int row, int col, bool colourOnly);
    void fitRow(FlexGridRow& row) const;

    FlexGridRow m_header;
    QList<FlexGridRow> m_rows;
    QList<Qt::Alignment> m_alignment;
    // A header keeps the header view's own alignment until one is set for its column.
    QList<bool> m_headerAligned;
};

} // namespace zelmora::ui
