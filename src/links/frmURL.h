#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QListWidget;
class QPushButton;

namespace fl {

struct Context;
namespace db {
class Recordset;
}

// "Web Links": the titles of the links filed under one topic or under the species on show.
// The selected link can be opened in the browser, copied, deleted, and new links added.
class frmURL : public QDialog {
    Q_OBJECT
public:
    // The topics, in list order; "Current Bird" stands for the links of the species on show.
    static const QStringList& topics();
    static constexpr int kCurrentBird = 2;

    // Starts with "Current Bird" when the state's linkMode is on, else with "Bird Photos".
    frmURL(Context& ctx, QWidget* parent = nullptr);

    void Form_Load();
    void cmbType_Click();
    void SetLinkButtons();
    void cmdGo_Click();
    void cmdCopy_Click();
    void cmdDelete_Click();
    void cmdAdd_Click();

    // Adds a title to the list in its alphabetical place (letter case ignored).
    void addTitle(const QString& title);
    // The topic selected in the list of topics.
    QString topic() const;

    QComboBox* cmbType = nullptr;
    QListWidget* lstURL = nullptr;
    QPushButton* cmdGo = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    // The set the window works on: the species' links in bird mode, else the topic's.
    db::Recordset& currentSet();
    // Moves the current set to the first row whose title is the selected entry's text,
    // compared exactly; false when there is none.
    bool findSelectedLink();
    void listTitles(db::Recordset& rs);
    bool speciesShown() const;

    Context& m_ctx;
};

} // namespace fl
