#include "state/Startup.h"

#include "state/AppState.h"
#include "lists/ListQueries.h"
#include "state/OptionsRow.h"
#include "schema/Schema.h"
#include "status/StatusTexts.h"

#include <QScopeGuard>
#include <stdexcept>

namespace fl {

namespace {

QString textField(const db::Recordset& rs, const QString& name)
{
    const QVariant v = rs.field(name);
    if (v.isNull())
        throw std::runtime_error(QStringLiteral("Invalid use of Null (field %1 of the Options row).")
                                     .arg(name).toStdString());
    return v.toString();
}

} // namespace

void openAndLoadOptions(AppState& state, const QString& vfs, const BeforeUpgrade& beforeUpgrade)
{
    state.dbBirds = db::Database::open(state.databasePath(), true, false, QString::fromLatin1(kConnectString), vfs);
    // A file that cannot be backed up before its upgrade, upgraded or read is closed again, as
    // it was found, so that nothing holds it (it is opened for this program alone).
    auto close = qScopeGuard([&state] { closeDatabase(state); });
    if (beforeUpgrade) {
        const int version = checkSchemaVersion(*state.dbBirds);
        if (version < currentSchemaVersion()) beforeUpgrade(*state.dbBirds, version);
    }
    upgradeSchema(*state.dbBirds);
    state.rsOptions = state.dbBirds->openRecordset(QStringLiteral("Options"), db::RecordsetKind::Dynaset);
    if (state.rsOptions.eof()) throw std::runtime_error("The Options table has no row.");
    state.regname = textField(state.rsOptions, QStringLiteral("regname"));
    const QVariant regId = state.rsOptions.field(QStringLiteral("Reg_ID"));
    if (regId.isNull()) throw std::runtime_error("Invalid use of Null (field Reg_ID of the Options row).");
    state.Reg_ID = regId.toInt();
    state.searchType = textField(state.rsOptions, QStringLiteral("searchType"));
    state.qrySort = textField(state.rsOptions, QStringLiteral("qrySort"));
    state.qryResult = textField(state.rsOptions, QStringLiteral("qryResult"));
    state.wincolor = state.rsOptions.field(QStringLiteral("wincolor")).toBool();
    state.SongCD = state.rsOptions.field(QStringLiteral("SongCD")).toBool();
    close.dismiss();
}

QString startupListQuery(const AppState& state)
{
    if (state.Reg_ID != 0) return regionSpeciesQuery(state.Reg_ID, state.qryResult, state.qrySort);
    return QStringLiteral("SELECT ID, Name, Lifelist FROM Birds ") + state.qrySort;
}

bool sortsByName(const QString& qrySort) { return qrySort == kSortByName; }

QString lifePanelText(const AppState& state)
{
    return panelText::lifeAtStartup(storedLifeSum(state), storedLifeTotal(state));
}

void closeDatabase(AppState& state)
{
    state.rsOptions.close();
    state.rsResult.close();
    state.dbBirds.reset();
}

} // namespace fl
