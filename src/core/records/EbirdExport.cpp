#include "records/EbirdExport.h"

#include "regions/RegionRule.h"
#include "records/SafeTargets.h"
#include "regions/EbirdRegions.h"
#include "regions/RegionCodes.h"
#include "db/Connection.h"
#include "db/Database.h"

#include <QDate>
#include <QFileInfo>
#include <QDir>
#include <QRegularExpression>
#include <QSaveFile>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace fl {

void splitCount(const QString& notes, QString& count, QString& rest)
{
    static const QRegularExpression first(QStringLiteral("^x(\\d{1,10})$"));
    const qsizetype nl = notes.indexOf(u'\n');
    const QString head = nl < 0 ? notes : notes.left(nl);
    const auto m = first.match(head.trimmed());
    if (m.hasMatch() && m.captured(1).toLongLong() <= kMaxCount) {
        count = m.captured(1);
        rest = nl < 0 ? QString() : notes.mid(nl + 1);
    } else {
        count.clear();
        rest = notes;
    }
}

namespace {

// Whether the text, after any apostrophes, starts the way a spreadsheet formula does.
bool looksLikeFormula(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u'\'') ++i;
    if (i >= text.size()) return false;
    const QChar c = text[i];
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

} // namespace

QString neutralised(const QString& text) { return looksLikeFormula(text) ? u'\'' + text : text; }

QString unneutralised(const QString& text)
{
    return text.startsWith(u'\'') && looksLikeFormula(text) ? text.mid(1) : text;
}

QString csvField(const QString& value)
{
    bool quote = value.startsWith(u' ') || value.endsWith(u' ');
    for (QChar c : value)
        if (c == u',' || c == u'"' || c == u'\n' || c == u'\r') { quote = true; break; }
    if (!quote) return value;
    QString v = value;
    v.replace(u'"', QStringLiteral("\"\""));
    return u'"' + v + u'"';
}

QString exportPartPath(const QString& path, int n)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString base = suffix.isEmpty() ? info.fileName() : info.fileName().chopped(suffix.size() + 1);
    return info.dir().filePath(QStringLiteral("%1-%2%3").arg(base).arg(n).arg(suffix.isEmpty() ? QString() : u'.' + suffix));
}

namespace {

// The columns the export reads: the record's own, then its outing's, then its places.
enum Col {
    Kind, Id, OutingId, Date, Common, Sci, TaxonOrder, Count, Comments, Breeding, Media, Site,
    StartTime, Duration, Distance, Area, Observers, Protocol, AllReported, Latitude, Longitude, StateCode, CountyCode,
    ChecklistComments, Submission, CountryRegionCode, CountryName, StateRegionCode, StateName, DistrictCode, DistrictName
};

QString selectSql(int regId)
{
    const QString reg = QString::number(regId);
    // Sightings, and the records of no species of the outings, each with the places it is
    // counted by (an outing's sightings have the outing's places).
    return QStringLiteral(
               "SELECT X.kind, X.id, X.oid, X.Date, X.common, X.sci, X.ord, X.cnt, X.comments, X.breeding, X.media, "
               "X.site, O.StartTime, O.Duration, O.Distance, O.Area, O.Observers, O.Protocol, O.AllReported, "
               "O.Latitude, O.Longitude, O.StateCode, O.CountyCode, O.comments, O.SubmissionID, "
               "RC.Code, RC.Name, RS.Code, RS.Name, RD.Code, RD.Name "
               "FROM (SELECT 0 AS kind, S.Sight_ID AS id, S.Outing_ID AS oid, S.Date AS Date, B.Name AS common, "
               "B.sci_name AS sci, B.sortOrder AS ord, S.Count AS cnt, S.notes AS comments, S.BreedingCode AS breeding, "
               "S.MediaNumbers AS media, S.site AS site, S.country AS country, S.state AS state, S.district AS district "
               "FROM Sightings S JOIN Birds B ON B.ID = S.Bird_ID WHERE ")
           + countsForRegionSql(reg, QStringLiteral("S"))
           + QStringLiteral(
               " UNION ALL SELECT 1, R.Other_ID, R.Outing_ID, Q.Date, R.Name, R.sci_name, R.TaxonOrder, R.Count, R.notes, "
               "R.BreedingCode, R.MediaNumbers, Q.site, Q.country, Q.state, Q.district "
               "FROM OtherRecords R JOIN Outings Q ON Q.Outing_ID = R.Outing_ID WHERE ")
           + countsForRegionSql(reg, QStringLiteral("Q"))
           + QStringLiteral(
               ") X LEFT JOIN Outings O ON O.Outing_ID = X.oid "
               "LEFT JOIN Regions RC ON RC.Reg_ID = X.country AND X.country <> 0 "
               "LEFT JOIN Regions RS ON RS.Reg_ID = X.state AND X.state <> 0 "
               "LEFT JOIN Regions RD ON RD.Reg_ID = X.district AND X.district <> 0 "
               // Oldest first, an outing's records together; a sighting of no outing is one on its own.
               "ORDER BY X.Date, O.StartTime, X.oid IS NULL, X.oid, X.kind, X.ord, X.id");
}

QDate dateOf(const QVariant& v)
{
    return v.typeId() == QMetaType::QDate ? v.toDate() : QDate::fromString(v.toString().left(10), Qt::ISODate);
}

QTime timeOf(const QVariant& v) { return v.isNull() ? QTime() : QTime::fromString(v.toString(), QStringLiteral("HH:mm")); }

// The place codes of a record: its outing's eBird codes where it has them, else those of its
// regions, else the codes their names have.
struct PlaceCodes {
    QString country; // "US"
    QString state;   // "US-CA"
    QString county;  // eBird's name of the county, or the district's name
};

PlaceCodes placeCodes(const db::Statement& st)
{
    PlaceCodes p;
    const QString outingState = st.value(StateCode).toString();
    const QString outingCounty = st.value(CountyCode).toString();
    const QString countryRegion = st.value(CountryRegionCode).toString();
    const QString stateRegion = st.value(StateRegionCode).toString();
    const QString districtRegion = st.value(DistrictCode).toString();

    p.state = outingState;
    if (p.state.isEmpty() && stateRegion.count(u'-') == 1) p.state = stateRegion;
    if (p.state.isEmpty() && !outingCounty.isEmpty()) p.state = parentRegionCode(outingCounty);
    if (p.state.isEmpty() && districtRegion.count(u'-') == 2) p.state = parentRegionCode(districtRegion);
    p.country = p.state.section(u'-', 0, 0);
    if (p.country.isEmpty() && !countryRegion.contains(u'-')) p.country = countryRegion;
    if (p.country.isEmpty()) p.country = countryCodeForName(st.value(CountryName).toString());
    if (p.state.isEmpty()) {
        const QString stateName = st.value(StateName).toString();
        if (!stateName.isEmpty()) p.state = subdivisionCodeForName(stateName, p.country);
        if (p.country.isEmpty()) p.country = p.state.section(u'-', 0, 0);
    }

    QString countyCode = outingCounty;
    if (countyCode.isEmpty() && districtRegion.count(u'-') == 2) countyCode = districtRegion;
    if (const EbirdRegion* county = countyCode.isEmpty() ? nullptr : ebirdRegion(countyCode))
        p.county = county->ebirdName;
    else
        p.county = st.value(DistrictName).toString();
    return p;
}

// One record as the export writes it.
struct Record {
    bool other = false;
    bool inOuting = false;
    QString common, sci, taxonOrder, count, comments, breeding, media, site;
    QDate date;
    QTime start;
    std::optional<int> duration, observers;
    std::optional<double> distance, area, latitude, longitude;
    QString protocol = QStringLiteral("Incidental");
    bool allReported = false;
    QString checklistComments, submission;
    PlaceCodes places;
};

Record readRecord(const db::Statement& st)
{
    Record r;
    r.other = st.value(Kind).toInt() == 1;
    r.inOuting = !st.value(OutingId).isNull();
    r.common = st.value(Common).toString();
    r.sci = st.value(Sci).toString().trimmed();
    if (!st.value(TaxonOrder).isNull()) r.taxonOrder = exactDecimalField(st.value(TaxonOrder).toDouble());
    r.comments = st.value(Comments).toString();
    if (!st.value(Count).isNull()) {
        r.count = QString::number(st.value(Count).toLongLong());
    } else if (!r.inOuting && !r.other) {
        // An earlier import kept the count as the first line of the notes.
        QString rest;
        splitCount(r.comments, r.count, rest);
        r.comments = rest;
    }
    if (r.count.isEmpty()) r.count = QStringLiteral("X");
    r.breeding = st.value(Breeding).toString();
    r.media = st.value(Media).toString();
    r.site = st.value(Site).toString();
    r.date = dateOf(st.value(Date));
    r.places = placeCodes(st);
    if (!r.inOuting) return r;
    auto optInt = [&](int c) { return st.value(c).isNull() ? std::nullopt : std::optional<int>(st.value(c).toInt()); };
    auto optReal = [&](int c) {
        return st.value(c).isNull() ? std::nullopt : std::optional<double>(st.value(c).toDouble());
    };
    r.start = timeOf(st.value(StartTime));
    r.duration = optInt(Duration);
    r.observers = optInt(Observers);
    r.distance = optReal(Distance);
    r.area = optReal(Area);
    r.latitude = optReal(Latitude);
    r.longitude = optReal(Longitude);
    r.protocol = st.value(Protocol).toString();
    r.allReported = st.value(AllReported).toBool();
    r.checklistComments = st.value(ChecklistComments).toString();
    r.submission = st.value(Submission).toString();
    return r;
}

QString number(const std::optional<int>& v) { return v ? QString::number(*v) : QString(); }
QString exact(const std::optional<double>& v) { return v ? exactDecimalField(*v) : QString(); }

QStringList recordFormatRow(const Record& r)
{
    const qsizetype space = r.sci.indexOf(u' ');
    return {r.common,
            space < 0 ? r.sci : r.sci.left(space),
            space < 0 ? QString() : r.sci.mid(space + 1),
            r.count,
            r.comments,
            r.site,
            exact(r.latitude),
            exact(r.longitude),
            r.date.toString(QStringLiteral("MM/dd/yyyy")),
            recordFormatTime(r.start),
            r.places.state.section(u'-', 1),
            r.places.country,
            r.protocol,
            number(r.observers),
            number(r.duration),
            r.allReported ? QStringLiteral("Y") : QStringLiteral("N"),
            r.distance ? decimalField(*r.distance / kKmPerMile, 4) : QString(),
            r.area ? decimalField(*r.area / kHaPerAcre, 4) : QString(),
            r.checklistComments};
}

QStringList downloadRow(const Record& r)
{
    return {r.submission,
            r.common,
            r.sci,
            r.taxonOrder,
            r.count,
            r.places.state.isEmpty() ? r.places.country : r.places.state,
            r.places.county,
            QString(), // Location ID: eBird's, which the program does not keep
            r.site,
            exact(r.latitude),
            exact(r.longitude),
            r.date.toString(Qt::ISODate),
            downloadTime(r.start),
            downloadProtocolName(r.protocol),
            number(r.duration),
            r.allReported ? QStringLiteral("1") : QStringLiteral("0"),
            exact(r.distance),
            exact(r.area),
            number(r.observers),
            r.breeding,
            r.comments,
            r.checklistComments,
            r.media};
}

// A number as the export writes it ("-82.5103"): a spreadsheet reads it as a number, never
// as a formula, so it goes out as it is.
bool plainNumber(const QString& field)
{
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    return number.match(field).hasMatch();
}

QByteArray csvLine(const QStringList& fields)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i) line += u',';
        line += csvField(plainNumber(fields[i]) ? fields[i] : neutralised(fields[i]));
    }
    line += u'\n';
    return line.toUtf8();
}

[[noreturn]] void cannotWrite(const QString& path, const QString& why)
{
    throw std::runtime_error(QStringLiteral("The file '%1' cannot be written: %2").arg(path, why).toStdString());
}

// The files of an export, each complete before any is put in place.
class ExportFiles {
public:
    ExportFiles(const QString& database) : m_database(database) {}

    void write(const QString& path, const QByteArray& bytes)
    {
        if (const QString refusal = refusedTarget(path, m_database, TargetUse::Export); !refusal.isEmpty())
            throw std::runtime_error(refusal.toStdString());
        auto file = std::make_unique<QSaveFile>(path);
        if (!file->open(QIODevice::WriteOnly)) cannotWrite(path, file->errorString());
        if (file->write(bytes) != bytes.size()) cannotWrite(path, file->errorString());
        m_files.push_back(std::move(file));
    }
    // Opens a file that is written in pieces by append().
    void open(const QString& path) { write(path, {}); }
    void append(const QByteArray& bytes)
    {
        QSaveFile& file = *m_files.back();
        if (file.write(bytes) != bytes.size()) cannotWrite(file.fileName(), file.errorString());
    }
    QStringList names() const
    {
        QStringList out;
        for (const auto& f : m_files) out << f->fileName();
        return out;
    }
    void commitAll()
    {
        for (const auto& f : m_files)
            if (!f->commit())
                throw std::runtime_error(QStringLiteral("The file '%1' could not be written: %2")
                                             .arg(f->fileName(), f->errorString())
                                             .toStdString());
    }

private:
    QString m_database;
    std::vector<std::unique_ptr<QSaveFile>> m_files;
};

} // namespace

EbirdExportResult exportEbird(db::Database& db, const QString& path, const EbirdExportOptions& options)
{
    if (const QString refusal = refusedTarget(path, db.path(), TargetUse::Export); !refusal.isEmpty())
        throw std::runtime_error(refusal.toStdString());
    db::Connection& conn = *db.connection();
    conn.flushPending();
    db::Statement st(conn, selectSql(options.regId));

    const bool download = options.layout == EbirdLayout::Download;
    const qint64 limit = std::max<qint64>(options.fileLimit, 1);
    EbirdExportResult result;
    ExportFiles files(db.path());

    // Record format: the records of one outing (or one sighting of no outing) are gathered
    // and go whole into the file being filled, or start the next one. A file that is full is
    // written at once as the next part; the last one stays in memory until the end tells
    // whether it is the only file (named as chosen) or the last part.
    QByteArray filling, group;
    int parts = 0;
    auto writePart = [&](const QByteArray& bytes) {
        const QString part = exportPartPath(path, ++parts);
        files.write(part, bytes);
        if (bytes.size() > limit) result.oversized << part;
    };
    auto endGroup = [&] {
        if (group.isEmpty()) return;
        if (!filling.isEmpty() && filling.size() + group.size() > limit) {
            writePart(filling);
            filling.clear();
        }
        filling += group;
        group.clear();
    };

    if (download) {
        files.open(path);
        files.append(csvLine(downloadColumns()));
    }
    QString lastGroup;
    QByteArray chunk;
    while (st.step()) {
        const Record r = readRecord(st);
        const QString groupKey = r.inOuting ? st.value(OutingId).toString() : u'-' + st.value(Id).toString();
        if (groupKey != lastGroup) {
            if (r.inOuting) ++result.outings;
            lastGroup = groupKey;
            if (!download) endGroup();
        }
        (r.other ? result.otherRecords : result.sightings) += 1;
        if (download) {
            chunk += csvLine(downloadRow(r));
            if (chunk.size() > (1 << 16)) {
                files.append(chunk);
                chunk.clear();
            }
        } else {
            group += csvLine(recordFormatRow(r));
        }
    }
    if (download) {
        files.append(chunk);
    } else {
        endGroup();
        if (parts == 0) {
            files.write(path, filling);
            if (filling.size() > limit) result.oversized << path;
        } else {
            if (!filling.isEmpty()) writePart(filling);
            QStringList existing;
            for (const QString& part : files.names())
                if (QFileInfo::exists(part)) existing << part;
            // Declined: the files written so far are dropped, nothing is put in place.
            if (!existing.isEmpty() && options.replaceExisting && !options.replaceExisting(existing)) return {};
        }
    }
    files.commitAll();
    result.files = files.names();
    return result;
}

int exportSightings(db::Database& db, const QString& path, int regId)
{
    EbirdExportOptions options;
    options.regId = regId;
    return exportEbird(db, path, options).sightings;
}

} // namespace fl
