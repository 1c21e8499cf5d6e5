// My Lists, and the reports of the species seen and of a year list.

#include "ReportFiles.h"
#include "WindowSteps.h"
#include "sightings/MyListsModels.h"
#include "sightings/ReportControl.h"
#include "sightings/frmMyLists.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

// Ontario is the current region (species 1 to 6 on its checklist). Hermit Thrush was seen at
// Point Pelee on the last day of 2023 and at Rondeau on the first of 2024, the Wood Duck at
// Rondeau in May 2024; a Mallard was seen outside Ontario.
std::unique_ptr<Harness> ontario()
{
    return test::ontario(2, 6, [](test::TestFolder& f) {
        f.exec("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Region, country, state, district, site) VALUES "
               "(1, 5, '2023-12-31', 1, 3, 2, 4, 'Tip'), "
               "(2, 5, '2024-01-01', 1, 3, 2, 0, 'Rondeau'), "
               "(3, 2, '2024-05-03', 1, 3, 2, 0, 'Rondeau'), "
               "(4, 1, '2024-06-01', 1, 0, 0, 0, 'Yard')");
        f.exec("UPDATE Birds SET LifeList = 1 WHERE ID = 5");
        f.exec("UPDATE Birds SET LifeList = 3 WHERE ID = 2");
        test::copyDefinitions(f.path());
    });
}

frmMyLists* openLists(Harness& h)
{
    h.run(cmd::mnuViewLists);
    return openMyLists();
}

// The rows of a view's model as text, cells joined by " | ".
QStringList rows(const QAbstractItemModel* m, int columns = -1)
{
    QStringList out;
    const int n = columns < 0 ? m->columnCount() : columns;
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < n; ++c) cells << m->index(r, c).data().toString();
        out << cells.join(" | ");
    }
    return out;
}

} // namespace

TEST(MyLists, OpensOnTheCurrentRegionWithItsListsAndTargets)
{
    auto h = ontario();
    h->db().execute("UPDATE Checklists SET scode = 'FS/' WHERE Reg_ID = 2 AND Bird_ID = 3");
    h->db().execute("UPDATE Checklists SET scode = 'UW/' WHERE Reg_ID = 2 AND Bird_ID = 4");
    frmMyLists* w = openLists(*h);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->cmbRegion->currentText(), "Ontario");
    // The targets: the region's species not seen there, the most common first, by month.
    EXPECT_EQ(rows(w->targetsShown, 3),
              (QStringList{"Mallard | Anas platyrhynchos | Abundant",
                           "Wood Thrush | Hylocichla mustelina | Abundant",
                           "Canada Goose | Branta canadensis | Common",
                           "American Robin | Turdus migratorius | Uncommon"}));
    EXPECT_EQ(w->lblTargets->text(),
              "4 species of the Ontario checklist not yet seen there, the most common first.");
    w->cmbMonth->setCurrentIndex(w->cmbMonth->findText("January"));
    EXPECT_EQ(rows(w->targetsShown, 1), (QStringList{"Mallard", "Wood Thrush", "American Robin"}));
    EXPECT_EQ(
        w->lblTargets->text(),
        "3 species of the Ontario checklist not yet seen there in January, the most common first.");
    const QStringList lists = rows(w->lists, 4);
    // The whole list's life list, then Ontario's lists, then Point Pelee's.
    EXPECT_EQ(lists.mid(0, 4), (QStringList{"World | Life list | 3 | 3", "Ontario | Life list | 2 | 2",
                                            "Ontario | 2024 | 2 | 1", "Ontario | 2023 | 1 | 1"}));
    EXPECT_TRUE(lists.contains("Ontario | January (all years) | 1 | 0")) << qPrintable(lists.join("\n"));
    EXPECT_TRUE(lists.contains("Ontario | December (all years) | 1 | 1"));
    EXPECT_TRUE(lists.contains("Point Pelee | Life list | 1 | 1"));
    EXPECT_FALSE(lists.join("\n").contains("Mallard"));
    // The region's life list is chosen; its species in checklist order.
    EXPECT_EQ(w->chosenTitle(), "Ontario: Life list");
    EXPECT_EQ(rows(w->speciesShown), (QStringList{"Wood Duck | 2024-05-03 | Rondeau (Ontario) | 1 | 2024-05-03 | new",
                                                  "Hermit Thrush | 2023-12-31 | Tip (Point Pelee) | 2 | 2024-01-01 | new"}));
    EXPECT_EQ(w->lblSpecies->text(), "Ontario: Life list: 2 species, 2 new");

    // Another list, a filter, a sort.
    ASSERT_TRUE(w->chooseList("Ontario", "2024"));
    EXPECT_EQ(rows(w->speciesShown, 1), (QStringList{"Wood Duck", "Hermit Thrush"}));
    EXPECT_EQ(w->speciesShown->index(1, ListSpeciesModel::New).data().toString(), "") << "seen in 2023 already";
    w->txtFilter->setText("TIP");
    EXPECT_EQ(rows(w->speciesShown, 1), QStringList{}) << "in 2024 it was first seen at Rondeau";
    w->txtFilter->setText("rondeau");
    EXPECT_EQ(rows(w->speciesShown, 1), (QStringList{"Wood Duck", "Hermit Thrush"}));
    w->txtFilter->clear();
    w->grdSpecies->sortByColumn(ListSpeciesModel::FirstSeen, Qt::AscendingOrder);
    EXPECT_EQ(rows(w->speciesShown, 1), (QStringList{"Hermit Thrush", "Wood Duck"}));

    // Another region: the whole list.
    w->cmbRegion->setCurrentIndex(w->cmbRegion->findText("World"));
    EXPECT_TRUE(rows(w->lists, 4).contains("World | 2024 | 3 | 2"));
    EXPECT_TRUE(rows(w->lists, 4).contains("Canada | Life list | 2 | 2"));
    EXPECT_EQ(w->targetsShown->rowCount(), 0);
}

TEST(MyLists, DoubleClickShowsTheSpeciesAndAChangedDatabaseIsReadAgain)
{
    auto h = ontario();
    frmMyLists* w = openLists(*h);
    ASSERT_TRUE(w->chooseList("Ontario", "2023"));
    w->grdSpecies_DblClick(w->speciesShown->index(0, 0));
    EXPECT_EQ(h->shown(), "Hermit Thrush");
    w->tabPages->setCurrentIndex(1);
    w->grdTargets_DblClick(w->targetsShown->index(0, 0));
    EXPECT_EQ(h->shown(), "Canada Goose") << "the first of the most common, in checklist order";

    // A restored or changed database: the lists read again, the chosen one stays.
    h->db().execute("INSERT INTO Sightings (Bird_ID, Date, state) VALUES (6, '2025-02-02', 2)");
    w->reload();
    EXPECT_TRUE(rows(w->lists, 4).contains("Ontario | 2025 | 1 | 1"));
    EXPECT_EQ(w->chosenTitle(), "Ontario: 2023");
}

TEST(MyLists, CustomListsAreMadeRenamedAndDeleted)
{
    auto h = ontario();
    frmMyLists* w = openLists(*h);
    // A name is needed; then the list with a site that sightings name and one typed in.
    test::inWindow<frmCustomList>([&] { w->cmdNew->click(); }, [&](frmCustomList& d) {
        EXPECT_TRUE(d.checkPlace("Rondeau (site)"));
        EXPECT_TRUE(d.checkPlace("Point Pelee (region)"));
        d.cmdOK->click();
        EXPECT_TRUE(d.isVisible()) << "no name, no list";
        d.txtName->setText("Lake Erie");
        d.txtSite->setText("Long Point");
        d.cmdAddSite->click();
        d.cmdOK->click();
        if (d.isVisible()) d.reject();
    });
    ASSERT_FALSE(h->platform.messages.isEmpty());
    EXPECT_EQ(h->platform.messages.last().text, "A custom list needs a name.");
    EXPECT_EQ(w->chosenTitle(), "Lake Erie: Life list");
    EXPECT_EQ(rows(w->speciesShown, 1), (QStringList{"Wood Duck", "Hermit Thrush"}));
    EXPECT_TRUE(rows(w->lists, 4).contains("Lake Erie (custom) | 2023 | 1 | 1"));
    EXPECT_EQ(h->scalar("SELECT group_concat(coalesce(Reg_ID, Site)) FROM CustomListPlaces").toString(), "4,Rondeau,Long Point");
    EXPECT_TRUE(w->cmdRename->isEnabled());

    // Its places changed: Point Pelee only.
    test::inWindow<frmCustomList>([&] { w->cmdPlaces->click(); }, [&](frmCustomList& d) {
        EXPECT_EQ(d.txtName->text(), "Lake Erie");
        EXPECT_TRUE(d.checkPlace("Rondeau (site)", false));
        EXPECT_TRUE(d.checkPlace("Long Point (site)", false));
        d.cmdOK->click();
        if (d.isVisible()) d.reject();
    });
    EXPECT_EQ(rows(w->speciesShown, 1), QStringList{"Hermit Thrush"});

    // Renamed; a name in use is refused.
    h->platform.inputs.push_back("  Pelee ");
    w->cmdRename->click();
    EXPECT_EQ(w->chosenTitle(), "Pelee: Life list");
    ASSERT_NO_THROW(createCustomList(h->db(), {0, "Yard", {}, {"Yard"}}));
    h->platform.inputs.push_back("yard");
    w->cmdRename->click();
    EXPECT_EQ(h->platform.messages.last().text, "There is already a custom list named \"Yard\".");
    EXPECT_EQ(h->scalar("SELECT count(*) FROM CustomLists WHERE Name = 'Pelee'").toInt(), 1);

    // Deleted after a question; No keeps it.
    h->platform.answers.push_back(Platform::Answer::No);
    w->cmdDelete->click();
    EXPECT_EQ(h->scalar("SELECT count(*) FROM CustomLists").toInt(), 2);
    h->platform.answers.push_back(Platform::Answer::Yes);
    w->cmdDelete->click();
    EXPECT_EQ(h->platform.messages.last().buttons, Platform::Buttons::YesNo);
    EXPECT_EQ(h->scalar("SELECT count(*) FROM CustomLists").toInt(), 1);
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings").toInt(), 4) << "the sightings stay";
    EXPECT_FALSE(rows(w->lists, 1).join("\n").contains("Pelee (custom)"));
    // Commands for custom lists only on a custom list's row.
    ASSERT_TRUE(w->chooseList("Ontario", "Life list"));
    EXPECT_FALSE(w->cmdDelete->isEnabled());
    EXPECT_FALSE(w->cmdPlaces->isEnabled());
}

TEST(MyLists, TheShownListIsExportedAsCsvAndPrinted)
{
    auto h = ontario();
    QTemporaryDir out;
    h->platform.reportPdfFolder = out.path();
    frmMyLists* w = openLists(*h);
    ASSERT_TRUE(w->chooseList("World", "Life list"));
    w->txtFilter->setText("=");
    EXPECT_FALSE(w->cmdExport->isEnabled()) << "nothing shown, nothing to export";
    w->txtFilter->setText("duck");
    const QString csv = out.filePath("world.csv");
    h->platform.files.push_back(csv);
    w->cmdExport->click();
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()),
              "Species,First seen,Place,Records,Last seen,New\nWood Duck,2024-05-03,Rondeau (Ontario),1,2024-05-03,new\n");
    EXPECT_TRUE(h->platform.suggestedFiles.last().endsWith("World-Life-list.csv")) << qPrintable(h->platform.suggestedFiles.last());

    w->txtFilter->clear();
    w->cmdPrint->click();
    ASSERT_EQ(h->platform.reports.size(), 1) << qPrintable(h->messageTexts().join("\n"));
    EXPECT_EQ(h->platform.reports[0].windowTitle, "List Report");
    const QString text = test::pdfText(h->platform.reports[0].pdf, true);
    EXPECT_TRUE(text.contains("World: Life list")) << qPrintable(text);
    for (const char* name : {"Mallard", "Wood Duck", "Hermit Thrush"}) EXPECT_TRUE(text.contains(name)) << name;
    EXPECT_TRUE(text.contains("Species: 3"));
    EXPECT_FALSE(text.contains("Canada Goose"));
}

// ---- reports -----------------------------------------------------------------------------

TEST(ListReports, SeenSpeciesHaveALineEachAndTheYearListIsOfTheYearAskedFor)
{
    auto h = ontario();
    QTemporaryDir out;
    h->platform.reportPdfFolder = out.path();
    h->run(cmd::mnuReportSeen);
    ASSERT_EQ(h->platform.reports.size(), 1) << qPrintable(h->messageTexts().join("\n"));
    EXPECT_EQ(h->platform.reports[0].windowTitle, "Seen Species Report");
    const auto& settings = reportControl(*h).settings;
    ASSERT_GE(settings.size(), 3);
    EXPECT_EQ(settings[2].value, "{checklists.reg_ID} = 2 and {Birds.LifeList} > 0");

    const QString text = test::pdfText(h->platform.reports[0].pdf, true);
    EXPECT_TRUE(text.contains("Species Seen In Ontario")) << qPrintable(text);
    // The species lines: those with a date.
    QStringList lines;
    static const QRegularExpression dated(QStringLiteral("\\d{4}-\\d{2}-\\d{2}|\\d{1,2}/\\d{1,2}/\\d{2,4}"));
    for (const QString& line : text.split('\n'))
        if (line.contains(dated) && !line.contains("Printed")) lines << line.simplified();
    ASSERT_EQ(lines.size(), 2) << qPrintable(text);
    EXPECT_TRUE(lines[0].startsWith("Wood Duck Aix sponsa")) << qPrintable(lines[0]);
    EXPECT_TRUE(lines[0].endsWith("Rondeau")) << qPrintable(lines[0]);
    EXPECT_TRUE(lines[1].startsWith("Hermit Thrush Catharus guttatus")) << qPrintable(lines[1]);
    EXPECT_TRUE(lines[1].endsWith("Tip")) << qPrintable(lines[1]);
    for (const char* unseen : {"Mallard", "Canada Goose", "American Robin", "Wood Thrush"})
        EXPECT_FALSE(text.contains(unseen)) << unseen;
    EXPECT_TRUE(text.contains("Species seen: 2"));

    // The year list report: the year asked for.
    h->platform.inputs.push_back("abc");
    h->run(cmd::mnuReportYear);
    EXPECT_EQ(h->platform.prompts.last(), "The year list of Ontario for the year:");
    EXPECT_EQ(h->messageTexts().last(), "\"abc\" is not a year.");
    h->platform.inputs.push_back("2010");
    h->run(cmd::mnuReportYear);
    EXPECT_EQ(h->messageTexts().last(), "There are no sightings in Ontario in 2010.");
    h->platform.inputs.push_back(QString()); // Cancel
    h->run(cmd::mnuReportYear);
    EXPECT_EQ(h->platform.reports.size(), 1);

    h->platform.inputs.push_back(" 2023 ");
    h->run(cmd::mnuReportYear);
    ASSERT_EQ(h->platform.reports.size(), 2) << qPrintable(h->messageTexts().join("\n"));
    EXPECT_EQ(h->platform.reports[1].windowTitle, "Year List Report");
    const QString year = test::pdfText(h->platform.reports[1].pdf, true);
    EXPECT_TRUE(year.contains("Ontario: 2023")) << qPrintable(year);
    EXPECT_TRUE(year.contains("Hermit Thrush"));
    EXPECT_FALSE(year.contains("Wood Duck"));
    EXPECT_TRUE(year.contains("Species: 1"));
}
