#include "records/EbirdImport.h"

#include "state/OptionsRow.h"
#include "regions/RegionKinds.h"

#include "state/AppState.h"
#include "records/EbirdExport.h"
#include "records/EbirdTags.h"
#include "lifelist/LifeList.h"
#include "regions/RegionCodes.h"
#include "regions/ChecklistCopy.h"
#include "regions/EbirdRegions.h"
#include "schema/Schema.h"
#include "db/Connection.h"
#include "db/Database.h"

#include <QCryptographicHash>
#include <QHash>
#include <QSet>
#include <optional>

namespace fl {

QString skipReasonText(SkipReason reason)
{
    switch (reason) {
    case SkipReason::Spuh: return QStringLiteral("Genus or family only (sp.)");
    case SkipReason::Slash: return QStringLiteral("One of two species (slash)");
    case SkipReason::Hybrid: return QStringLiteral("Hybrid");
    case SkipReason::Domestic: return QStringLiteral("Domestic type");
    case SkipReason::NotInDatabase: return QStringLiteral("Not in the database");
    case SkipReason::NoDate: return QStringLiteral("No valid date");
    case SkipReason::DateOutOfRange: return QStringLiteral("Date before 1900 or after today");
    case SkipReason::BadCount: return QStringLiteral("Count not a whole number from 0 to 1,000,000,000");
    case SkipReason::Repeated: return QStringLiteral("Repeated in the file");
    }
    return {};
}

int ImportPreview::skippedCount(SkipReason reason) const
{
    const auto it = skipped.find(reason);
    if (it == skipped.end()) return 0;
    int n = 0;
    for (int c : it->second) n += c;
    return n;
}

int ImportPreview::skippedTotal() const
{
    int n = 0;
    for (const auto& [reason, names] : skipped) n += skippedCount(reason);
    return n;
}

namespace {

QString fold(const QString& s) { return s.trimmed().toCaseFolded(); }

// The species of the database by eBird code, scientific and common name, and the
// taxonomy's subspecies groups, forms and intergrades by the same keys (case-folded); -1
// marks a key that two species share.
struct SpeciesIndex {
    QHash<QString, int> byCode, bySci, byCommon;
    QHash<QString, int> formByCode, formBySci, formByCommon;

    explicit SpeciesIndex(db::Database& db)
    {
        auto rs = db.openRecordset(QStringLiteral("SELECT ID, Name, sci_name, SpeciesCode FROM Birds"),
                                   db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) {
            const int id = rs.field(0).toInt();
            add(byCommon, rs.field(1).toString(), id);
            add(bySci, rs.field(2).toString(), id);
            add(byCode, rs.field(3).toString(), id);
        }
        auto forms = db.openRecordset(QStringLiteral("SELECT Bird_ID, Name, sci_name, FormCode FROM TaxonForms"),
                                      db::RecordsetKind::Snapshot);
        for (; !forms.eof(); forms.moveNext()) {
            const int id = forms.field(0).toInt();
            add(formByCommon, forms.field(1).toString(), id);
            add(formBySci, forms.field(2).toString(), id);
            add(formByCode, forms.field(3).toString(), id);
        }
    }
    static void add(QHash<QString, int>& h, const QString& name, int id)
    {
        const QString k = fold(name);
        if (k.isEmpty()) return;
        auto it = h.find(k);
        if (it == h.end()) h.insert(k, id);
        else if (*it != id) *it = -1;
    }
    static int find(const QHash<QString, int>& h, const QString& name)
    {
        const int id = h.value(fold(name), 0);
        return id > 0 ? id : 0;
    }

    // The species a record names, or 0 with the reason it names none: by the species code
    // where the file gives one, the scientific name, the common name, then as a subspecies
    // group, form or intergrade of the taxonomy.
    int match(const QString& code, const QString& sci, const QString& common, SkipReason& why) const
    {
        for (const auto* h : {&byCode, &formByCode})
            if (int id = find(*h, code)) return id;
        if (int id = find(bySci, sci)) return id;
        if (int id = find(byCommon, common)) return id;
        if (int id = find(formBySci, sci)) return id;
        if (int id = find(formByCommon, common)) return id;
        const QString s = fold(sci), c = fold(common);
        if (s.contains(u"domestic type") || c.contains(u"domestic type")) { why = SkipReason::Domestic; return 0; }
        // A genus or family only, even when it names two ("gull/tern sp.", "Polysticta/Somateria sp.").
        if (s.endsWith(u" sp.") || c.endsWith(u" sp.") || s.contains(u" sp. ") || c.contains(u" sp. ")
            || s == u"sp." || c == u"sp.") {
            why = SkipReason::Spuh;
            return 0;
        }
        const QStringList words = s.split(u' ', Qt::SkipEmptyParts);
        const int x = int(words.indexOf(QStringLiteral("x")));
        if (x >= 0 || c.contains(u"(hybrid)")) {
            // An intergrade crosses two forms of one species ("Colaptes auratus luteus x
            // cafer"); a hybrid crosses two species ("Anas platyrhynchos x rubripes").
            if (x >= 3 && !words[1].contains(u'/'))
                if (int id = find(bySci, words[0] + u' ' + words[1])) return id;
            why = SkipReason::Hybrid;
            return 0;
        }
        // Subspecies groups and forms the taxonomy table does not know name one species by
        // their first two words: "Junco hyemalis [oreganus Group]", "Junco hyemalis
        // hyemalis/carolinensis" (a slash among the subspecies), "Dark-eyed Junco (Oregon)".
        if (words.size() > 2 && !words[0].contains(u'/') && !words[1].contains(u'/'))
            if (int id = find(bySci, words[0] + u' ' + words[1])) return id;
        const qsizetype paren = c.indexOf(u" (");
        if (paren > 0 && c.endsWith(u')') && !c.left(paren).contains(u'/'))
            if (int id = find(byCommon, c.left(paren))) return id;
        if (s.contains(u'/') || c.contains(u'/')) { why = SkipReason::Slash; return 0; }
        why = SkipReason::NotInDatabase;
        return 0;
    }
};

// The regions of the database by eBird code, and by type and case-folded name.
struct RegionIndex {
    QHash<QString, int> ids, codes;
    explicit RegionIndex(db::Database& db)
    {
        auto rs = db.openRecordset(QStringLiteral("SELECT Reg_ID, Name, Type, Code FROM Regions"),
                                   db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) {
            const QString k = fold(rs.field(2).toString()) + u'|' + fold(rs.field(1).toString());
            if (!ids.contains(k)) ids.insert(k, rs.field(0).toInt());
            if (!rs.field(3).isNull()) codes.insert(rs.field(3).toString().toUpper(), rs.field(0).toInt());
        }
    }
    int find(const char* type, const QString& name) const
    {
        if (name.trimmed().isEmpty()) return 0;
        return ids.value(QString::fromLatin1(type).toCaseFolded() + u'|' + fold(name), 0);
    }
    int byCode(const QString& code) const { return code.isEmpty() ? 0 : codes.value(code.trimmed().toUpper(), 0); }
    int county(const QString& name) const
    {
        const QString n = name.trimmed();
        if (n.isEmpty()) return 0;
        if (int id = find("District", n)) return id;
        const QString word = QStringLiteral(" County");
        if (n.endsWith(word, Qt::CaseInsensitive)) return find("District", n.chopped(word.size()));
        return find("District", n + word);
    }
};

QDate parseDate(const QString& text)
{
    const QString t = text.trimmed();
    QDate d = QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid()) d = QDate::fromString(t, QStringLiteral("M/d/yyyy"));
    return d;
}

// A record's count as it goes into the notes ("x12"); empty for no count and for "X"
// (present); nothing at all for a count that is not a whole number of birds.
std::optional<QString> countNote(const QString& s)
{
    if (s.isEmpty() || s.compare(u"X", Qt::CaseInsensitive) == 0) return QString();
    if (s.size() > 12) return std::nullopt;
    for (QChar c : s)
        if (c < u'0' || c > u'9') return std::nullopt;
    const qint64 n = s.toLongLong();
    if (n > kMaxCount) return std::nullopt;
    return u'x' + QString::number(n);
}

// Where each field of a record is, by format.
struct Columns {
    bool download = false;
    int submission = -1, code = -1, common = -1, sci = -1, genus = -1, species = -1, count = -1, stateCode = -1,
        countryCode = -1, county = -1, location = -1, date = -1, details = -1, comments = -1;
};

const char* const kRecordFormatColumns[] = {
    "Common Name", "Genus", "Species", "Number", "Species Comments", "Location Name", "Latitude", "Longitude",
    "Date", "Start Time", "State/Province", "Country Code", "Protocol", "Number of Observers", "Duration",
    "All Observations Reported", "Effort Distance Miles", "Effort Area Acres", "Checklist Comments"};

QString headerKey(const QString& s) { return s.trimmed().toCaseFolded(); }

// Recognises the file's format from its first record. Returns whether that record is a
// header (false: the headerless record format, whose first record is data).
bool recogniseColumns(const QStringList& first, Columns& c)
{
    QHash<QString, int> at;
    for (int i = 0; i < first.size(); ++i)
        if (!at.contains(headerKey(first[i]))) at.insert(headerKey(first[i]), i);
    auto col = [&](const char* name) { return at.value(QString::fromLatin1(name).toCaseFolded(), -1); };
    if (col("Submission ID") >= 0) {
        c.download = true;
        QStringList missing;
        for (const char* required : {"Submission ID", "Common Name", "Scientific Name", "Date"})
            if (col(required) < 0) missing << QString::fromLatin1(required);
        if (!missing.isEmpty())
            throw CsvError(QStringLiteral("The file lacks the column%1 %2 of an eBird download; nothing was imported.")
                               .arg(missing.size() > 1 ? QStringLiteral("s") : QString(), missing.join(QStringLiteral(", "))));
        c.submission = col("Submission ID");
        c.code = col("Species Code");
        c.common = col("Common Name");
        c.sci = col("Scientific Name");
        c.count = col("Count");
        c.stateCode = col("State/Province");
        c.county = col("County");
        c.location = col("Location");
        c.date = col("Date");
        c.details = col("Observation Details");
        c.comments = col("Checklist Comments");
        return true;
    }
    const bool header = col("Common Name") >= 0 && col("Genus") >= 0 && col("Species") >= 0 && col("Date") >= 0;
    if (header) {
        c.common = col("Common Name");
        c.genus = col("Genus");
        c.species = col("Species");
        c.count = col("Number");
        c.details = col("Species Comments");
        c.location = col("Location Name");
        c.date = col("Date");
        c.stateCode = col("State/Province");
        c.countryCode = col("Country Code");
        c.comments = col("Checklist Comments");
        return true;
    }
    if (first.size() == int(std::size(kRecordFormatColumns)) && parseDate(first[8]).isValid()) {
        c.common = 0; c.genus = 1; c.species = 2; c.count = 3; c.details = 4; c.location = 5; c.date = 8;
        c.stateCode = 10; c.countryCode = 11; c.comments = 18;
        return false;
    }
    throw CsvError(QStringLiteral("This is not an eBird file: the columns Submission ID, Common Name, Scientific "
                                  "Name and Date were not found in its first line. Nothing was imported."));
}

QString raw(const QStringList& f, int i) { return i >= 0 && i < f.size() ? f[i] : QString(); }
QString at(const QStringList& f, int i) { return raw(f, i).trimmed(); }

QString joinNotes(const QStringList& parts)
{
    QStringList kept;
    for (const QString& p : parts)
        if (!p.trimmed().isEmpty()) kept << p;
    return kept.join(u'\n');
}

} // namespace

ImportPreview readEbirdFile(db::Database& db, const QString& path, CsvReader::Limits limits,
                            const std::function<void(double)>& progress, QDate today)
{
    CsvReader reader(path, limits);
    QStringList fields;
    // Blank lines before the header are skipped.
    bool got = false;
    while ((got = reader.next(fields)))
        if (!(fields.size() == 1 && fields[0].trimmed().isEmpty())) break;
    if (!got) throw CsvError(QStringLiteral("The file is empty; nothing was imported."));

    Columns c;
    const bool header = recogniseColumns(fields, c);
    ImportPreview p;
    p.format = c.download ? QStringLiteral("eBird download") : QStringLiteral("eBird record format");

    const SpeciesIndex species(db);
    const RegionIndex regions(db);
    QSet<QString> stored;
    {
        auto rs = db.openRecordset(QStringLiteral("SELECT SourceKey FROM ImportKeys"), db::RecordsetKind::Snapshot);
        stored.reserve(rs.recordCount());
        for (; !rs.eof(); rs.moveNext()) stored.insert(rs.field(0).toString());
    }
    QSet<QString> seen;
    QSet<int> birds;
    QHash<QByteArray, int> occurrences; // of identical records, for content keys

    auto skip = [&](SkipReason why, const QString& name) {
        p.skipped[why][name.isEmpty() ? QStringLiteral("(no name)") : name] += 1;
    };

    int n = 0;
    bool pending = !header; // the first record is data
    while (pending || reader.next(fields)) {
        pending = false;
        if (fields.size() == 1 && fields[0].trimmed().isEmpty()) continue; // blank line
        ++p.recordsRead;
        for (QString& f : fields) f = unneutralised(f);
        if (progress && (++n & 1023) == 0 && reader.size() > 0) progress(double(reader.position()) / reader.size());

        const QString common = at(fields, c.common);
        const QString sci = c.download ? at(fields, c.sci)
                                       : (at(fields, c.genus) + u' ' + at(fields, c.species)).trimmed();
        const QString shownName = common.isEmpty() ? sci : common;
        SkipReason why = SkipReason::NotInDatabase;
        const int birdId = species.match(at(fields, c.code), sci, common, why);
        if (!birdId) { skip(why, shownName); continue; }
        ImportRecord r;
        r.birdId = birdId;
        r.date = parseDate(at(fields, c.date));
        if (!r.date.isValid()) { skip(SkipReason::NoDate, shownName); continue; }
        if (r.date < kFirstSightingDate || r.date > today) { skip(SkipReason::DateOutOfRange, shownName); continue; }
        const std::optional<QString> count = countNote(at(fields, c.count));
        if (!count) { skip(SkipReason::BadCount, shownName); continue; }

        QString comments = raw(fields, c.comments);
        const PlaceTag tag = c.download ? PlaceTag() : parsePlaceTag(comments);
        if (tag.present) {
            comments.clear();
            r.region = regions.find("Region", tag.region);
            r.country = regions.find("Country", tag.country);
            r.state = regions.find("State", tag.state);
            r.district = regions.find("District", tag.district);
            r.type = tag.type;
        } else {
            QString code = at(fields, c.stateCode);
            const QString country = at(fields, c.countryCode);
            if (!country.isEmpty() && !code.contains(u'-')) code = country + u'-' + code;
            // The regions by their eBird codes; a file without codes for them by their names.
            const QString countryCode = code.section(u'-', 0, 0);
            const QString countryName = countryNameForCode(countryCode);
            r.country = regions.byCode(countryCode);
            if (!r.country) r.country = regions.find("Country", countryName);
            // Every country with a code here lies in North America: the region of that name.
            if (!countryName.isEmpty()) r.region = regions.find("Region", QString::fromLatin1(kContinentRegion));
            const EbirdRegion* state = ebirdRegion(code);
            if (state && state->type == u"State") r.state = regions.byCode(state->code);
            if (!r.state) r.state = regions.find("State", subdivisionNameForCode(code));
            const QString county = at(fields, c.county);
            if (state) r.district = regions.byCode(countyCodeInState(state->code, county));
            if (!r.district) r.district = regions.county(county);
        }
        // Site and notes are kept exactly as written, so that an exported file reads back the same.
        r.site = raw(fields, c.location);
        r.notes = joinNotes({*count, raw(fields, c.details), comments});

        const QString submission = at(fields, c.submission);
        if (c.download && !submission.isEmpty()) {
            r.key = submission + u'|' + fold(sci.isEmpty() ? common : sci);
        } else {
            const QByteArray digest =
                QCryptographicHash::hash(fields.join(QChar(0x1F)).toUtf8(), QCryptographicHash::Sha1).toHex();
            r.key = QStringLiteral("rec:%1:%2").arg(QString::fromLatin1(digest)).arg(occurrences[digest]++);
        }
        if (seen.contains(r.key)) { skip(SkipReason::Repeated, shownName); continue; }
        seen.insert(r.key);

        ++p.matched;
        birds.insert(birdId);
        if (!p.first.isValid() || r.date < p.first) p.first = r.date;
        if (!p.last.isValid() || r.date > p.last) p.last = r.date;
        if (stored.contains(r.key)) { ++p.alreadyStored; continue; }
        p.records.push_back(std::move(r));
    }
    if (p.recordsRead == 0) throw CsvError(QStringLiteral("The file holds no records; nothing was imported."));
    p.speciesMatched = int(birds.size());
    if (progress) progress(1.0);
    return p;
}

QString currentRegionType(AppState& state)
{
    if (state.Reg_ID == 0) return {};
    auto valid = [](const QString& t) {
        const RegionKind* kind = regionKindOfType(t);
        return kind ? kind->type : QString();
    };
    if (QString t = valid(state.regType); !t.isEmpty()) return t;
    if (state.rsOptions.isOpen() && !state.rsOptions.eof())
        if (QString t = valid(state.rsOptions.field(QStringLiteral("regType")).toString()); !t.isEmpty()) return t;
    return valid(state.db().scalar(QStringLiteral("SELECT Type FROM Regions WHERE Reg_ID = ?"), {state.Reg_ID}).toString());
}

void refreshCurrentLifeList(AppState& state)
{
    std::optional<RegionList> list;
    if (state.Reg_ID == 0) {
        list = rebuildWorldLifeList(state.db(), state.qrySort); // every sighting counts
    } else {
        const QString type = currentRegionType(state);
        if (type.isEmpty()) return;
        list = rebuildLifeList(state.db(), state.Reg_ID, type, state.qrySort);
    }
    if (!list) return;
    OptionsChange change;
    change.lifetotal = list->total;
    change.lifesum = list->sighted;
    writeOptions(state, change);
}

int storeImport(AppState& state, const ImportPreview& preview, const std::function<bool(int, int)>& progress)
{
    db::Database& db = state.db();
    const int total = int(preview.records.size());
    if (progress && !progress(0, total)) return 0;
    if (total == 0) return 0;
    db::Transaction tx(db);
    db::Connection& conn = *db.connection();
    const db::CachedStatement insert = conn.cached(QStringLiteral(
        "INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site, notes) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const db::CachedStatement remember =
        conn.cached(QStringLiteral("INSERT INTO ImportKeys (SourceKey, Sight_ID) VALUES (?, ?)"));
    for (int i = 0; i < total; ++i) {
        if (progress && i > 0 && i % 500 == 0 && !progress(i, total)) return 0; // rolled back
        const ImportRecord& r = preview.records[size_t(i)];
        insert->bind({r.birdId, r.date, r.type, r.region, r.country, r.state, r.district, r.site, r.notes});
        insert->step();
        remember->bind({r.key, conn.lastInsertRowid()});
        remember->step();
    }
    if (progress && !progress(total, total)) return 0;
    // Each place given a sighting now has a checklist (copied on first use), widest first.
    QList<int> places;
    for (int ImportRecord::*place : {&ImportRecord::region, &ImportRecord::country, &ImportRecord::state,
                                     &ImportRecord::district}) {
        QSet<int> seen;
        for (const ImportRecord& r : preview.records)
            if (r.*place > 0 && !seen.contains(r.*place)) {
                seen.insert(r.*place);
                places << r.*place;
            }
    }
    provideChecklists(db, places);
    refreshCurrentLifeList(state);
    tx.commit();
    return total;
}

} // namespace fl
