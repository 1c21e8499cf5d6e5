#pragma once

// eBird files for the import tests, written as eBird's "Download My Data" writes them.

#include "state/AppState.h"
#include "records/EbirdExport.h"
#include "state/Startup.h"
#include "TestDatabase.h"

#include <QFile>
#include <QStringList>

namespace fl::test {

struct DownloadRecord {
    DownloadRecord(QString submission_ = {}, QString common_ = {}, QString sci_ = {}, QString count_ = QStringLiteral("1"),
                   QString state_ = {}, QString county_ = {}, QString location_ = {}, QString date_ = {},
                   QString details_ = {}, QString comments_ = {})
        : submission(std::move(submission_)), common(std::move(common_)), sci(std::move(sci_)), count(std::move(count_)),
          state(std::move(state_)), county(std::move(county_)), location(std::move(location_)), date(std::move(date_)),
          details(std::move(details_)), comments(std::move(comments_))
    {
    }
    QString submission, common, sci, count, state, county, location, date, details, comments;
    // The checklist's effort and the rest of the record, as eBird writes them.
    QString time, protocol = QStringLiteral("Traveling"), duration, allObs, distance, area, observers, breeding, media;
    QString latitude = QStringLiteral("36.6"), longitude = QStringLiteral("-121.9"), taxonOrder, locationId;
};

inline const QStringList kDownloadHeader = {
    "Submission ID", "Common Name", "Scientific Name", "Taxonomic Order", "Count", "State/Province", "County",
    "Location ID", "Location", "Latitude", "Longitude", "Date", "Time", "Protocol", "Duration (Min)",
    "All Obs Reported", "Distance Traveled (km)", "Area Covered (ha)", "Number of Observers", "Breeding Code",
    "Observation Details", "Checklist Comments", "ML Catalog Numbers"};

// The layout of downloads before 2019: the species comments under their older name, no
// media column (their dates were written MM-DD-YYYY: give them so).
inline const QStringList kOlderDownloadHeader = {
    "Submission ID", "Common Name", "Scientific Name", "Taxonomic Order", "Count", "State/Province", "County",
    "Location", "Latitude", "Longitude", "Date", "Time", "Protocol", "Duration (Min)", "All Obs Reported",
    "Distance Traveled (km)", "Area Covered (ha)", "Number of Observers", "Breeding Code", "Species Comments",
    "Checklist Comments"};

// The file's text; `order` lists the header's columns in the order to write them.
inline QByteArray downloadText(const QList<DownloadRecord>& records, QStringList order = kDownloadHeader)
{
    QByteArray out;
    auto line = [&](const QStringList& fields) {
        QStringList q;
        for (const QString& f : fields) q << csvField(f);
        out += q.join(u',').toUtf8() + "\r\n";
    };
    line(order);
    for (const DownloadRecord& r : records) {
        QStringList fields;
        for (const QString& col : order) {
            if (col == "Submission ID") fields << r.submission;
            else if (col == "Common Name") fields << r.common;
            else if (col == "Scientific Name") fields << r.sci;
            else if (col == "Count") fields << r.count;
            else if (col == "State/Province") fields << r.state;
            else if (col == "County") fields << r.county;
            else if (col == "Location") fields << r.location;
            else if (col == "Date") fields << r.date;
            else if (col == "Observation Details" || col == "Species Comments") fields << r.details;
            else if (col == "Checklist Comments") fields << r.comments;
            else if (col == "Protocol") fields << r.protocol;
            else if (col == "Latitude") fields << r.latitude;
            else if (col == "Longitude") fields << r.longitude;
            else if (col == "Time") fields << r.time;
            else if (col == "Duration (Min)") fields << r.duration;
            else if (col == "All Obs Reported") fields << r.allObs;
            else if (col == "Distance Traveled (km)") fields << r.distance;
            else if (col == "Area Covered (ha)") fields << r.area;
            else if (col == "Number of Observers") fields << r.observers;
            else if (col == "Breeding Code") fields << r.breeding;
            else if (col == "ML Catalog Numbers") fields << r.media;
            else if (col == "Taxonomic Order") fields << r.taxonOrder;
            else if (col == "Location ID") fields << r.locationId;
            else fields << "";
        }
        line(fields);
    }
    return out;
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write test file");
    f.write(bytes);
}

// Regions of the United States beside the fixture's (ids 5, 6, 7).
inline void addUsRegions(TestFolder& f)
{
    f.exec("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (5, 'United States', 'Country')");
    f.exec("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (6, 'California', 'State')");
    f.exec("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (7, 'Monterey County', 'District')");
}

// The program's state opened on a folder, as at start-up.
struct OpenState {
    AppState state;
    explicit OpenState(const QString& folder)
    {
        state.dataFolder = folder;
        openAndLoadOptions(state);
    }
    ~OpenState() { closeDatabase(state); }
    db::Database& db() { return state.db(); }
    int count(const QString& table) { return db().scalar("SELECT count(*) FROM " + table).toInt(); }
};

} // namespace fl::test
