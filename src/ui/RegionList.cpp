#include "RegionList.h"

#include "AppState.h"
#include "RegionKinds.h"
#include "db/Database.h"

#include <QListWidget>

namespace fl {

int fillRegionList(QListWidget* list, db::Database& db, const RegionKind& kind)
{
    list->clear();
    auto rs = db.openRecordset(kind.savedQuery, db::RecordsetKind::Snapshot);
    for (; !rs.eof(); rs.moveNext()) {
        auto* item = new QListWidgetItem(rs.field(QStringLiteral("Name")).toString());
        item->setData(Qt::UserRole, rs.field(QStringLiteral("Reg_ID")).toInt());
        list->addItem(item);
    }
    if (list->count() > 0) list->setCurrentRow(0);
    return list->count();
}

void chooseCurrentRegion(AppState& state, const QListWidget* list)
{
    const QListWidgetItem* item = list->currentItem();
    if (!item) return;
    state.selReg_ID = item->data(Qt::UserRole).toInt();
    state.selRegname = item->text();
}

} // namespace fl
