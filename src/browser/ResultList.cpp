// The species list of the main window: filling it, stepping through it, sorting it.

#include "frmDisplay.h"

#include "AppState.h"
#include "platform/Platform.h"

#include <QAction>
#include <QComboBox>
#include <QSignalBlocker>

namespace fl {

void frmDisplay::fillNames(const QStringList& names)
{
    const QSignalBlocker quiet(cmbNames);
    cmbNames->clear();
    cmbNames->addItems(names);
    cmbNames->setCurrentIndex(-1);
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
    setPanel(QStringLiteral("Hits"), QStringLiteral("Search Results : %1 of %2")
                                         .arg(names.isEmpty() ? 0 : 1).arg(cmbNames->count()));
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
        w.menuItem(QStringLiteral("mnuSortName"))->setChecked(byName);
        w.menuItem(QStringLiteral("mnuSortList"))->setChecked(!byName);
        db::Recordset& options = ctx.state.rsOptions;
        options.edit();
        options.setField(QStringLiteral("qrySort"), clause);
        options.update();
    }
    w.runCommand(QStringLiteral("mnuSearchBird"));
}

} // namespace

void frmDisplay::mnuSortList_Click() { sortBy(*this, m_ctx, kSortByList, false); }
void frmDisplay::mnuSortName_Click() { sortBy(*this, m_ctx, kSortByName, true); }

} // namespace fl
