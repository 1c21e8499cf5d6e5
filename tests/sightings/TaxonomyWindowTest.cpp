// File > Update Taxonomy: the preview, applying it with its progress bar and cancelling it;
// sightings marked for review in the sightings log, and reviewing them in the sighting window.

#include "WindowSteps.h"

#include "sightings/frmSight.h"
#include "sightings/frmSightingsLog.h"
#include "sightings/frmTaxonomyUpdate.h"
#include "sightings/SightingsLogModel.h"

#include <QCheckBox>
#include <QDir>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;
using test::writeFile;

namespace {

// The fixture's species in eBird's layout, as the 2025 file writes them.
const char* const kHeader = "TAXON_ORDER,CATEGORY,SPECIES_CODE,TAXON_CONCEPT_ID,PRIMARY_COM_NAME,SCI_NAME,ORDER,FAMILY,"
                            "SPECIES_GROUP,REPORT_AS\n";
QByteArray fixtureLines()
{
    return "10,species,cangoo,,Canada Goose,Branta canadensis,Anseriformes,\"Anatidae (Ducks, Geese, and Waterfowl)\",,\n"
           "20,species,wooduc,,Wood Duck,Aix sponsa,Anseriformes,\"Anatidae (Ducks, Geese, and Waterfowl)\",,\n"
           "30,species,mallar3,,Mallard,Anas platyrhynchos,Anseriformes,\"Anatidae (Ducks, Geese, and Waterfowl)\",,\n"
           "40,species,woothr,,Wood Thrush,Hylocichla mustelina,Passeriformes,Turdidae (Thrushes and Allies),,\n"
           "50,species,herthr,,Hermit Thrush,Catharus guttatus,Passeriformes,Turdidae (Thrushes and Allies),,\n"
           "60,species,amerob,,American Robin,Turdus migratorius,Passeriformes,Turdidae (Thrushes and Allies),,\n"
           "80,species,ovenbi1,,Ovenbird,Seiurus aurocapilla,Passeriformes,Parulidae (New World Warblers),,\n"
           "90,species,comyel,,Common Yellowthroat,Geothlypis trichas,Passeriformes,Parulidae (New World Warblers),,\n"
           "120,species,babwar,,Bay-breasted Warbler,Setophaga castanea,Passeriformes,Parulidae (New World Warblers),,\n";
}

// A file with a rename (Mallard), a split (Yellow Warbler into two) and a lump (Kirtland's
// Warbler into Palm Warbler).
QByteArray changedTaxonomy()
{
    QByteArray t = QByteArray(kHeader) + fixtureLines();
    t.replace(",Mallard,Anas platyrhynchos,", ",Common Mallard,Anas platyrhynchos,");
    t += "73,species,yelwar1,,Northern Yellow Warbler,Setophaga aestiva,Passeriformes,Parulidae (New World Warblers),,\n"
         "74,species,manwar1,,Mangrove Yellow Warbler,Setophaga petechia,Passeriformes,Parulidae (New World Warblers),,\n"
         "75,slash,yelwar,,Northern/Mangrove Yellow Warbler,Setophaga aestiva/petechia,Passeriformes,Parulidae (New World "
         "Warblers),,\n"
         "110,species,palwar,,Palm Warbler,Setophaga palmarum,Passeriformes,Parulidae (New World Warblers),,\n"
         "111,issf,kirwar,,Palm Warbler (Kirtland's),Setophaga palmarum kirtlandii,Passeriformes,Parulidae (New World "
         "Warblers),,palwar\n";
    return t;
}

// Ontario current; Yellow Warbler seen three times (once in Ontario), Kirtland's Warbler once.
std::unique_ptr<Harness> withSightings()
{
    return std::make_unique<Harness>([](test::TestFolder& f) {
        f.exec("UPDATE Options SET Reg_ID = 1, regname = 'North America', regType = 'Region', lifesum = 2");
        f.exec("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Region, state, site) VALUES "
               "(1, 7, '2021-06-01', 1, 2, 'Rondeau'), (2, 7, '2022-06-01', 1, 0, 'Cape May'),"
               "(3, 7, '2023-06-01', 1, 0, 'Key West'), (4, 10, '2020-05-20', 1, 0, 'Grayling')");
        f.exec("UPDATE Birds SET LifeList = 1 WHERE ID = 7");
        f.exec("UPDATE Birds SET LifeList = 4 WHERE ID = 10");
    });
}

QStringList contents(Harness& h)
{
    return test::rowsOf(h, {"SELECT ID, Name, sci_name, SpeciesCode, sortOrder, LifeList "
                            "FROM Birds ORDER BY ID",
                            "SELECT * FROM Sightings ORDER BY Sight_ID",
                            "SELECT * FROM Checklists ORDER BY Bird_ID, Reg_ID",
                            "SELECT lifesum, lifetotal FROM Options"});
}

QStringList topLevel(QTreeWidget* tree)
{
    QStringList out;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) out << tree->topLevelItem(i)->text(0);
    return out;
}

// Runs the menu command with `path` chosen; `inDialog` acts on the preview while it is open.
void runUpdate(Harness& h, const QString& path, const std::function<void(frmTaxonomyUpdate*)>& inDialog)
{
    h.platform.files.push_back(path);
    auto work = [&](frmTaxonomyUpdate& d) {
        inDialog(&d);
        if (d.isVisible()) d.cmdCancel_Click();
    };
    test::inWindow<frmTaxonomyUpdate>([&] { h.run(cmd::mnuFileTaxonomy); }, work);
}

} // namespace

TEST(TaxonomyWindow, CancelChangesNothingThePreviewShowsEveryChangeAndApplyMakesThem)
{
    auto h = withSightings();
    ASSERT_EQ(h->shown(), "Canada Goose");
    const QString path = h->folder.path() + "/eBird_taxonomy_v2025.csv";
    writeFile(path, changedTaxonomy());
    const QStringList before = contents(*h);
    // Cancel pressed while the update runs (it lets events through) changes nothing.
    bool cancelled = false;
    runUpdate(*h, path, [&](frmTaxonomyUpdate* d) {
        QTimer::singleShot(0, [d] { QTest::mouseClick(d->cmdCancel, Qt::LeftButton); });
        QTest::mouseClick(d->cmdApply, Qt::LeftButton);
        cancelled = d->isVisible() && !d->applied() && d->cmdApply->isEnabled();
    });
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(h->messageTexts().last(), "The update was cancelled; nothing was changed.");
    EXPECT_EQ(contents(*h), before);
    EXPECT_EQ(h->scalar("PRAGMA integrity_check").toString(), "ok");

    runUpdate(*h, path, [&](frmTaxonomyUpdate* d) {
        EXPECT_EQ(d->windowTitle(), "Update Taxonomy");
        EXPECT_EQ(d->lblFile->text(), "eBird_taxonomy_v2025.csv: 12 species");
        EXPECT_EQ(d->lblSummary->text().toStdString(), "1 species renamed, 1 split, 1 lump, 1 new species, "
                                                       "1 subspecies group or form changed.");
        EXPECT_EQ(topLevel(d->lstChanges), (QStringList{"Renamed (1)", "Split (1)", "Lumped (1)", "New species (1)"}));
        QTreeWidgetItem* split = d->lstChanges->topLevelItem(1)->child(0);
        EXPECT_EQ(split->text(0), "Yellow Warbler (Setophaga petechia)");
        EXPECT_EQ(split->text(1), "Northern Yellow Warbler, Mangrove Yellow Warbler");
        EXPECT_EQ(split->text(2), "3");
        EXPECT_EQ(d->lstChanges->topLevelItem(2)->child(0)->text(0), "Palm Warbler + Kirtland's Warbler");
        EXPECT_EQ(d->lblReview->text(),
                  "3 sightings of split species stay with the species that keeps the records and will be marked "
                  "\"needs review\". 1 sighting of lumped species move to the species they join.");
        EXPECT_EQ(contents(*h), before) << "the preview changes nothing";
        // The keeper is chosen in the split's box: Northern, not the default Mangrove.
        auto* keeper = d->findChild<QComboBox*>("cmbKeeper(0)");
        ASSERT_NE(keeper, nullptr);
        EXPECT_EQ(keeper->currentText(), "Mangrove Yellow Warbler");
        keeper->setCurrentIndex(keeper->findText("Northern Yellow Warbler"));
        emit keeper->activated(keeper->currentIndex());
        EXPECT_EQ(d->plan().splits[0].daughters[size_t(d->plan().splits[0].keeper)].code, "yelwar1");
        QTest::mouseClick(d->cmdApply, Qt::LeftButton);
        EXPECT_TRUE(d->applied());
        EXPECT_EQ(d->prgApply->value(), d->prgApply->maximum());
    });
    EXPECT_EQ(h->messageTexts().last(),
              "The database follows the new taxonomy.\n\n3 sightings need review: the Sightings Log lists them.");
    EXPECT_EQ(h->scalar("SELECT Name FROM Birds WHERE ID = 7").toString(), "Northern Yellow Warbler");
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings WHERE NeedsReview = 1").toInt(), 3);
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings WHERE Bird_ID = 11").toInt(), 1) << "moved from Kirtland's";
    EXPECT_EQ(h->scalar("PRAGMA integrity_check").toString(), "ok");
    // The main list follows: new names, the new species, the lumped one gone; the species
    // on show stays.
    EXPECT_TRUE(h->names().contains("Common Mallard"));
    EXPECT_TRUE(h->names().contains("Northern Yellow Warbler"));
    EXPECT_FALSE(h->names().contains("Kirtland's Warbler"));
    EXPECT_EQ(h->shown(), "Canada Goose");
    EXPECT_EQ(h->panel("Life").toStdString(), "Life List: 2 of 11") << "the counts as the main window loads them";

    // The same file again: nothing to change.
    const QStringList after = contents(*h);
    runUpdate(*h, path, [&](frmTaxonomyUpdate* d) {
        EXPECT_TRUE(d->lblSummary->text().startsWith("The database already follows this taxonomy"));
        EXPECT_FALSE(d->cmdApply->isEnabled());
    });
    EXPECT_EQ(contents(*h), after);
}

TEST(TaxonomyWindow, AFileThatIsNoTaxonomyGetsAClearMessage)
{
    QTemporaryDir home;
    struct HomeFolder {
        QByteArray before = qgetenv("HOME");
        explicit HomeFolder(const QString& path) { qputenv("HOME", QFile::encodeName(path)); }
        ~HomeFolder() { qputenv("HOME", before); }
    } atHome(home.path());
    auto h = withSightings();
    const QStringList before = contents(*h);
    const QString path = h->folder.path() + "/MyEBirdData.csv";
    writeFile(path, "Submission ID,Common Name,Scientific Name,Taxonomic Order,Count,Date\n"
                    "S1,Mallard,Anas platyrhynchos,300,2,2024-01-01\n");
    h->platform.files.push_back(path);
    h->run(cmd::mnuFileTaxonomy);
    ASSERT_EQ(h->platform.messages.size(), 1);
    EXPECT_EQ(h->messageTexts()[0], "MyEBirdData.csv is not a taxonomy in eBird's layout: the columns TAXON_ORDER, "
                                    "CATEGORY, SPECIES_CODE, PRIMARY_COM_NAME, SCI_NAME are missing.\n\nNothing was "
                                    "changed.");
    EXPECT_EQ(h->platform.messages[0].title, "Update Taxonomy");
    EXPECT_EQ(contents(*h), before);
    h->platform.files.push_back(QString()); // the file dialog cancelled
    h->run(cmd::mnuFileTaxonomy);
    EXPECT_EQ(h->platform.messages.size(), 1);
    // The file dialog starts in the home folder, as the other records dialogs do, then where
    // the last file was chosen; the import's dialog follows it there too.
    h->platform.files.push_back(QString());
    h->run(cmd::mnuFileImport);
    ASSERT_EQ(h->platform.fileDialogs.size(), 3);
    EXPECT_EQ(h->platform.fileDialogs[0].folder, QDir(home.path()).absolutePath());
    EXPECT_EQ(h->platform.fileDialogs[1].folder, QDir(h->folder.path()).absolutePath());
    EXPECT_EQ(h->platform.fileDialogs[2].folder, QDir(h->folder.path()).absolutePath());
}

TEST(ReviewMarks, TheLogShowsAndFiltersThemAndEditingASightingClearsItsMark)
{
    auto h = withSightings();
    h->db().execute("UPDATE Sightings SET NeedsReview = 1 WHERE Bird_ID = 7");
    h->run(cmd::mnuViewLog);
    frmSightingsLog* log = openSightingsLog();
    ASSERT_NE(log, nullptr);
    auto cell = [&](int row, int column) { return log->model->data(log->model->index(row, column), Qt::DisplayRole).toString(); };
    ASSERT_EQ(log->model->rowCount(), 4);
    EXPECT_EQ(log->model->headerData(SightingsLog::Review, Qt::Horizontal, Qt::DisplayRole).toString(), "Review");
    EXPECT_EQ(cell(0, SightingsLog::Review), "Needs review") << "2023, Yellow Warbler";
    EXPECT_EQ(cell(3, SightingsLog::Review), "") << "2020, Kirtland's Warbler";
    EXPECT_EQ(log->lblCounts->text(), "4 sightings of 2 species; 3 need review");
    QTest::mouseClick(log->chkReview, Qt::LeftButton);
    EXPECT_EQ(log->model->rowCount(), 3);
    EXPECT_EQ(log->lblCounts->text(), "3 sightings of 1 species; 3 need review");

    // Editing the newest one: the window says why and offers the species; saving it as it is
    // clears its mark.
    log->grdLog->selectRow(0);
    ASSERT_TRUE(log->cmdEdit->isEnabled());
    test::inWindow<frmSight>([&] { log->cmdEdit_Click(); }, [](frmSight& d) {
        EXPECT_EQ(d.lbltitle[8]->text(), "Sighting of the Yellow Warbler");
        EXPECT_TRUE(d.lblReview->isVisible());
        EXPECT_TRUE(d.lblReview->text().startsWith("This sighting needs review"));
        EXPECT_EQ(d.cmbSpecies->currentText(), "Yellow Warbler");
        EXPECT_EQ(d.txtSite->text(), "Key West");
        d.cmdSave_Click();
    });
    EXPECT_EQ(h->scalar("SELECT NeedsReview FROM Sightings WHERE Sight_ID = 3").toInt(), 0);
    EXPECT_EQ(log->model->rowCount(), 2) << "the log reads it again, still filtered";
    EXPECT_EQ(log->lblCounts->text(), "2 sightings of 1 species; 2 need review");

    // Another one given the species that was seen: it moves, and the life list follows.
    log->grdLog->selectRow(log->model->rowCount() - 1); // 2021, the life-list sighting
    ASSERT_EQ(log->model->entry(log->grdLog->currentIndex().row()).sightId, 1);
    test::inWindow<frmSight>([&] { log->cmdEdit_Click(); }, [](frmSight& d) {
        test::choose(d.cmbSpecies, "Palm Warbler");
        d.cmdSave_Click();
    });
    EXPECT_EQ(h->scalar("SELECT Bird_ID || ' ' || NeedsReview FROM Sightings WHERE Sight_ID = 1").toString(), "11 0");
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 11").toInt(), 1);
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 7").toInt(), 2) << "the next Yellow Warbler sighting";
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 3);
    EXPECT_EQ(h->panel("Life"), "LifeList: 3 of 12");
    EXPECT_EQ(log->model->rowCount(), 1);
    QTest::mouseClick(log->chkReview, Qt::LeftButton);
    EXPECT_EQ(log->model->rowCount(), 4);
    EXPECT_EQ(log->lblCounts->text(), "4 sightings of 3 species; 1 needs review");
    log->close();
}

TEST(ReviewMarks, TheLifeListSightingIsReviewedInItsOwnWindowToo)
{
    auto h = withSightings();
    h->db().execute("UPDATE Sightings SET NeedsReview = 1 WHERE Sight_ID = 4");
    ASSERT_TRUE(h->w->selectSpeciesByName("Kirtland's Warbler"));
    frmSight d(h->ctx, frmSight::Mode::StoredSighting, h->w.get());
    ASSERT_TRUE(d.loaded());
    EXPECT_EQ(d.lbltitle[8]->text(), "First Sighting of the Kirtland's Warbler");
    EXPECT_FALSE(d.lblReview->isHidden());
    d.cmdSave_Click();
    EXPECT_EQ(h->scalar("SELECT NeedsReview FROM Sightings WHERE Sight_ID = 4").toInt(), 0);
    // A sighting without the mark shows no species box.
    frmSight again(h->ctx, frmSight::Mode::StoredSighting, h->w.get());
    EXPECT_TRUE(again.lblReview->isHidden());
    EXPECT_TRUE(again.cmbSpecies->isHidden());
}
