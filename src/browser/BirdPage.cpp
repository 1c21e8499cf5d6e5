#include "BirdPage.h"

#include "SeasonChart.h"

#include "regions/RegionRule.h"
#include "lists/SpeciesRecords.h"
#include "state/AppState.h"
#include "state/SpeciesOnShow.h"
#include "status/StatusCodes.h"
#include "platform/Platform.h"
#include "ui/CommandRegistry.h"
#include "ui/Context.h"
#include "ui/ElidedLabel.h"
#include "ui/Guard.h"
#include "ui/ImageList.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QDate>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QTextEdit>
#include <QToolButton>

namespace fl {

namespace {

// The seasonal chart's band under the status lines; the description box starts below it.
constexpr int kChartTwips = 600;

// A number as the page writes it into criteria: with a sign position.
QString withSign(const QVariant& v)
{
    const int n = v.toInt();
    return n < 0 ? QString::number(n) : u' ' + QString::number(n);
}

} // namespace

BirdPage::BirdPage(Context& ctx, CommandRegistry& commands, SpeciesOnShow& species, QWidget* client, QObject* keyFilter)
    : QObject(client), m_ctx(ctx), m_commands(commands), m_species(species), m_client(client)
{
    auto label = [](QWidget* parent, const char* name) {
        auto* l = new QLabel(parent);
        l->setObjectName(QString::fromLatin1(name));
        l->setTextFormat(Qt::PlainText); // names are shown as they are
        QFont bold = l->font();
        bold.setBold(true);
        l->setFont(bold);
        return l;
    };
    lblName = label(client, "lblName(0)");
    lblFamily = label(client, "lblName(1)");
    lblOrder = label(client, "lblName(2)");
    lblScientific = label(client, "lblName(4)");
    QFont big = lblName->font();
    big.setPointSize(18);
    lblName->setFont(big);
    QFont sci = lblScientific->font();
    sci.setPointSize(12);
    sci.setItalic(true);
    lblScientific->setFont(sci);
    // The name labels size to their text; the family line is right-aligned in a wide label
    // so that its right edge stays where the layout puts it, whatever the family's name.
    place(lblName, 120, 780, 5190, 435);
    place(lblScientific, 5400, 855, 6000, 300);
    place(lblOrder, 180, 1260, 6000, 240);
    place(lblFamily, 3000, 1260, 6000, 240);
    lblFamily->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    picCont = new QFrame(client);
    picCont->setObjectName(QStringLiteral("picCont(0)"));
    picCont->setFrameShape(QFrame::StyledPanel);
    place(picCont, 180, 1620, 4695, 3735);

    // The links and status icons open other windows: they follow their commands' state, and
    // the keyboard goes back to the species list after them.
    struct Icon {
        QToolButton** button;
        const char* name;
        CommandId command;
        const char* caption;
        const char* failure;
    };
    const Icon icons[] = {
        {&imgLinks, "img(0)", cmd::imgLinks, "Web links of this bird", "The web links of this bird could not be shown."},
        {&imgStatus, "img(1)", cmd::imgStatus, "Seasonal status details",
         "The seasonal status of this bird could not be shown."}};
    for (const Icon& i : icons) {
        auto* button = *i.button = new QToolButton(picCont);
        button->setObjectName(QString::fromLatin1(i.name));
        button->setAutoRaise(true);
        button->setToolTip(QString::fromLatin1(i.caption));
        button->setAccessibleName(button->toolTip());
        button->setIconSize(QSize(tw(435) - 4, tw(435) - 4));
        const CommandId id = i.command;
        connectGuarded(button, &QToolButton::clicked, this, ctx.platform, QString::fromLatin1(i.failure), [this, id] {
            m_commands.run(id);
            m_ctx.main->focusSpeciesList();
        });
        QAction* a = m_commands.add(id, button->toolTip());
        connect(a, &QAction::enabledChanged, button, &QWidget::setEnabled);
        button->setEnabled(a->isEnabled());
    }
    place(imgStatus, 60, 45, 435, 465);
    place(imgLinks, 600, 60, 495, 465);

    lblStatus = label(picCont, "lblStatus");
    place(lblStatus, 1200, 30, 3375, 255);
    lblSeen = new ElidedLabel(picCont); // a long site or region name ends in "…"
    lblSeen->setObjectName(QStringLiteral("lblSeen"));
    place(lblSeen, 1200, 300, 3375, 255);
    chtSeasons = new SeasonChart(picCont);
    place(chtSeasons, 60, 570, 4500, kChartTwips - 45);

    txtData = new QTextEdit(picCont);
    txtData->setObjectName(QStringLiteral("txtData"));
    txtData->setAccessibleName(QStringLiteral("Description"));
    txtData->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtData->setAcceptRichText(false); // the description is plain text, pasted text included
    txtData->setTabChangesFocus(true);
    txtData->installEventFilter(keyFilter);
    place(txtData, 60, 570 + kChartTwips, 4500, 2895 - kChartTwips);
    // The text box lays its text out when it is painted, so stepping through species
    // quickly does not lay out every description on the way.
    connect(txtData, &QTextEdit::textChanged, this, [this]() noexcept {
        if (!m_loadingText) m_textChanged = true; // a flag only
    });
    setTextBackground(false);

    // Others change the species on show too (its song, its sightings): the page follows.
    connectGuarded(&m_species, &SpeciesOnShow::speciesChanged, this, ctx.platform,
                   QStringLiteral("Featherlog could not show this bird."), [this] { showSpeciesRow(); });
}

int BirdPage::tw(int twips) const { return twipsToPixels(twips, m_client->logicalDpiY()); }
int BirdPage::px(int pixels) const { return pixelsToTwips(pixels, m_client->logicalDpiY()); }

void BirdPage::place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(tw(left), tw(top), tw(width), tw(height));
}

void BirdPage::load() { rsClass = m_ctx.state.db().openRecordset(QStringLiteral("GetClassName"), db::RecordsetKind::Snapshot); }

void BirdPage::release() { rsClass.close(); }

void BirdPage::setTextBackground(bool yellow)
{
    QPalette p = txtData->palette();
    p.setColor(QPalette::Base, yellow ? QColor(255, 255, 192) : QColor(255, 255, 255));
    txtData->setPalette(p);
}

void BirdPage::storePendingText()
{
    if (!m_textChanged) return;
    if (m_species.isShown()) m_species.setDescription(txtData->toPlainText());
    m_textChanged = false;
}

void BirdPage::setEnabled(bool enabled)
{
    m_commands.setEnabled(cmd::imgLinks, enabled);
    m_commands.setEnabled(cmd::imgStatus, enabled);
    txtData->setReadOnly(!enabled);
}

void BirdPage::clear()
{
    for (QLabel* l : {lblName, lblFamily, lblOrder, lblScientific, lblStatus}) l->clear();
    lblSeen->setFullText({});
    chtSeasons->clear();
    m_loadingText = true;
    txtData->clear();
    m_loadingText = false;
    m_textChanged = false;
    setIconPicture(imgLinks, QIcon());
    setIconPicture(imgStatus, QIcon());
}

// The links and status icons: a focus stop only while they show a picture.
void BirdPage::setIconPicture(QToolButton* icon, const QIcon& picture)
{
    icon->setIcon(picture);
    icon->setFocusPolicy(picture.isNull() ? Qt::NoFocus : Qt::TabFocus);
}

// "Seen: <date>, <site> (<region>)" from the life-list sighting of the current region, or
// "Not yet seen in <region>" ("Not yet seen" for the whole list).
void BirdPage::showSeenLine()
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
QString BirdPage::recordedNote()
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
void BirdPage::showSeasons(int birdId, const QVariant& status, const QVariant& scode)
{
    if (chtSeasons->isHidden()) return;
    const AppState& s = m_ctx.state;
    const bool region = s.Reg_ID >= 1;
    chtSeasons->setEntry(status, scode, sightingDates(s.db(), birdId, region ? s.Reg_ID : 0), region);
}

void BirdPage::showSpeciesRow()
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

// The species' status in the current region, its detail icon and its seasonal chart.
void BirdPage::showStatus(int birdId)
{
    const AppState& s = m_ctx.state;
    QVariant status, scode; // a species without a checklist entry has no status and no detail
    if (s.Reg_ID >= 1) {
        auto rs = s.db().openRecordset(QStringLiteral("select status, scode from checklists where checklists.bird_ID = ? "
                                                      "And checklists.reg_ID = ?"),
                                       db::RecordsetKind::Snapshot, {birdId, s.Reg_ID});
        if (!rs.eof()) {
            status = rs.field(QStringLiteral("Status"));
            scode = rs.field(QStringLiteral("scode"));
        }
        lblStatus->setText(codes::statusLine(status));
    } else {
        lblStatus->setText(QStringLiteral("No Status"));
    }
    showSeasons(birdId, status, scode);
    const bool detail = s.Reg_ID >= 1 && codes::hasDetail(scode);
    setIconPicture(imgStatus, detail ? ImageList1::icon(16) : QIcon());
    m_species.setStatusCode(detail ? scode.toString() : QString());
}

void BirdPage::show()
{
    // Names.
    lblName->setText(m_species.name());
    lblName->adjustSize();
    lblScientific->move(lblName->x() + lblName->width() + tw(100), lblScientific->y());
    lblScientific->setText(QStringLiteral(" (") + m_species.scientificName() + u')');

    // The description, written without marking it as the user's change.
    m_loadingText = true;
    txtData->setPlainText(m_species.description().trimmed());
    m_loadingText = false;

    // Family and order.
    QString family, order;
    if (rsClass.isOpen()) {
        rsClass.findFirst(QStringLiteral("Fam_ID = ") + withSign(m_species.familyId()));
        if (!rsClass.noMatch()) {
            family = rsClass.field(QStringLiteral("Family")).toString();
            order = rsClass.field(QStringLiteral("Name")).toString();
        }
    }
    lblFamily->setText(QStringLiteral("Family : ") + family);
    lblOrder->setText(QStringLiteral("Order : ") + order);

    showStatus(m_species.id());

    // Links.
    db::Recordset& links = m_species.links();
    if (links.eof()) {
        setIconPicture(imgLinks, QIcon());
    } else {
        links.moveLast();
        links.moveFirst();
        setIconPicture(imgLinks, ImageList1::icon(6));
    }
}

int BirdPage::top() const { return px(picCont->y()); }
int BirdPage::width() const { return px(picCont->width()); }

void BirdPage::setHeight(int twips)
{
    picCont->resize(picCont->width(), tw(twips));
    txtData->resize(txtData->width(), tw(twips - 700 - kChartTwips));
}

void BirdPage::placeFamily(int windowWidth)
{
    lblFamily->move(tw(windowWidth - px(lblFamily->width()) - 300), lblFamily->y());
}

QWidget* BirdPage::chainTabOrder(QWidget* previous)
{
    // The status and links icons (stops only while they show a picture), then the text.
    QWidget::setTabOrder(previous, imgStatus);
    QWidget::setTabOrder(imgStatus, imgLinks);
    QWidget::setTabOrder(imgLinks, txtData);
    return txtData;
}

} // namespace fl
