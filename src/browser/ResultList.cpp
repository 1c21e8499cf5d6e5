// The species list of the main window: filling it, stepping through it, sorting it.

#include "frmDisplay.h"

#include "BirdPage.h"

#include "state/AppState.h"
#include "state/OptionsRow.h"
#include "status/StatusTexts.h"
#include "platform/Platform.h"
#include "ui/Guard.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QModelIndex>
#include <QSignalBlocker>

namespace fl {

void frmDisplay::fillNames(const QStringList& names)
{
    const QSignalBlocker quiet(cmbNames);
    cmbNames->clear();
    cmbNames->addItems(names);
    cmbNames->setCurrentIndex(-1);
    m_shownIndex = -1;
    m_completerStale = true;
}

void frmDisplay::completionChosen(const QModelIndex& index)
{
    const QString name = index.data(Qt::DisplayRole).toString();
    if (!selectSpeciesByName(name)) restoreShownName();
}

void frmDisplay::restoreShownName()
{
    const int index = cmbNames->currentIndex();
    const QString shown = index >= 0 ? cmbNames->itemText(index) : QString();
    if (cmbNames->currentText() != shown) cmbNames->setEditText(shown);
}

void frmDisplay::replaceSpeciesList(const QStringList& names, bool selectFirst)
{
    if (names.isEmpty()) storePendingText(); // no species will be selected to store it
    fillNames(names);
    if (names.isEmpty()) clearBirdPage();
    else if (selectFirst) selectListIndex(0);
}

int frmDisplay::speciesCount() const { return cmbNames->count(); }

bool frmDisplay::selectSpeciesByName(const QString& name)
{
    const int index = cmbNames->findText(name, Qt::MatchExactly);
    if (index < 0) return false;
    selectListIndex(index);
    return true;
}

void frmDisplay::focusSpeciesList() { cmbNames->setFocus(); }

void frmDisplay::releaseDatabase()
{
    m_page->release();
    m_species.release();
}

// A name chosen in the list, by the user or by code. The description typed for the species
// on show is stored first; when that fails, the list goes back to that species and the
// typed text stays in the box, so nothing is lost.
void frmDisplay::nameSelected(int index)
{
    if (index < 0) return;
    const bool stored = runGuarded(m_ctx.platform, QStringLiteral("The changes to the description could not be stored."),
                                   [this] { storePendingText(); });
    if (!stored) {
        const QSignalBlocker quiet(cmbNames);
        cmbNames->setCurrentIndex(m_shownIndex);
        return;
    }
    m_shownIndex = index;
    runGuarded(m_ctx.platform, QStringLiteral("Featherlog could not show this bird."), [this] { cmbNames_Click(); });
}

void frmDisplay::selectListIndex(int index)
{
    if (index == cmbNames->currentIndex()) return;
    cmbNames->setCurrentIndex(index); // the change runs the bird page
}

void frmDisplay::LoadListNames()
{
    db::Recordset& rs = m_ctx.state.rsResult;
    QStringList names;
    if (rs.recordCount() > 0) {
        rs.moveFirst();
        for (; !rs.eof(); rs.moveNext()) names << rs.field(QStringLiteral("Name")).toString();
    }
    if (names.isEmpty()) storePendingText(); // no species will be selected to store it
    fillNames(names);
    if (!names.isEmpty()) selectListIndex(0);
    else clearBirdPage();
    setPanel(panel::Hits, panelText::position(names.isEmpty() ? 0 : 1, cmbNames->count()));
}

void frmDisplay::mnuViewFirst_Click()
{
    if (cmbNames->count() < 1) return;
    selectListIndex(0);
    cmbNames->setFocus();
}

void frmDisplay::mnuViewLast_Click()
{
    if (cmbNames->count() < 1) return;
    if (cmbNames->currentIndex() != cmbNames->count() - 1) selectListIndex(cmbNames->count() - 1);
    cmbNames->setFocus();
}

void frmDisplay::mnuViewNext_Click()
{
    if (cmbNames->currentIndex() + 1 == cmbNames->count()) {
        m_ctx.platform.beep();
        cmbNames->setFocus();
        return;
    }
    selectListIndex(cmbNames->currentIndex() + 1);
    cmbNames->setFocus();
}

void frmDisplay::mnuViewPrevious_Click()
{
    if (cmbNames->currentIndex() == 0) {
        m_ctx.platform.beep();
        cmbNames->setFocus();
        return;
    }
    if (cmbNames->count() < 1) return;
    selectListIndex(cmbNames->currentIndex() - 1);
    cmbNames->setFocus();
}

namespace {

void sortBy(frmDisplay& w, Context& ctx, const QString& clause, bool byName)
{
    {
        Hourglass busy(ctx.platform);
        ctx.state.qrySort = clause;
        w.menuItem(cmd::mnuSortName)->setChecked(byName);
        w.menuItem(cmd::mnuSortList)->setChecked(!byName);
        OptionsChange change;
        change.qrySort = clause;
        writeOptions(ctx.state, change);
    }
    w.runCommand(cmd::mnuSearchBird);
}

} // namespace

void frmDisplay::mnuSortList_Click() { sortBy(*this, m_ctx, kSortByList, false); }
void frmDisplay::mnuSortName_Click() { sortBy(*this, m_ctx, kSortByName, true); }

} // namespace fl
