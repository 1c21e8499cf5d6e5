#pragma once

#include "db/Recordset.h"

#include <QDialog>
#include <QStringList>

class QComboBox;
class QListWidget;
class QPushButton;

namespace fl {

struct Context;

// "Web Links": the titles of the links filed under one topic or under the species on show.
// The selected link can be opened in the browser, copied, deleted, and new links added.
class frmURL : public QDialog {
    Q_OBJECT
public:
    // The topics, in list order; "Current Bird" stands for the links of the species on show.
    static const QStringList& topics();
    static constexpr int kCurrentBird = 2;

    // What the window starts with: the links of a topic ("Bird Photos") or of the species on show.
    enum class Mode { Topics, CurrentBird };
    frmURL(Context& ctx, Mode mode, QWidget* parent = nullptr);

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
    // Whether the window shows the links of the species on show ("Current Bird").
    bool birdMode() const { return m_birdMode; }
    // Files a new link under what the window shows (the species on show, or the topic).
    void storeLink(const QString& title, const QString& url);

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
    bool m_birdMode = false;
    db::Recordset m_topicLinks; // the links of the selected topic
};

} // namespace fl
