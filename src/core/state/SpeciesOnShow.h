#pragma once

#include "db/Recordset.h"

#include <QObject>
#include <QString>

namespace fl {

struct AppState;

// The species on show in the main window: its Birds row, its pictures and its links, opened
// together whenever a species is shown. Every window reads and changes the species through
// here and hears of a change through speciesChanged; nothing else holds these record sets.
class SpeciesOnShow : public QObject {
    Q_OBJECT
public:
    explicit SpeciesOnShow(AppState& state, QObject* parent = nullptr);

    // Shows the species named `name` (matched exactly): opens its row, its pictures (in the
    // order of their file names, the first current) and its links. False, with nothing on
    // show, when no species has that name. Tells speciesChanged either way.
    bool show(const QString& name);
    // Nothing on show; tells speciesChanged(0) when a species was on show.
    void clear();
    // Lets go of the record sets without telling anyone (before the database file is closed
    // or replaced); nothing is on show afterwards.
    void release();
    // Reads the row of the species on show again (its life-list mark may have changed) and
    // tells speciesChanged.
    void refresh();

    bool isShown() const;
    // 0 and empty texts when nothing is on show.
    int id() const;
    QString name() const;
    QString scientificName() const;
    int familyId() const;
    QString description() const;
    QString song() const; // the file name in the Songs folder, empty for none
    int lifeListSighting() const; // the Sight_ID of its life-list sighting in the region, 0 for none

    // Stores a new description. Does not tell speciesChanged: the text is the page's own.
    void setDescription(const QString& text);
    // Links the song file `file` (a name in the Songs folder), or none when empty, and tells
    // speciesChanged. An edit that fails is dropped and the error raised.
    void setSong(const QString& file);

    // The status-code detail of the species in the current region (empty for none), as the
    // bird page found it.
    QString statusCode() const { return m_statusCode; }
    void setStatusCode(const QString& code) { m_statusCode = code; }

    // The species' pictures; the current row is the picture on show. Closed when nothing is on show.
    db::Recordset& pictures() { return m_pictures; }
    const db::Recordset& pictures() const { return m_pictures; }
    bool pictureShown() const;
    // Links the picture `file` (a name in the Images folder) under `title`; the pictures are
    // then in the order they were linked and the new one is current.
    void addPicture(const QString& file, const QString& title);

    // The species' web links. Closed when nothing is on show.
    db::Recordset& links() { return m_links; }
    void addLink(const QString& title, const QString& url);

signals:
    // Another species is on show (0: none), or the one on show changed.
    void speciesChanged(int id);

private:
    void requireShown(const char* what) const;
    AppState& m_state;
    db::Recordset m_bird;
    db::Recordset m_pictures;
    db::Recordset m_links;
    QString m_statusCode;
};

} // namespace fl
