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

TEST(CsvFuzz, MutatedEbirdFilesImportWhollyOrNotAtAll)
{
    TestFolder folder;
    addUsRegions(folder);
    QList<DownloadRecord> records;
    const char* names[][2] = {{"Mallard", "Anas platyrhynchos"}, {"Wood Duck", "Aix sponsa"},
                              {"duck sp.", "Anatidae sp."}, {"Ovenbird", "Seiurus aurocapilla"},
                              {"Hermit/Wood Thrush", "Catharus guttatus/Hylocichla mustelina"}};
    for (int i = 0; i < 40; ++i)
        records << DownloadRecord{QStringLiteral("S%1").arg(i / 3), names[i % 5][0], names[i % 5][1],
                                  QString::number(i % 4), i % 2 ? "US-CA" : "CA-ON", i % 3 ? "" : "Monterey",
                                  "Site, \"quoted\"\nline two", QStringLiteral("2023-0%1-1%2").arg(1 + i % 9).arg(i % 10),
                                  "details", "comments"};
    const QByteArray good = downloadText(records);
    const QString path = folder.path() + "/fuzz.csv";
    OpenState s(folder.path());
    std::mt19937 rng(7);
    int read = 0, refused = 0;
    QElapsedTimer clock;
    clock.start();
    for (int round = 0; round < 400; ++round) {
        writeFile(path, round == 0 ? good : mutate(good, rng));
        const int before = s.count("Sightings");
        const int keysBefore = s.count("ImportKeys");
        try {
            const ImportPreview p = readEbirdFile(s.db(), path);
            ++read;
            EXPECT_EQ(p.matched, p.alreadyStored + int(p.records.size()));
            EXPECT_LE(p.matched + p.skippedTotal(), p.recordsRead);
            const int stored = storeImport(s.state, p);
            EXPECT_EQ(stored, int(p.records.size()));
            EXPECT_EQ(s.count("Sightings"), before + stored) << "round " << round;
            EXPECT_EQ(s.count("ImportKeys"), keysBefore + stored);
        } catch (const CsvError&) {
            ++refused;
            EXPECT_EQ(s.count("Sightings"), before) << "round " << round;
        }
        EXPECT_FALSE(s.db().inTransaction());
    }
    EXPECT_GT(read, 0);
    EXPECT_GT(refused, 0);
    EXPECT_LT(clock.elapsed(), 60000) << "no input should take long";
    EXPECT_EQ(s.db().scalar("PRAGMA integrity_check").toString(), "ok");
}
