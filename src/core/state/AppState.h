#pragma once

#include "db/Database.h"
#include "db/Recordset.h"

#include <QString>
#include <memory>

namespace fl {

// The two ORDER BY clauses of species lists (they differ in the case of "BY").
inline const QString kSortByName = QStringLiteral(" Order BY Birds.Name");
inline const QString kSortByList = QStringLiteral(" Order By Birds.sortOrder");

// The state every window shares for the whole run. The durable part lives in the single
// Options row (rsOptions), written at the moment a value changes.
struct AppState {
    // The folder of the user's data (bird.mdb, Images, Songs, CD, Backups), decided once at
    // start-up (state/DataFolder.h), and the folder of the read-only files that come with the
    // program (the report definitions, the sample database). In a build or a copy of the
    // program kept with its data, both are the program's own folder.
    QString dataFolder;
    QString shareFolder;

    std::unique_ptr<db::Database> dbBirds;
    db::Recordset rsOptions;

    QString regname;
    int Reg_ID = 0; // 0: no region, the whole list ("World")
    QString regType;
    QString searchType;
    QString qrySort;
    QString qryResult;
    bool wincolor = false;
    bool SongCD = false;

    db::Recordset rsResult;
    db::Recordset rsBird;
    db::Recordset rsImages;
    db::Recordset rsLinks;
    db::Recordset rsTopicLinks;

    // Rows written this run by connections to the database that have since been closed (a
    // restore replaces the file): with the open connection's own count, whether the run
    // changed data.
    qint64 changesBeforeReopen = 0;

    QString curScode;
    bool textChanged = false;
    bool loadingText = false;
    bool sightingMode = false;
    bool linkMode = false;
    int selReg_ID = 0;
    QString selRegname;
    // The folder the file dialogs of the records commands last went to in this run.
    QString recordsFolder;

    db::Database& db() const;
    QString databasePath() const;
};

} // namespace fl
