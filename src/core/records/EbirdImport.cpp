#include "records/EbirdImport.h"

#include "state/OptionsRow.h"
#include "regions/RegionKinds.h"

#include "state/AppState.h"
#include "records/EbirdExport.h"
#include "records/EbirdLayouts.h"
#include "records/EbirdTags.h"
#include "lifelist/LifeList.h"
#include "regions/RegionCodes.h"
#include "regions/ChecklistCopy.h"
#include "regions/EbirdRegions.h"
#include "regions/RegionNames.h"
#include "schema/Schema.h"
#include "db/Connection.h"
#include "db/Database.h"

#include <QCryptographicHash>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cmath>
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
    case SkipReason::BadCount: return QStringLiteral("Count not a whole number from 1 to 1,000,000,000");
    }
    return {};
}

bool keptAsOtherRecord(SkipReason reason)
{
    switch (reason) {
    case SkipReason::Spuh:
    case SkipReason::Slash:
    case SkipReason::Hybrid:
    case SkipReason::Domestic:
    case SkipReason::NotInDatabase: return true;
    default: return false;
    }
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
    for (const auto& [reason, names] : skipped)
        if (!keptAsOtherRecord(reason)) n += skippedCount(reason);
    return n;
}

int ImportPreview::newSightings() const
{
    size_t n = 0;
    for (const ImportOuting& o : outings) n += o.sightings.size();
    return int(n);
}

int ImportPreview::newOtherRecords() const
{
    size_t n = 0;
    for (const ImportOuting& o : outings) n += o.others.size();
    return int(n);
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
        // One of two species: a slash in the genus or species part of the scientific name (or,
        // without one, in the common name before any form in parentheses); a slash among the
        // subspecies only is a form of one species the database does not hold.
        const bool slashInSpecies = (!words.isEmpty() && words[0].contains(u'/')) || (words.size() > 1 && words[1].contains(u'/'));
        const bool slashInCommon = (paren > 0 ? c.left(paren) : c).contains(u'/');
        if (slashInSpecies || (words.isEmpty() && slashInCommon)) { why = SkipReason::Slash; return 0; }
        why = SkipReason::NotInDatabase;
        return 0;
    }
};

// What a record names when it names no species of the database, as the taxonomy's category word.
QString categoryWord(SkipReason why, const QString& sci)
{
    switch (why) {
    case SkipReason::Spuh: return QStringLiteral("spuh");
    case SkipReason::Slash: return QStringLiteral("slash");
    case SkipReason::Hybrid: return QStringLiteral("hybrid");
    case SkipReason::Domestic: return QStringLiteral("domestic");
    default: break;
    }
    // A binomial is a species; anything longer a subspecies group or form.
    return sci.split(u' ', Qt::SkipEmptyParts).size() > 2 ? QStringLiteral("form") : QStringLiteral("species");
}

// The regions of the database by eBird code, and by type and case-folded name, with the
// regions the file needs that the database lacks (numbered -1, -2, ... until they are made).
class RegionIndex {
public:
    explicit RegionIndex(db::Database& db)
    {
        auto rs = db.openRecordset(QStringLiteral("SELECT Reg_ID, Name, Type, Code FROM Regions"),
                                   db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) {
            const QString k = nameKey(rs.field(2).toString(), rs.field(1).toString());
            if (!m_ids.contains(k)) m_ids.insert(k, rs.field(0).toInt());
            if (!rs.field(3).isNull()) m_codes.insert(rs.field(3).toString().toUpper(), rs.field(0).toInt());
        }
    }
    int find(const char* type, const QString& name) const
    {
        if (name.trimmed().isEmpty()) return 0;
        return m_ids.value(nameKey(QString::fromLatin1(type), name), 0);
    }
    int byCode(const QString& code) const { return code.isEmpty() ? 0 : m_codes.value(code.trimmed().toUpper(), 0); }
    int county(const QString& name) const
    {
        const QString n = name.trimmed();
        if (n.isEmpty()) return 0;
        if (int id = find("District", n)) return id;
        const QString word = QStringLiteral(" County");
        if (n.endsWith(word, Qt::CaseInsensitive)) return find("District", n.chopped(word.size()));
        return find("District", n + word);
    }
    // The region of that code, or of that type and name; else one to be made.
    int findOrAdd(const char* type, const QString& name, const QString& code)
    {
        if (int id = byCode(code)) return id;
        if (int id = find(type, name)) return id;
        const QString shown = name.trimmed().isEmpty() ? code.trimmed().toUpper() : name.trimmed();
        if (shown.isEmpty()) return 0;
        const int id = -int(m_new.size()) - 1;
        m_new.push_back({shown, QString::fromLatin1(type), code.trimmed().toUpper()});
        m_ids.insert(nameKey(QString::fromLatin1(type), shown), id);
        if (!code.trimmed().isEmpty()) m_codes.insert(code.trimmed().toUpper(), id);
        return id;
    }
    std::vector<NewRegion> takeNew() { return std::move(m_new); }

private:
    static QString nameKey(const QString& type, const QString& name) { return fold(type) + u'|' + fold(name); }
    QHash<QString, int> m_ids, m_codes;
    std::vector<NewRegion> m_new;
};

// Where each field of a record is, by format.
struct Columns {
    bool download = false;
    int submission = -1, code = -1, common = -1, sci = -1, genus = -1, species = -1, taxonOrder = -1, count = -1,
        stateCode = -1, countryCode = -1, county = -1, location = -1, latitude = -1, longitude = -1, date = -1,
        time = -1, protocol = -1, duration = -1, allReported = -1, distanceKm = -1, areaHa = -1, distanceMiles = -1,
        areaAcres = -1, observers = -1, breeding = -1, details = -1, comments = -1, media = -1;
};

QString headerKey(const QString& s) { return s.trimmed().toCaseFolded(); }

// Recognises the file's format from its first record. Returns whether that record is a
// header (false: the headerless record format, whose first record is data).
bool recogniseColumns(const QStringList& first, Columns& c)
{
    QHash<QString, int> at;
    for (int i = 0; i < first.size(); ++i)
        if (!at.contains(headerKey(first[i]))) at.insert(headerKey(first[i]), i);
    auto col = [&](const char* name) { return at.value(QString::fromLatin1(name).toCaseFolded(), -1); };
    // Downloads name the species comments "Observation Details" since 2019, "Species Comments" before.
    auto details = [&] { return col("Observation Details") >= 0 ? col("Observation Details") : col("Species Comments"); };
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
        c.taxonOrder = col("Taxonomic Order");
        c.count = col("Count");
        c.stateCode = col("State/Province");
        c.county = col("County");
        c.location = col("Location");
        c.latitude = col("Latitude");
        c.longitude = col("Longitude");
        c.date = col("Date");
        c.time = col("Time");
        c.protocol = col("Protocol");
        c.duration = col("Duration (Min)");
        c.allReported = col("All Obs Reported");
        c.distanceKm = col("Distance Traveled (km)");
        c.areaHa = col("Area Covered (ha)");
        c.observers = col("Number of Observers");
        c.breeding = col("Breeding Code");
        c.details = details();
        c.comments = col("Checklist Comments");
        c.media = col("ML Catalog Numbers");
        return true;
    }
    auto recordFormat = [&c](auto where) {
        c.common = where(0); c.genus = where(1); c.species = where(2); c.count = where(3); c.details = where(4);
        c.location = where(5); c.latitude = where(6); c.longitude = where(7); c.date = where(8); c.time = where(9);
        c.stateCode = where(10); c.countryCode = where(11); c.protocol = where(12); c.observers = where(13);
        c.duration = where(14); c.allReported = where(15); c.distanceMiles = where(16); c.areaAcres = where(17);
        c.comments = where(18);
    };
    const bool header = col("Common Name") >= 0 && col("Genus") >= 0 && col("Species") >= 0 && col("Date") >= 0;
    if (header) {
        recordFormat([&](int i) { return at.value(headerKey(recordFormatColumns()[i]), -1); });
        if (c.details < 0) c.details = col("Observation Details");
        return true;
    }
    if (first.size() == recordFormatColumns().size() && parseEbirdDate(first[8]).isValid()) {
        recordFormat([](int i) { return i; });
        return false;
    }
    throw CsvError(QStringLiteral("This is not an eBird file: the columns Submission ID, Common Name, Scientific "
                                  "Name and Date were not found in its first line. Nothing was imported."));
}

// A field as written, less the apostrophe an export puts before a text a spreadsheet would run.
QString raw(const QStringList& f, int i) { return i >= 0 && i < f.size() ? unneutralised(f[i]) : QString(); }
QString at(const QStringList& f, int i) { return raw(f, i).trimmed(); }

// A count: nothing for "X" or no count; false for what is no whole number of birds.
bool readCount(const QString& s, std::optional<qint64>& count)
{
    count.reset();
    if (s.isEmpty() || s.compare(u"X", Qt::CaseInsensitive) == 0) return true;
    if (s.size() > 12) return false;
    for (QChar ch : s)
        if (ch < u'0' || ch > u'9') return false;
    const qint64 n = s.toLongLong();
    if (n < 1 || n > kMaxCount) return false;
    count = n;
    return true;
}

// A number in the file's own form (a decimal point, no grouping); nothing for an empty or
// unreadable cell or one out of [low, high].
std::optional<double> number(const QString& s, double low, double high)
{
    if (s.isEmpty()) return std::nullopt;
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < low || v > high) return std::nullopt;
    return v;
}

std::optional<int> whole(const QString& s, int low, int high)
{
    const auto v = number(s, low, high);
    if (!v || *v != std::floor(*v)) return std::nullopt;
    return int(*v);
}

double rounded(double v, double unit) { return std::round(v / unit) * unit; }

// "1", "Y", "yes", "true": all species reported.
bool yes(const QString& s)
{
    const QString t = s.trimmed().toLower();
    return t == u"1" || t == u"y" || t == u"yes" || t == u"true";
}

// Catalogue numbers as blank-separated digits ("ML123 ML456" or "123,456" both give "123 456").
QString mediaNumbers(const QString& s)
{
    QStringList numbers;
    QString current;
    for (QChar ch : s) {
        if (ch >= u'0' && ch <= u'9') {
            current += ch;
        } else if (!current.isEmpty()) {
            numbers << current;
            current.clear();
        }
    }
    if (!current.isEmpty()) numbers << current;
    return numbers.join(u' ');
}

QString breedingCode(const QString& s) { return s.trimmed().left(64).trimmed(); }

// Adds a record of the same species to another in one checklist, as a lump merges two:
// counts added (present without a count stays so), comments joined.
template <class R>
void mergeInto(R& into, const R& from)
{
    into.count = into.count && from.count ? std::optional<qint64>(std::min(*into.count + *from.count, kMaxCount))
                                          : std::nullopt;
    if (!from.comments.isEmpty() && into.comments != from.comments)
        into.comments = into.comments.isEmpty() ? from.comments : into.comments + QStringLiteral("; ") + from.comments;
    if (into.breedingCode.isEmpty()) into.breedingCode = from.breedingCode;
    if (!from.mediaNumbers.isEmpty()) {
        QStringList all = into.mediaNumbers.split(u' ', Qt::SkipEmptyParts);
        for (const QString& n : from.mediaNumbers.split(u' ', Qt::SkipEmptyParts))
            if (!all.contains(n)) all << n;
        into.mediaNumbers = all.join(u' ');
    }
}

// The source keys of a checklist's records.
QString sightingKey(const ImportOuting& g, int birdId) { return g.groupKey + QStringLiteral("|#") + QString::number(birdId); }
QString otherKey(const ImportOuting& g, const ImportOther& o) { return g.groupKey + u'|' + fold(o.sci.isEmpty() ? o.common : o.sci); }

// The identity of a checklist without a Submission ID: when, where and how it was made (its
// comments by a digest, which stays the same from one run to the next).
QString contentGroupKey(const Outing& o)
{
    auto opt = [](const auto& v) { return v ? QString::number(*v, 'g', 12) : QString(); };
    const QByteArray comments = QCryptographicHash::hash(o.comments.toUtf8(), QCryptographicHash::Md5).toHex().left(12);
    return QStringLiteral("C|%1|%2|%3|%4,%5|%6|%7|%8|%9")
        .arg(o.date.toString(Qt::ISODate), o.startTime.isValid() ? o.startTime.toString(QStringLiteral("HH:mm")) : QString(),
             fold(o.site), opt(o.latitude), opt(o.longitude), fold(o.protocol),
             QStringLiteral("%1/%2/%3/%4/%5").arg(opt(o.duration), opt(o.distance), opt(o.area), opt(o.observers))
                 .arg(o.allReported),
             o.stateCode + u'/' + o.countyCode, QString::fromLatin1(comments));
}

// Drops from each checklist what the database holds already: for a checklist with a
// Submission ID, the species of its stored outing and every record whose key was stored
// (also keys of sightings since deleted, and the older keys of a species' names); for one
// without, the species seen on its date at its site and start time.
// Reading the file is the first 90% of the progress, this the rest. False when cancelled.
constexpr double kReadShare = 0.9;

bool dropStored(db::Database& db, const SpeciesIndex& species, std::vector<ImportOuting>& groups, ImportPreview& p,
                const std::function<bool(double)>& progress)
{
    db::Connection& conn = *db.connection();
    const db::CachedStatement outingOf =
        conn.cached(QStringLiteral("SELECT Outing_ID FROM Outings WHERE SubmissionID = ?"));
    const db::CachedStatement outingRow = conn.cached(QStringLiteral(
        "SELECT Date, site, Region, country, state, district FROM Outings WHERE Outing_ID = ?"));
    const db::CachedStatement birdsOf = conn.cached(QStringLiteral("SELECT Bird_ID FROM Sightings WHERE Outing_ID = ?"));
    const db::CachedStatement othersOf = conn.cached(QStringLiteral(
        "SELECT coalesce(nullif(sci_name, ''), Name) FROM OtherRecords WHERE Outing_ID = ?"));
    const db::CachedStatement keys = conn.cached(QStringLiteral(
        "SELECT K.SourceKey, S.Bird_ID FROM ImportKeys K LEFT JOIN Sightings S ON S.Sight_ID = K.Sight_ID "
        "WHERE K.SourceKey >= ? AND K.SourceKey < ?"));
    const db::CachedStatement sameDay = conn.cached(QStringLiteral(
        "SELECT S.Bird_ID, S.Outing_ID, O.SubmissionID FROM Sightings S LEFT JOIN Outings O ON O.Outing_ID = S.Outing_ID "
        "WHERE S.Date = ? AND S.site = ? AND O.StartTime IS ?"));
    const db::CachedStatement sameDayOthers = conn.cached(QStringLiteral(
        "SELECT coalesce(nullif(R.sci_name, ''), R.Name), O.Outing_ID, O.SubmissionID FROM OtherRecords R JOIN Outings O "
        "ON O.Outing_ID = R.Outing_ID WHERE O.Date = ? AND O.site = ? AND O.StartTime IS ?"));

    // The checklists the database knows, to ask only about those: the Submission IDs of its
    // outings, and the checklists its keys name (the key up to its first "|").
    QSet<QString> outingIds, keyGroups;
    for (auto rs = db.openRecordset(QStringLiteral("SELECT SubmissionID FROM Outings WHERE SubmissionID IS NOT NULL"),
                                    db::RecordsetKind::Snapshot);
         !rs.eof(); rs.moveNext())
        outingIds.insert(rs.field(0).toString());
    for (auto rs = db.openRecordset(QStringLiteral("SELECT DISTINCT substr(SourceKey, 1, instr(SourceKey, '|') - 1) "
                                                   "FROM ImportKeys WHERE SourceKey NOT LIKE 'C|%'"),
                                    db::RecordsetKind::Snapshot);
         !rs.eof(); rs.moveNext())
        keyGroups.insert(rs.field(0).toString());

    size_t done = 0;
    for (ImportOuting& io : groups) {
        if (progress && (++done & 255) == 0 && !progress(kReadShare + (1 - kReadShare) * double(done) / double(groups.size())))
            return false;
        const QString& submission = io.outing.submissionId;
        if (!submission.isEmpty() && !outingIds.contains(submission) && !keyGroups.contains(io.groupKey)) continue;
        QSet<int> birds;
        QSet<QString> names, stored;
        if (!submission.isEmpty()) {
            outingOf->bind({submission});
            if (outingOf->step()) io.existingId = int(outingOf->int64(0));
            outingOf->reset();
        } else {
            const QVariant time = io.outing.startTime.isValid()
                                      ? QVariant(io.outing.startTime.toString(QStringLiteral("HH:mm"))) : QVariant();
            sameDay->bind({io.outing.date, io.outing.site, time});
            while (sameDay->step()) {
                birds.insert(int(sameDay->int64(0)));
                if (!io.existingId && !sameDay->value(1).isNull() && sameDay->value(2).isNull())
                    io.existingId = int(sameDay->int64(1));
            }
            sameDay->reset();
            sameDayOthers->bind({io.outing.date, io.outing.site, time});
            while (sameDayOthers->step()) {
                names.insert(fold(sameDayOthers->value(0).toString()));
                if (!io.existingId && sameDayOthers->value(2).isNull()) io.existingId = int(sameDayOthers->int64(1));
            }
            sameDayOthers->reset();
        }
        if (io.noOuting) io.existingId = 0; // sightings on their own join no outing
        if (io.existingId) {
            // The records join the outing as it is stored now.
            outingRow->bind({io.existingId});
            if (outingRow->step()) {
                io.outing.date = outingRow->value(0).toDate();
                io.outing.site = outingRow->value(1).toString();
                for (int k = 0; k < 4; ++k) io.outing.places[k] = int(outingRow->int64(2 + k));
            }
            outingRow->reset();
            birdsOf->bind({io.existingId});
            while (birdsOf->step()) birds.insert(int(birdsOf->int64(0)));
            birdsOf->reset();
            othersOf->bind({io.existingId});
            while (othersOf->step()) names.insert(fold(othersOf->value(0).toString()));
            othersOf->reset();
        }
        // Keys run from "<group>|" up to "<group>}", the next character.
        keys->bind({io.groupKey + u'|', io.groupKey + u'}'});
        while (keys->step()) {
            const QString key = keys->value(0).toString();
            stored.insert(key);
            if (!keys->value(1).isNull()) {
                birds.insert(int(keys->int64(1)));
            } else if (!submission.isEmpty()) {
                // A key of the older form names the species ("S123|anas platyrhynchos").
                const QString name = key.mid(io.groupKey.size() + 1);
                SkipReason why;
                if (!name.startsWith(u'#'))
                    if (int id = species.match(QString(), name, name, why)) birds.insert(id);
            }
        }
        keys->reset();

        const size_t before = io.sightings.size() + io.others.size();
        std::erase_if(io.sightings, [&](const ImportSighting& s) {
            return birds.contains(s.birdId) || stored.contains(sightingKey(io, s.birdId));
        });
        std::erase_if(io.others, [&](const ImportOther& o) {
            return names.contains(fold(o.sci.isEmpty() ? o.common : o.sci)) || stored.contains(o.key);
        });
        p.alreadyStored += int(before - io.sightings.size() - io.others.size());
    }
    return true;
}

} // namespace

QDate parseEbirdDate(const QString& text)
{
    // The usual form without a pattern: YYYY-MM-DD.
    if (text.size() == 10 && text[4] == u'-' && text[7] == u'-') {
        int v[8];
        bool digits = true;
        for (int i = 0, k = 0; i < 10 && digits; ++i) {
            if (i == 4 || i == 7) continue;
            digits = text[i] >= u'0' && text[i] <= u'9';
            v[k++] = text[i].unicode() - u'0';
        }
        if (digits)
            return QDate(v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3], v[4] * 10 + v[5], v[6] * 10 + v[7]);
    }
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    static const QRegularExpression us(QStringLiteral("^(\\d{1,2})([-/])(\\d{1,2})\\2(\\d{4})$"));
    const QString t = text.trimmed();
    if (const auto m = iso.match(t); m.hasMatch())
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (const auto m = us.match(t); m.hasMatch())
        return QDate(m.captured(4).toInt(), m.captured(1).toInt(), m.captured(3).toInt());
    return {};
}

QTime parseEbirdTime(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^(\\d{1,2}):(\\d{2})(?::(\\d{2}))?\\s*([AaPp]\\.?[Mm]\\.?)?$"));
    const auto m = form.match(text.trimmed());
    if (!m.hasMatch()) return {};
    int hour = m.captured(1).toInt();
    const int minute = m.captured(2).toInt();
    if (const QString half = m.captured(4).toLower(); !half.isEmpty()) {
        if (hour < 1 || hour > 12) return {};
        hour = hour % 12 + (half.startsWith(u'p') ? 12 : 0);
    }
    return QTime(hour, minute); // invalid when out of range
}

QString withLineBreaks(const QString& text)
{
    if (!text.contains(u'<')) return text;
    static const QRegularExpression br(QStringLiteral("<br\\s*/?>"), QRegularExpression::CaseInsensitiveOption);
    QString t = text;
    t.replace(br, QStringLiteral("\n"));
    return t;
}

ImportPreview readEbirdFile(db::Database& db, const QString& path, CsvReader::Limits limits,
                            const std::function<bool(double)>& progress, QDate today)
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
    RegionIndex regions(db);
    std::vector<ImportOuting> groups; // the file's checklists, in the order of their first records
    QHash<QString, int> groupOf;
    QSet<int> birds;
    // The species a name names, found once per name.
    struct Match {
        QString code, common; // with the scientific name, the names it was found for
        int birdId = 0;
        SkipReason why = SkipReason::NotInDatabase;
    };
    QHash<QString, Match> matches; // by scientific name
    // The places of a state and county, found once per pair.
    struct Places {
        int ids[4] = {};
        QString stateCode, countyCode;
    };
    QHash<QString, Places> placesOf;

    auto skip = [&](SkipReason why, const QString& name) {
        p.skipped[why][name.isEmpty() ? QStringLiteral("(no name)") : name] += 1;
    };

    int n = 0;
    bool pending = !header; // the first record is data
    while (pending || reader.next(fields)) {
        pending = false;
        if (fields.size() == 1 && fields[0].trimmed().isEmpty()) continue; // blank line
        ++p.recordsRead;
        if (progress && (++n & 1023) == 0 && reader.size() > 0
            && !progress(kReadShare * double(reader.position()) / double(reader.size()))) {
            ImportPreview stopped;
            stopped.cancelled = true;
            return stopped;
        }

        const QString common = at(fields, c.common);
        const QString sci = c.download ? at(fields, c.sci)
                                       : (at(fields, c.genus) + u' ' + at(fields, c.species)).trimmed();
        const QString shownName = common.isEmpty() ? sci : common;
        const QString code = at(fields, c.code);
        auto known = matches.find(sci);
        if (known == matches.end() || known->code != code || known->common != common) {
            Match m{code, common};
            m.birdId = species.match(code, sci, common, m.why);
            known = matches.insert(sci, m);
        }
        const int birdId = known->birdId;
        const SkipReason kind = known->why;

        const QString dateText = at(fields, c.date);
        const QDate date = parseEbirdDate(dateText);
        if (!date.isValid()) {
            skip(SkipReason::NoDate, shownName);
            if (p.badDates.size() < size_t(ImportPreview::kMaxBadDates))
                p.badDates.push_back({reader.line(), dateText, shownName});
            continue;
        }
        if (date < kFirstSightingDate || date > today) { skip(SkipReason::DateOutOfRange, shownName); continue; }
        std::optional<qint64> count;
        if (!readCount(at(fields, c.count), count)) { skip(SkipReason::BadCount, shownName); continue; }

        // A checklist is read from its first record; the others of a Submission ID only join it.
        const QString submission = at(fields, c.submission);
        auto gi = submission.isEmpty() ? groupOf.end() : groupOf.find(submission);
        QString type;
        if (gi == groupOf.end()) {
            // The checklist's fields.
            Outing o;
            o.date = date;
            o.startTime = parseEbirdTime(at(fields, c.time));
            o.protocol = ebirdProtocolName(at(fields, c.protocol));
            if (o.protocol.isEmpty()) o.protocol = QStringLiteral("Incidental");
            o.duration = whole(at(fields, c.duration), 1, 1440);
            if (c.distanceKm >= 0) o.distance = number(at(fields, c.distanceKm), 0, 10000);
            else if (auto miles = number(at(fields, c.distanceMiles), 0, 10000 / kKmPerMile)) o.distance = rounded(*miles * kKmPerMile, 0.001);
            if (c.areaHa >= 0) o.area = number(at(fields, c.areaHa), 1e-9, 1000000);
            else if (auto acres = number(at(fields, c.areaAcres), 1e-9, 1000000 / kHaPerAcre))
                o.area = rounded(*acres * kHaPerAcre, 0.001);
            if (o.area && *o.area <= 0) o.area.reset();
            o.observers = whole(at(fields, c.observers), 1, 1000);
            o.allReported = yes(at(fields, c.allReported));
            o.latitude = number(at(fields, c.latitude), -90, 90);
            o.longitude = number(at(fields, c.longitude), -180, 180);
            if (!o.latitude || !o.longitude) o.latitude.reset(), o.longitude.reset();
            o.site = raw(fields, c.location); // as written, so that an exported file reads back the same
            QString comments = withLineBreaks(raw(fields, c.comments));
            const PlaceTag tag = c.download ? PlaceTag() : parsePlaceTag(comments);
            if (tag.present) {
                // The program's older exports named the places in the comments.
                comments.clear();
                o.places[0] = regions.find("Region", tag.region);
                o.places[1] = regions.find("Country", tag.country);
                o.places[2] = regions.find("State", tag.state);
                o.places[3] = regions.find("District", tag.district);
                type = tag.type;
            }
            o.comments = comments;
            {
                QString stateCode = at(fields, c.stateCode).toUpper();
                const QString countryCode = at(fields, c.countryCode).toUpper();
                if (!countryCode.isEmpty() && !stateCode.contains(u'-') && !stateCode.isEmpty())
                    stateCode = countryCode + u'-' + stateCode;
                const QString county = at(fields, c.county);
                const QString placeKey = stateCode + u'|' + countryCode + u'|' + county;
                auto place = placesOf.find(placeKey);
                if (place == placesOf.end()) {
                    Places found;
                    static const QRegularExpression codeForm(QStringLiteral("^[A-Z]{2}(-[A-Z0-9]+)?$"));
                    const QString cc = stateCode.isEmpty() ? countryCode : stateCode.section(u'-', 0, 0);
                    if (codeForm.match(cc).hasMatch()) {
                        const QString countryName = countryNameForCode(cc);
                        found.ids[1] = regions.findOrAdd("Country", countryName, cc);
                        // Every country with a name here lies in North America: the region of that name.
                        if (!countryName.isEmpty()) found.ids[0] = regions.find("Region", QString::fromLatin1(kContinentRegion));
                    }
                    if (stateCode.contains(u'-') && codeForm.match(stateCode).hasMatch()) {
                        found.stateCode = stateCode;
                        const EbirdRegion* state = ebirdRegion(stateCode);
                        const QString stateName = state ? state->name : subdivisionNameForCode(stateCode);
                        found.ids[2] = regions.findOrAdd("State", stateName, stateCode);
                        if (!county.isEmpty()) {
                            const QString countyCode = countyCodeInState(stateCode, county);
                            if (!countyCode.isEmpty()) {
                                found.countyCode = countyCode;
                                const EbirdRegion* r = ebirdRegion(countyCode);
                                const QString name = r ? r->name : county;
                                found.ids[3] = regions.byCode(countyCode);
                                if (!found.ids[3]) found.ids[3] = regions.find("District", name);
                                if (!found.ids[3]) found.ids[3] = regions.county(county);
                                if (!found.ids[3]) found.ids[3] = regions.findOrAdd("District", name, countyCode);
                            } else if (int id = regions.county(county)) {
                                found.ids[3] = id;
                            } else {
                                const QString name = stateName.isEmpty() ? county
                                                                         : countyRegionName(county, stateName);
                                found.ids[3] = regions.findOrAdd("District", name, QString());
                            }
                        }
                    } else if (!county.isEmpty()) {
                        found.ids[3] = regions.county(county);
                        if (!found.ids[3]) found.ids[3] = regions.findOrAdd("District", county, QString());
                    }
                    place = placesOf.insert(placeKey, found);
                }
                if (!tag.present) {
                    for (int k = 0; k < 4; ++k) o.places[k] = place->ids[k];
                } else {
                    for (int k = 0; k < 4; ++k)
                        if (!o.places[k]) o.places[k] = place->ids[k];
                }
                o.stateCode = place->stateCode;
                o.countyCode = place->countyCode;
            }
            if (submission.size() <= 40) o.submissionId = submission;
            const bool noOuting = c.download && submission.isEmpty() && o.protocol == u"Incidental"
                                  && !o.startTime.isValid() && !o.duration && !o.distance && !o.area && !o.observers
                                  && !o.allReported && !o.latitude && o.comments.isEmpty();
            const QString groupKey = submission.isEmpty() ? contentGroupKey(o) : submission;
            gi = groupOf.find(groupKey);
            if (gi == groupOf.end()) {
                ImportOuting g;
                g.groupKey = groupKey;
                g.noOuting = noOuting;
                g.outing = std::move(o);
                gi = groupOf.insert(groupKey, int(groups.size()));
                groups.push_back(std::move(g));
            }
        }
        // (A checklist's records are few: a repeated species is found by looking through them.)
        ImportOuting& g = groups[size_t(*gi)];

        const QString speciesComments = withLineBreaks(raw(fields, c.details));
        if (birdId) {
            ImportSighting s;
            s.birdId = birdId;
            s.count = count;
            s.comments = speciesComments;
            s.breedingCode = breedingCode(raw(fields, c.breeding));
            s.mediaNumbers = mediaNumbers(raw(fields, c.media));
            s.type = type;
            ++p.matched;
            birds.insert(birdId);
            const QDate day = g.outing.date; // a checklist has one date: its first record's
            if (!p.first.isValid() || day < p.first) p.first = day;
            if (!p.last.isValid() || day > p.last) p.last = day;
            auto& list = g.sightings;
            // Sightings on their own are each kept as they are.
            if (auto it = std::find_if(list.begin(), list.end(), [&](const ImportSighting& e) { return e.birdId == birdId; });
                it != list.end() && !g.noOuting) {
                mergeInto(*it, s);
                ++p.merged;
            } else {
                list.push_back(std::move(s));
            }
        } else {
            skip(kind, shownName);
            ImportOther r;
            r.common = common;
            r.sci = sci;
            r.category = categoryWord(kind, sci);
            r.taxonOrder = number(at(fields, c.taxonOrder), -1e12, 1e12);
            r.count = count;
            r.comments = speciesComments;
            r.breedingCode = breedingCode(raw(fields, c.breeding));
            r.mediaNumbers = mediaNumbers(raw(fields, c.media));
            r.key = otherKey(g, r);
            ++p.otherRecords;
            auto& list = g.others;
            if (auto it = std::find_if(list.begin(), list.end(), [&](const ImportOther& e) { return e.key == r.key; });
                it != list.end()) {
                mergeInto(*it, r);
                ++p.merged;
            } else {
                list.push_back(std::move(r));
            }
        }
    }
    if (p.recordsRead == 0) throw CsvError(QStringLiteral("The file holds no records; nothing was imported."));
    p.speciesMatched = int(birds.size());

    // Records of no species need an outing to belong to. Its sightings then join that outing,
    // where a species is one sighting: one seen twice is merged as in any checklist.
    for (ImportOuting& g : groups) {
        if (g.others.empty() || !g.noOuting) continue;
        g.noOuting = false;
        std::vector<ImportSighting> merged;
        for (ImportSighting& s : g.sightings) {
            auto it = std::find_if(merged.begin(), merged.end(), [&](const ImportSighting& e) { return e.birdId == s.birdId; });
            if (it == merged.end()) {
                merged.push_back(std::move(s));
            } else {
                mergeInto(*it, s);
                ++p.merged;
            }
        }
        g.sightings = std::move(merged);
    }
    if (!dropStored(db, species, groups, p, progress)) {
        ImportPreview stopped;
        stopped.cancelled = true;
        return stopped;
    }
    std::erase_if(groups, [](const ImportOuting& g) { return g.sightings.empty() && g.others.empty(); });
    p.outings = std::move(groups);
    // Only the regions of checklists still to store are made, numbered anew.
    std::vector<NewRegion> wanted = regions.takeNew();
    std::vector<int> renumbered(wanted.size(), 0);
    for (ImportOuting& io : p.outings)
        for (int& id : io.outing.places) {
            if (id >= 0) continue;
            int& to = renumbered[size_t(-id - 1)];
            if (!to) {
                p.newRegions.push_back(wanted[size_t(-id - 1)]);
                to = -int(p.newRegions.size());
            }
            id = to;
        }
    if (progress && !progress(1.0)) {
        ImportPreview stopped;
        stopped.cancelled = true;
        return stopped;
    }
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
    if (optionsOpen(state))
        if (QString t = valid(state.rsOptions.field(QStringLiteral("regType")).toString()); !t.isEmpty()) return t;
    return valid(state.db().scalar(QStringLiteral("SELECT Type FROM Regions WHERE Reg_ID = ?"), {state.Reg_ID}).toString());
}

void refreshCurrentLifeList(AppState& state)
{
    std::optional<RegionList> list;
    if (state.Reg_ID == 0) {
        list = rebuildWorldLifeList(state.db(), state.qrySort); // every sighting counts
    } else {
        list = rebuildLifeList(state.db(), state.Reg_ID, state.qrySort);
    }
    if (!list) return;
    OptionsChange change;
    change.lifetotal = list->total;
    change.lifesum = list->sighted;
    writeOptions(state, change);
}

namespace {

// From how many new sightings a large import makes the log's indexes afresh.
constexpr int kRebuildIndexesFrom = 20000;

QVariant orNull(const QString& text) { return text.isEmpty() ? QVariant() : QVariant(text); }

template <class T>
QVariant orNull(const std::optional<T>& value)
{
    return value ? QVariant::fromValue(*value) : QVariant();
}

} // namespace

int storeImport(AppState& state, const ImportPreview& preview, const std::function<bool(int, int)>& progress)
{
    db::Database& db = state.db();
    const int total = preview.newSightings() + preview.newOtherRecords();
    if (progress && !progress(0, total)) return 0;
    if (total == 0) return 0;
    db::Transaction tx(db);
    db::Connection& conn = *db.connection();

    // The regions the file needs that the database lacked.
    std::vector<int> made;
    made.reserve(preview.newRegions.size());
    {
        const db::CachedStatement addRegion =
            conn.cached(QStringLiteral("INSERT INTO Regions (Name, Type, Code) VALUES (?, ?, ?)"));
        for (const NewRegion& r : preview.newRegions) {
            addRegion->bind({r.name, r.type, orNull(r.code)});
            addRegion->step();
            made.push_back(int(conn.lastInsertRowid()));
        }
    }
    auto place = [&made](int id) { return id >= 0 ? id : made.at(size_t(-id - 1)); };

    const db::CachedStatement addOuting = conn.cached(QStringLiteral(
        "INSERT INTO Outings (Date, StartTime, Duration, Distance, Area, Observers, Protocol, AllReported, site, "
        "Latitude, Longitude, Region, country, state, district, StateCode, CountyCode, comments, SubmissionID) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const db::CachedStatement addSighting = conn.cached(QStringLiteral(
        "INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site, notes, Outing_ID, Count, "
        "BreedingCode, MediaNumbers) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const db::CachedStatement addOther = conn.cached(QStringLiteral(
        "INSERT INTO OtherRecords (Outing_ID, Name, sci_name, Category, TaxonOrder, Count, BreedingCode, notes, "
        "MediaNumbers, SourceKey) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const db::CachedStatement remember =
        conn.cached(QStringLiteral("INSERT OR REPLACE INTO ImportKeys (SourceKey, Sight_ID) VALUES (?, ?)"));

    // A large import into a smaller log is faster with the log's indexes made afresh once its
    // rows are in (in the same transaction: a cancel or failure brings them back as they were).
    QStringList indexes;
    const int before = db.scalar(QStringLiteral("SELECT count(*) FROM Sightings")).toInt();
    if (preview.newSightings() >= kRebuildIndexesFrom && preview.newSightings() > before) {
        for (auto rs = db.openRecordset(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'index' "
                                                       "AND tbl_name = 'Sightings' AND sql IS NOT NULL"),
                                        db::RecordsetKind::Snapshot);
             !rs.eof(); rs.moveNext()) {
            db.execute(QStringLiteral("DROP INDEX [%1]").arg(rs.field(0).toString()));
            indexes << rs.field(1).toString();
        }
    }
    // Checklists in the order of their keys, so that the keys go in in order.
    std::vector<const ImportOuting*> order;
    order.reserve(preview.outings.size());
    for (const ImportOuting& io : preview.outings) order.push_back(&io);
    std::sort(order.begin(), order.end(),
              [](const ImportOuting* a, const ImportOuting* b) { return a->groupKey < b->groupKey; });

    QSet<int> placesUsed[4];
    QList<int> placeOrder[4];
    int done = 0, sightings = 0, sinceCheck = 0;
    for (const ImportOuting* checklist : order) {
        const ImportOuting& io = *checklist;
        const Outing& o = io.outing;
        int places[4];
        for (int k = 0; k < 4; ++k) {
            places[k] = place(o.places[k]);
            if (places[k] > 0 && !placesUsed[k].contains(places[k])) {
                placesUsed[k].insert(places[k]);
                placeOrder[k] << places[k];
            }
        }
        int outingId = io.existingId;
        if (!outingId && !io.noOuting) {
            addOuting->bind({o.date,
                             o.startTime.isValid() ? QVariant(o.startTime.toString(QStringLiteral("HH:mm"))) : QVariant(),
                             orNull(o.duration), orNull(o.distance), orNull(o.area), orNull(o.observers), o.protocol,
                             o.allReported, o.site, orNull(o.latitude), orNull(o.longitude), places[0], places[1],
                             places[2], places[3], orNull(o.stateCode), orNull(o.countyCode), o.comments,
                             orNull(o.submissionId)});
            addOuting->step();
            outingId = int(conn.lastInsertRowid());
        }
        for (const ImportSighting& s : io.sightings) {
            addSighting->bind({s.birdId, o.date, s.type, places[0], places[1], places[2], places[3], o.site, s.comments,
                               outingId ? QVariant(outingId) : QVariant(), orNull(s.count), orNull(s.breedingCode),
                               orNull(s.mediaNumbers)});
            addSighting->step();
            remember->bind({io.groupKey + QStringLiteral("|#") + QString::number(s.birdId), conn.lastInsertRowid()});
            remember->step();
            ++sightings;
        }
        for (const ImportOther& r : io.others) {
            addOther->bind({outingId, orNull(r.common), orNull(r.sci), r.category, orNull(r.taxonOrder), orNull(r.count),
                            orNull(r.breedingCode), r.comments, orNull(r.mediaNumbers), r.key});
            addOther->step();
            remember->bind({r.key, QVariant()});
            remember->step();
        }
        done += int(io.sightings.size() + io.others.size());
        sinceCheck += int(io.sightings.size() + io.others.size());
        if (progress && sinceCheck >= 500) {
            sinceCheck = 0;
            if (!progress(done, total)) return 0; // rolled back
        }
    }
    for (const QString& sql : std::as_const(indexes)) db.execute(sql);
    if (progress && !progress(total, total)) return 0;
    // Each place given a sighting now has a checklist (copied on first use), widest first.
    QList<int> places;
    for (const QList<int>& kind : placeOrder) places << kind;
    provideChecklists(db, places);
    refreshCurrentLifeList(state);
    tx.commit();
    return sightings;
}

} // namespace fl
