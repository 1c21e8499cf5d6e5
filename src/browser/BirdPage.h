#pragma once

#include "db/Recordset.h"

#include <QObject>

class QFrame;
class QIcon;
class QLabel;
class QTextEdit;
class QToolButton;
class QVariant;
class QWidget;

namespace fl {

struct Context;
class CommandRegistry;
class ElidedLabel;
class SeasonChart;
class SpeciesOnShow;

// The page of the species on show in the main window: its names, family and order, its
// status in the current region with the status and links icons, the line that tells where it
// stands in the region's life list, and its description, which the user may edit.
class BirdPage : public QObject {
    Q_OBJECT
public:
    // Builds the page in `client`, the main window's client area; `keyFilter` sees the
    // description's keys first (the window's shortcuts win over the text box's own).
    BirdPage(Context& ctx, CommandRegistry& commands, SpeciesOnShow& species, QWidget* client, QObject* keyFilter);

    // A database was opened: the families and orders are read from it.
    void load();
    // Lets go of what the page reads from the database.
    void release();

    // Fills the page from the species just shown.
    void show();
    // Nothing on show.
    void clear();
    // The icons' commands and the description follow whether a species is on show.
    void setEnabled(bool enabled);

    // Stores the user's edit of the description of the species on show, if there is one.
    void storePendingText();
    // Whether the user changed the description since it was shown or stored.
    bool descriptionEdited() const { return m_textChanged; }
    // The description box's background: light yellow, or white.
    void setTextBackground(bool yellow);

    // The window's layout, in twips: the page's top and width, its height, and the family
    // line's right edge in a window `windowWidth` wide.
    int top() const;
    int width() const;
    void setHeight(int twips);
    void placeFamily(int windowWidth);
    // The keyboard's stops in the page, after `previous`; returns the last.
    QWidget* chainTabOrder(QWidget* previous);

private:
    int tw(int twips) const;
    int px(int pixels) const;
    void place(QWidget* w, int left, int top, int width, int height);
    void setIconPicture(QToolButton* icon, const QIcon& picture);
    // The parts of the page that follow the species' own row: its song and life-list commands
    // and its seen line.
    void showSpeciesRow();
    void showSeenLine();
    QString recordedNote();
    void showStatus(int birdId);
    void showSeasons(int birdId, const QVariant& status, const QVariant& scode);

    Context& m_ctx;
    CommandRegistry& m_commands;
    SpeciesOnShow& m_species;
    QWidget* m_client; // the main window's client area, whose resolution the layout follows
    QLabel* lblName = nullptr;
    QLabel* lblScientific = nullptr;
    QLabel* lblFamily = nullptr;
    QLabel* lblOrder = nullptr;
    QFrame* picCont = nullptr; // the page's frame
    QToolButton* imgLinks = nullptr;
    QToolButton* imgStatus = nullptr;
    QLabel* lblStatus = nullptr;
    ElidedLabel* lblSeen = nullptr; // where the species stands in the life list of the region
    SeasonChart* chtSeasons = nullptr; // its year in the region; not filled while hidden
    QTextEdit* txtData = nullptr;
    db::Recordset rsClass;
    bool m_textChanged = false; // the user edited the description
    bool m_loadingText = false; // the program is writing the description
};

} // namespace fl
