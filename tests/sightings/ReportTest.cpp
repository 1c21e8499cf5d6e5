#include "Harness.h"
#include "ReportFiles.h"
#include "report/ReportError.h"
#include "sightings/ReportControl.h"
#include "sightings/ReportPrinter.h"
#include "sightings/Reports.h"
#include "report/ReportBuilder.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace fl;
using test::Harness;
using Setting = ReportControl::Setting;
using test::copyDefinitions;

namespace {

// The program on the fixture with Ontario (species 1 to 6) as the current region, two of
// them sighted there, and the definitions in its folder.
std::unique_ptr<Harness> ontario()
{
    auto h = std::make_unique<Harness>([](test::TestFolder& f) {
        f.exec("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State', lifetotal = 6, lifesum = 2");
        f.exec("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Type, Region, country, state, district, site) VALUES "
               "(7, 2, '2024-05-03', 'Male', 0, 0, 2, 0, 'Rondeau Park'), "
               "(8, 5, '2025-06-01', 'Adult', 0, 0, 2, 0, 'Algonquin')");
        f.exec("UPDATE Birds SET LifeList = 7 WHERE ID = 2");
        f.exec("UPDATE Birds SET LifeList = 8 WHERE ID = 5");
        copyDefinitions(f.path());
    });
    return h;
}

QList<Setting> checklistSettings(int region)
{
    return {{"ReportFileName", "checklist.rpt"},
            {"WindowTitle", "Checklist Report"},
            {"SelectionFormula", "{checklists.reg_ID} = " + QString::number(region)},
            {"Formulas(0)", "Title = 'Checklist For ' + {options.regname}"},
            {"Formulas(1)", "Lifer = '[    ]'"},
            {"Action", "1"}};
}

QList<Setting> lifeSettings(int region)
{
    return {{"ReportFileName", "life.rpt"},
            {"SelectionFormula", "{checklists.reg_ID} = " + QString::number(region)},
            {"WindowTitle", "Life List Report"},
            {"Formulas(0)", "Title = 'Life List For ' + {options.regname}"},
            {"Formulas(1)", "if {Birds.LifeList} > 0 then '[X]' Else '[   ]'"},
            {"Action", "1"}};
}

QString pdfText(const QString& pdf, bool layout)
{
    return layout ? test::pdfText(pdf, true) : test::popplerOutput("pdftotext", pdf, {});
}

void expectReportError(const Harness& h, int number)
{
    ASSERT_EQ(h.platform.messages.size(), 1);
    const auto& m = h.platform.messages[0];
    EXPECT_EQ(m.text, "Problem printing report. Error # " + QString::number(number));
    EXPECT_EQ(m.title, "Report Error");
    EXPECT_EQ(m.buttons, Platform::Buttons::YesNo);
    EXPECT_EQ(m.icon, Platform::Icon::Exclamation);
    EXPECT_TRUE(h.platform.reports.isEmpty());
}

} // namespace

// The commands set the control's properties in their order and show a preview; both reports of
// the small region, read back from their PDFs.
TEST(Reports, CommandsSetThePropertiesInTheirOrderAndPrintTheRegion)
{
    auto h = ontario();
    QTemporaryDir out;
    h->platform.reportPdfFolder = out.path();
    h->run(cmd::mnuReportChecklist);
    EXPECT_TRUE(h->platform.messages.isEmpty());
    EXPECT_EQ(reportControl(*h).settings, checklistSettings(2));
    ASSERT_EQ(h->platform.reports.size(), 1);
    EXPECT_EQ(h->platform.reports[0].windowTitle, "Checklist Report");
    EXPECT_TRUE(h->platform.reports[0].text.contains("Checklist For Ontario"));

    reportControl(*h).settings.clear();
    h->run(cmd::mnuReportLife);
    EXPECT_TRUE(h->platform.messages.isEmpty());
    EXPECT_EQ(reportControl(*h).settings, lifeSettings(2));
    ASSERT_EQ(h->platform.reports.size(), 2);
    EXPECT_EQ(h->platform.reports[1].windowTitle, "Life List Report");
    EXPECT_TRUE(h->platform.reports[1].text.contains("Life List For Ontario"));
    EXPECT_EQ(h->w->findChildren<ReportControl*>().size(), 1) << "one control, rpt1, on the main window";
    EXPECT_EQ(h->platform.hourglassDepth, 0);
    ASSERT_FALSE(h->platform.reports[0].pdf.isEmpty());
    ASSERT_FALSE(h->platform.reports[1].pdf.isEmpty());

    const QStringList order = {"Canada Goose", "Wood Duck",     "Mallard",
                               "Wood Thrush",  "Hermit Thrush", "American Robin"};
    for (int k = 0; k < 2; ++k) {
        const QString text = pdfText(h->platform.reports[k].pdf, true);
        SCOPED_TRACE(text.toStdString());
        EXPECT_TRUE(text.contains(k == 0 ? "Checklist For Ontario" : "Life List For Ontario"));
        EXPECT_TRUE(text.contains("Page 1 of 1"));
        EXPECT_FALSE(text.contains("Page 2"));
        const QString today = QDate::currentDate().toString("yyyy-MM-dd");
        EXPECT_TRUE(text.contains(QRegularExpression("Ontario\\s+Printed " + today)));
        const int ducks = text.indexOf("Ducks, Geese, and Waterfowl");
        const int thrushes = text.indexOf("Thrushes");
        EXPECT_GE(ducks, 0);
        EXPECT_GT(thrushes, ducks) << "families in checklist order";
        EXPECT_EQ(text.count("Ducks, Geese, and Waterfowl"), 1);
        EXPECT_FALSE(text.contains("Wood-Warblers")) << "no species of the family in Ontario";
        int last = -1;
        const QStringList lines = text.split('\n');
        for (const QString& name : order) {
            const QStringList found = lines.filter(name);
            ASSERT_EQ(found.size(), 1) << qPrintable(name);
            const QString line = found[0].trimmed();
            const bool sighted = name == "Wood Duck" || name == "Hermit Thrush";
            // Text read back from a PDF keeps the box, not its exact count of blanks.
            const QRegularExpression emptyBox("^\\[ +\\] +" + name);
            if (k == 0) {
                EXPECT_TRUE(line.contains(emptyBox)) << qPrintable(line);
            } else {
                EXPECT_EQ(line.startsWith("[X] "), sighted) << qPrintable(line);
                EXPECT_EQ(line.contains(emptyBox), !sighted) << qPrintable(line);
            }
            const int at = text.indexOf(name);
            EXPECT_GT(at, last) << "checklist order: " << qPrintable(name);
            last = at;
        }
        EXPECT_EQ(text.count("[X]"), k == 0 ? 0 : 2);
        EXPECT_TRUE(
            text.contains(QRegularExpression(k == 0 ? "Species listed: 6\\s+Species ticked: 0"
                                                    : "Species listed: 6\\s+Species ticked: 2")));
        if (k == 1) {
            EXPECT_TRUE(lines.filter("Wood Duck")[0].contains(
                QRegularExpression("2024-05-03\\s+Rondeau Park")));
            EXPECT_TRUE(lines.filter("Hermit Thrush")[0].contains(
                QRegularExpression("2025-06-01\\s+Algonquin")));
        }
    }
}

TEST(Reports, WorldSelectsEverySpeciesAndEverySightingCounts)
{
    Harness h([](test::TestFolder& f) {
        f.exec("UPDATE Options SET Reg_ID = 0, regname = 'World', regType = 'World'");
        f.exec("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Region, country, state, district, site) VALUES "
               "(1, 12, '2023-01-02', 0, 0, 0, 0, 'Somewhere'), (2, 8, '2022-01-01', 0, 3, 0, 0, 'Elsewhere')");
        copyDefinitions(f.path());
    });
    h.run(cmd::mnuReportChecklist);
    EXPECT_EQ(reportControl(h).settings, checklistSettings(0));
    reportControl(h).settings.clear();
    h.run(cmd::mnuReportLife);
    EXPECT_EQ(reportControl(h).settings, lifeSettings(0));
    ASSERT_EQ(h.platform.reports.size(), 2);
    const QString checklist = h.platform.reports[0].text;
    const QString life = h.platform.reports[1].text;
    EXPECT_TRUE(checklist.contains("Checklist For World"));
    EXPECT_TRUE(checklist.contains("Species listed: 12     Species ticked: 0")) << qPrintable(checklist);
    EXPECT_TRUE(life.contains("Species listed: 12     Species ticked: 2")) << qPrintable(life);
    EXPECT_TRUE(life.contains("[X]  Ovenbird  Seiurus aurocapilla  2022-01-01  Elsewhere")) << qPrintable(life);
    EXPECT_TRUE(life.contains("[X]  Bay-breasted Warbler"));
    EXPECT_TRUE(life.contains("[   ]  Mallard"));
}

// The definitions are read from the program's folder only: the data folder in the build tree,
// the share folder once installed; never from the working folder.
TEST(Reports, DefinitionsAreReadFromTheProgramsFolderOnly)
{
    auto h = ontario();
    QTemporaryDir elsewhere;
    const QString before = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    copyDefinitions(elsewhere.path());
    QFile::remove(QDir(h->folder.path()).filePath("life.rpt"));
    h->run(cmd::mnuReportChecklist);
    h->run(cmd::mnuReportLife);
    QDir::setCurrent(before);
    ASSERT_EQ(h->platform.reports.size(), 1) << "the checklist from the program's folder";
    EXPECT_EQ(h->platform.reports[0].windowTitle, "Checklist Report");
    ASSERT_EQ(h->platform.messages.size(), 1);
    EXPECT_EQ(h->platform.messages[0].text, "Problem printing report. Error # 501")
        << "life.rpt in the working folder does not count";

    // Installed: the data folder's own copies do not count; a changed one there would be used
    // otherwise.
    QTemporaryDir share;
    copyDefinitions(share.path());
    h->state.shareFolder = share.path();
    copyDefinitions(h->folder.path());
    QFile::remove(QDir(h->folder.path()).filePath("checklist.rpt"));
    h->platform.messages.clear();
    h->run(cmd::mnuReportChecklist);
    h->run(cmd::mnuReportLife);
    ASSERT_EQ(h->platform.reports.size(), 3) << "both from the share folder";
    EXPECT_TRUE(h->platform.messages.isEmpty());
    QFile::remove(QDir(share.path()).filePath("life.rpt"));
    h->run(cmd::mnuReportLife);
    EXPECT_EQ(h->platform.reports.size(), 3) << "life.rpt in the data folder does not count";
    ASSERT_EQ(h->platform.messages.size(), 1);
    EXPECT_EQ(h->platform.messages[0].text, "Problem printing report. Error # 501");
}

TEST(Reports, FailuresShowTheEngineNumber)
{
    {
        Harness h; // no definitions at all
        h.run(cmd::mnuReportChecklist);
        expectReportError(h, report::kErrNoDefinition);
    }
    // The message keeps its fixed text; what went wrong, with the file and line, is behind its
    // details button. (Each number and its cause: ReportBuilder.ErrorsHaveTheirNumbers.)
    const struct {
        const char* definition;
        int number;
        const char* details;
    } broken[] = {
        {"", report::kErrBadDefinition, "checklist.rpt, line 1: the file must begin with"},
        {"featherlog report: 1\nsource: checklist\ncolumn 5: {birds.name} + \n", report::kErrFormulaSyntax,
         "checklist.rpt, line 3: Formula error at position 15"},
        {"featherlog report: 1\nsource: checklist\ncolumn nan: {birds.name}\n", report::kErrBadDefinition,
         "checklist.rpt, line 3: a column's width"},
    };
    for (const auto& b : broken) {
        auto h = ontario();
        QFile file(QDir(h->folder.path()).filePath("checklist.rpt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(b.definition);
        file.close();
        h->run(cmd::mnuReportChecklist);
        expectReportError(*h, b.number);
        EXPECT_TRUE(h->platform.messages[0].details.startsWith(QString::fromLatin1(b.details)))
            << qPrintable(h->platform.messages[0].details);
        EXPECT_EQ(h->platform.hourglassDepth, 0);
    }
    {
        auto h = ontario();
        ReportControl& rpt = reportControl(*h);
        try {
            rpt.setAction(2);
            ADD_FAILURE() << "action 2 was accepted";
        } catch (const report::ReportError& e) {
            EXPECT_EQ(e.number(), report::kErrBadProperty);
        }
        EXPECT_THROW(rpt.setFormulas(-1, "X = 1"), report::ReportError);
        EXPECT_TRUE(h->platform.reports.isEmpty());
    }
}

// The running program's platform shows Qt's print preview, titled with the window title,
// with the report's pages painted by the report printer.
TEST(Reports, QtPlatformPreviewsThePaintedPages)
{
    auto h = ontario();
    struct Counting : PrintableReport {
        ReportPrinter inner;
        int prints = 0;
        explicit Counting(report::BuiltReport r) : inner(std::move(r)) {}
        bool print(QPrinter* p) override { ++prints; return inner.print(p); }
        bool writePdf(const QString& path) override { return inner.writePdf(path); }
        QString plainText() override { return inner.plainText(); }
    };
    const auto def = report::loadDefinition(QDir(h->folder.path()).filePath("checklist.rpt"));
    Counting shown(report::buildReport(h->db(), def, "{checklists.reg_ID} = 2", {}, QDate(2026, 1, 1)));
    const test::Previewed previewed = test::preview(*h, "Checklist Report", shown);
    EXPECT_TRUE(previewed.shown);
    EXPECT_EQ(previewed.title, "Checklist Report");
    EXPECT_EQ(previewed.pages, 1);
    EXPECT_GE(shown.prints, 1);
}

// A report saved as PDF under a name the user typed: never over the database or a backup,
// and a PDF that cannot be written whole leaves the earlier file as it was.
TEST(Reports, APdfNeverReplacesTheDatabaseAndAFailedOneLeavesTheEarlierFile)
{
    auto h = ontario();
    const QString db = h->state.databasePath();
    const QByteArray dbBytes = [&] {
        QFile f(db);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    auto build = [&] {
        return report::buildReport(h->db(), report::loadDefinition(QDir(h->folder.path()).filePath("life.rpt")),
                                   "{checklists.reg_ID} = 2", {"Title = 'Life List For ' + {options.regname}"},
                                   QDate(2026, 1, 1));
    };
    ReportPrinter printer(build(), db, &h->platform);
    EXPECT_FALSE(printer.writePdf(db));
    ASSERT_EQ(h->platform.messages.size(), 1);
    EXPECT_TRUE(h->platform.messages[0].text.contains("Featherlog's database")) << qPrintable(h->platform.messages[0].text);
    QPrinter toFile(QPrinter::HighResolution);
    toFile.setOutputFormat(QPrinter::PdfFormat);
    toFile.setOutputFileName(db + "-journal");
    EXPECT_FALSE(printer.print(&toFile)) << "printing to a file is saving too";
    EXPECT_EQ(h->platform.messages.size(), 2);
    {
        QFile f(db);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), dbBytes);
    }

    QTemporaryDir out;
    const QString pdf = out.filePath("life.pdf");
    {
        QFile f(pdf);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("last year's list");
    }
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 2048;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = printer.writePdf(pdf);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(written);
    {
        QFile f(pdf);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), "last year's list");
    }
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList{"life.pdf"}) << "no part of a file is left";
    // Printed to the file through a printer: written whole, put in place.
    toFile.setOutputFileName(pdf);
    EXPECT_TRUE(printer.print(&toFile));
    EXPECT_EQ(toFile.outputFileName(), pdf);
    EXPECT_TRUE(pdfText(pdf, false).contains("Life List For Ontario"));
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList{"life.pdf"});
}
