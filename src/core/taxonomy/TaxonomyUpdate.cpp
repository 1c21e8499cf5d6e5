#include "taxonomy/TaxonomyUpdate.h"

#include "taxonomy/AlphaCodes.h"

#include "records/EbirdImport.h"
#include "state/AppState.h"
#include "status/StatusCodes.h"
#include "db/Database.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <map>
#include <limits>
#include <optional>
#include <tuple>

namespace fl {

namespace {

QString key(const QString& s) { return s.simplified().toCaseFolded(); }

struct DbSpecies {
    int id = 0;
    QString code, name, sci;
    qint64 sortOrder = 0;
    int sightings = 0;
};

TaxonomyPlan::Taxon taxonOf(const TaxonRow& r)
{
    TaxonomyPlan::Taxon t;
    t.code = r.code;
    t.common = r.common;
    t.sci = r.sci;
    t.taxonOrder = r.taxonOrder;
    t.order = r.order;
    t.family = r.family;
    t.familyName = r.familyName;
    return t;
}

// The species a slash or spuh names by its scientific name: "Vireo gilvus/swainsoni" names
// Vireo gilvus and Vireo swainsoni; "Larus smithsonianus/Chroicocephalus ridibundus" names
// both binomials. A slash of genera ("Polysticta/Somateria sp.") names no species.
QStringList slashSpecies(const QString& sciName)
{
    const QString sci = sciName.simplified();
    const qsizetype space = sci.indexOf(u' ');
    if (space <= 0) return {};
    QString genus = sci.left(space);
    if (genus.contains(u'/')) return {};
    QStringList out;
    for (const QString& piece : sci.mid(space + 1).split(u'/')) {
        const QStringList words = piece.simplified().split(u' ', Qt::SkipEmptyParts);
        if (words.isEmpty()) continue;
        if (words[0][0].isUpper()) {
            if (words.size() < 2 || !words[1][0].isLower()) continue;
            genus = words[0];
            out << genus + u' ' + words[1];
        } else if (words[0] != u"sp.") {
            out << genus + u' ' + words[0];
        }
    }
    return out;
}

// The file's species by scientific and common name; a name two species share finds none.
struct NameIndex {
    QHash<QString, int> bySci, byCommon; // row index, -1 for a shared name
    QHash<QString, int> formBySci, formByCommon;
    explicit NameIndex(const TaxonomyFile& file)
    {
        const auto& rows = file.rows();
        for (int i = 0; i < int(rows.size()); ++i) {
            const TaxonRow& r = rows[size_t(i)];
            if (r.isSpecies()) {
                add(bySci, r.sci, i);
                add(byCommon, r.common, i);
            } else if (r.isForm() && !r.reportAs.isEmpty()) {
                add(formBySci, r.sci, i);
                add(formByCommon, r.common, i);
            }
        }
    }
    static void add(QHash<QString, int>& h, const QString& name, int i)
    {
        const QString k = key(name);
        if (k.isEmpty()) return;
        auto it = h.find(k);
        if (it == h.end()) h.insert(k, i);
        else *it = -1;
    }
    static int find(const QHash<QString, int>& h, const QString& name) { return h.value(key(name), -1); }
};

int defaultKeeper(const std::vector<TaxonomyPlan::Taxon>& daughters, const QString& oldCode, const QString& oldName,
                  const QString& oldSci)
{
    auto first = [&](auto same) {
        for (int i = 0; i < int(daughters.size()); ++i)
            if (!daughters[size_t(i)].existingId && same(daughters[size_t(i)])) return i;
        return -1;
    };
    for (int i : {first([&](const auto& d) { return key(d.common) == key(oldName); }),
                  first([&](const auto& d) { return key(d.code) == key(oldCode); }),
                  first([&](const auto& d) { return key(d.sci) == key(oldSci); }),
                  first([](const auto&) { return true; })})
        if (i >= 0) return i;
    return 0;
}

// A form of the taxonomy as the forms table holds it, keyed by its code.
struct FormRow {
    QString category, name, sci, species; // species: the code of the species it reports as
    bool operator==(const FormRow&) const = default;
};

} // namespace

int TaxonomyPlan::Split::newDaughters() const
{
    return int(std::count_if(daughters.begin(), daughters.end(), [](const Taxon& d) { return d.existingId == 0; })) - 1;
}

void TaxonomyPlan::setKeeper(int split, int daughter)
{
    if (split < 0 || split >= int(splits.size())) return;
    Split& s = splits[size_t(split)];
    if (daughter < 0 || daughter >= int(s.daughters.size()) || s.daughters[size_t(daughter)].existingId) return;
    s.keeper = daughter;
}

int TaxonomyPlan::newSpecies() const
{
    int n = int(added.size());
    for (const Split& s : splits) n += s.newDaughters();
    return n;
}

int TaxonomyPlan::sightingsToReview() const
{
    int n = 0;
    for (const Split& s : splits) n += s.sightings;
    return n;
}

int TaxonomyPlan::sightingsToMove() const
{
    int n = 0;
    for (const Lump& l : lumps) n += l.sightingsMoved;
    return n;
}

bool TaxonomyPlan::hasChanges() const
{
    return !renames.empty() || !splits.empty() || !lumps.empty() || !added.empty() || formsAdded || formsRemoved
           || formsChanged;
}

namespace {

std::vector<DbSpecies> loadSpecies(db::Database& db)
{
    QHash<int, int> sightings;
    {
        auto rs = db.openRecordset(QStringLiteral("SELECT Bird_ID, count(*) AS n FROM Sightings GROUP BY Bird_ID"),
                                   db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) sightings.insert(rs.field(0).toInt(), rs.field(1).toInt());
    }
    std::vector<DbSpecies> species;
    auto rs = db.openRecordset(QStringLiteral("SELECT ID, SpeciesCode, Name, sci_name, sortOrder FROM Birds "
                                              "ORDER BY sortOrder, ID"),
                               db::RecordsetKind::Snapshot);
    for (; !rs.eof(); rs.moveNext()) {
        DbSpecies s;
        s.id = rs.field(0).toInt();
        s.code = rs.field(1).toString().trimmed();
        s.name = rs.field(2).toString();
        s.sci = rs.field(3).toString();
        s.sortOrder = rs.field(4).toLongLong();
        s.sightings = sightings.value(s.id);
        species.push_back(std::move(s));
    }
    return species;
}

// The forms the database holds: code -> the form, its species given by that species' code
// as the update leaves it.
std::map<QString, FormRow> formsOf(db::Database& db, const QHash<int, QString>& codeAfter)
{
    std::map<QString, FormRow> forms;
    auto rs = db.openRecordset(QStringLiteral("SELECT FormCode, Category, Name, sci_name, Bird_ID FROM TaxonForms"),
                               db::RecordsetKind::Snapshot);
    for (; !rs.eof(); rs.moveNext())
        forms[key(rs.field(0).toString())] = {rs.field(1).toString(), rs.field(2).toString(), rs.field(3).toString(),
                                              key(codeAfter.value(rs.field(4).toInt()))};
    return forms;
}

// The forms the file gives for the species that `held` says the database will hold.
std::map<QString, FormRow> formsWanted(const TaxonomyFile& file, const QSet<QString>& held)
{
    std::map<QString, FormRow> forms;
    for (const TaxonRow& r : file.rows())
        if (r.isForm() && !r.reportAs.isEmpty() && held.contains(key(r.reportAs)))
            forms[key(r.code)] = {r.category, r.common, r.sci, key(r.reportAs)};
    return forms;
}

} // namespace

TaxonomyPlan planTaxonomyUpdate(db::Database& db, const TaxonomyFile& file, const TaxonomyPlanOptions& options)
{
    TaxonomyPlan plan;
    const std::vector<DbSpecies> species = loadSpecies(db);
    QHash<QString, int> dbForms; // form code -> species id
    {
        auto rs = db.openRecordset(QStringLiteral("SELECT FormCode, Bird_ID FROM TaxonForms"), db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) dbForms.insert(key(rs.field(0).toString()), rs.field(1).toInt());
    }
    const auto& rows = file.rows();
    const NameIndex names(file);
    auto rowOf = [&](const QString& code) -> int {
        const TaxonRow* r = file.find(code);
        return r ? int(r - rows.data()) : -1;
    };

    // What each species of the database becomes: one species of the file (`target`), or
    // several (`candidates`, a split), or nothing found.
    const int n = int(species.size());
    std::vector<int> target(size_t(n), -1);
    std::vector<std::vector<int>> candidates{size_t(n)};
    auto formerForms = [&](int id) {
        std::vector<int> out;
        for (auto it = dbForms.cbegin(); it != dbForms.cend(); ++it) {
            if (it.value() != id) continue;
            const int r = rowOf(it.key());
            if (r >= 0 && rows[size_t(r)].isSpecies()) out.push_back(r);
        }
        std::sort(out.begin(), out.end());
        return out;
    };

    // By code: the same species, a form of another species (a lump), or a slash or spuh
    // (the species was split and its code retired).
    for (int i = 0; i < n; ++i) {
        const DbSpecies& s = species[size_t(i)];
        if (s.code.isEmpty()) continue;
        const int r = rowOf(s.code);
        if (r < 0) continue;
        const TaxonRow& row = rows[size_t(r)];
        if (row.isSpecies()) {
            target[size_t(i)] = r;
        } else if (row.isForm() && !row.reportAs.isEmpty()) {
            target[size_t(i)] = rowOf(row.reportAs);
        } else if (row.category == u"slash" || row.category == u"spuh") {
            std::vector<int> c = formerForms(s.id);
            for (const QString& sci : slashSpecies(row.sci)) {
                const int d = NameIndex::find(names.bySci, sci);
                if (d >= 0 && std::find(c.begin(), c.end(), d) == c.end()) c.push_back(d);
            }
            std::sort(c.begin(), c.end());
            candidates[size_t(i)] = std::move(c);
        }
    }
    // By name, for the rest: the scientific name, then the common name, then a form's names.
    for (int i = 0; i < n; ++i) {
        if (target[size_t(i)] >= 0 || !candidates[size_t(i)].empty()) continue;
        const DbSpecies& s = species[size_t(i)];
        int r = NameIndex::find(names.bySci, s.sci);
        if (r < 0) r = NameIndex::find(names.byCommon, s.name);
        if (r < 0) {
            int f = NameIndex::find(names.formBySci, s.sci);
            if (f < 0) f = NameIndex::find(names.formByCommon, s.name);
            if (f >= 0) r = rowOf(rows[size_t(f)].reportAs);
        }
        target[size_t(i)] = r;
    }

    // The species of the file the database holds already, and by which species.
    QHash<int, int> holder; // row -> index of the first species of the database that becomes it
    for (int i = 0; i < n; ++i)
        if (target[size_t(i)] >= 0 && !holder.contains(target[size_t(i)])) holder.insert(target[size_t(i)], i);

    // Splits: a retired code's daughters, or a species that keeps its code while some of its
    // former forms became species of their own.
    QSet<int> daughterRows;
    for (int i = 0; i < n; ++i) {
        const DbSpecies& s = species[size_t(i)];
        std::vector<int> rowsOfSplit;
        if (!candidates[size_t(i)].empty()) {
            rowsOfSplit = candidates[size_t(i)];
        } else if (target[size_t(i)] >= 0 && holder.value(target[size_t(i)]) == i) {
            rowsOfSplit.push_back(target[size_t(i)]);
            for (int r : formerForms(s.id))
                if (r != target[size_t(i)] && !holder.contains(r)) rowsOfSplit.push_back(r);
            if (rowsOfSplit.size() < 2) continue;
        } else {
            continue;
        }
        TaxonomyPlan::Split split;
        split.birdId = s.id;
        split.oldCode = s.code;
        split.oldName = s.name;
        split.oldSci = s.sci;
        split.sightings = s.sightings;
        int fresh = 0;
        for (int r : rowsOfSplit) {
            if (daughterRows.contains(r)) continue; // another split took it
            TaxonomyPlan::Taxon d = taxonOf(rows[size_t(r)]);
            const int h = holder.value(r, -1);
            if (h >= 0 && h != i) d.existingId = species[size_t(h)].id;
            else ++fresh;
            split.daughters.push_back(std::move(d));
        }
        if (fresh == 0) {
            // Every daughter is in the database already: the species joins the first of them.
            target[size_t(i)] = split.daughters.empty() ? -1 : rowOf(split.daughters.front().code);
            continue;
        }
        for (const auto& d : split.daughters)
            if (!d.existingId) daughterRows.insert(rowOf(d.code));
        if (fresh == 1 && split.daughters.size() == 1) {
            target[size_t(i)] = rowOf(split.daughters.front().code); // only the name or code changed
            holder.insert(target[size_t(i)], i);
            continue;
        }
        split.keeper = defaultKeeper(split.daughters, s.code, s.name, s.sci);
        target[size_t(i)] = -2; // a split
        plan.splits.push_back(std::move(split));
    }

    // Renames and lumps: the species of the database by the file's species they become.
    std::map<int, std::vector<int>> byTarget; // row -> indexes of species of the database
    for (int i = 0; i < n; ++i) {
        const int r = target[size_t(i)];
        if (r >= 0) byTarget[r].push_back(i);
        else if (r == -1) {
            const DbSpecies& s = species[size_t(i)];
            plan.missing.push_back({s.id, s.code, s.name, s.sightings});
        }
    }
    const AlphaCodes& alpha = AlphaCodes::builtIn();
    QHash<int, QString> alphaNow;
    {
        auto rs = db.openRecordset(QStringLiteral("SELECT ID, AlphaCode FROM Birds"), db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) alphaNow.insert(rs.field(0).toInt(), rs.field(1).toString());
    }
    for (const auto& [r, members] : byTarget) {
        const TaxonRow& row = rows[size_t(r)];
        const TaxonomyPlan::Taxon to = taxonOf(row);
        if (members.size() == 1) {
            const DbSpecies& s = species[size_t(members.front())];
            TaxonomyPlan::Rename rename{s.id, s.code, s.name, s.sci, to};
            if (rename.nameChanged() || rename.sciChanged() || rename.codeChanged()) {
                const QString a = alpha.codeFor(to.common, to.sci);
                if (!a.isEmpty() && a != alphaNow.value(s.id)) ++plan.alphaChanged;
                plan.renames.push_back(std::move(rename));
            }
            continue;
        }
        // The survivor: the species that had the code, else the scientific name, else the
        // common name, else the first in the checklist order.
        int survivor = members.front();
        for (auto same : {+[](const DbSpecies& s, const TaxonRow& t) { return key(s.code) == key(t.code); },
                          +[](const DbSpecies& s, const TaxonRow& t) { return key(s.sci) == key(t.sci); },
                          +[](const DbSpecies& s, const TaxonRow& t) { return key(s.name) == key(t.common); }}) {
            const auto it = std::find_if(members.begin(), members.end(),
                                         [&](int m) { return same(species[size_t(m)], row); });
            if (it != members.end()) {
                survivor = *it;
                break;
            }
        }
        TaxonomyPlan::Lump lump;
        lump.survivorId = species[size_t(survivor)].id;
        lump.survivorName = species[size_t(survivor)].name;
        lump.to = to;
        for (int m : members) {
            if (m == survivor) continue;
            lump.merged.push_back(species[size_t(m)].id);
            lump.mergedNames << species[size_t(m)].name;
            lump.sightingsMoved += species[size_t(m)].sightings;
        }
        plan.lumps.push_back(std::move(lump));
    }

    // The file's species the database does not hold and no split brings.
    for (int r = 0; r < int(rows.size()); ++r) {
        const TaxonRow& row = rows[size_t(r)];
        if (!row.isSpecies() || byTarget.count(r) || daughterRows.contains(r)) continue;
        bool kept = false;
        for (const auto& sp : plan.splits)
            for (const auto& d : sp.daughters)
                kept = kept || key(d.code) == key(row.code);
        if (kept) continue;
        ++plan.unrelated;
        if (options.addUnrelated) plan.added.push_back(taxonOf(row));
    }
    for (const auto& t : plan.added)
        if (!alpha.codeFor(t.common, t.sci).isEmpty()) ++plan.alphaChanged;
    for (const auto& sp : plan.splits)
        for (int d = 0; d < int(sp.daughters.size()); ++d)
            if (!sp.daughters[size_t(d)].existingId && d != sp.keeper
                && !alpha.codeFor(sp.daughters[size_t(d)].common, sp.daughters[size_t(d)].sci).isEmpty())
                ++plan.alphaChanged;

    // The taxonomy's forms, for the species the database will hold.
    QHash<int, QString> codeAfter;
    QSet<QString> held;
    for (const DbSpecies& s : species) codeAfter.insert(s.id, s.code);
    for (const auto& rn : plan.renames) codeAfter.insert(rn.birdId, rn.to.code);
    for (const auto& l : plan.lumps) {
        codeAfter.insert(l.survivorId, l.to.code);
        for (int m : l.merged) codeAfter.remove(m);
    }
    for (const auto& sp : plan.splits) {
        codeAfter.insert(sp.birdId, sp.daughters[size_t(sp.keeper)].code);
        for (const auto& d : sp.daughters) held.insert(key(d.code));
    }
    for (const QString& c : codeAfter) held.insert(key(c));
    for (const auto& t : plan.added) held.insert(key(t.code));
    const auto before = formsOf(db, codeAfter);
    const auto after = formsWanted(file, held);
    for (const auto& [code, form] : after) {
        const auto it = before.find(code);
        if (it == before.end()) ++plan.formsAdded;
        else if (!(it->second == form)) ++plan.formsChanged;
    }
    for (const auto& [code, form] : before)
        if (!after.count(code)) ++plan.formsRemoved;
    return plan;
}

namespace {

struct Cancelled {};

// Adds the order and family a new species needs when the database has no family of its
// scientific name; returns the family's id.
int familyFor(db::Database& db, const TaxonomyPlan::Taxon& t, int fallback)
{
    if (t.family.isEmpty()) return fallback;
    const QVariant found = db.scalar(QStringLiteral("SELECT min(Fam_ID) FROM Families WHERE sci_name = ?"), {t.family});
    if (!found.isNull()) return found.toInt();
    QVariant order = db.scalar(QStringLiteral("SELECT min(Order_ID) FROM Orders WHERE sci_name = ?"), {t.order});
    if (order.isNull()) {
        const int id = db.scalar(QStringLiteral("SELECT coalesce(max(Order_ID), 0) + 1 FROM Orders")).toInt();
        db.execute(QStringLiteral("INSERT INTO Orders (Order_ID, Name, sci_name, SortOrder, Caption) "
                                  "VALUES (?, ?, ?, (SELECT coalesce(max(SortOrder), 0) + 1 FROM Orders), '')"),
                   {id, t.order.isEmpty() ? QStringLiteral("Unknown order") : t.order, t.order});
        order = id;
    }
    const int id = db.scalar(QStringLiteral("SELECT coalesce(max(Fam_ID), 0) + 1 FROM Families")).toInt();
    const int type = fallback ? db.scalar(QStringLiteral("SELECT Type FROM Families WHERE Fam_ID = ?"), {fallback}).toInt()
                              : 0;
    db.execute(QStringLiteral("INSERT INTO Families (Fam_ID, Order_ID, Family, sci_name, Sortorder, Type, Caption, "
                              "notes, images) VALUES (?, ?, ?, ?, (SELECT coalesce(max(Sortorder), 0) + 1 FROM "
                              "Families), ?, '', '', 0)"),
               {id, order, t.familyName.isEmpty() ? t.family : t.familyName, t.family, type});
    return id;
}

// Moves what belongs to species `from` to species `to` and merges their checklist entries,
// each region keeping the highest status of the two (and the detail code that came with it).
void mergeInto(db::Database& db, int from, int to, const QString& fromName)
{
    // An outing holds a species once: where it has both, the survivor's sighting takes the
    // other's birds (X when either was not counted) and notes, and the other's goes.
    db.execute(QStringLiteral(
                   "UPDATE Sightings SET Count = CASE WHEN Count IS NULL THEN NULL ELSE (SELECT CASE WHEN Gone.Count "
                   "IS NULL THEN NULL ELSE min(Sightings.Count + Gone.Count, 1000000000) END FROM Sightings AS Gone "
                   "WHERE Gone.Outing_ID = Sightings.Outing_ID AND Gone.Bird_ID = ?1) END, "
                   "notes = (SELECT CASE WHEN coalesce(Gone.notes, '') = '' THEN Sightings.notes "
                   "WHEN coalesce(Sightings.notes, '') = '' THEN Gone.notes ELSE Sightings.notes || '; ' || Gone.notes END "
                   "FROM Sightings AS Gone WHERE Gone.Outing_ID = Sightings.Outing_ID AND Gone.Bird_ID = ?1) "
                   "WHERE Bird_ID = ?2 AND Outing_ID IN (SELECT Outing_ID FROM Sightings WHERE Bird_ID = ?1)"),
               {from, to});
    db.execute(QStringLiteral("DELETE FROM Sightings WHERE Bird_ID = ?1 AND Outing_ID IN "
                              "(SELECT Outing_ID FROM Sightings WHERE Bird_ID = ?2)"),
               {from, to});
    for (const char* table : {"Sightings", "images", "Links", "cdSong"})
        db.execute(QStringLiteral("UPDATE %1 SET Bird_ID = ? WHERE Bird_ID = ?").arg(QLatin1String(table)), {to, from});
    // The recorded song and the description: the survivor keeps its own and gains the other's.
    db.execute(QStringLiteral("UPDATE Birds SET song = (SELECT song FROM Birds WHERE ID = ?) WHERE ID = ? "
                              "AND coalesce(song, '') = ''"), {from, to});
    const QString text = db.scalar(QStringLiteral("SELECT Data FROM Birds WHERE ID = ?"), {from}).toString().trimmed();
    const QString own = db.scalar(QStringLiteral("SELECT Data FROM Birds WHERE ID = ?"), {to}).toString();
    if (!text.isEmpty() && !own.contains(text))
        db.execute(QStringLiteral("UPDATE Birds SET Data = ? WHERE ID = ?"),
                   {own.trimmed().isEmpty() ? text : own.trimmed() + QStringLiteral("\n\n") + fromName + QStringLiteral(": ") + text, to});

    struct Entry {
        QVariant status, scode;
    };
    std::map<int, Entry> mine, theirs;
    auto rs = db.openRecordset(QStringLiteral("SELECT Bird_ID, Reg_ID, Status, scode FROM Checklists WHERE Bird_ID = ? "
                                              "OR Bird_ID = ?"),
                               db::RecordsetKind::Snapshot, {to, from});
    for (; !rs.eof(); rs.moveNext())
        (rs.field(0).toInt() == to ? mine : theirs)[rs.field(1).toInt()] = {rs.field(2), rs.field(3)};
    for (const auto& [region, entry] : theirs) {
        const auto it = mine.find(region);
        if (it == mine.end())
            db.execute(QStringLiteral("INSERT INTO Checklists (Bird_ID, Reg_ID, Status, scode) VALUES (?, ?, ?, ?)"),
                       {to, region, entry.status, entry.scode});
        else if (codes::statusRank(entry.status) > codes::statusRank(it->second.status))
            db.execute(QStringLiteral("UPDATE Checklists SET Status = ?, scode = ? WHERE Bird_ID = ? AND Reg_ID = ?"),
                       {entry.status, entry.scode, to, region});
    }
    db.execute(QStringLiteral("DELETE FROM Birds WHERE ID = ?"), {from});
}

struct NewSpecies {
    TaxonomyPlan::Taxon taxon;
    int parentId = 0;     // the species it was split from
    QString parentName;   // that species' name before the update
};

// Adds the new species, each after the species the file puts before it that the database
// holds, in that species' family where the file agrees.
void addSpecies(db::Database& db, const TaxonomyFile& file, const std::vector<NewSpecies>& fresh,
                const std::function<void()>& step)
{
    if (fresh.empty()) return;
    struct Held {
        int id = 0, family = 0, subfam = 0;
        qint64 sortOrder = 0;
    };
    auto readHeld = [&] {
        QHash<QString, Held> held;
        std::vector<qint64> orders;
        auto rs = db.openRecordset(QStringLiteral("SELECT ID, SpeciesCode, family_ID, subFam_ID, sortOrder FROM Birds"),
                                   db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) {
            orders.push_back(rs.field(4).toLongLong());
            const QString code = rs.field(1).toString();
            if (!code.isEmpty())
                held.insert(key(code), {rs.field(0).toInt(), rs.field(2).toInt(), rs.field(3).toInt(), orders.back()});
        }
        std::sort(orders.begin(), orders.end());
        return std::make_pair(held, orders);
    };
    QHash<QString, int> wanted; // code -> index into fresh
    for (int i = 0; i < int(fresh.size()); ++i) wanted.insert(key(fresh[size_t(i)].taxon.code), i);

    // Each new species' anchor: the last species before it in the file that the database holds.
    QHash<QString, Held> held;
    std::vector<qint64> orders;
    std::tie(held, orders) = readHeld();
    std::map<QString, std::vector<int>> groups; // anchor code ("" for none) -> new species in file order
    QString last;
    for (const TaxonRow& r : file.rows()) {
        if (!r.isSpecies()) continue;
        const QString k = key(r.code);
        if (const auto w = wanted.constFind(k); w != wanted.constEnd()) groups[last].push_back(*w);
        else if (held.contains(k)) last = k;
    }
    auto room = [&](const QString& anchor, qint64& lo, qint64& hi) {
        if (orders.empty()) {
            lo = 0;
            hi = std::numeric_limits<qint64>::max();
        } else if (anchor.isEmpty()) {
            hi = orders.front();
            lo = hi - 10 * qint64(groups[anchor].size() + 1);
        } else {
            lo = held.value(anchor).sortOrder;
            const auto next = std::upper_bound(orders.begin(), orders.end(), lo);
            hi = next == orders.end() ? lo + 10 * qint64(groups[anchor].size() + 1) : *next;
        }
    };
    size_t largest = 0;
    bool crowded = false;
    for (const auto& [anchor, members] : groups) {
        largest = std::max(largest, members.size());
        qint64 lo, hi;
        room(anchor, lo, hi);
        crowded = crowded || hi - lo <= qint64(members.size());
    }
    if (crowded) {
        // Every species numbered afresh, in its order, with room for the largest group.
        const qint64 stride = std::max<qint64>(10, qint64(largest) + 1);
        std::vector<int> ids;
        auto rs = db.openRecordset(QStringLiteral("SELECT ID FROM Birds ORDER BY sortOrder, ID"), db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) ids.push_back(rs.field(0).toInt());
        for (int i = 0; i < int(ids.size()); ++i)
            db.execute(QStringLiteral("UPDATE Birds SET sortOrder = ? WHERE ID = ?"), {stride * (i + 1), ids[size_t(i)]});
        std::tie(held, orders) = readHeld();
    }
    for (const auto& [anchor, members] : groups) {
        qint64 lo, hi;
        room(anchor, lo, hi);
        const qint64 gap = hi == std::numeric_limits<qint64>::max() ? 10 : (hi - lo) / qint64(members.size() + 1);
        const Held a = anchor.isEmpty() ? Held() : held.value(anchor);
        for (int m = 0; m < int(members.size()); ++m) {
            const NewSpecies& ns = fresh[size_t(members[size_t(m)])];
            const TaxonomyPlan::Taxon& t = ns.taxon;
            int parentFamily = 0, parentSub = 0;
            if (ns.parentId) {
                auto p = db.openRecordset(QStringLiteral("SELECT family_ID, subFam_ID FROM Birds WHERE ID = ?"),
                                          db::RecordsetKind::Snapshot, {ns.parentId});
                if (!p.eof()) {
                    parentFamily = p.field(0).toInt();
                    parentSub = p.field(1).toInt();
                }
            }
            const int family = familyFor(db, t, parentFamily ? parentFamily : a.family);
            const int subfam = family == parentFamily ? parentSub : (family == a.family ? a.subfam : 0);
            const QString data = ns.parentName.isEmpty() ? QStringLiteral("")
                                                         : QStringLiteral("Split from %1.").arg(ns.parentName);
            const QString code = AlphaCodes::builtIn().codeFor(t.common, t.sci);
            db.execute(QStringLiteral("INSERT INTO Birds (Name, sci_name, Data, family_ID, subFam_ID, sortOrder, song, "
                                      "LifeList, SpeciesCode, AlphaCode) VALUES (?, ?, ?, ?, ?, ?, '', 0, ?, ?)"),
                       {t.common, t.sci, data, family, subfam, lo + gap * (m + 1), t.code,
                        code.isEmpty() ? QVariant() : QVariant(code)});
            step();
        }
    }
}

void replaceForms(db::Database& db, const TaxonomyFile& file)
{
    QHash<QString, int> ids;
    {
        auto rs = db.openRecordset(QStringLiteral("SELECT ID, SpeciesCode FROM Birds WHERE SpeciesCode IS NOT NULL"),
                                   db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) ids.insert(key(rs.field(1).toString()), rs.field(0).toInt());
    }
    db.execute(QStringLiteral("DELETE FROM TaxonForms"));
    for (const TaxonRow& r : file.rows()) {
        if (!r.isForm() || r.reportAs.isEmpty()) continue;
        const int id = ids.value(key(r.reportAs));
        if (!id) continue;
        db.execute(QStringLiteral("INSERT INTO TaxonForms (FormCode, Category, Name, sci_name, Bird_ID) "
                                  "VALUES (?, ?, ?, ?, ?)"),
                   {r.code, r.category, r.common, r.sci, id});
    }
}

} // namespace

bool applyTaxonomyUpdate(AppState& state, const TaxonomyFile& file, const TaxonomyPlan& plan,
                         const std::function<bool(int, int)>& progress)
{
    if (!plan.hasChanges()) return true;
    db::Database& db = state.db();
    // One step for each lump, each species renamed, each species added, and three more: the
    // sort order, the forms and the life list.
    const int total = int(plan.lumps.size() * 2 + plan.renames.size() + plan.splits.size()) + plan.newSpecies() + 3;
    int done = 0;
    auto step = [&] {
        ++done;
        if (progress && !progress(done, total)) throw Cancelled{};
    };
    try {
        if (progress && !progress(0, total)) return false;
        db::Transaction tx(db);

        // The rows that take other names and codes, and what they become.
        std::vector<std::pair<int, TaxonomyPlan::Taxon>> renamed;
        for (const auto& r : plan.renames) renamed.emplace_back(r.birdId, r.to);
        for (const auto& l : plan.lumps) renamed.emplace_back(l.survivorId, l.to);
        for (const auto& s : plan.splits) renamed.emplace_back(s.birdId, s.daughters[size_t(s.keeper)]);
        // Names and codes are unique: the old ones are let go of first, so that names may
        // pass from one species to another.
        for (const auto& [id, to] : renamed)
            db.execute(QStringLiteral("UPDATE Birds SET Name = ?, SpeciesCode = NULL WHERE ID = ?"),
                       {QStringLiteral("\x1f taxonomy update %1").arg(id), id});

        for (const auto& l : plan.lumps) {
            for (int i = 0; i < int(l.merged.size()); ++i)
                mergeInto(db, l.merged[size_t(i)], l.survivorId, l.mergedNames.value(i));
            step();
        }
        const AlphaCodes& alpha = AlphaCodes::builtIn();
        for (const auto& [id, to] : renamed) {
            const QString code = alpha.codeFor(to.common, to.sci);
            db.execute(QStringLiteral("UPDATE Birds SET Name = ?, sci_name = ?, SpeciesCode = ?, "
                                      "AlphaCode = coalesce(?, AlphaCode) WHERE ID = ?"),
                       {to.common, to.sci, to.code, code.isEmpty() ? QVariant() : QVariant(code), id});
            step();
        }
        std::vector<NewSpecies> fresh;
        for (const auto& s : plan.splits) {
            if (s.newDaughters() > 0)
                db.execute(QStringLiteral("UPDATE Sightings SET NeedsReview = 1 WHERE Bird_ID = ?"), {s.birdId});
            for (int d = 0; d < int(s.daughters.size()); ++d)
                if (d != s.keeper && !s.daughters[size_t(d)].existingId)
                    fresh.push_back({s.daughters[size_t(d)], s.birdId, s.oldName});
        }
        for (const auto& t : plan.added) fresh.push_back({t, 0, QString()});
        std::sort(fresh.begin(), fresh.end(),
                  [](const NewSpecies& a, const NewSpecies& b) { return a.taxon.taxonOrder < b.taxon.taxonOrder; });
        addSpecies(db, file, fresh, step);
        step();

        if (plan.formsAdded || plan.formsRemoved || plan.formsChanged) replaceForms(db, file);
        step();
        refreshCurrentLifeList(state);
        step();
        tx.commit();
    } catch (const Cancelled&) {
        return false;
    }
    return true;
}

} // namespace fl
