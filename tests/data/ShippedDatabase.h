#pragma once

#include "db/Database.h"
#include "records/DataImport.h"
#include "schema/Schema.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace fl::test {

// The shipped database, built once from the sources for all the tests that only read it.
class SampleData : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new QTemporaryDir;
        path = dir->filePath("bird.mdb");
        buildDatabase(QStringLiteral(SAMPLE_DATA_DIR), path, false);
        db = db::Database::open(path, true, false, QString::fromLatin1(kConnectString)).release();
    }
    static void TearDownTestSuite()
    {
        delete db;
        delete dir;
    }
    static int count(const QString& sql) { return db->scalar(sql).toInt(); }
    static QString text(const QString& sql, const QVariantList& params = {})
    {
        return db->scalar(sql, params).toString();
    }
    static QStringList column(const QString& sql)
    {
        QStringList out;
        auto rs = db->openRecordset(sql, db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) out << rs.field(0).toString();
        return out;
    }

    static inline QTemporaryDir* dir = nullptr;
    static inline QString path;
    static inline db::Database* db = nullptr;
};

} // namespace fl::test
