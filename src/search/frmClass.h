#pragma once

#include "db/Recordset.h"
#include "ui/Context.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace fl {

// "Search By Classification": the orders, families and subfamilies as a tree. Choosing a
// node shows its names, picture and descriptive text (which can be edited and saved); Find
// lists the species of the current region that belong to it.
class frmClass : public QDialog {
    Q_OBJECT
public:
    explicit frmClass(Context& ctx, QWidget* parent = nullptr);

    // What each tree item carries besides its text.
    static constexpr int KeyRole = Qt::UserRole;       // "12IDF"
    static constexpr int TagRole = Qt::UserRole + 1;   // "Orders", "Families", "subFamilies"
    static constexpr int ImageRole = Qt::UserRole + 2; // "closed", "smlBook"

    void TrView_NodeClick(QTreeWidgetItem* node);
    void cmdSave_Click();
    void cmdFind_Click();
    void cmdCancel_Click();

    QTreeWidget* TrView = nullptr;
    QTreeWidgetItem* rootNode = nullptr;
    QLabel* lblCaption[2] = {};
    QLabel* pic1 = nullptr;
    QPlainTextEdit* txtCaption = nullptr;
    QPushButton* cmdFind = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;

    QString nodeTable; // the tag of the node chosen last; empty until one is chosen
    QString nodeId;    // its id

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& text, const QString& key, const QString& tag,
                             const QString& image);

    Context& m_ctx;
    db::Recordset nodeRecord;
    // The node under the mouse when the button went down, if it was the chosen one already:
    // a click on it chooses it again.
    QTreeWidgetItem* m_pressedOnChosen = nullptr;
};

// The menu command: the dialog, modally.
void mnuSearchClass_Click(Context& ctx);

// The id part of a node key: everything before its first "I" ("12IDF" gives "12").
QString nodeIdOfKey(const QString& key);

// The query of Find for the node kind `nodeTable`, with one "?" for the node's id. Without a
// region (0) it lists the node's species from the whole list.
QString classFindQuery(const QString& nodeTable, int regId, const QString& qrySort);

} // namespace fl
