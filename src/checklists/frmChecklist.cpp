#include "frmChecklist.h"

#include "state/AppState.h"
#include "ChecklistGrid.h"
#include "SetUpRow.h"
#include "regions/ChecklistCopy.h"
#include "status/StatusCodes.h"
#include "platform/Platform.h"
#include "ui/Guard.h"
#include "ui/ImageList.h"
#include "ui/RowTableModel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QVBoxLayout>

namespace fl {

namespace {

// Sets a flag for the life of the object and clears it at the end, also on failure.
class Raised {
public:
    explicit Raised(bool& flag) : m_flag(flag) { m_flag = true; }
    ~Raised() { m_flag = false; }
    Raised(const Raised&) = delete;
    Raised& operator=(const Raised&) = delete;

private:
    bool& m_flag;
};

QComboBox* dropDown(QWidget* parent, const QString& name, const QStringList& words)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(words);
    box->setCurrentIndex(-1);
    return box;
}

const QString kEntryQuery = QStringLiteral("Select * from checklists where Bird_ID = ? And Reg_ID = ?");

} // namespace

frmChecklist::frmChecklist(Context& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmChecklist"));

    grid = new RowTableModel({QStringLiteral("    "), QStringLiteral("ID "), QStringLiteral("Name  "),
                              QStringLiteral("Status "), QString()},
                             this);
    grid->setHiddenColumns({ColFixed, ColId, ColListed});
    Msfg1 = new ChecklistGrid(grid, ColName, this);
    Msfg1->setObjectName(QStringLiteral("Msfg1"));

    const QString titles[9] = {QStringLiteral("Name"),      QStringLiteral("Status"), QStringLiteral("1"),
                               QStringLiteral("2"),         QString(),                QStringLiteral("Abundance"),
                               QStringLiteral("Status"),    QStringLiteral("Qualifier"), QStringLiteral("3")};
    for (int i = 0; i < 9; ++i) {
        lbltitle[i] = new QLabel(titles[i], this);
        lbltitle[i]->setObjectName(QStringLiteral("lbltitle(%1)").arg(i));
        lbltitle[i]->setTextFormat(Qt::PlainText); // the species' name as it is
    }

    Frame1 = new QGroupBox(QStringLiteral("Status (Required)"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    cmbStat = dropDown(Frame1, QStringLiteral("cmbStat"), codes::statusWords());
    auto* statusLayout = new QGridLayout(Frame1);
    statusLayout->addWidget(lbltitle[0], 0, 0);
    statusLayout->addWidget(lbltitle[4], 0, 1);
    statusLayout->addWidget(lbltitle[1], 1, 0);
    statusLayout->addWidget(cmbStat, 1, 1);
    statusLayout->setColumnStretch(1, 1);
    lbltitle[1]->setBuddy(cmbStat);

    Frmcheck = new QGroupBox(QStringLiteral("Detailed Status (Optional)"), this);
    Frmcheck->setObjectName(QStringLiteral("Frmcheck"));
    auto* detail = new QGridLayout(Frmcheck);
    detail->addWidget(lbltitle[5], 0, 1);
    detail->addWidget(lbltitle[6], 0, 2);
    detail->addWidget(lbltitle[7], 0, 3);
    QLabel* rowLabels[3] = {lbltitle[2], lbltitle[3], lbltitle[8]};
    for (int r = 0; r < 3; ++r) {
        cmbNum[r] = dropDown(Frmcheck, QStringLiteral("cmbNum(%1)").arg(r), codes::abundanceWords());
        cmbStatus[r] = dropDown(Frmcheck, QStringLiteral("cmbStatus(%1)").arg(r), codes::seasonWords());
        cmbSpec[r] = dropDown(Frmcheck, QStringLiteral("cmbSpec(%1)").arg(r), codes::qualifierWords());
        detail->addWidget(rowLabels[r], r + 1, 0);
        detail->addWidget(cmbNum[r], r + 1, 1);
        detail->addWidget(cmbStatus[r], r + 1, 2);
        detail->addWidget(cmbSpec[r], r + 1, 3);
    }

    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false); // only the window decides which button Enter presses
        return b;
    };
    cmdClear = button("cmdClear", QStringLiteral("Clear S&tatus"));
    cmdAdd = button("cmdAdd", QStringLiteral("&Add Bird"));
    cmdDelete = button("cmdDelete", QStringLiteral("&Delete Bird"));
    cmdSave = button("cmdSave", QStringLiteral("&Save"));
    cmdClose = button("cmdClose", QStringLiteral("&Close"));

    Platform& p = ctx.platform;
    connectGuarded(Msfg1->selectionModel(), &QItemSelectionModel::currentChanged, this,
                   p, QStringLiteral("The checklist entry could not be read."),
                   [this] { Msfg1_RowColChange(); });
    connectGuarded(cmdSave, &QPushButton::clicked, this, p, QStringLiteral("The checklist entry could not be saved."),
                   [this] { cmdSave_Click(); });
    connectGuarded(cmdAdd, &QPushButton::clicked, this,
                   p, QStringLiteral("The bird could not be added to the checklist."),
                   [this] { cmdAdd_Click(); });
    connectGuarded(cmdDelete, &QPushButton::clicked, this,
                   p, QStringLiteral("The bird could not be removed from the checklist."),
                   [this] { cmdDelete_Click(); });
    connectGuarded(cmdClear, &QPushButton::clicked, this,
                   p, QStringLiteral("The detailed status could not be cleared."),
                   [this] { cmdClear_Click(); });
    connectGuarded(cmdClose, &QPushButton::clicked, this, p, QStringLiteral("The window could not be closed."),
                   [this] { cmdClose_Click(); });
    for (QComboBox* box : {cmbStat, cmbNum[0], cmbNum[1], cmbNum[2], cmbStatus[0], cmbStatus[1], cmbStatus[2],
                           cmbSpec[0], cmbSpec[1], cmbSpec[2]})
        connectGuarded(box, &QComboBox::currentIndexChanged, this,
                       p, QStringLiteral("The selection could not be taken."),
                       [this, box] { selectionEdited(box); });

    auto* side = new QVBoxLayout;
    side->addWidget(Frame1);
    side->addWidget(Frmcheck);
    auto* buttons = new QGridLayout;
    buttons->addWidget(cmdAdd, 0, 0);
    buttons->addWidget(cmdDelete, 0, 1);
    buttons->addWidget(cmdClear, 1, 0);
    buttons->addWidget(cmdSave, 1, 1);
    buttons->addWidget(cmdClose, 2, 1);
    side->addLayout(buttons);
    side->addStretch();
    lblCopied = new QLabel(this);
    lblCopied->setObjectName(QStringLiteral("lblCopied"));
    lblCopied->setWordWrap(true);
    lblCopied->hide();
    auto* columns = new QHBoxLayout;
    columns->addWidget(Msfg1, 1);
    columns->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCopied);
    layout->addLayout(columns, 1);

    Form_Load();
}

frmChecklist::~frmChecklist() = default;

void frmChecklist::Form_Load()
{
    AppState& s = m_ctx.state;
    Hourglass busy(m_ctx.platform);
    loadingRow = true;
    setWindowIcon(ImageList1::icon(15));
    setWindowTitle(QStringLiteral("Checklist Maintenance for ") + s.selRegname);
    // A region's first use gives it a copy of its nearest ancestor's list.
    showOrigin();

    // Every species in checklist order with its entry in the region, read in one pass.
    auto rs = s.db().openRecordset(
        QStringLiteral("SELECT Birds.ID, Birds.Name, Checklists.Status, Checklists.Bird_ID IS NOT NULL "
                       "FROM Birds LEFT JOIN Checklists ON Checklists.Bird_ID = Birds.ID AND Checklists.Reg_ID = ? "
                       "Order by Birds.sortorder"),
        db::RecordsetKind::Snapshot, {s.selReg_ID});
    QVector<RowTableModel::Row> rowsRead;
    rowsRead.reserve(rs.recordCount());
    for (; !rs.eof(); rs.moveNext())
        rowsRead.append({QVariant(), rs.field(0), rs.field(1), rs.field(2).toString(), rs.field(3).toBool()});
    rs.close();
    grid->setRows(std::move(rowsRead));
    grid->applyTo(Msfg1);
    const int dpi = logicalDpiX();
    Msfg1->setColumnWidth(ColName, twipsToPixels(2500, dpi));
    Msfg1->setColumnWidth(ColStatus, twipsToPixels(800, dpi));
    Msfg1->setMinimumWidth(twipsToPixels(2500 + 800, dpi) + Msfg1->verticalScrollBar()->sizeHint().width() + 4);

    if (grid->rowCount() > 0) setCurrentCell(0, ColName);
    else Msfg1_RowColChange();
    loadingRow = false;
}

void frmChecklist::showOrigin()
{
    const ChecklistOrigin origin = provideChecklist(m_ctx.state.db(), m_ctx.state.selReg_ID);
    if (origin.isCopy())
        lblCopied->setText(QStringLiteral("Copied from the checklist of %1. Save a change to make it this region's "
                                          "own list.")
                               .arg(origin.name));
    lblCopied->setVisible(origin.isCopy());
}

int frmChecklist::currentRow() const { return Msfg1->currentIndex().isValid() ? Msfg1->currentIndex().row() : -1; }

QString frmChecklist::cell(int row, int column) const { return grid->cell(row, column).toString(); }

void frmChecklist::setCurrentCell(int row, int column) { Msfg1->setCurrentIndex(grid->index(row, column)); }

std::array<std::array<QComboBox*, 3>, 3> frmChecklist::rows() const
{
    return {{{cmbNum[0], cmbStatus[0], cmbSpec[0]},
             {cmbNum[1], cmbStatus[1], cmbSpec[1]},
             {cmbNum[2], cmbStatus[2], cmbSpec[2]}}};
}

void frmChecklist::enableBoxes(bool on)
{
    cmbStat->setEnabled(on);
    for (int r = 0; r < 3; ++r) {
        cmbNum[r]->setEnabled(on);
        cmbStatus[r]->setEnabled(on);
        cmbSpec[r]->setEnabled(on);
    }
}

void frmChecklist::openEntry(int birdId)
{
    rsEntry.close();
    rsEntry = m_ctx.state.db().openRecordset(kEntryQuery, db::RecordsetKind::Dynaset, {birdId, m_ctx.state.selReg_ID});
}

void frmChecklist::Msfg1_RowColChange()
{
    Raised loading(loadingRow);
    rsEntry.close();
    m_keepR = {};
    cmbStat->setCurrentIndex(-1);
    for (const auto& row : rows())
        for (QComboBox* box : row) box->setCurrentIndex(-1);

    const int r = currentRow();
    if (r < 0) {
        // An empty database: nothing to add, delete or save.
        lbltitle[4]->clear();
        cmdAdd->setEnabled(false);
        cmdAdd->setDefault(false);
        cmdDelete->setEnabled(false);
        cmdSave->setEnabled(false);
        enableBoxes(false);
        return;
    }
    const int id = grid->cell(r, ColId).toInt();
    lbltitle[4]->setText(cell(r, ColName));

    bool listed = grid->cell(r, ColListed).toBool();
    if (listed) {
        openEntry(id);
        if (rsEntry.eof()) {
            // Taken off the checklist since the grid was read.
            listed = false;
            grid->setCell(r, ColStatus, QString());
            grid->setCell(r, ColListed, false);
        }
    }
    if (!listed) {
        cmdAdd->setEnabled(true);
        cmdAdd->setDefault(true);
        cmdDelete->setEnabled(false);
        cmdSave->setEnabled(false);
        enableBoxes(false);
        return;
    }
    cmdAdd->setEnabled(false);
    cmdAdd->setDefault(false);
    cmdSave->setEnabled(false);
    cmdDelete->setEnabled(true);
    enableBoxes(true);
    cmbStat->setCurrentIndex(cmbStat->findText(codes::statusWord(rsEntry.field(QStringLiteral("Status")).toString())));
    const QString scode = rsEntry.field(QStringLiteral("scode")).toString();
    if (scode.size() > 0) {
        showCodeInRows(scode, rows());
        const QStringList groups = codes::groupsForEditor(scode);
        for (int g = 0; g < groups.size(); ++g) m_keepR[g] = groups[g].size() > 1 && groups[g][1] == u'R';
    }
}

void frmChecklist::selectionEdited(QComboBox* box)
{
    if (loadingRow) return;
    cmdSave->setEnabled(true);
    for (int r = 0; r < 3; ++r)
        if (box == cmbStatus[r]) m_keepR[r] = false;
}

QString frmChecklist::codeToSave() const
{
    QString code = codeFromRows(rows());
    for (int r = 0; r < 3; ++r)
        if (m_keepR[r] && cmbStatus[r]->currentIndex() < 0) code[r * 3 + 1] = u'R';
    return code;
}

void frmChecklist::cmdSave_Click()
{
    const int r = currentRow();
    if (r < 0 || !rsEntry.isOpen() || rsEntry.eof()) return;
    rsEntry.edit();
    auto dropEdit = qScopeGuard([this] { rsEntry.cancelUpdate(); });
    if (cmbStat->currentIndex() >= 0)
        rsEntry.setField(QStringLiteral("Status"), codes::statusLetter(cmbStat->currentText()));
    rsEntry.setField(QStringLiteral("scode"), codeToSave());
    rsEntry.update();
    dropEdit.dismiss();
    cmdSave->setEnabled(false);
    grid->setCell(r, ColStatus, rsEntry.field(QStringLiteral("Status")).toString());
    showOrigin();
}

void frmChecklist::cmdAdd_Click()
{
    const int r = currentRow();
    if (r < 0 || grid->cell(r, ColListed).toBool()) return;
    const int id = grid->cell(r, ColId).toInt();
    const QString letter = codes::statusLetter(QStringLiteral("None"));
    openEntry(id);
    rsEntry.addNew();
    auto dropRow = qScopeGuard([this] { rsEntry.cancelUpdate(); });
    rsEntry.setField(QStringLiteral("Bird_ID"), id);
    rsEntry.setField(QStringLiteral("Status"), letter);
    rsEntry.setField(QStringLiteral("scode"), QString());
    rsEntry.setField(QStringLiteral("Reg_ID"), m_ctx.state.selReg_ID);
    rsEntry.update();
    dropRow.dismiss();
    rsEntry.setBookmark(rsEntry.lastModified());
    m_keepR = {};
    showOrigin();

    grid->setCell(r, ColStatus, letter);
    grid->setCell(r, ColListed, true);
    {
        Raised loading(loadingRow);
        cmdAdd->setEnabled(false);
        cmdSave->setEnabled(false);
        cmdAdd->setDefault(false);
        cmdDelete->setEnabled(true);
        enableBoxes(true);
        cmbStat->setCurrentIndex(cmbStat->findText(QStringLiteral("None")));
    }
    Msfg1->setFocus();
}

void frmChecklist::cmdDelete_Click()
{
    const int r = currentRow();
    if (r < 0 || !rsEntry.isOpen() || rsEntry.eof()) return;
    if (m_ctx.platform.messageBox(QStringLiteral("Do you really want to remove this bird from the checklist?"),
                                  QStringLiteral("Delete Checklist Entry"), Platform::Buttons::YesNo,
                                  Platform::Icon::Question)
        != Platform::Answer::Yes)
        return;
    rsEntry.remove();
    rsEntry.moveNext();
    m_keepR = {};
    showOrigin();
    Raised loading(loadingRow);
    cmbStat->setCurrentIndex(-1);
    for (const auto& row : rows())
        for (QComboBox* box : row) box->setCurrentIndex(-1);
    enableBoxes(false);
    grid->setCell(r, ColStatus, QString());
    grid->setCell(r, ColListed, false);
    cmdAdd->setEnabled(true);
    cmdAdd->setDefault(true);
    cmdDelete->setEnabled(false);
    cmdSave->setEnabled(false);
}

void frmChecklist::cmdClear_Click()
{
    for (const auto& row : rows())
        for (QComboBox* box : row) box->setCurrentIndex(-1);
    // A seasonal R has no word to clear; clearing drops it too, and that is a change to save.
    for (int r = 0; r < 3; ++r) {
        if (m_keepR[r] && !loadingRow && cmbStatus[r]->isEnabled()) cmdSave->setEnabled(true);
        m_keepR[r] = false;
    }
}

void frmChecklist::cmdClose_Click() { reject(); }

} // namespace fl
