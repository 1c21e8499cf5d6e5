#include "ChecklistGrid.h"

#include "ui/RowTableModel.h"

#include <QApplication>
#include <QHeaderView>

namespace fl {

ChecklistGrid::ChecklistGrid(RowTableModel* model, int nameColumn, QWidget* parent)
    : QTableView(parent), m_model(model), m_nameColumn(nameColumn)
{
    setModel(model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setWordWrap(false);
    setTabKeyNavigation(false);
    // Rows of one fixed height, so that eleven thousand of them cost nothing to lay out.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStretchLastSection(false);
}

void ChecklistGrid::keyboardSearch(const QString& search)
{
    if (search.isEmpty()) return;
    const bool fresh = !m_sinceKey.isValid() || m_sinceKey.elapsed() > QApplication::keyboardInputInterval();
    m_sinceKey.restart();
    m_typed = fresh ? search : m_typed + search;
    const int row = m_model->findPrefix(m_nameColumn, m_typed);
    if (row >= 0) setCurrentIndex(m_model->index(row, m_nameColumn));
}

} // namespace fl
