#include "records/DataImport.h"

#include "records/Csv.h"
#include "regions/CodedRegions.h"
#include "schema/Schema.h"
#include "db/Database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSet>
#include <filesystem>
#include <stdexcept>

namespace fl {

QStringList dataTables()
{
    return {QStringLiteral("Orders"), QStringLiteral("Families"), QStringLiteral("subFamilies"),
            QStringLiteral("Birds"), QStringLiteral("TaxonForms"), QStringLiteral("Regions"),
            QStringLiteral("Checklists"),
            QStringLiteral("Sightings"), QStringLiteral("images"), QStringLiteral("cdSong"),
            QStringLiteral("Links"), QStringLiteral("Links1"), QStringLiteral("Options")};
}

namespace {

QSet<QString> textColumns(db::Database& db, const QString& table)
{
    QSet<QString> text;
    auto info = db.openRecordset(QStringLiteral("PRAGMA table_info([%1])").arg(table), db::RecordsetKind::Snapshot);
    for (; !info.eof(); info.moveNext())
        if (info.field(QStringLiteral("type")).toString().compare(u"TEXT", Qt::CaseInsensitive) == 0)
            text.insert(info.field(QStringLiteral("name")).toString().toLower());
    return text;
}

} // namespace

int importCsvFolder(db::Database& db, const QString& folder)
{
    int total = 0;
    db::Transaction tx(db);
    for (const QString& table : dataTables()) {
        const QString file = QDir(folder).filePath(table + QStringLiteral(".csv"));
        if (!QFileInfo::exists(file)) continue;
        const auto rows = readCsvFile(file);
        if (rows.empty()) continue;
        const QStringList header = rows.front();
        const QSet<QString> text = textColumns(db, table);
        QStringList cols, marks;
        for (const QString& h : header) {
            cols << QStringLiteral("[%1]").arg(h.trimmed());
            marks << QStringLiteral("?");
        }
        const QString sql = QStringLiteral("INSERT INTO [%1] (%2) VALUES (%3)")
                                .arg(table, cols.join(u','), marks.join(u','));
        for (size_t r = 1; r < rows.size(); ++r) {
            const QStringList& row = rows[r];
            if (row.size() == 1 && row[0].isEmpty()) continue; // blank line
            if (row.size() != header.size())
                throw std::runtime_error(QStringLiteral("%1, row %2: %3 fields, the header has %4")
                                             .arg(file).arg(r + 1).arg(row.size()).arg(header.size()).toStdString());
            QVariantList values;
            for (int c = 0; c < row.size(); ++c) {
                if (row[c].isEmpty() && !text.contains(header[c].trimmed().toLower())) values << QVariant();
                else values << row[c];
            }
            try {
                db.execute(sql, values);
            } catch (const db::DbError& e) {
                throw std::runtime_error(QStringLiteral("%1, row %2: %3").arg(file).arg(r + 1).arg(e.message()).toStdString());
            }
            ++total;
        }
    }
    // Every reference must resolve before the file is handed out.
    auto broken = db.openRecordset(QStringLiteral("PRAGMA foreign_key_check"), db::RecordsetKind::Snapshot);
    if (!broken.eof())
        throw std::runtime_error(QStringLiteral("Row %1 of table %2 refers to a missing row of %3.")
                                     .arg(broken.field(QStringLiteral("rowid")).toString(),
                                          broken.field(QStringLiteral("table")).toString(),
                                          broken.field(QStringLiteral("parent")).toString()).toStdString());
    tx.commit();
    return total;
}

namespace {

// Opens a freshly built file the way the program will and checks it: the engine finds no
// damage, the tables are of the current version and the Options table holds exactly one row.
void checkBuiltDatabase(const QString& path)
{
    auto db = db::Database::open(path, true, false, QString::fromLatin1(kConnectString));
    const QString integrity = db->scalar(QStringLiteral("PRAGMA integrity_check")).toString();
    if (integrity != u"ok") throw std::runtime_error("The new database is damaged: " + integrity.toStdString());
    upgradeSchema(*db);
    if (schemaVersion(*db) != currentSchemaVersion())
        throw std::runtime_error("The new database has the wrong version.");
    const int options = db->scalar(QStringLiteral("SELECT count(*) FROM Options")).toInt();
    if (options != 1)
        throw std::runtime_error(QStringLiteral("The Options table must hold exactly one row, not %1.")
                                     .arg(options).toStdString());
}

} // namespace

int buildDatabase(const QString& folder, const QString& path, bool overwrite)
{
    const QFileInfo target(path);
    if (target.isDir()) throw std::runtime_error(path.toStdString() + " is a folder");
    if (target.exists() && !overwrite)
        throw std::runtime_error(path.toStdString() + " exists; give --force to replace it");
    // Build into a temporary file of the same folder and put it in place only once it has
    // passed its checks, so a failure leaves the old database (or none) as it was.
    const QString temp = QStringLiteral("%1.%2.building").arg(path).arg(QCoreApplication::applicationPid());
    QFile::remove(temp);
    auto removeTemp = qScopeGuard([&temp] { QFile::remove(temp); });
    int rows = 0;
    {
        auto db = db::Database::create(temp, db::passwordFromConnect(QString::fromLatin1(kConnectString)));
        createSchema(*db);
        rows = importCsvFolder(*db, folder);
        rows += addEbirdRegions(*db); // every country, state, province and county, with its code
    }
    checkBuiltDatabase(temp);
    // Replaces the old file in one step (the same folder, so the same file system).
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(temp.toStdString()), std::filesystem::path(path.toStdString()),
                            error);
    if (error) throw std::runtime_error("Cannot write " + path.toStdString() + ": " + error.message());
    removeTemp.dismiss();
    return rows;
}

} // namespace fl
