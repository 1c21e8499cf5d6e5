#include "NameCompleter.h"

#include "taxonomy/BandingCode.h"
#include "db/Database.h"
#include "db/Recordset.h"

#include <QAbstractItemView>
#include <QHash>
#include <QStandardItemModel>

namespace fl {

namespace {
constexpr int kMatchRole = Qt::UserRole + 1;
constexpr QChar kStraight = u'\'';
constexpr QChar kCurly = QChar(0x2019);
} // namespace

NameCompleter::NameCompleter(QObject* parent) : QCompleter(parent), m_model(new QStandardItemModel(this))
{
    setModel(m_model);
    setCompletionRole(kMatchRole);
    setFilterMode(Qt::MatchContains);
    setCaseSensitivity(Qt::CaseInsensitive);
    setCompletionMode(QCompleter::PopupCompletion);
    setMaxVisibleItems(15);
}

QString NameCompleter::matchText(const QString& name, const QString& sciName, const QString& code)
{
    QString other = name;
    if (name.contains(kStraight)) other.replace(kStraight, kCurly);
    else other.replace(kCurly, kStraight);
    return name + QStringLiteral(" | ") + sciName + QStringLiteral(" | ") + code + QStringLiteral(" | ") + other;
}

void NameCompleter::setSpecies(const QStringList& names, db::Database& db)
{
    // Every species' code is worked out against all the official codes, whichever species
    // the list holds.
    QHash<QString, QString> sci, code;
    if (!names.isEmpty()) {
        QStringList all, alpha;
        auto rs = db.openRecordset(QStringLiteral("SELECT Name, sci_name, AlphaCode FROM Birds"),
                                   db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) {
            all << rs.field(0).toString();
            sci.insert(all.back(), rs.field(1).toString());
            alpha << rs.field(2).toString();
        }
        const QStringList codes = completionCodes(all, alpha);
        for (qsizetype i = 0; i < all.size(); ++i) code.insert(all[i], codes[i]);
    }
    m_model->clear();
    for (const QString& name : names) {
        auto* item = new QStandardItem(name);
        item->setData(matchText(name, sci.value(name), code.value(name)), kMatchRole);
        item->setEditable(false);
        m_model->appendRow(item);
    }
}

QString NameCompleter::pathFromIndex(const QModelIndex& index) const
{
    return index.data(Qt::DisplayRole).toString();
}

} // namespace fl
