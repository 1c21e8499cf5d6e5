#pragma once

// Bird databases of an earlier version, for the tests of the upgrade steps.

#include "db/Database.h"
#include "schema/Schema.h"
#include "TestDatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <memory>

namespace fl::test {

inline const QString kConnect = QString::fromLatin1(kConnectString);

// A data folder whose bird.mdb has the tables of `version` and the fixture's rows; open()
// adds what such a file holds in use.
struct OlderFolder {
    QTemporaryDir dir;
    explicit OlderFolder(int version)
    {
        auto db = db::Database::create(path(), db::passwordFromConnect(kConnect));
        createSchema(*db, version);
        insertFixture(*db);
    }
    QString folder() const { return dir.path(); }
    QString path() const { return dir.filePath(QString::fromLatin1(kDatabaseFile)); }
    std::unique_ptr<db::Database> open() const { return db::Database::open(path(), true, false, kConnect); }
};

inline QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool hasTable(db::Database& db, const QString& name)
{
    return db.scalar("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?", {name}).toInt() == 1;
}

} // namespace fl::test
