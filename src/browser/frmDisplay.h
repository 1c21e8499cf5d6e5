#pragma once

#include "db/Recordset.h"
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
class QFrame;
class QLabel;
class QTextEdit;
class QToolBar;
class QToolButton;
class QAction;
class QMenu;
class QTimer;

namespace fl {

class ElidedLabel;
class SeasonChart;
class NameCompleter;

// The main window: the species list, the page of the species on show, the picture area,
// the menus, the toolbar and the status bar. It stays open for the whole run; closing it
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
    CdSong cdSongOnShow() const override { return {cdTrack, cdStart, cdDuration}; }
    bool cdCheckDue() const override { return checkCD; }
    void setCdCheckDue(bool due) override { checkCD = due; }
    QTimer* cdTimer() override { return Timer1; }
    void addExitStep(std::function<void()> step) override { m_exitSteps.push_back(std::move(step)); }
    void showCurrentPicture() override;
    void setPictureTitle(const QString& title) override;
    void setPictureDropHandler(std::function<void(const QStringList& files)> handler) override
    {
        m_pictureDrop = std::move(handler);
    }

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
    // Whether the user changed the description since it was shown or stored.
    bool descriptionEdited() const { return m_textChanged; }

    // ---- pictures ----
    void SetUpPicture();
    void fitPicture();
    void img_Click(int index);

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

    // Window parts.
    QComboBox* cmbNames = nullptr;
    QLabel* lblName[5] = {};
    QTextEdit* txtData = nullptr;
    QLabel* lblStatus = nullptr;
    ElidedLabel* lblSeen = nullptr; // where the species stands in the life list of the region
    SeasonChart* chtSeasons = nullptr; // its year in the region; hidden, it is not filled
    QWidget* picNone = nullptr; // shown instead of a picture when the species has none
    QLabel* imgNoPicture = nullptr;
    QLabel* lblNoPicture = nullptr;
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

    // The timer that stops a CD song after its length.
    QTimer* Timer1 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

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
    void nameSelected(int index);
    void completionChosen(const QModelIndex& index);
    // Puts the name of the species on show back into the box when it names no species.
    void restoreShownName();
    void pictureError(int number);
    // The family's silhouette and a hint, in place of the picture of a species without any.
    void showNoPicture(bool on);
    // The links and status icons: a focus stop only while they show a picture.
    void setIconPicture(int index, const QIcon& icon);
    void showSeenLine();
    // The parts of the page that follow the species' own row: its song and life-list commands
    // and its seen line.
    void showSpeciesRow();
    void showSeasons(int birdId, const QVariant& status, const QVariant& scode);
    QString recordedNote();
    // Whether the key is the shortcut of an enabled command of the window.
    bool isMenuShortcut(const QKeyEvent& key) const;
    void exitSteps();

    Context& m_ctx;
    CommandRegistry m_commands;
    SpeciesOnShow m_species;
    bool m_textChanged = false; // the user edited the description
    bool m_loadingText = false; // the program is writing the description
    QHash<QString, QAction*> m_submenus;
    QHash<QString, QLabel*> m_panels;
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> m_regionWatchers;
    int m_shownIndex = -1; // the list position whose species the page shows
    std::vector<std::function<void()>> m_exitSteps;
    QPixmap m_picture;
    bool m_exited = false;
    bool m_shown = false; // shown once: the list took the keyboard
    std::function<void(const QStringList&)> m_pictureDrop;
    NameCompleter* m_nameCompleter = nullptr;
    bool m_completerStale = true; // the list changed since the completer last read it
    QHash<int, QPixmap> m_greySilhouettes; // by family id
};

} // namespace fl

namespace fl {

// The commands the main window handles itself: moving through the list, sorting, Exit.
void registerBrowserCommands(frmDisplay& window);

} // namespace fl
