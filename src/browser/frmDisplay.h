#pragma once

#include "db/Recordset.h"
#include "ui/Context.h"

#include <QHash>
#include <QMainWindow>
#include <functional>
#include <memory>

class QComboBox;
class QFrame;
class QLabel;
class QTextEdit;
class QToolBar;
class QToolButton;
class QAction;
class QMenu;
class QTimer;

namespace fl {

class CDAudio;

// The main window: the species list, the page of the species on show, the picture area,
// the menus, the toolbar and the status bar. It stays open for the whole run; closing it
// ends the program.
class frmDisplay : public QMainWindow {
    Q_OBJECT
public:
    explicit frmDisplay(Context& ctx);
    ~frmDisplay() override;

    // Completes start-up: opens the list of the stored region and shows its first species.
    // Database errors propagate to the caller.
    void Form_Load();

    // ---- the result list ----
    // Refills the list from rsResult and selects its first entry.
    void LoadListNames();
    // Refills the list with `names` without selecting anything (searches that fill it themselves).
    void fillNames(const QStringList& names);
    // Selects a list position from code; the bird page runs when the position changes.
    void selectListIndex(int index);
    void mnuViewFirst_Click();
    void mnuViewPrevious_Click();
    void mnuViewNext_Click();
    void mnuViewLast_Click();
    void mnuSortName_Click();
    void mnuSortList_Click();

    // ---- the bird page ----
    void cmbNames_Click();
    // Stores the user's edit of the text of the species on show, if there is one.
    void storePendingText();

    // ---- pictures ----
    void SetUpPicture();
    void fitPicture();
    void img_Click(int index);

    // ---- the shell ----
    void Form_Resize();
    void Toolbar1_ButtonClick(const QString& key);
    void mnuquit_Click();
    // Runs the command of a menu item by its name, whether or not the item is enabled.
    void runCommand(const QString& menuItem);
    // Connects a menu item's command (the subsystems register theirs).
    void setCommand(const QString& menuItem, std::function<void()> handler);
    void setPanel(const QString& key, const QString& text);
    QString panelText(const QString& key) const;
    QAction* menuItem(const QString& name) const;
    QAction* toolButton(const QString& key) const;
    // Enables a toolbar button and the menu item that goes with it.
    void setCommandEnabled(const QString& menuItem, const QString& buttonKey, bool enabled);
    void setTextBackground(bool yellow);
    void setLifePanel(const QString& text) { setPanel(QStringLiteral("Life"), text); }

    Context& context() { return m_ctx; }

    // Window parts.
    QComboBox* cmbNames = nullptr;
    QLabel* lblName[5] = {};
    QTextEdit* txtData = nullptr;
    QLabel* lblStatus = nullptr;
    QToolButton* img[4] = {};
    QFrame* picCont[2] = {};
    QWidget* Picture1 = nullptr;
    QLabel* Picture2 = nullptr;
    QToolBar* Toolbar1 = nullptr;

    // Members used by the bird page and CD playback.
    db::Recordset rsClass;
    db::Recordset rsCDSong;
    short cdTrack = 0;
    float cdStart = 0;
    float cdDuration = 0;
    bool checkCD = false;

    // The CD audio device (readied at loading, closed at exit) and the timer that stops
    // a CD song after its length.
    std::unique_ptr<CDAudio> cd;
    QTimer* Timer1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildWindow();
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    void place(QWidget* w, int left, int top, int width, int height);
    int tw(int twips) const;  // twips to pixels
    int px(int pixels) const; // pixels to twips
    void clearBirdPage();
    void setSpeciesCommandsEnabled(bool enabled);
    void pictureError(int number);
    void exitSteps();

    Context& m_ctx;
    QHash<QString, QAction*> m_items;
    QHash<QString, QAction*> m_buttons;
    QHash<QString, QLabel*> m_panels;
    QHash<QString, std::function<void()>> m_commands;
    QPixmap m_picture;
    bool m_exited = false;
};

} // namespace fl
