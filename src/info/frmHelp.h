#pragma once

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTextBrowser;

namespace fl {

class Platform;

// "Featherlog Help": the user manual with its contents list, back and forward, and a search
// for the pages that hold the typed words. One window serves the whole run.
class frmHelp : public QWidget {
    Q_OBJECT
public:
    // A failure in the window is told through `platform`, which outlives the window.
    explicit frmHelp(Platform& platform, QWidget* parent = nullptr);

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

    // Makes the window one of `owner`'s (a modal dialog, so that the window can be used while
    // the dialog is up), or a window of its own with none. When the owner closes, the window
    // stays open, with its page and history, and moves on to the next dialog still up.
    void belongTo(QWidget* owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pageChanged(const QString& file);
    QString m_searchWords;
    QPointer<QWidget> m_owner;
};

// Shows the help window at a page, creating it on first use, and brings it to the front.
// Opened over a modal dialog, the window belongs to that dialog so that it can be used; it
// outlives the dialog. The window tells its failures through `platform`.
frmHelp* showHelpWindow(Platform& platform, const QString& topic);
// The help window when one is open.
frmHelp* helpWindow();

} // namespace fl
