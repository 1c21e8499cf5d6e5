// The page of the species on show: filled whenever a name is selected in the list.

#include "frmDisplay.h"

#include "AppState.h"
#include "StatusCodes.h"
#include "platform/Platform.h"
#include "ui/ImageList.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
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
        menuItem(QString::fromLatin1(item))->setEnabled(enabled);
    for (const char* key : {"Add", "View", "Play"}) toolButton(QString::fromLatin1(key))->setEnabled(enabled);
    if (!enabled) setCommandEnabled(QStringLiteral("mnuFilePlayCD"), QStringLiteral("CDSong"), false);
    for (QToolButton* icon : img) icon->setEnabled(enabled);
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
    s.loadingText = true;
    txtData->clear();
    s.loadingText = false;
    s.textChanged = false;
    m_picture = QPixmap();
    Picture2->clear();
    Picture2->hide();
    img[0]->setIcon(QIcon());
    img[1]->setIcon(QIcon());
    img[2]->hide();
    img[3]->hide();
    setSpeciesCommandsEnabled(false);
}

void frmDisplay::cmbNames_Click()
{
    AppState& s = m_ctx.state;
    db::Database& db = s.db();

    // 1. The user's edit of the previous species' text.
    storePendingText();

    // 2. The species' own row, found by its name (bound, so any name is safe).
    s.rsBird = db.openRecordset(QStringLiteral("Select * from Birds Where Name = ?"), db::RecordsetKind::Dynaset,
                                {cmbNames->currentText()});
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
        menuItem(QStringLiteral("mnuFileImageDelete"))->setEnabled(false);
        menuItem(QStringLiteral("mnuFileEditTitle"))->setEnabled(false);
        lblName[3]->clear();
    } else {
        s.rsImages.moveLast();
        s.rsImages.moveFirst();
        SetUpPicture();
        Picture2->show();
        menuItem(QStringLiteral("mnuFileImageDelete"))->setEnabled(true);
        menuItem(QStringLiteral("mnuFileEditTitle"))->setEnabled(true);
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
        if (codes::hasDetail(scode)) {
            img[1]->setIcon(ImageList1::icon(16));
            s.curScode = scode.toString();
        } else {
            img[1]->setIcon(QIcon());
            s.curScode.clear();
        }
    } else {
        lblStatus->setText(QStringLiteral("No Status"));
        img[1]->setIcon(QIcon());
        s.curScode.clear();
    }

    // 9. Recorded song.
    const QVariant song = s.rsBird.field(QStringLiteral("song"));
    const bool hasSong = !song.isNull() && !song.toString().isEmpty();
    setCommandEnabled(QStringLiteral("mnuFilePlay"), QStringLiteral("Play"), hasSong);
    menuItem(QStringLiteral("mnuFileSongDelete"))->setEnabled(hasSong);
    menuItem(QStringLiteral("mnuFileSong"))->setEnabled(!hasSong);

    // 10. CD song, only while the CD option is on.
    if (s.SongCD) {
        rsCDSong = db.openRecordset(QStringLiteral("Select * from cdSong where Bird_ID = ") + withSign(id),
                                    db::RecordsetKind::Dynaset);
        if (rsCDSong.eof()) {
            setCommandEnabled(QStringLiteral("mnuFilePlayCD"), QStringLiteral("CDSong"), false);
        } else {
            setCommandEnabled(QStringLiteral("mnuFilePlayCD"), QStringLiteral("CDSong"), true);
            cdTrack = short(rsCDSong.field(QStringLiteral("Track")).toInt());
            cdStart = rsCDSong.field(QStringLiteral("start")).toFloat();
            cdDuration = rsCDSong.field(QStringLiteral("duration")).toFloat();
        }
    }

    // 11. Life list.
    const bool sighted = s.rsBird.field(QStringLiteral("lifelist")).toInt() > 0;
    setCommandEnabled(QStringLiteral("mnuFileSighting"), QStringLiteral("Add"), !sighted);
    setCommandEnabled(QStringLiteral("mnuViewDetails"), QStringLiteral("View"), sighted);

    // 12. Links.
    s.rsLinks = db.openRecordset(QStringLiteral("Select * from Links Where Bird_ID = ") + QString::number(id.toInt()),
                                 db::RecordsetKind::Dynaset);
    if (s.rsLinks.eof()) {
        img[0]->setIcon(QIcon());
    } else {
        s.rsLinks.moveLast();
        s.rsLinks.moveFirst();
        img[0]->setIcon(ImageList1::icon(6));
    }

    // 13. Position in the list.
    setPanel(QStringLiteral("Hits"), QStringLiteral("Search Results : %1 of %2")
                                         .arg(cmbNames->currentIndex() + 1).arg(cmbNames->count()));
}

} // namespace fl
