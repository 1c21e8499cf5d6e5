#pragma once

#include "state/AppState.h"
#include "db/Database.h"

#include <QTemporaryDir>
#include <QString>
#include <memory>

namespace fl::test {

// A fresh application folder with an encrypted bird database holding the schema and, when
// asked, a small fixture: orders, families, 12 species, regions and checklists.
class TestFolder {
public:
    explicit TestFolder(bool withFixture = true);
    ~TestFolder();
    QString path() const { return m_dir.path(); }
    QString databasePath() const;
    // Opens the database (exclusively) for direct checks; close it before the program opens it.
    std::unique_ptr<db::Database> open() const;
    // Runs statements on the database through the folder's own connection, the one that
    // created it. Between statements it holds no lock, so the program opens the file as it
    // would anyway (and while the program holds it, these fail as any other connection
    // would). Once the file is written, replaced or removed by anything else, the next
    // statement opens it afresh.
    void exec(const QString& sql, const QVariantList& params = {}) const;
    QVariant scalar(const QString& sql, const QVariantList& params = {}) const;

private:
    db::Database& connection() const;

    QTemporaryDir m_dir;
    struct FileStamp {
        quint64 device = 0, inode = 0;
        qint64 size = -1, modifiedNs = -1;
        bool operator==(const FileStamp&) const = default;
    };
    static FileStamp stampOf(const QString& path);
    mutable std::unique_ptr<db::Database> m_db;
    mutable FileStamp m_stamp;
};

// The fixture's ids.
inline constexpr int kNorthAmerica = 1; // all 12 species
inline constexpr int kOntario = 2;      // State: species 1..6
inline constexpr int kCanada = 3;       // Country: species 1..4 and 7
inline constexpr int kEmptyRegion = 4;  // District with no checklist

// Inserts the fixture rows (used by TestFolder).
void insertFixture(db::Database& db);

} // namespace fl::test
