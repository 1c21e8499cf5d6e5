// Generated and mutated CSV fed to the reader and the importer: every input either reads
// or ends with a CsvError, never a crash, a hang or a partial import.

#include "records/CsvReader.h"
#include "EbirdFiles.h"
#include "records/EbirdImport.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <random>

using namespace fl;
using namespace fl::test;

namespace {

QString randomField(std::mt19937& rng)
{
    static const QString alphabet = QString::fromUtf8("abcXYZ 09,\"\n\r\t;éü鳥-/.");
    std::uniform_int_distribution<int> len(0, 12), pick(0, int(alphabet.size()) - 1);
    QString s;
    for (int n = len(rng); n > 0; --n) s += alphabet[pick(rng)];
    return s;
}

QByteArray mutate(QByteArray bytes, std::mt19937& rng)
{
    std::uniform_int_distribution<int> kind(0, 4), byte(0, 255);
    const int edits = 1 + int(rng() % 6);
    for (int i = 0; i < edits && !bytes.isEmpty(); ++i) {
        const qsizetype at = qsizetype(rng() % quint32(bytes.size()));
        switch (kind(rng)) {
        case 0: bytes[at] = char(byte(rng)); break;
        case 1: bytes.insert(at, "\""); break;
        case 2: bytes.remove(at, 1 + qsizetype(rng() % 40)); break;
        case 3: bytes.truncate(at); break;
        case 4: bytes.insert(at, bytes.mid(at, 60)); break;
        }
    }
    return bytes;
}

} // namespace

TEST(CsvFuzz, GeneratedRecordsReadBackExactly)
{
    std::mt19937 rng(2024);
    for (int round = 0; round < 300; ++round) {
        std::vector<QStringList> rows;
        QByteArray text;
        const int nrows = 1 + int(rng() % 8), ncols = 1 + int(rng() % 6);
        for (int r = 0; r < nrows; ++r) {
            QStringList row;
            for (int c = 0; c < ncols; ++c) row << randomField(rng);
            if (ncols == 1 && row[0].isEmpty()) row[0] = "x"; // a lone empty field is a blank line
            QStringList quoted;
            for (const QString& f : row) quoted << csvField(f);
            text += quoted.join(u',').toUtf8() + (rng() % 2 ? "\r\n" : "\n");
            // csvField leaves a field alone unless it must quote it; a lone CR at its end
            // would be taken for the line's end.
            rows.push_back(row);
        }
        std::vector<QStringList> got;
        try {
            got = readAllCsv(text);
        } catch (const CsvError& e) {
            FAIL() << "round " << round << ": " << qPrintable(e.message());
        }
        ASSERT_EQ(got, rows) << "round " << round << "\n" << text.constData();
    }
}

// A download of every field, in random checklists, then mutated: each input reads or is
// refused; what reads stores whole (its outings, sightings, records of no species and keys,
// every one), within the rules of the tables, and a second store of the same file adds nothing.
TEST(CsvFuzz, MutatedEbirdFilesImportWhollyOrNotAtAll)
{
    TestFolder folder;
    addUsRegions(folder);
    std::mt19937 rng(7);
    const char* names[][2] = {{"Mallard", "Anas platyrhynchos"}, {"Wood Duck", "Aix sponsa"},
                              {"duck sp.", "Anatidae sp."}, {"Ovenbird", "Seiurus aurocapilla"},
                              {"Hermit/Wood Thrush", "Catharus guttatus/Hylocichla mustelina"},
                              {"Dark-eyed Junco (Slate-colored)", "Junco hyemalis hyemalis/carolinensis"},
                              {"Mallard x American Black Duck (hybrid)", "Anas platyrhynchos x rubripes"}};
    const char* states[] = {"US-CA", "CA-ON", "US-ZZ", "ZZ", "", "MX-CMX"};
    const char* counties[] = {"", "Monterey", "Nowhere", "Point Pelee"};
    const char* dates[] = {"2023-0%1-1%2", "0%1-1%2-2018", "%1/1%2/2015", "%1/%2/2016"};
    const char* protocols[] = {"eBird - Traveling Count", "Stationary", "Incidental", "Historical", "Area", "odd one"};
    const char* counts[] = {"1", "X", "12", "0", "", "3000000000"};
    QList<DownloadRecord> records;
    for (int i = 0; i < 60; ++i) {
        DownloadRecord r{QStringLiteral("S%1").arg(i / 4), names[rng() % 7][0], "", counts[rng() % 6],
                         states[rng() % 6], counties[rng() % 4], "Site, \"quoted\"\nline two",
                         QString::fromLatin1(dates[rng() % 4]).arg(1 + i % 9).arg(i % 10), "details<br>more",
                         "comments<br />on the day"};
        r.sci = QString::fromLatin1(names[0][1]);
        for (const auto& n : names)
            if (r.common == QLatin1String(n[0])) r.sci = QString::fromLatin1(n[1]);
        r.time = rng() % 2 ? "07:30 AM" : "25:99";
        r.protocol = protocols[rng() % 6];
        r.duration = QString::number(int(rng() % 2000) - 10);
        r.distance = rng() % 2 ? "2.5" : "-1";
        r.area = rng() % 2 ? "" : "0";
        r.observers = QString::number(rng() % 1200);
        r.allObs = rng() % 2 ? "1" : "0";
        r.breeding = rng() % 3 ? "" : "FL Recently Fledged Young (C4) and a good deal more text than the column may hold";
        r.media = rng() % 3 ? "" : "ML1234 ML5678";
        r.latitude = rng() % 5 ? "42.5" : "95";
        r.taxonOrder = rng() % 2 ? "123.5" : "n/a";
        records << r;
    }
    const QByteArray good = downloadText(records);
    const QString path = folder.path() + "/fuzz.csv";
    OpenState s(folder.path());
    auto stored = [&] {
        return QList<int>{s.count("Outings"), s.count("Sightings"), s.count("OtherRecords"), s.count("ImportKeys"),
                          s.count("Regions")};
    };
    int read = 0, refused = 0, storedSome = 0;
    QElapsedTimer clock;
    clock.start();
    for (int round = 0; round < 400; ++round) {
        writeFile(path, round == 0 ? good : mutate(good, rng));
        const QList<int> before = stored();
        try {
            const ImportPreview p = readEbirdFile(s.db(), path);
            ++read;
            EXPECT_LE(p.matched + p.otherRecords + p.skippedTotal(), p.recordsRead);
            int newOutings = 0;
            for (const ImportOuting& o : p.outings) newOutings += o.existingId == 0;
            const int sightings = storeImport(s.state, p);
            EXPECT_EQ(sightings, p.newSightings());
            const QList<int> after = stored();
            EXPECT_EQ(after, (QList<int>{before[0] + newOutings, before[1] + sightings, before[2] + p.newOtherRecords(),
                                         before[3] + p.newSightings() + p.newOtherRecords(),
                                         before[4] + int(p.newRegions.size())}))
                << "round " << round;
            storedSome += p.hasNewRecords();
            // The same file again adds nothing.
            const ImportPreview again = readEbirdFile(s.db(), path);
            EXPECT_FALSE(again.hasNewRecords()) << "round " << round;
        } catch (const CsvError&) {
            ++refused;
            EXPECT_EQ(stored(), before) << "round " << round;
        }
        EXPECT_FALSE(s.db().inTransaction());
    }
    EXPECT_GT(read, 0);
    EXPECT_GT(refused, 0);
    EXPECT_GT(storedSome, 1);
    EXPECT_LT(clock.elapsed(), 60000) << "no input should take long";
    EXPECT_EQ(s.db().scalar("PRAGMA integrity_check").toString(), "ok");
    EXPECT_TRUE(s.db().openRecordset("PRAGMA foreign_key_check", db::RecordsetKind::Snapshot).eof());
}
