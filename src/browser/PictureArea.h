#pragma once

#include <QHash>
#include <QObject>
#include <QPixmap>
#include <functional>

class QFrame;
class QLabel;
class QToolButton;
class QWidget;

namespace fl {

struct Context;
class CommandRegistry;
class SpeciesOnShow;

// The picture area of the main window: the current picture of the species on show, fitted to
// its viewport, with its title, the next-picture and whole-picture icons, and the family's
// silhouette in place of a picture when the species has none. Picture files dropped on it go
// to the handler the picture catalogue registers.
class PictureArea : public QObject {
    Q_OBJECT
public:
    // Builds the area in `client`, the main window's client area.
    PictureArea(Context& ctx, CommandRegistry& commands, SpeciesOnShow& species, QWidget* client);

    // A database was opened: silhouettes are read from it again.
    void load();
    // The pictures of the species just shown: its first picture, or the empty area.
    void showSpecies();
    // Nothing on show.
    void clear();
    // The current row of the species' pictures with the picture commands enabled, or the
    // empty area with them disabled when there is no current row.
    void showCurrent();
    void setTitle(const QString& title);
    void setDropHandler(std::function<void(const QStringList& files)> handler) { m_drop = std::move(handler); }
    // The icons follow whether a species is on show.
    void setEnabled(bool enabled);

    // Icon 2: the next picture, after the last the first again. Icon 3: the whole picture.
    void nextPicture();
    void zoom();

    // The window's layout, in twips: the area's height, and its width beside a page of
    // `pageWidth` that starts at the same left edge.
    void setHeight(int twips);
    void setWidth(int twips, int left);
    // Centres the picture in its viewport; the whole-picture icon shows when it does not fit.
    void fit();
    // The keyboard's stops in the area, after `previous`.
    void chainTabOrder(QWidget* previous);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int tw(int twips) const;
    void setUp();
    void pictureError(int number);
    void showNoPicture(bool on);
    // No picture: the area empty with the family's silhouette, no title, no icons.
    void showNone();
    // Delete Image and Edit Title, which act on the picture shown.
    void enablePictureCommands(bool on);

    Context& m_ctx;
    CommandRegistry& m_commands;
    SpeciesOnShow& m_species;
    QWidget* m_client; // the main window's client area, whose resolution the layout follows
    QFrame* picCont = nullptr;     // the area's frame
    QLabel* lblTitle = nullptr;    // the picture's title
    QWidget* Picture1 = nullptr;   // the viewport
    QLabel* Picture2 = nullptr;    // the picture in it
    QWidget* picNone = nullptr;    // shown instead of a picture when the species has none
    QLabel* imgNoPicture = nullptr;
    QLabel* lblNoPicture = nullptr;
    QToolButton* imgNext = nullptr;
    QToolButton* imgWhole = nullptr;
    QPixmap m_picture;
    QHash<int, QPixmap> m_greySilhouettes; // by family id
    std::function<void(const QStringList&)> m_drop;
};

} // namespace fl
