#include "RegionList.h"

#include "state/AppState.h"
#include "regions/RegionKinds.h"
#include "db/Database.h"

#include "Guard.h"

#include <QCollator>
#include <QGroupBox>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

namespace fl {

namespace {

class RegionItem : public QListWidgetItem {
public:
    using QListWidgetItem::QListWidgetItem;
    bool operator<(const QListWidgetItem& other) const override { return regionNameLess(text(), other.text()); }
};

} // namespace

bool regionNameLess(const QString& a, const QString& b)
{
    static const QCollator collator = [] {
        QCollator c; // the user's language
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    const int order = collator.compare(a, b);
    // Names that differ only in their capitals keep one order all the same.
    return order != 0 ? order < 0 : a < b;
}

QListWidgetItem* regionItem(const QString& name, int regId)
{
    auto* item = new RegionItem(name);
    item->setData(Qt::UserRole, regId);
    return item;
}

int fillRegionList(QListWidget* list, db::Database& db, const RegionKind& kind)
{
    list->clear();
    auto rs = db.openRecordset(kind.savedQuery, db::RecordsetKind::Snapshot);
    for (; !rs.eof(); rs.moveNext())
        list->addItem(regionItem(rs.field(QStringLiteral("Name")).toString(), rs.field(QStringLiteral("Reg_ID")).toInt()));
    if (list->count() > 0) list->setCurrentRow(0);
    return list->count();
}

QGroupBox* regionKindButtons(QWidget* parent, Platform& platform, QRadioButton* (&buttons)[5],
                             std::function<void(int)> onChecked)
{
    auto* frame = new QGroupBox(QStringLiteral("Regions"), parent);
    auto* options = new QVBoxLayout(frame);
    const QString failure = QStringLiteral("The checklist regions could not be listed.");
    for (int i = 1; i <= 4; ++i) {
        buttons[i] = new QRadioButton(regionKinds()[i - 1].caption, frame);
        buttons[i]->setObjectName(QStringLiteral("optRegion(%1)").arg(i));
        options->addWidget(buttons[i]);
        connectGuarded(buttons[i], &QRadioButton::toggled, frame, platform, failure,
                       [onChecked, i](bool on) {
                           if (on) onChecked(i);
                       });
    }
    return frame;
}

void chooseCurrentRegion(AppState& state, const QListWidget* list)
{
    const QListWidgetItem* item = list->currentItem();
    if (!item) return;
    state.selReg_ID = item->data(Qt::UserRole).toInt();
    state.selRegname = item->text();
}

} // namespace fl
