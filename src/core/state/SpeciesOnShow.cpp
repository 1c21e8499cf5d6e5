#include "state/SpeciesOnShow.h"

#include "state/AppState.h"

#include <stdexcept>

namespace fl {

SpeciesOnShow::SpeciesOnShow(AppState& state, QObject* parent) : QObject(parent), m_state(state) {}

bool SpeciesOnShow::show(const QString& name)
{
    db::Database& db = m_state.db();
    m_bird = db.openRecordset(QStringLiteral("Select * from Birds Where Name = ?"), db::RecordsetKind::Dynaset, {name});
    if (m_bird.eof()) {
        release();
        emit speciesChanged(0);
        return false;
    }
    const QVariant id = m_bird.field(QStringLiteral("id"));
    m_pictures = db.openRecordset(QStringLiteral("Select * from images where Bird_ID = ? Order By file"),
                                  db::RecordsetKind::Dynaset, {id});
    m_links = db.openRecordset(QStringLiteral("Select * from Links Where Bird_ID = ?"), db::RecordsetKind::Dynaset, {id});
    m_statusCode.clear();
    emit speciesChanged(id.toInt());
    return true;
}

void SpeciesOnShow::clear()
{
    const bool was = isShown();
    release();
    if (was) emit speciesChanged(0);
}

void SpeciesOnShow::release()
{
    m_bird.close();
    m_pictures.close();
    m_links.close();
    m_statusCode.clear();
}

void SpeciesOnShow::refresh()
{
    if (!isShown()) return;
    const int shown = id();
    m_bird = m_state.db().openRecordset(QStringLiteral("Select * from Birds Where ID = ?"), db::RecordsetKind::Dynaset,
                                        {shown});
    if (m_bird.eof()) {
        release();
        emit speciesChanged(0);
        return;
    }
    emit speciesChanged(shown);
}

bool SpeciesOnShow::isShown() const { return m_bird.isOpen() && !m_bird.eof() && !m_bird.bof(); }

int SpeciesOnShow::id() const { return isShown() ? m_bird.field(QStringLiteral("ID")).toInt() : 0; }

QString SpeciesOnShow::name() const { return isShown() ? m_bird.field(QStringLiteral("Name")).toString() : QString(); }

QString SpeciesOnShow::scientificName() const
{
    return isShown() ? m_bird.field(QStringLiteral("sci_name")).toString() : QString();
}

int SpeciesOnShow::familyId() const { return isShown() ? m_bird.field(QStringLiteral("family_ID")).toInt() : 0; }

QString SpeciesOnShow::description() const
{
    return isShown() ? m_bird.field(QStringLiteral("Data")).toString() : QString();
}

QString SpeciesOnShow::song() const { return isShown() ? m_bird.field(QStringLiteral("song")).toString() : QString(); }

int SpeciesOnShow::lifeListSighting() const
{
    return isShown() ? m_bird.field(QStringLiteral("lifelist")).toInt() : 0;
}

void SpeciesOnShow::requireShown(const char* what) const
{
    if (!isShown()) throw std::runtime_error(std::string("There is no bird on show ") + what);
}

void SpeciesOnShow::setDescription(const QString& text)
{
    requireShown("to describe.");
    m_bird.edit();
    m_bird.setField(QStringLiteral("Data"), text);
    m_bird.update();
}

void SpeciesOnShow::setSong(const QString& file)
{
    requireShown("to link the song to.");
    try {
        m_bird.edit();
        m_bird.setField(QStringLiteral("song"), file);
        m_bird.update();
        m_bird.setBookmark(m_bird.lastModified());
    } catch (...) {
        if (m_bird.isOpen()) m_bird.cancelUpdate();
        throw;
    }
    emit speciesChanged(id());
}

bool SpeciesOnShow::pictureShown() const
{
    return m_pictures.isOpen() && m_pictures.recordCount() > 0 && !m_pictures.eof() && !m_pictures.bof();
}

void SpeciesOnShow::addPicture(const QString& file, const QString& title)
{
    requireShown("to link the picture to.");
    const int bird = id();
    m_pictures.addNew();
    m_pictures.setField(QStringLiteral("bird_ID"), bird);
    m_pictures.setField(QStringLiteral("File"), file);
    m_pictures.setField(QStringLiteral("Title"), title);
    m_pictures.update();
    // In the order the rows were added, so the new picture is the last one.
    m_pictures = m_state.db().openRecordset(QStringLiteral("Select * from images where Bird_ID = ? Order By rowid"),
                                            db::RecordsetKind::Dynaset, {bird});
    if (m_pictures.recordCount() > 0) m_pictures.moveLast();
}

void SpeciesOnShow::addLink(const QString& title, const QString& url)
{
    requireShown("to link this page to.");
    m_links.addNew();
    m_links.setField(QStringLiteral("bird_ID"), id());
    m_links.setField(QStringLiteral("Title"), title);
    m_links.setField(QStringLiteral("URL"), url);
    m_links.update();
}

} // namespace fl
