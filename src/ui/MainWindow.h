#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QObject;
class QWidget;

namespace fl {

class CommandRegistry;
class SpeciesOnShow;

// What the other windows need of the main window. Dialogs work on the database themselves
// and then tell the main window what changed through this interface.
class MainWindow {
public:
    virtual ~MainWindow() = default;

    // The window, as the parent of dialogs.
    virtual QWidget* dialogParent() = 0;
    // The commands of the menus and the toolbar.
    virtual CommandRegistry& commands() = 0;

    // Replaces the species list with `names`. With `selectFirst`, the first name is selected
    // and its species shown; otherwise nothing is selected until selectSpecies is called.
    virtual void replaceSpeciesList(const QStringList& names, bool selectFirst) = 0;
    // Replaces the species list with the rows of the result record set and shows the first.
    virtual void loadResultList() = 0;
    // The number of species in the list.
    virtual int speciesCount() const = 0;
    // Selects a position of the list; the species there is shown.
    virtual void selectSpecies(int index) = 0;
    // Selects the species of that name when the list holds it; false when it does not.
    virtual bool selectSpeciesByName(const QString& name) = 0;
    // Gives the species list the keyboard focus.
    virtual void focusSpeciesList() = 0;

    // The species on show: its row, pictures and links, and the signal of its changes.
    virtual SpeciesOnShow& species() = 0;
    // Reads the species on show again and shows it whole, with its status in the current
    // region, its commands and icons.
    virtual void refreshSpecies() = 0;
    // Stores what the user typed into the description of the species on show, if anything.
    virtual void storePendingEdits() = 0;
    // Lets go of every record set the main window holds (before the database file is replaced).
    virtual void releaseDatabase() = 0;
    // Loads the window again from the state: the stored region's list and its first species.
    virtual void reload() = 0;

    // The status panels, by key ("Region", "Type", "Hits", "Life"). Every change of the current
    // region ends by writing the "Region" panel.
    virtual void setPanel(const QString& key, const QString& text) = 0;
    virtual QString panelText(const QString& key) const = 0;
    // Runs `watcher` whenever the "Region" panel is written (the current region may have
    // changed), for as long as `owner` exists.
    virtual void watchRegion(QObject* owner, std::function<void()> watcher) = 0;

    // The description box's background: light yellow, or white.
    virtual void setTextBackground(bool yellow) = 0;

    // Raises the main window above the others and activates it.
    virtual void bringToFront() = 0;

    // Work to do when the program ends, before the database closes (in the order added).
    virtual void addExitStep(std::function<void()> step) = 0;

    // The picture area. Shows the current row of the species' pictures with
    // the picture commands enabled, or, when the set has no current row, the empty area of
    // a species without pictures with those commands disabled.
    virtual void showCurrentPicture() = 0;
    // Writes the title under the picture on show.
    virtual void setPictureTitle(const QString& title) = 0;
    // Local files dropped on the picture area go to `handler`; without one, nothing is taken.
    virtual void setPictureDropHandler(std::function<void(const QStringList& files)> handler) = 0;
};

} // namespace fl
