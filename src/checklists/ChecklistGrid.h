#pragma once

#include <QElapsedTimer>
#include <QTableView>

namespace fl {

class RowTableModel;

// The checklist editor's species grid. Typing letters jumps to the first row whose name
// starts with the letters typed so far (a pause starts a new word).
class ChecklistGrid : public QTableView {
    Q_OBJECT
public:
    ChecklistGrid(RowTableModel* model, int nameColumn, QWidget* parent = nullptr);
    void keyboardSearch(const QString& search) override;

private:
    RowTableModel* m_model;
    int m_nameColumn;
    QString m_typed;
    QElapsedTimer m_sinceKey;
};

} // namespace fl
