// The page of the species on show: filled whenever a name is selected in the list.

#include "frmDisplay.h"
#include "SeasonChart.h"
#include "lists/SpeciesRecords.h"
#include "regions/RegionRule.h"

#include "state/AppState.h"
#include "records/EbirdImport.h"
#include "regions/RegionKinds.h"
#include "status/StatusCodes.h"
#include "status/StatusTexts.h"
#include "platform/Platform.h"
#include "ui/ElidedLabel.h"
#include "ui/ImageList.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QDate>
#include <QLocale>
#include <QTextEdit>
#include <QToolButton>

namespace fl {

namespace {
// A number as the page writes it into criteria: with a sign position.
QString withSign(const QVariant& v)
{
    const int n = v.toInt();
    return n < 0 ? QString::number(n) : u' ' + QString::number(n);
}
} // namespace

void frmDisplay::storePendingText()
{
    if (!m_textChanged) return;
    if (m_species.isShown()) m_species.setDescription(txtData->toPlainText());
    m_textChanged = false;
}

// The commands of a species on show. When one is shown, the page then sets those that depend
// on the species (pictures, songs, life list) itself, each once, so that none is switched twice.
void frmDisplay::setSpeciesCommandsEnabled(bool enabled)
{
    if (!enabled)
        for (CommandId item : {cmd::mnuFileImageDelete, cmd::mnuFileEditTitle, cmd::mnuFileSong, cmd::mnuFileSongDelete,
                               cmd::mnuFileSighting, cmd::mnuViewDetails, cmd::mnuFilePlay, cmd::mnuFilePlayCD})
            m_commands.setEnabled(item, false);
    m_commands.setEnabled(cmd::mnuFileImage, enabled);
    m_commands.setEnabled(cmd::imgLinks, enabled);
    m_commands.setEnabled(cmd::imgStatus, enabled);
    img[2]->setEnabled(enabled);
    img[3]->setEnabled(enabled);
    txtData->setReadOnly(!enabled);
}

void frmDisplay::clearBirdPage()
{
    m_species.release();
    rsCDSong.close();
    for (QLabel* l : lblName) l->clear();
    lblStatus->clear();
    lblSeen->setFullText({});
    chtSeasons->clear();
    m_loadingText = true;
    txtData->clear();
    m_loadingText = false;
    m_textChanged = false;
    m_picture = QPixmap();
    Picture2->clear();
    Picture2->hide();
    showNoPicture(false);
    setIconPicture(0, QIcon());
    setIconPicture(1, QIcon());
    img[2]->hide();
    img[3]->hide();
    setSpeciesCommandsEnabled(false);
}

void frmDisplay::setIconPicture(int index, const QIcon& icon)
{
    img[index]->setIcon(icon);
    img[index]->setFocusPolicy(icon.isNull() ? Qt::NoFocus : Qt::TabFocus);
}

// "Seen: <date>, <site> (<region>)" from the life-list sighting of the current region, or
// "Not yet seen in <region>" ("Not yet seen" for the whole list).
void frmDisplay::showSeenLine()
{
    AppState& s = m_ctx.state;
    const bool world = s.Reg_ID < 1;
    QString line = world ? QStringLiteral("Not yet seen") : QStringLiteral("Not yet seen in ") + s.regname;
    const int sightId = m_species.lifeListSighting();
    if (sightId > 0) {
        auto rs = s.db().openRecordset(QStringLiteral("SELECT Date, site FROM Sightings WHERE Sight_ID = ?"),
                                       db::RecordsetKind::Snapshot, {sightId});
        if (!rs.eof()) {
            line = QStringLiteral("Seen: ")
                   + QLocale::system().toString(rs.field(QStringLiteral("Date")).toDate(), QStringLiteral("d MMMM yyyy"));
            const QString site = rs.field(QStringLiteral("site")).toString().trimmed();
            if (!site.isEmpty()) line += QStringLiteral(", ") + site;
            if (!world) line += QStringLiteral(" (") + s.regname + u')';
        }
    }
    lblSeen->setFullText(line);
    lblSeen->setNote(recordedNote());
}

// "Recorded 3 times in Ontario, 5 times in all": every sighting of the species on show,
// whichever window or outing made it.
QString frmDisplay::recordedNote()
{
    AppState& s = m_ctx.state;
    const int regId = s.Reg_ID > 0 ? s.Reg_ID : 0;
    auto rs = s.db().openRecordset(
        QStringLiteral("SELECT count(*), total(%1) FROM Sightings WHERE Bird_ID = ?1").arg(countsForRegionSql(QStringLiteral("?2"))),
        db::RecordsetKind::Snapshot, {m_species.id(), regId});
    const int all = rs.field(0).toInt();
    if (all == 0) return {};
    auto times = [](int n) { return n == 1 ? QStringLiteral("once") : QStringLiteral("%1 times").arg(n); };
    if (regId == 0) return QStringLiteral("Recorded ") + times(all);
    const int here = int(rs.field(1).toDouble());
    if (here == all) return QStringLiteral("Recorded %1 in %2").arg(times(all), s.regname);
    return QStringLiteral("Recorded %1 in %2, %3 in all").arg(times(here), s.regname, times(all));
}

// The seasonal chart of the species in the current region, with the user's records there.
void frmDisplay::showSeasons(int birdId, const QVariant& status, const QVariant& scode)
{
    if (chtSeasons->isHidden()) return;
    const AppState& s = m_ctx.state;
    const bool region = s.Reg_ID >= 1;
    chtSeasons->setEntry(status, scode, sightingDates(s.db(), birdId, region ? s.Reg_ID : 0), region);
}

void frmDisplay::showSpeciesRow()
{
    if (!m_species.isShown()) return; // the page clears itself
    const bool hasSong = !m_species.song().isEmpty();
    m_commands.setEnabled(cmd::mnuFilePlay, hasSong);
    m_commands.setEnabled(cmd::mnuFileSongDelete, hasSong);
    m_commands.setEnabled(cmd::mnuFileSong, !hasSong);
    const bool sighted = m_species.lifeListSighting() > 0;
    m_commands.setEnabled(cmd::mnuFileSighting, !sighted);
    m_commands.setEnabled(cmd::mnuViewDetails, sighted);
    showSeenLine();
}

void frmDisplay::cmbNames_Click()
{
    AppState& s = m_ctx.state;
    db::Database& db = s.db();

    // 1. The user's edit of the previous species' text.
    storePendingText();

    // 2. The species' own row, found by its name, with its pictures and links; its song and
    // life-list commands and its seen line follow its row (showSpeciesRow).
    if (!m_species.show(cmbNames->itemText(cmbNames->currentIndex()))) {
        clearBirdPage();
        return;
    }
    setSpeciesCommandsEnabled(true);
    const int id = m_species.id();

    // 3-4. Names.
    lblName[0]->setText(m_species.name());
    lblName[0]->adjustSize();
    lblName[4]->move(lblName[0]->x() + lblName[0]->width() + tw(100), lblName[4]->y());
    lblName[4]->setText(QStringLiteral(" (") + m_species.scientificName() + u')');

    // 5. The description, written without marking it as the user's change.
    m_loadingText = true;
    txtData->setPlainText(m_species.description().trimmed());
    m_loadingText = false;

    // 6. Family and order.
    QString family, order;
    if (rsClass.isOpen()) {
        rsClass.findFirst(QStringLiteral("Fam_ID = ") + withSign(m_species.familyId()));
        if (!rsClass.noMatch()) {
            family = rsClass.field(QStringLiteral("Family")).toString();
            order = rsClass.field(QStringLiteral("Name")).toString();
        }
    }
    lblName[1]->setText(QStringLiteral("Family : ") + family);
    lblName[2]->setText(QStringLiteral("Order : ") + order);

    // 7. Pictures.
    Picture2->hide();
    Picture2->move(0, 0);
    db::Recordset& pictures = m_species.pictures();
    if (pictures.recordCount() == 0) {
        m_picture = QPixmap();
        Picture2->clear();
        img[2]->hide();
        img[3]->hide();
        m_commands.setEnabled(cmd::mnuFileImageDelete, false);
        m_commands.setEnabled(cmd::mnuFileEditTitle, false);
        lblName[3]->clear();
        showNoPicture(true);
    } else {
        pictures.moveLast();
        pictures.moveFirst();
        SetUpPicture();
        Picture2->show();
        m_commands.setEnabled(cmd::mnuFileImageDelete, true);
        m_commands.setEnabled(cmd::mnuFileEditTitle, true);
    }

    // 8. Status in the current region.
    if (s.Reg_ID >= 1) {
        auto rs = db.openRecordset(QStringLiteral("select status, scode from checklists where checklists.bird_ID = ? "
                                                  "And checklists.reg_ID = ?"),
                                   db::RecordsetKind::Snapshot, {id, s.Reg_ID});
        // A species without a checklist entry in the region has no status and no detail.
        const QVariant status = rs.eof() ? QVariant() : rs.field(QStringLiteral("Status"));
        const QVariant scode = rs.eof() ? QVariant() : rs.field(QStringLiteral("scode"));
        lblStatus->setText(codes::statusLine(status));
        showSeasons(id, status, scode);
        if (codes::hasDetail(scode)) {
            setIconPicture(1, ImageList1::icon(16));
            m_species.setStatusCode(scode.toString());
        } else {
            setIconPicture(1, QIcon());
            m_species.setStatusCode({});
        }
    } else {
        lblStatus->setText(QStringLiteral("No Status"));
        showSeasons(id, QVariant(), QVariant());
        setIconPicture(1, QIcon());
        m_species.setStatusCode({});
    }

    // 9. CD song, only while the CD option is on.
    if (s.SongCD) {
        rsCDSong = db.openRecordset(QStringLiteral("Select * from cdSong where Bird_ID = ?"), db::RecordsetKind::Dynaset,
                                    {id});
        if (rsCDSong.eof()) {
            m_commands.setEnabled(cmd::mnuFilePlayCD, false);
        } else {
            m_commands.setEnabled(cmd::mnuFilePlayCD, true);
            cdTrack = short(rsCDSong.field(QStringLiteral("Track")).toInt());
            cdStart = rsCDSong.field(QStringLiteral("start")).toFloat();
            cdDuration = rsCDSong.field(QStringLiteral("duration")).toFloat();
        }
    }

    // 10. Links.
    db::Recordset& links = m_species.links();
    if (links.eof()) {
        setIconPicture(0, QIcon());
    } else {
        links.moveLast();
        links.moveFirst();
        setIconPicture(0, ImageList1::icon(6));
    }

    // 11. Position in the list.
    setPanel(panel::Hits, panelText::position(cmbNames->currentIndex() + 1, cmbNames->count()));
}

} // namespace fl
