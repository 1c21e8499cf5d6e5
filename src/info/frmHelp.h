#pragma once

#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTextBrowser;

namespace fl {

// "Featherlog Help": the user manual with its contents list, back and forward, and a search
// for the pages that hold the typed words. One window serves the whole run.
class frmHelp : public QWidget {
    Q_OBJECT
public:
    explicit frmHelp(QWidget* parent = nullptr);

    // Opens a page of the manual by its file name; an empty or unknown name opens the contents.
    void showTopic(const QString& file);
    // The file name of the page on show.
    QString currentTopic() const;
    void cmdSearch_Click();
    // Opens a page of the search results and marks the first searched word on it.
    void openFound(QListWidgetItem* item);

    QListWidget* lstContents = nullptr;
    QLineEdit* txtSearch = nullptr;
    QPushButton* cmdSearch = nullptr;
    QListWidget* lstFound = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdForward = nullptr;
    QPushButton* cmdContents = nullptr;
    QTextBrowser* txtPage = nullptr;

private:
    void pageChanged(const QString& file);
    QString m_searchWords;
};

// Shows the help window at a page, creating it on first use, and brings it to the front.
// Opened over a modal dialog, the window belongs to that dialog so that it can be used.
frmHelp* showHelpWindow(const QString& topic);
// The help window when one is open.
frmHelp* helpWindow();

} // namespace fl
