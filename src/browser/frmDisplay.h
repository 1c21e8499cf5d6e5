#pragma once

#include "state/SpeciesOnShow.h"
#include "ui/CommandIds.h"
#include "ui/CommandRegistry.h"
#include "ui/Context.h"
#include "ui/MainWindow.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QKeyEvent;
class QModelIndex;
class QLabel;
class QToolBar;
class QAction;

namespace fl {

class BirdPage;
class NameCompleter;
class PictureArea;

// The main window: the species list in the toolbar, the page of the species on show and the
// picture area (BirdPage, PictureArea), the menus and the status bar. It stays open for the whole run; closing it
// ends the program.
class frmDisplay : public QMainWindow, public MainWindow {
    Q_OBJECT
public:
    explicit frmDisplay(Context& ctx);
    ~frmDisplay() override;

    // ---- what the other windows use (MainWindow) ----
    QWidget* dialogParent() override { return this; }
    CommandRegistry& commands() override { return m_commands; }
    void replaceSpeciesList(const QStringList& names, bool selectFirst) override;
    void loadResultList() override { LoadListNames(); }
    int speciesCount() const override;
    void selectSpecies(int index) override { selectListIndex(index); }
    bool selectSpeciesByName(const QString& name) override;
    void focusSpeciesList() override;
    SpeciesOnShow& species() override { return m_species; }
    void refreshSpecies() override { cmbNames_Click(); }
    void storePendingEdits() override { storePendingText(); }
    void releaseDatabase() override;
    void reload() override { Form_Load(); }
    void setPanel(const QString& key, const QString& text) override;
    QString panelText(const QString& key) const override;
    void watchRegion(QObject* owner, std::function<void()> watcher) override;
    void bringToFront() override;
    void addExitStep(std::function<void()> step) override { m_exitSteps.push_back(std::move(step)); }
    void showCurrentPicture() override;
    void setPictureTitle(const QString& title) override;
    void setPictureDropHandler(std::function<void(const QStringList& files)> handler) override;

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
    // Shows the species selected in the list on the page and in the picture area.
    void cmbNames_Click();
    // Stores the user's edit of the text of the species on show, if there is one.
    void storePendingText();
    // Whether the user changed the description since it was shown or stored.
    bool descriptionEdited() const;

    // ---- the shell ----
    void Form_Resize();
    void Toolbar1_ButtonClick(const QString& key);
    void mnuquit_Click();
    // Runs a command, whether or not it is enabled.
    void runCommand(CommandId id) { m_commands.run(id); }
    // A command's menu item, a submenu's own item by its name, and a toolbar button by key:
    // a toolbar button is the action of the command it runs.
    QAction* menuItem(CommandId id) const { return m_commands.action(id); }
    QAction* submenu(const QString& name) const;
    QAction* toolButton(const QString& key) const;
    void setTextBackground(bool yellow) override;

    Context& context() { return m_ctx; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    int tw(int twips) const;  // twips to pixels
    int px(int pixels) const; // pixels to twips
    void clearBirdPage();
    void setSpeciesCommandsEnabled(bool enabled);
    void nameSelected(int index);
    void completionChosen(const QModelIndex& index);
    // Puts the name of the species on show back into the box when it names no species.
    void restoreShownName();
    // Whether the key is the shortcut of an enabled command of the window.
    bool isMenuShortcut(const QKeyEvent& key) const;
    void exitSteps();

    Context& m_ctx;
    CommandRegistry m_commands;
    SpeciesOnShow m_species;
    QComboBox* cmbNames = nullptr; // the species list
    QToolBar* Toolbar1 = nullptr;
    BirdPage* m_page = nullptr;
    PictureArea* m_pictures = nullptr;
    QHash<QString, QAction*> m_submenus;
    QHash<QString, QLabel*> m_panels;
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> m_regionWatchers;
    int m_shownIndex = -1; // the list position whose species the page shows
    std::vector<std::function<void()>> m_exitSteps;
    bool m_exited = false;
    bool m_shown = false; // shown once: the list took the keyboard
    NameCompleter* m_nameCompleter = nullptr;
    bool m_completerStale = true; // the list changed since the completer last read it
};

} // namespace fl

namespace fl {

// The commands the main window handles itself: moving through the list, sorting, Exit.
void registerBrowserCommands(frmDisplay& window);

} // namespace fl
