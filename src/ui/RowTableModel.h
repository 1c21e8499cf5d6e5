#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <QSet>
#include <QStringList>
#include <QVariant>
#include <QVector>

class QTableView;

namespace fl {

// A grid's rows loaded into memory: one QVariant per cell, with column headers. Some
// columns can be marked hidden (keys the grid needs but does not show) and one column can
// show a picture per row. Used by the grids of the wizard, the checklist editor, the web
// links and the picture catalogue.
class RowTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using Row = QVector<QVariant>;

    explicit RowTableModel(QStringList headers, QObject* parent = nullptr);

    // Replaces every row (each as long as the headers; shorter rows read as empty cells).
    void setRows(QVector<Row> rows);
    void appendRow(Row row);
    void removeRowAt(int row);
    const Row& rowAt(int row) const { return m_rows.at(row); }
    QVariant cell(int row, int column) const;
    void setCell(int row, int column, const QVariant& value);

    // Columns that views built with applyTo() hide.
    void setHiddenColumns(const QSet<int>& columns) { m_hidden = columns; }
    bool isHidden(int column) const { return m_hidden.contains(column); }

    // The column whose cells show a picture; pictures are set per row.
    void setPictureColumn(int column) { m_pictureColumn = column; }
    void setPicture(int row, const QPixmap& picture);
    // The accessible text of each row's picture cell (for screen readers).
    void setPictureText(int row, const QString& text);

    // Hides the hidden columns of `view`, which must show this model.
    void applyTo(QTableView* view) const;

    // The first row (from `from`) whose text in `column` starts with `prefix`, ignoring case; -1 when none.
    int findPrefix(int column, const QString& prefix, int from = 0) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QStringList m_headers;
    QVector<Row> m_rows;
    QVector<QPixmap> m_pictures;
    QVector<QString> m_pictureTexts;
    QSet<int> m_hidden;
    int m_pictureColumn = -1;
};

} // namespace fl
