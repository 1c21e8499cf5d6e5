#include "RowTableModel.h"

#include "PlainText.h"

#include <QTableView>

namespace fl {

RowTableModel::RowTableModel(QStringList headers, QObject* parent)
    : QAbstractTableModel(parent), m_headers(std::move(headers))
{
}

void RowTableModel::setRows(QVector<Row> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_pictures = QVector<QPixmap>(m_rows.size());
    m_pictureTexts = QVector<QString>(m_rows.size());
    endResetModel();
}

void RowTableModel::appendRow(Row row)
{
    const int at = int(m_rows.size());
    beginInsertRows({}, at, at);
    m_rows.append(std::move(row));
    m_pictures.append(QPixmap());
    m_pictureTexts.append(QString());
    endInsertRows();
}

void RowTableModel::removeRowAt(int row)
{
    if (row < 0 || row >= m_rows.size()) return;
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    m_pictures.removeAt(row);
    m_pictureTexts.removeAt(row);
    endRemoveRows();
}

QVariant RowTableModel::cell(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_rows[row].size()) return {};
    return m_rows[row][column];
}

void RowTableModel::setCell(int row, int column, const QVariant& value)
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_headers.size()) return;
    Row& r = m_rows[row];
    if (r.size() <= column) r.resize(column + 1);
    r[column] = value;
    const QModelIndex at = index(row, column);
    emit dataChanged(at, at);
}

void RowTableModel::setPicture(int row, const QPixmap& picture)
{
    if (row < 0 || row >= m_pictures.size()) return;
    m_pictures[row] = picture;
    if (m_pictureColumn >= 0) {
        const QModelIndex at = index(row, m_pictureColumn);
        emit dataChanged(at, at);
    }
}

void RowTableModel::setPictureText(int row, const QString& text)
{
    if (row < 0 || row >= m_pictureTexts.size()) return;
    m_pictureTexts[row] = text;
}

void RowTableModel::applyTo(QTableView* view) const
{
    for (int c = 0; c < m_headers.size(); ++c) view->setColumnHidden(c, m_hidden.contains(c));
}

int RowTableModel::findPrefix(int column, const QString& prefix, int from) const
{
    if (prefix.isEmpty()) return -1;
    for (int r = std::max(0, from); r < m_rows.size(); ++r)
        if (cell(r, column).toString().startsWith(prefix, Qt::CaseInsensitive)) return r;
    return -1;
}

int RowTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_rows.size()); }
int RowTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_headers.size()); }

QVariant RowTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size()) return {};
    const int row = index.row();
    if (index.column() == m_pictureColumn) {
        if (role == Qt::DecorationRole) return m_pictures.value(row);
        if (role == Qt::AccessibleTextRole || role == Qt::ToolTipRole) {
            const QString text = m_pictureTexts.value(row);
            if (text.isEmpty()) return {};
            return role == Qt::ToolTipRole ? plainToolTip(text) : text;
        }
    }
    if (role == Qt::DisplayRole || role == Qt::EditRole) return cell(row, index.column());
    return {};
}

QVariant RowTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return m_headers.value(section);
    return section + 1;
}

} // namespace fl
