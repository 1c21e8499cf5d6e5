#include "Harness.h"
#include "ReportFiles.h"

#include "platform/Paper.h"
#include "records/DataImport.h"
#include "sightings/ReportPrinter.h"

#include <QBuffer>
#include <QMap>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

// The program on the shipped sample data, with `region` as the current region.
std::unique_ptr<Harness> sampleData(int region, const std::function<void(test::TestFolder&)>& more = {})
{
    return std::make_unique<Harness>([&](test::TestFolder& f) {
        buildDatabase(QStringLiteral(SAMPLE_DATA_DIR), f.databasePath(), true);
        f.exec("UPDATE Options SET Reg_ID = ?, regname = (SELECT Name FROM Regions WHERE Reg_ID = ?), "
               "regType = (SELECT Type FROM Regions WHERE Reg_ID = ?)",
               {region, region, region});
        if (more) more(f);
        test::copyDefinitions(f.path());
    });
}

// The species of a region's checklist: common and scientific name.
QList<QPair<QString, QString>> species(Harness& h, int region)
{
    QList<QPair<QString, QString>> out;
    auto rs = h.db().openRecordset("SELECT Birds.Name, Birds.sci_name FROM Birds INNER JOIN Checklists "
                                   "ON Checklists.Bird_ID = Birds.ID WHERE Checklists.Reg_ID = ?",
                                   db::RecordsetKind::Snapshot, {region});
    for (; !rs.eof(); rs.moveNext()) out << qMakePair(rs.field(0).toString(), rs.field(1).toString());
    return out;
}

QString withoutBlanks(QString s)
{
    s.remove(QRegularExpression(QStringLiteral("\\s")));
    return s;
}

// The printed report's PDF, from the report just run.
QString lastPdf(const Harness& h)
{
    if (h.platform.reports.isEmpty() || h.platform.reports.last().pdf.isEmpty()) return {};
    return h.platform.reports.last().pdf;
}

// Words of a PDF with their boxes, page by page (pdftotext -bbox), in points.
struct Word {
    QString text;
    double xMin, yMin, xMax, yMax;
};
struct PdfPage {
    double width = 0, height = 0;
    QList<Word> words;
};

QList<PdfPage> pdfWords(const QString& pdf)
{
    const QString html = test::popplerOutput("pdftotext", pdf, {QStringLiteral("-bbox")});
    QList<PdfPage> pages;
    static const QRegularExpression pageRe(QStringLiteral("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\">"));
    static const QRegularExpression wordRe(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    for (const QString& part : html.split(QStringLiteral("</page>"))) {
        const auto pm = pageRe.match(part);
        if (!pm.hasMatch()) continue;
        PdfPage page{pm.captured(1).toDouble(), pm.captured(2).toDouble(), {}};
        for (auto it = wordRe.globalMatch(part); it.hasNext();) {
            const auto m = it.next();
            QString text = m.captured(5);
            text.replace(QStringLiteral("&lt;"), QStringLiteral("<")).replace(QStringLiteral("&gt;"), QStringLiteral(">"));
            text.replace(QStringLiteral("&quot;"), QStringLiteral("\"")).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            page.words << Word{text, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                               m.captured(4).toDouble()};
        }
        pages << page;
    }
    return pages;
}

} // namespace

// Every species' common and scientific name is printed whole in the checklist of a region
// with long names, and of the whole continent with the longest of them all.
class ReportNames : public ::testing::TestWithParam<int> {};

TEST_P(ReportNames, EveryNameIsPrintedWhole)
{
    const int region = GetParam();
    auto h = sampleData(region);
    QTemporaryDir out;
    h->platform.reportPdfFolder = out.path();
    h->run(cmd::mnuReportChecklist);
    ASSERT_TRUE(h->platform.messages.isEmpty()) << qPrintable(h->messageTexts().join('\n'));
    const QString pdf = lastPdf(*h);
    ASSERT_FALSE(pdf.isEmpty());
    const QString text = test::pdfText(pdf, true);
    // In the order drawn, a wrapped name's lines follow each other.
    const QString flat = test::pdfText(pdf, false).simplified().replace("- ", "-");
    EXPECT_FALSE(text.contains(QChar(0x2026))) << "nothing is cut short";

    // The same report laid out on the same paper tells which rows wrap.
    const auto def = report::loadDefinition(QDir(h->folder.path()).filePath("checklist.rpt"));
    ReportPrinter printer(report::buildReport(h->db(), def, QStringLiteral("{checklists.reg_ID} = %1").arg(region),
                                              {}, QDate::currentDate()));
    QBuffer sink;
    QPdfWriter writer(&sink);
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(defaultReportPaper(), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                     QPageLayout::Millimeter));
    const auto lay = printer.layout(writer, writer.pageLayout().paintRectPixels(300).size());
    EXPECT_GE(lay.rowScale, 0.8) << "the type is never smaller than the limit";
    EXPECT_EQ(lay.lists, 2);

    const auto names = species(*h, region);
    ASSERT_GT(names.size(), 300);
    ASSERT_EQ(printer.content().listed, names.size());
    int longest = 0;
    for (int g = 0; g < printer.content().groups.size(); ++g) {
        const auto& rows = printer.content().groups[g].rows;
        for (int r = 0; r < rows.size(); ++r) {
            const QString common = rows[r].cells[1], scientific = rows[r].cells[2];
            ASSERT_TRUE(names.contains(qMakePair(common, scientific))) << qPrintable(common);
            longest = std::max<int>(longest, int(std::max(common.size(), scientific.size())));
            const QString& where = lay.wrapped.contains(qMakePair(g, r)) ? flat : text;
            EXPECT_TRUE(where.contains(common)) << qPrintable(common);
            EXPECT_TRUE(where.contains(scientific)) << qPrintable(scientific);
        }
    }
    EXPECT_GE(longest, 29) << "the region holds long names";
    EXPECT_LE(lay.wrapped.size() * 50, names.size()) << "a few of the longest names wrap, at most";
    if (region == 8) {
        EXPECT_TRUE(lay.wrapped.isEmpty()) << "Cape May's names fit their columns";
    } else {
        EXPECT_TRUE(h->platform.reports.last().text.contains("(continued)"))
            << "families run over pages";
    }
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Species listed: %1\\s").arg(names.size()))));
    // Every page is numbered, of how many there are.
    const int pages = int(flat.count(QRegularExpression(QStringLiteral("Page \\d+ of \\d+"))));
    EXPECT_EQ(pages, int(lay.pages.size()));
    for (int p = 1; p <= pages; ++p)
        EXPECT_TRUE(flat.contains(QStringLiteral("Page %1 of %2").arg(p).arg(pages))) << p;
}

INSTANTIATE_TEST_SUITE_P(Regions, ReportNames, ::testing::Values(8, 1),
                         [](const ::testing::TestParamInfo<int>& i) {
                             return std::string(i.param == 8 ? "CapeMayCounty" : "NorthAmerica");
                         });

// The life list has more columns; a site too long for its column wraps within it, and every
// name and site is printed whole.
TEST(ReportNames, LongSitesWrapInTheLifeList)
{
    const QStringList sites = {
        "Edwin B. Forsythe National Wildlife Refuge, Wildlife Drive and the Leeds Eco-Trail, Atlantic County",
        "Higbee Beach Wildlife Management Area, the dike and the fields north of the canal at dawn",
        "Cape May Point State Park, hawkwatch platform",
        "Stone Harbor Point",
    };
    auto h = sampleData(1, [&](test::TestFolder& f) {
        // The twelve longest common names and the twelve longest scientific names, seen once each.
        auto db = f.open();
        QList<int> ids;
        for (const char* order : {"length(Name)", "length(sci_name)"}) {
            auto rs = db->openRecordset(QStringLiteral("SELECT ID FROM Birds ORDER BY %1 DESC, ID LIMIT 12").arg(order),
                                        db::RecordsetKind::Snapshot);
            for (; !rs.eof(); rs.moveNext())
                if (!ids.contains(rs.field(0).toInt())) ids << rs.field(0).toInt();
        }
        for (int i = 0; i < ids.size(); ++i) {
            db->execute("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Type, Region, country, state, district, site, "
                        "notes) VALUES (?, ?, '2024-05-17', 'Adult', 1, 0, 0, 0, ?, '')",
                        {i + 1, ids[i], sites[i % sites.size()]});
            db->execute("UPDATE Birds SET LifeList = ? WHERE ID = ?", {i + 1, ids[i]});
        }
    });
    QTemporaryDir out;
    h->platform.reportPdfFolder = out.path();
    h->run(cmd::mnuReportLife);
    const QString pdf = lastPdf(*h);
    ASSERT_FALSE(pdf.isEmpty());
    const QString layout = test::pdfText(pdf, true);
    const QString drawn = withoutBlanks(test::pdfText(pdf, false));
    for (const auto& [common, scientific] : species(*h, 1)) {
        EXPECT_TRUE(layout.contains(common)) << qPrintable(common);
        EXPECT_TRUE(layout.contains(scientific)) << qPrintable(scientific);
    }
    for (const QString& site : sites) {
        const int seen = h->scalar("SELECT count(*) FROM Sightings WHERE site = ?", {site}).toInt();
        ASSERT_GT(seen, 0);
        EXPECT_EQ(drawn.count(withoutBlanks(site)), seen) << qPrintable(site);
    }
    EXPECT_FALSE(layout.contains(QChar(0x2026)));
    EXPECT_FALSE(layout.contains(sites[0])) << "the longest site is too long for one line";
}

// A region's name is printed as it was typed, markup included. One too long for the page: the
// header shortens it and never runs into the date; the title wraps and is printed whole;
// nothing leaves the page.
TEST(ReportHeader, ANameIsPrintedAsTypedAndALongOneNeverOverlapsTheDate)
{
    const struct {
        QString name;
        int headerWords; // at the least
        bool fits;       // whole in the header
    } regions[] = {{"<i>Lake</i> & <Pond>", 3, true},
                   {"Edwin B. Forsythe National Wildlife Refuge, Brigantine Division, with the "
                    "barrier beaches, salt marshes and back bays of Atlantic and Ocean Counties, "
                    "New Jersey",
                    5, false}};
    for (const auto& region : regions) {
        const QString& name = region.name;
        Harness h([&](test::TestFolder& f) {
            f.exec("UPDATE Regions SET Name = ? WHERE Reg_ID = 2", {name});
            f.exec("UPDATE Options SET Reg_ID = 2, regname = ?", {name});
            test::copyDefinitions(f.path());
        });
        QTemporaryDir out;
        h.platform.reportPdfFolder = out.path();
        h.run(cmd::mnuReportChecklist);
        if (region.fits) {
            const QString text = test::pdfText(lastPdf(h), true);
            const QString header
                = "^\\s*" + QRegularExpression::escape(name) + "\\s+Printed \\d{4}-\\d\\d-\\d\\d";
            EXPECT_TRUE(
                text.contains(QRegularExpression(header, QRegularExpression::MultilineOption)))
                << qPrintable(text.left(400));
        }
        h.run(cmd::mnuReportLife);
        ASSERT_EQ(h.platform.reports.size(), 2);
        for (const auto& shown : h.platform.reports) {
            SCOPED_TRACE(shown.windowTitle.toStdString());
            ASSERT_FALSE(shown.pdf.isEmpty());
            const QString title
                = (shown.windowTitle == "Checklist Report" ? "Checklist For " : "Life List For ")
                + name;
            const QString drawn = test::pdfText(shown.pdf, false).simplified();
            EXPECT_TRUE(drawn.contains(title))
                << "the whole title: " << qPrintable(drawn.left(600));
            const QList<PdfPage> pages = pdfWords(shown.pdf);
            ASSERT_FALSE(pages.isEmpty());
            const double margin = 15 / 25.4 * 72;
            for (const PdfPage& page : pages) {
                ASSERT_FALSE(page.words.isEmpty());
                for (const Word& w : page.words) {
                    EXPECT_GE(w.xMin, margin - 1) << qPrintable(w.text);
                    EXPECT_LE(w.xMax, page.width - margin + 1) << qPrintable(w.text);
                }
                // The header line: the words on the first line of the page.
                const double headerTop = page.words.first().yMin;
                const Word* printed = nullptr;
                for (const Word& w : page.words)
                    if (w.text == "Printed" && std::abs(w.yMin - headerTop) < 2) printed = &w;
                ASSERT_NE(printed, nullptr) << "the date is in the header";
                int regionWords = 0;
                for (const Word& w : page.words) {
                    if (std::abs(w.yMin - headerTop) >= 2 || &w == printed
                        || w.xMin >= printed->xMax)
                        continue;
                    ++regionWords;
                    EXPECT_LT(w.xMax, printed->xMin - 2)
                        << "runs into the date: " << qPrintable(w.text);
                }
                EXPECT_GE(regionWords, region.headerWords)
                    << "the region's name, shortened, is in the header";
            }
        }
    }
}

// The paper follows the locale: Letter in the United States and Canada, A4 elsewhere; in the
// PDF written directly and in the print preview.
struct PaperCase {
    const char* lcAll;
    const char* lcPaper;
    const char* lang;
    bool letter;
};

void PrintTo(const PaperCase& c, std::ostream* os) { *os << c.lcAll << "/" << c.lcPaper << "/" << c.lang; }

class ReportPaper : public ::testing::TestWithParam<PaperCase> {
protected:
    void SetUp() override
    {
        for (const char* v : {"LC_ALL", "LC_PAPER", "LANG"}) saved[v] = qgetenv(v);
        const PaperCase c = GetParam();
        auto set = [](const char* name, const char* value) {
            if (*value) qputenv(name, value);
            else qunsetenv(name);
        };
        set("LC_ALL", c.lcAll);
        set("LC_PAPER", c.lcPaper);
        set("LANG", c.lang);
    }
    void TearDown() override
    {
        for (const auto& [name, value] : saved) {
            if (value.isNull()) qunsetenv(name.c_str());
            else qputenv(name.c_str(), value);
        }
    }
    std::map<std::string, QByteArray> saved;
};

TEST_P(ReportPaper, FollowsTheLocale)
{
    const PaperCase c = GetParam();
    EXPECT_EQ(localePaperSize(paperLocale()), c.letter ? QPageSize::Letter : QPageSize::A4);
    Harness h([](test::TestFolder& f) {
        f.exec("UPDATE Options SET Reg_ID = 2, regname = 'Ontario'");
        test::copyDefinitions(f.path());
    });
    QTemporaryDir out;
    h.platform.reportPdfFolder = out.path();
    h.run(cmd::mnuReportChecklist);
    const QString info = test::popplerOutput("pdfinfo", lastPdf(h), {});
    EXPECT_TRUE(info.contains(QRegularExpression(c.letter ? "Page size:\\s+612 x 792 pts \\(letter\\)"
                                                          : "Page size:\\s+595 x 842 pts \\(A4\\)")))
        << qPrintable(info);

    // The preview's printer.
    const auto def = report::loadDefinition(QDir(h.folder.path()).filePath("checklist.rpt"));
    ReportPrinter report(report::buildReport(h.db(), def, "{checklists.reg_ID} = 2", {}, QDate(2026, 1, 1)));
    const test::Previewed previewed = test::preview(h, "Checklist Report", report);
    EXPECT_TRUE(previewed.shown);
    EXPECT_EQ(previewed.paper, c.letter ? QPageSize::Letter : QPageSize::A4);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, ReportPaper,
    ::testing::Values(PaperCase{"en_US.UTF-8", "", "", true}, PaperCase{"en_CA.UTF-8", "", "", true},
                      PaperCase{"fr_CA.UTF-8", "", "", true}, PaperCase{"es_MX.UTF-8", "", "", true},
                      PaperCase{"en_GB.UTF-8", "", "", false}, PaperCase{"de_DE.UTF-8", "", "", false},
                      PaperCase{"fr_FR.UTF-8", "", "", false}, PaperCase{"C", "", "", false},
                      PaperCase{"", "en_US.UTF-8", "de_DE.UTF-8", true}, PaperCase{"", "", "en_CA.UTF-8", true},
                      PaperCase{"de_DE.UTF-8", "en_US.UTF-8", "", false}));

namespace {

// A report of the given groups, each a list of texts for the name column, for layout checks.
report::BuiltReport groupsReport(const QList<QStringList>& groups, double listWidthMm)
{
    report::BuiltReport r;
    r.title = "Layout";
    report::ColumnDef box, name, sci;
    box.weight = 7;
    box.style = report::ColumnDef::Style::Mono;
    name.weight = 50;
    sci.weight = 43;
    sci.style = report::ColumnDef::Style::Italic;
    r.columns = {box, name, sci};
    r.listWidthMm = listWidthMm;
    for (int g = 0; g < groups.size(); ++g) {
        report::ReportGroup group;
        group.heading = QStringLiteral("Family %1").arg(g);
        for (const QString& text : groups[g]) group.rows << report::ReportRow{{"[    ]", text, "Avis"}, false};
        r.groups << group;
    }
    r.summary = "end";
    return r;
}

// Checks a layout list by list: no list ends with a heading, each heading is followed by its
// group's first row (or, continued, by one of its rows), no row runs below the body, and every
// row is laid out exactly once.
void expectHeadingsKeepTheirFirstRow(const ReportPrinter& printer, QPaintDevice& device, QSizeF page, const QString& what)
{
    SCOPED_TRACE(what.toStdString());
    const auto lay = printer.layout(device, page);
    const auto& r = printer.content();
    QMap<QPair<int, int>, int> seen;
    for (int p = 0; p < lay.pages.size(); ++p) {
        QMap<double, QList<ReportPrinter::Item>> lists;
        for (const auto& it : lay.pages[p].items)
            if (it.kind == ReportPrinter::Item::Kind::Heading || it.kind == ReportPrinter::Item::Kind::Row)
                lists[it.at.x()] << it;
        for (auto l = lists.begin(); l != lists.end(); ++l) {
            const auto& items = l.value();
            ASSERT_FALSE(items.isEmpty());
            EXPECT_NE(items.last().kind, ReportPrinter::Item::Kind::Heading)
                << "page " << p + 1 << " list at " << l.key() << " ends with the heading of group " << items.last().group;
            for (int i = 0; i < items.size(); ++i) {
                const auto& it = items[i];
                if (it.kind == ReportPrinter::Item::Kind::Row) {
                    ++seen[qMakePair(it.group, it.row)];
                    EXPECT_LE(it.at.y() + (it.lines - 1) * lay.rowStep, lay.bodyBottom + 0.01)
                        << "page " << p + 1 << " row " << it.row << " of group " << it.group;
                    continue;
                }
                if (i + 1 >= items.size()) continue;
                const auto& next = items[i + 1];
                EXPECT_EQ(next.kind, ReportPrinter::Item::Kind::Row);
                EXPECT_EQ(next.group, it.group);
                if (!it.continued) {
                    EXPECT_EQ(next.row, 0) << "page " << p + 1 << " group " << it.group;
                }
            }
        }
    }
    int rows = 0;
    for (const auto& g : r.groups) rows += int(g.rows.size());
    EXPECT_EQ(seen.size(), rows);
    for (auto it = seen.begin(); it != seen.end(); ++it) EXPECT_EQ(it.value(), 1);
}

} // namespace

// Groups of 1 to 120 rows followed by others: wherever a page or a list ends, a family heading
// is never left at its bottom without its first row; also when first rows take several lines.
TEST(ReportLayout, AHeadingNeverEndsAListWithoutItsFirstRow)
{
    QBuffer sink;
    QPdfWriter writer(&sink);
    writer.setResolution(300);
    for (QPageSize::PageSizeId paper : {QPageSize::Letter, QPageSize::A4}) {
        writer.setPageLayout(QPageLayout(QPageSize(paper), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                         QPageLayout::Millimeter));
        const QSizeF page = writer.pageLayout().paintRectPixels(300).size();
        for (int n = 1; n <= 120; ++n) {
            auto rows = [](int count, const QString& prefix) {
                QStringList out;
                for (int i = 0; i < count; ++i) out << prefix + QString::number(i);
                return out;
            };
            // Two lists of one-line rows.
            ReportPrinter plain(groupsReport({rows(n, "Bird a"), rows(7, "Bird b"), rows(1, "Bird c"), rows(40, "Bird d")}, 85));
            expectHeadingsKeepTheirFirstRow(plain, writer, page, QStringLiteral("one-line rows, n = %1").arg(n));
            // One list whose groups start with a row of three lines.
            const QString long3 = QString("Longwinded Name ").repeated(28);
            QStringList first = rows(n, "Bird a");
            first[0] = long3;
            QStringList second = rows(5, "Bird b");
            second[0] = long3;
            QStringList third = rows(30, "Bird c");
            third[0] = long3;
            ReportPrinter wrapped(groupsReport({first, second, third}, 0));
            if (n == 1) {
                const auto lay = wrapped.layout(writer, page);
                ASSERT_EQ(lay.wrapped.size(), 3) << "the first row of each group wraps";
                ASSERT_GE(lay.wrapped.begin()->at(1).size(), 3);
            }
            expectHeadingsKeepTheirFirstRow(wrapped, writer, page, QStringLiteral("wrapped first rows, n = %1").arg(n));
        }
    }
}
