// The page of the species on show: filled whenever a name is selected in the list.

#include "frmDisplay.h"
#include "SeasonChart.h"
#include "lists/SpeciesRecords.h"

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
    AppState& s = m_ctx.state;
    if (!s.textChanged) return;
    if (s.rsBird.isOpen() && !s.rsBird.eof()) {
        s.rsBird.edit();
        s.rsBird.setField(QStringLiteral("Data"), txtData->toPlainText());
        s.rsBird.update();
    }
    s.textChanged = false;
}

void frmDisplay::setSpeciesCommandsEnabled(bool enabled)
{
    for (const char* item : {"mnuFileImage", "mnuFileImageDelete", "mnuFileEditTitle", "mnuFileSong",
                             "mnuFileSongDelete", "mnuFileSighting", "mnuViewDetails", "mnuFilePlay"})
        m_commands.setEnabled(QString::fromLatin1(item), enabled);
    if (!enabled) m_commands.setEnabled(QStringLiteral("mnuFilePlayCD"), false);
    m_commands.setEnabled(kLinksIconCommand, enabled);
    m_commands.setEnabled(kStatusIconCommand, enabled);
    img[2]->setEnabled(enabled);
    img[3]->setEnabled(enabled);
    txtData->setReadOnly(!enabled);
}

void frmDisplay::clearBirdPage()
{
    AppState& s = m_ctx.state;
    s.rsBird.close();
    s.rsImages.close();
    s.rsLinks.close();
    rsCDSong.close();
    s.curScode.clear();
    for (QLabel* l : lblName) l->clear();
    lblStatus->clear();
    lblSeen->setFullText({});
    chtSeasons->clear();
    s.loadingText = true;
    txtData->clear();
    s.loadingText = false;
    s.textChanged = false;
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
    const int sightId = s.rsBird.field(QStringLiteral("lifelist")).toInt();
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
    const int birdId = s.rsBird.field(QStringLiteral("id")).toInt();
    const RegionKind* kind = s.Reg_ID > 0 ? regionKindOfType(currentRegionType(s)) : nullptr;
    auto rs = s.db().openRecordset(
        QStringLiteral("SELECT count(*), total(%1 = ?) FROM Sightings WHERE Bird_ID = ?")
            .arg(kind ? kind->sightingsColumn : QStringLiteral("1")),
        db::RecordsetKind::Snapshot, {s.Reg_ID, birdId});
    const int all = rs.field(0).toInt();
    if (all == 0) return {};
    auto times = [](int n) { return n == 1 ? QStringLiteral("once") : QStringLiteral("%1 times").arg(n); };
    if (!kind) return QStringLiteral("Recorded ") + times(all);
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

void frmDisplay::cmbNames_Click()
{
    AppState& s = m_ctx.state;
    db::Database& db = s.db();

    // 1. The user's edit of the previous species' text.
    storePendingText();

    // 2. The species' own row, found by its name (bound, so any name is safe).
    s.rsBird = db.openRecordset(QStringLiteral("Select * from Birds Where Name = ?"), db::RecordsetKind::Dynaset,
                                {cmbNames->itemText(cmbNames->currentIndex())});
    if (s.rsBird.eof()) {
        clearBirdPage();
        return;
    }
    setSpeciesCommandsEnabled(true);
    const QVariant id = s.rsBird.field(QStringLiteral("id"));

    // 3-4. Names.
    lblName[0]->setText(s.rsBird.field(QStringLiteral("Name")).toString());
    lblName[0]->adjustSize();
    lblName[4]->move(lblName[0]->x() + lblName[0]->width() + tw(100), lblName[4]->y());
    lblName[4]->setText(QStringLiteral(" (") + s.rsBird.field(QStringLiteral("sci_name")).toString() + u')');

    // 5. The description, written without marking it as the user's change.
    s.loadingText = true;
    txtData->setPlainText(s.rsBird.field(QStringLiteral("Data")).toString().trimmed());
    s.loadingText = false;

    // 6. Family and order.
    QString family, order;
    if (rsClass.isOpen()) {
        rsClass.findFirst(QStringLiteral("Fam_ID = ") + withSign(s.rsBird.field(QStringLiteral("family_ID"))));
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
    s.rsImages = db.openRecordset(QStringLiteral("Select * from images where Bird_ID = ") + withSign(id)
                                      + QStringLiteral(" Order By file"), db::RecordsetKind::Dynaset);
    if (s.rsImages.recordCount() == 0) {
        m_picture = QPixmap();
        Picture2->clear();
        img[2]->hide();
        img[3]->hide();
        m_commands.setEnabled(QStringLiteral("mnuFileImageDelete"), false);
        m_commands.setEnabled(QStringLiteral("mnuFileEditTitle"), false);
        lblName[3]->clear();
        showNoPicture(true);
    } else {
        s.rsImages.moveLast();
        s.rsImages.moveFirst();
        SetUpPicture();
        Picture2->show();
        m_commands.setEnabled(QStringLiteral("mnuFileImageDelete"), true);
        m_commands.setEnabled(QStringLiteral("mnuFileEditTitle"), true);
    }

    // 8. Status in the current region.
    if (s.Reg_ID >= 1) {
        auto rs = db.openRecordset(QStringLiteral("select status, scode from checklists where checklists.bird_ID = ")
                                       + QString::number(id.toInt()) + QStringLiteral(" And checklists.reg_ID = ")
                                       + QString::number(s.Reg_ID),
                                   db::RecordsetKind::Snapshot);
        // A species without a checklist entry in the region has no status and no detail.
        const QVariant status = rs.eof() ? QVariant() : rs.field(QStringLiteral("Status"));
        const QVariant scode = rs.eof() ? QVariant() : rs.field(QStringLiteral("scode"));
        lblStatus->setText(codes::statusLine(status));
        showSeasons(id.toInt(), status, scode);
        if (codes::hasDetail(scode)) {
            setIconPicture(1, ImageList1::icon(16));
            s.curScode = scode.toString();
        } else {
            setIconPicture(1, QIcon());
            s.curScode.clear();
        }
    } else {
        lblStatus->setText(QStringLiteral("No Status"));
        showSeasons(id.toInt(), QVariant(), QVariant());
        setIconPicture(1, QIcon());
        s.curScode.clear();
    }

    // 9. Recorded song.
    const QVariant song = s.rsBird.field(QStringLiteral("song"));
    const bool hasSong = !song.isNull() && !song.toString().isEmpty();
    m_commands.setEnabled(QStringLiteral("mnuFilePlay"), hasSong);
    m_commands.setEnabled(QStringLiteral("mnuFileSongDelete"), hasSong);
    m_commands.setEnabled(QStringLiteral("mnuFileSong"), !hasSong);

    // 10. CD song, only while the CD option is on.
    if (s.SongCD) {
        rsCDSong = db.openRecordset(QStringLiteral("Select * from cdSong where Bird_ID = ") + withSign(id),
                                    db::RecordsetKind::Dynaset);
        if (rsCDSong.eof()) {
            m_commands.setEnabled(QStringLiteral("mnuFilePlayCD"), false);
        } else {
            m_commands.setEnabled(QStringLiteral("mnuFilePlayCD"), true);
            cdTrack = short(rsCDSong.field(QStringLiteral("Track")).toInt());
            cdStart = rsCDSong.field(QStringLiteral("start")).toFloat();
            cdDuration = rsCDSong.field(QStringLiteral("duration")).toFloat();
        }
    }

    // 11. Life list.
    const bool sighted = s.rsBird.field(QStringLiteral("lifelist")).toInt() > 0;
    m_commands.setEnabled(QStringLiteral("mnuFileSighting"), !sighted);
    m_commands.setEnabled(QStringLiteral("mnuViewDetails"), sighted);
    showSeenLine();

    // 12. Links.
    s.rsLinks = db.openRecordset(QStringLiteral("Select * from Links Where Bird_ID = ") + QString::number(id.toInt()),
                                 db::RecordsetKind::Dynaset);
    if (s.rsLinks.eof()) {
        setIconPicture(0, QIcon());
    } else {
        s.rsLinks.moveLast();
        s.rsLinks.moveFirst();
        setIconPicture(0, ImageList1::icon(6));
    }

    // 13. Position in the list.
    setPanel(panel::Hits, panelText::position(cmbNames->currentIndex() + 1, cmbNames->count()));
}

} // namespace fl
