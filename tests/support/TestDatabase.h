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
    QString path() const { return m_dir.path(); }
    QString databasePath() const;
    // Opens the database (exclusively) for direct checks; close it before the program opens it.
    std::unique_ptr<db::Database> open() const;
    // Runs statements on the database through a short-lived connection.
    void exec(const QString& sql, const QVariantList& params = {}) const;
    QVariant scalar(const QString& sql, const QVariantList& params = {}) const;

private:
    QTemporaryDir m_dir;
};

// The fixture's ids.
inline constexpr int kNorthAmerica = 1; // all 12 species
inline constexpr int kOntario = 2;      // State: species 1..6
inline constexpr int kCanada = 3;       // Country: species 1..4 and 7
inline constexpr int kEmptyRegion = 4;  // District with no checklist

// Inserts the fixture rows (used by TestFolder).
void insertFixture(db::Database& db);

} // namespace fl::test
