#include "ui/FlexGridModel.h"

#include <QBrush>

namespace zelmora::ui {

namespace {
constexpr Qt::Alignment kDefaultAlignment = Qt::AlignLeft | Qt::AlignVCenter;

QVariant cellData(const FlexGridCell& cell, int role) {
    switch (role) {
    case Qt::DisplayRole:
        return cell.text;
    case Qt::ForegroundRole:
        return cell.foreColor.isValid() ? QVariant(QBrush(cell.foreColor)) : QVariant();
    default:
        return QVariant();
    }
}
} // namespace

FlexGridModel::FlexGridModel(QObject* parent) : QAbstractTableModel(parent) {}

int FlexGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int FlexGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_header.size());
}

QVariant FlexGridModel::data(const QModelIndex& index, int role) const {
    const FlexGridCell* c = cell(index.row(), index.column());
    if (!index.isValid() || !c)
        return QVariant();
    if (role == Qt::TextAlignmentRole)
        return int(alignment(index.column()).toInt());
    return cellData(*c, role);
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_header.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::TextAlignmentRole)
        return m_headerAligned.at(section) ? QVariant(int(alignment(section).toInt())) : QVariant();
    return cellData(m_header.at(section), role);
}

void FlexGridModel::fitRow(FlexGridRow& row) const {
    row.resize(m_header.size());
}

void FlexGridModel::setBodyRowCount(int rows) {
    rows = qMax(rows, 0);
    const int old = int(m_rows.size());
    if (rows > old) {
        beginInsertRows(QModelIndex(), old, rows - 1);
        m_rows.resize(rows, FlexGridRow(m_header.size()));
        endInsertRows();
    } else if (rows < old) {
        beginRemoveRows(QModelIndex(), rows, old - 1);
        m_rows.resize(rows);
        endRemoveRows();
    }
}

void FlexGridModel::setColumns(int cols) {
    cols = qMax(cols, 0);
    const int old = int(m_header.size());
    if (cols == old)
        return;
    if (cols > old)
        beginInsertColumns(QModelIndex(), old, cols - 1);
    else
        beginRemoveColumns(QModelIndex(), cols, old - 1);
    m_header.resize(cols);
    m_alignment.resize(cols, kDefaultAlignment);
    m_headerAligned.resize(cols, false);
    for (FlexGridRow& row : m_rows)
        fitRow(row);
    if (cols > old)
        endInsertColumns();
    else
        endRemoveColumns();
}

const FlexGridCell* FlexGridModel::cell(int row, int col) const {
    if (col < 0 || col >= m_header.size() || row < -1 || row >= m_rows.size())
        return nullptr;
    return row < 0 ? &m_header.at(col) : &m_rows.at(row).at(col);
}

FlexGridCell* FlexGridModel::cellAt(int row, int col) {
    return const_cast<FlexGridCell*>(std::as_const(*this).cell(row, col));
}

void FlexGridModel::notifyCell(int row, int col, bool colourOnly) {
    if (row < 0) {
        emit headerDataChanged(Qt::Horizontal, col, col);
        return;
    }
    const QModelIndex at = index(row, col);
    emit dataChanged(at, at, colourOnly ? QList<int>{Qt::ForegroundRole} : QList<int>{Qt::DisplayRole});
}

void FlexGridModel::setCellText(int row, int col, const QString& text) {
    FlexGridCell* c = cellAt(row, col);
    if (!c || c->text == text)
        return;
    c->text = text;
    notifyCell(row, col, false);
}

void FlexGridModel::setCellForeColor(int row, int col, const QColor& color) {
    FlexGridCell* c = cellAt(row, col);
    if (!c || c->foreColor == color)
        return;
    c->foreColor = color;
    notifyCell(row, col, true);
}

void FlexGridModel::setAlignment(int col, Qt::Alignment alignment) {
    if (col < 0 || col >= m_header.size())
        return;
    const bool changed = m_alignment.at(col) != alignment || !m_headerAligned.at(col);
    m_alignment[col] = alignment;
    m_headerAligned[col] = true;
    if (!changed)
        return;
    emit headerDataChanged(Qt::Horizontal, col, col);
    if (!m_rows.isEmpty())
        emit dataChanged(index(0, col), index(int(m_rows.size()) - 1, col), {Qt::TextAlignmentRole});
}

void FlexGridModel::setBody(QList<FlexGridRow> rows) {
    for (FlexGridRow& row : rows)
        fitRow(row);
    const int kept = int(qMin(rows.size(), m_rows.size()));
    // Rows kept in place: swap in the new cells, remembering the runs that differ.
    int runStart = -1;
    int firstCol = 0;
    int lastCol = 0;
    auto flush = [&](int end) {
        if (runStart >= 0)
            emit dataChanged(index(runStart, firstCol), index(end - 1, lastCol));
        runStart = -1;
    };
    for (int r = 0; r < kept; ++r) {
        FlexGridRow& mine = m_rows[r];
        const FlexGridRow& theirs = rows.at(r);
        int first = -1;
        int last = -1;
        for (int c = 0; c < mine.size(); ++c) {
            if (mine.at(c) == theirs.at(c))
                continue;
            if (first < 0)
                first = c;
            last = c;
        }
        if (first < 0) {
            flush(r);
            continue;
        }
        mine = std::move(rows[r]);
        if (runStart < 0) {
            runStart = r;
            firstCol = first;
            lastCol = last;
        } else {
            firstCol = qMin(firstCol, first);
            lastCol = qMax(lastCol, last);
        }
    }
    flush(kept);
    if (rows.size() > m_rows.size()) {
        beginInsertRows(QModelIndex(), kept, int(rows.size()) - 1);
        m_rows.reserve(rows.size());
        for (qsizetype r = kept; r < rows.size(); ++r)
            m_rows.append(std::move(rows[r]));
        endInsertRows();
    } else if (rows.size() < m_rows.size()) {
        beginRemoveRows(QModelIndex(), kept, int(m_rows.size()) - 1);
        m_rows.resize(kept);
        endRemoveRows();
    }
}

} // namespace zelmora::ui
