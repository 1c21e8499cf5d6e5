// The records commands: their menu items, the sightings log, import with its preview, export,
// back up and restore, and the folders their file dialogs start in.

#include "WindowSteps.h"

#include "records/Backup.h"
#include "records/CsvReader.h"
#include "schema/Schema.h"
#include "checklists/frmEditReg.h"
#include "search/frmRegion.h"
#include "sightings/SightingsLogModel.h"
#include "sightings/frmImportPreview.h"
#include "sightings/frmSightingsLog.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QRadioButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;
using test::writeFile;

namespace {

// Ontario current (species 1..6 on its checklist); sightings over two years.
std::unique_ptr<Harness> ontarioWithSightings()
{
    return test::ontario(1, 6, [](test::TestFolder& f) {
        f.exec("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Type, Region, country, state, district, site, notes) VALUES "
               "(1, 3, '2023-03-01', 'Adult', 0, 3, 2, 0, 'Toronto harbour', ''),"
               "(2, 4, '2024-04-10', 'Male', 0, 3, 2, 4, 'Point Pelee tip', 'singing'),"
               "(3, 8, '2024-05-05', '', 0, 0, 0, 0, 'Algonquin', ''),"
               "(4, 3, '2024-06-01', '', 0, 3, 2, 0, 'Toronto harbour', 'x40')");
        f.exec("UPDATE Birds SET LifeList = 1 WHERE ID = 3");
    });
}

const QByteArray kDownload =
    "Submission ID,Common Name,Scientific Name,Taxonomic Order,Count,State/Province,County,Location ID,Location,"
    "Latitude,Longitude,Date,Time,Protocol,Duration (Min),All Obs Reported,Distance Traveled (km),Area Covered (ha),"
    "Number of Observers,Breeding Code,Observation Details,Checklist Comments,ML Catalog Numbers\n"
    "S1,Hermit Thrush,Catharus guttatus,1,2,CA-ON,,L1,Rondeau,,,2025-05-01,,Traveling,,1,,,1,,,,\n"
    "S1,Wood Thrush,Hylocichla mustelina,2,1,CA-ON,,L1,Rondeau,,,2025-05-01,,Traveling,,1,,,1,,,,\n"
    "S1,thrush sp.,Turdidae sp.,3,1,CA-ON,,L1,Rondeau,,,2025-05-01,,Traveling,,1,,,1,,,,\n";

frmSightingsLog* openLog(Harness& h)
{
    h.run(cmd::mnuViewLog);
    return openSightingsLog();
}

QString cell(frmSightingsLog* log, int row, int column)
{
    return log->model->data(log->model->index(row, column), Qt::DisplayRole).toString();
}

} // namespace

// The records, outing, lists and report items: where they sit, their captions and shortcuts;
// every menu's Alt letters stay unique.
TEST(RecordsMenus, NewItemsSitAboveExitWithTheirShortcutsAndFreeLetters)
{
    Harness h;
    auto captions = [&](const char* menu) {
        QStringList out;
        for (QAction* a : h.w->menuBar()->findChild<QMenu*>(menu)->actions()) out << (a->isSeparator() ? "-" : a->text());
        return out;
    };
    // Under their own separator after the web link, with Exit last below its separator.
    const QStringList file = captions("mnuFile");
    EXPECT_EQ(file.mid(file.indexOf("Add Web Page &Link")),
              (QStringList{"Add Web Page &Link", "-", "I&mport eBird Data...", "Export Si&ghtings...",
                           "&Back Up Database...", "Restore &From Backup...", "Update &Taxonomy...", "-", "E&xit"}));
    const QStringList view = captions("mnuView");
    EXPECT_EQ(view.mid(view.indexOf("&Options")), (QStringList{"&Options", "-", "Si&ghtings Log", "&My Lists"}));
    const struct {
        CommandId id;
        const char* text;
        const char* keys;
    } items[] = {{cmd::mnuViewLog, "Si&ghtings Log", "Ctrl+G"},
                 {cmd::mnuFileOuting, "New &Outing...", "Ctrl+Shift+E"},
                 {cmd::mnuViewLists, "&My Lists", "Ctrl+M"},
                 {cmd::mnuReportSeen, "&Seen Species Report", ""},
                 {cmd::mnuReportYear, "&Year List Report...", ""}};
    for (const auto& item : items) {
        EXPECT_EQ(h.w->menuItem(item.id)->text(), item.text);
        EXPECT_EQ(h.w->menuItem(item.id)->shortcut(), QKeySequence(QString::fromLatin1(item.keys)))
            << item.text;
    }
    for (CommandId id :
         {cmd::mnuViewLog, cmd::mnuFileOuting, cmd::mnuViewLists, cmd::mnuFileTaxonomy})
        EXPECT_TRUE(h.enabled(id)) << qPrintable(id.name());
    for (const QMenu* menu : h.w->menuBar()->findChildren<QMenu*>()) {
        QSet<QChar> letters;
        for (const QAction* item : menu->actions()) {
            const qsizetype at = item->text().indexOf('&');
            if (at < 0 || item->isSeparator()) continue;
            const QChar letter = item->text()[at + 1].toLower();
            EXPECT_FALSE(letters.contains(letter))
                << qPrintable(menu->objectName() + ": " + item->text());
            letters.insert(letter);
        }
    }
}

TEST(SightingsLogWindow, ListsNewestFirstCountsTheYearAndFollowsTheCurrentRegion)
{
    auto h = ontarioWithSightings();
    frmSightingsLog* log = openLog(*h);
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(log->isVisible());
    EXPECT_EQ(log->windowTitle(), "Sightings Log");
    ASSERT_EQ(log->model->rowCount(), 4);
    EXPECT_EQ(cell(log, 0, 0), "2024-06-01");
    EXPECT_EQ(cell(log, 0, 1), "Canada Goose");
    EXPECT_EQ(cell(log, 1, 1), "Ovenbird");
    EXPECT_EQ(cell(log, 2, SightingsLog::District), "Point Pelee");
    EXPECT_EQ(cell(log, 2, SightingsLog::State), "Ontario");
    EXPECT_EQ(log->lblCounts->text(), "4 sightings of 3 species");

    log->cmbYear->setCurrentIndex(log->cmbYear->findText("2024"));
    EXPECT_EQ(log->model->rowCount(), 3);
    EXPECT_EQ(log->lblCounts->text(), "2024: 3 sightings of 3 species (year list), 2 new to the life list")
        << "the goose was first seen in 2023";
    QTest::mouseClick(log->chkRegion, Qt::LeftButton);
    ASSERT_TRUE(log->chkRegion->isChecked());
    EXPECT_EQ(log->chkRegion->text(), "Only in Ontario");
    EXPECT_EQ(log->model->rowCount(), 2);
    QTest::keyClicks(log->txtFilter, "pelee");
    EXPECT_EQ(log->model->rowCount(), 1);
    EXPECT_EQ(log->lblCounts->text(), "2024: 1 sighting of 1 species (year list), 1 new to the life list");
    log->txtFilter->clear();
    log->cmbYear->setCurrentIndex(0);
    QTest::mouseClick(log->chkRegion, Qt::LeftButton);
    EXPECT_EQ(log->model->rowCount(), 4);

    // Sorting by a column header.
    log->grdLog->horizontalHeader()->setSortIndicator(1, Qt::AscendingOrder);
    EXPECT_EQ(cell(log, 0, 1), "American Robin");
    EXPECT_EQ(cell(log, 3, 1), "Ovenbird");

    // The region toggle follows the current region. A sighting in Ontario without its country:
    // in Ontario's log, not in Canada's.
    h->db().execute("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Type, Region, country, state, district, site, notes) "
                    "VALUES (5, 2, '2024-07-01', '', 0, 0, 2, 0, 'Rondeau', '')");
    log->reload();
    QTest::mouseClick(log->chkRegion, Qt::LeftButton);
    ASSERT_TRUE(log->chkRegion->isChecked());
    EXPECT_EQ(log->chkRegion->text(), "Only in Ontario");
    EXPECT_EQ(log->model->rowCount(), 4);

    // Canada becomes the current region through the region dialog, beside the open log.
    test::inWindow<frmRegion>([&] { h->run(cmd::mnuSearchRegion); }, [](frmRegion& d) {
        d.optRegion[2]->click();
        d.cmdOK->click();
    });
    ASSERT_EQ(h->state.regname, "Canada");
    EXPECT_EQ(log->chkRegion->text(), "Only in Canada");
    EXPECT_TRUE(log->chkRegion->isEnabled());
    EXPECT_TRUE(log->chkRegion->isChecked());
    EXPECT_EQ(log->model->rowCount(), 3) << "the sightings in Canada";
    EXPECT_EQ(log->lblCounts->text(), "3 sightings of 2 species");

    // Without a region (the whole list) the toggle has nothing to name and lists everything.
    h->db().execute("DELETE FROM Checklists WHERE Reg_ID = 3");
    frmEditReg maintenance(h->ctx, h->w.get());
    maintenance.optRegion_Click(2);
    QTimer::singleShot(0, [] {
        if (QWidget* editor = QApplication::activeModalWidget()) editor->close();
    });
    maintenance.cmdEdit_Click();
    ASSERT_EQ(h->state.Reg_ID, 0);
    EXPECT_EQ(log->chkRegion->text(), "Only in the current region");
    EXPECT_FALSE(log->chkRegion->isEnabled());
    EXPECT_EQ(log->model->rowCount(), 5);
    log->close();
}

TEST(SightingsLogWindow, DoubleClickShowsTheSpeciesAndChangesAreReadWhenItIsActiveAgain)
{
    auto h = ontarioWithSightings();
    frmSightingsLog* log = openLog(*h);
    ASSERT_NE(log, nullptr);
    // American Robin is in Ontario's list on show.
    const int robin = 2;
    ASSERT_EQ(cell(log, robin, 1), "American Robin");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(log));
    QWidget* viewport = log->grdLog->viewport();
    const QRect r = log->grdLog->visualRect(log->model->index(robin, 1));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, r.center());
    EXPECT_EQ(h->shown(), "American Robin");
    EXPECT_EQ(h->names().size(), 6);
    // Ovenbird is not on Ontario's list: the list of every species shows it.
    log->grdLog_DblClick(1);
    EXPECT_EQ(h->shown(), "Ovenbird");
    EXPECT_EQ(h->names().size(), 12);
    EXPECT_EQ(h->panel("Type"), "Find : All Birds");

    // Changes made elsewhere are read when the log is active again.
    QApplication::setActiveWindow(h->w.get());
    h->db().execute("INSERT INTO Sightings (Bird_ID, Date, Type, site, notes) "
                    "VALUES (5, '2025-02-02', '', 'New', '')");
    EXPECT_EQ(log->model->rowCount(), 4);
    QApplication::setActiveWindow(log);
    EXPECT_EQ(log->model->rowCount(), 5);
    EXPECT_EQ(cell(log, 0, 1), "Hermit Thrush");
    log->close();
}

// Cancel while the import runs stores nothing; then the preview tells what the file holds, the
// import stores it once, and the life list follows.
TEST(ImportWindow, CancelStoresNothingThenPreviewImportOnceAndTheLifeListFollows)
{
    auto h = ontarioWithSightings();
    const QString path = h->folder.path() + "/MyEBirdData.csv";
    writeFile(path, kDownload);
    h->platform.files.push_back(path);
    bool cancelled = false;
    test::inWindow<frmImportPreview>([&] { h->run(cmd::mnuFileImport); }, [&](frmImportPreview& d) {
        // Cancel is pressed while the import runs (the import lets events through).
        QTimer::singleShot(0, [&d] { QTest::mouseClick(d.cmdCancel, Qt::LeftButton); });
        QTest::mouseClick(d.cmdImport, Qt::LeftButton);
        cancelled = d.isVisible() && d.stored() == 0 && d.cmdImport->isEnabled();
        QTest::mouseClick(d.cmdCancel, Qt::LeftButton);
    });
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(h->messageTexts().last(), "The import was cancelled; nothing was stored.");
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings").toInt(), 4);
    EXPECT_EQ(h->scalar("SELECT count(*) FROM ImportKeys").toInt(), 0);

    h->platform.files.push_back(path);
    test::inWindow<frmImportPreview>([&] { h->run(cmd::mnuFileImport); }, [](frmImportPreview& d) {
        EXPECT_EQ(d.lblRead->text(), "3");
        EXPECT_EQ(d.lblMatched->text(), "2 species in 2 records");
        EXPECT_EQ(d.lblDates->text(), "2025-05-01 to 2025-05-01");
        EXPECT_EQ(d.lblStored->text(), "0");
        EXPECT_EQ(d.lblNew->text(), "2");
        EXPECT_EQ(d.lblOther->text(), "1");
        ASSERT_EQ(d.lstSkipped->topLevelItemCount(), 1);
        EXPECT_EQ(d.lstSkipped->topLevelItem(0)->text(0), "Genus or family only (sp.)");
        EXPECT_EQ(d.lstSkipped->topLevelItem(0)->text(2), "with its checklist, in no list");
        EXPECT_EQ(d.lstSkipped->topLevelItem(0)->child(0)->text(0), "thrush sp.");
        QTest::mouseClick(d.cmdImport, Qt::LeftButton);
    });
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings").toInt(), 6);
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Outings").toInt(), 1);
    EXPECT_EQ(h->scalar("SELECT Name FROM OtherRecords").toString(), "thrush sp.");
    EXPECT_EQ(h->messageTexts().last(), "2 sightings were imported. 1 record of no species was kept with its "
                                        "checklist; it counts in no list.");
    EXPECT_EQ(h->panel("Life"), "Life List: 4 of 6") << "Hermit and Wood Thrush join the goose and the robin";

    // The same file again: nothing new, Import is off.
    h->platform.files.push_back(path);
    test::inWindow<frmImportPreview>([&] { h->run(cmd::mnuFileImport); }, [](frmImportPreview& d) {
        EXPECT_EQ(d.lblStored->text(), "3");
        EXPECT_FALSE(d.cmdImport->isEnabled());
        QTest::mouseClick(d.cmdCancel, Qt::LeftButton);
    });
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings").toInt(), 6);
}

// A large file: the window appears while the file is read, with its progress, and Cancel
// stops the reading; nothing is stored. Dates the import cannot read are listed with their lines.
TEST(ImportWindow, ALargeFileShowsItsReadingAndCancelStopsIt)
{
    auto h = ontarioWithSightings();
    const QString path = h->folder.path() + "/MyEBirdData.csv";
    QByteArray text = kDownload;
    for (int i = 0; i < 20000; ++i)
        text += QStringLiteral("S%1,Hermit Thrush,Catharus guttatus,1,2,CA-ON,,L1,Rondeau,,,%2,,Traveling,,1,,,1,,,,\n")
                    .arg(100 + i)
                    .arg(i == 7 ? "31.12.2020" : "2024-05-01")
                    .toUtf8();
    writeFile(path, text);
    int shownWhileReading = 0, progress = 0;
    bool wasModal = false;
    auto cancelWhileReading = [&] {
        auto* d = qobject_cast<frmImportPreview*>(QApplication::activeModalWidget());
        if (!d || !d->reading()) return;
        ++shownWhileReading;
        wasModal = d->isVisible() && d->isModal();
        progress = d->prgImport->value();
        QTest::mouseClick(d->cmdCancel, Qt::LeftButton);
    };
    h->platform.files.push_back(path);
    QTimer::singleShot(0, cancelWhileReading);
    h->run(cmd::mnuFileImport);
    EXPECT_EQ(shownWhileReading, 1);
    EXPECT_TRUE(wasModal);
    EXPECT_GT(progress, 0);
    EXPECT_LT(progress, 1000);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the window is gone";
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings").toInt(), 4);

    // Read to the end, the unreadable date is listed with its line.
    h->platform.files.push_back(path);
    QStringList badDates;
    QString stored;
    QTimer poll; // looks again until the reading is done
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* d = qobject_cast<frmImportPreview*>(QApplication::activeModalWidget());
        if (!d || d->reading()) return;
        poll.stop();
        stored = d->lblNew->text();
        for (int i = 0; i < d->lstSkipped->topLevelItemCount(); ++i)
            if (d->lstSkipped->topLevelItem(i)->text(0) == "No valid date")
                for (int c = 0; c < d->lstSkipped->topLevelItem(i)->childCount(); ++c)
                    badDates << d->lstSkipped->topLevelItem(i)->child(c)->text(0);
        QTest::mouseClick(d->cmdCancel, Qt::LeftButton);
    });
    poll.start();
    h->run(cmd::mnuFileImport);
    EXPECT_EQ(stored, "20001");
    EXPECT_EQ(badDates, QStringList{"Line 12: \"31.12.2020\" (Hermit Thrush)"});
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings").toInt(), 4);
}

TEST(ExportCommand, WritesAllOrTheRegionsSightingsInEitherLayoutAndSeveralFilesAreTold)
{
    auto h = ontarioWithSightings();
    const QString path = h->folder.path() + "/out.csv";
    h->platform.answers.push_back(Platform::Answer::Yes); // eBird's record format
    h->platform.answers.push_back(Platform::Answer::No);  // every sighting
    h->platform.files.push_back(path);
    h->run(cmd::mnuFileExport);
    EXPECT_TRUE(h->platform.suggestedFiles.last().endsWith(QStringLiteral("/sightings-%1.csv").arg(QDate::currentDate().toString(Qt::ISODate))));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(readAllCsv(f.readAll()).size(), 4u);
    EXPECT_EQ(h->messageTexts().last(), "4 sightings were written to " + path + " in eBird's record format.");
    f.close();
    h->platform.answers.push_back(Platform::Answer::Yes); // eBird's record format
    h->platform.answers.push_back(Platform::Answer::Yes); // Ontario only
    h->platform.files.push_back(path);
    h->run(cmd::mnuFileExport);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(readAllCsv(f.readAll()).size(), 3u);
    h->platform.answers.push_back(Platform::Answer::Yes);
    h->platform.answers.push_back(Platform::Answer::Cancel);
    int shown = int(h->platform.messages.size());
    h->run(cmd::mnuFileExport);
    EXPECT_EQ(int(h->platform.messages.size()), shown + 2) << "only the questions";
    h->platform.answers.push_back(Platform::Answer::Cancel);
    shown = int(h->platform.messages.size());
    h->run(cmd::mnuFileExport);
    EXPECT_EQ(int(h->platform.messages.size()), shown + 1) << "only the question of the layout";

    // The layout of eBird's download is the other answer to the first question; an export
    // larger than eBird takes goes into several files, the message names them, and files of an
    // earlier export in the way are replaced only after a question.
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    const QString all = h->folder.path() + "/all.csv";
    h->platform.answers.push_back(Platform::Answer::No); // My eBird Data
    h->platform.answers.push_back(Platform::Answer::No); // every sighting
    h->platform.files.push_back(all);
    h->run(cmd::mnuFileExport);
    EXPECT_TRUE(h->platform.suggestedFiles.last().endsWith("/ebird-data-" + today + ".csv"));
    EXPECT_EQ(h->messageTexts().last(), "4 sightings were written to " + all +
                                            " in the layout of eBird's \"My eBird Data\" download.");
    QFile download(all);
    ASSERT_TRUE(download.open(QIODevice::ReadOnly));
    const auto rows = readAllCsv(download.readAll());
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].value(0), "Submission ID");

    // About 1.3 MB of outings, and a gull sp. on one of them.
    {
        db::Transaction tx(h->db());
        const QString comment = QString("Seen well in good light; ").repeated(40);
        for (int o = 1; o <= 100; ++o) {
            const QString date = QDate(2015, 1, 1).addDays(o).toString(Qt::ISODate);
            h->db().execute("INSERT INTO Outings (Outing_ID, Date, Protocol, site, state) VALUES (?, ?, 'Stationary', 'Yard', 2)",
                            {o, date});
            for (int b = 1; b <= 12; ++b)
                h->db().execute("INSERT INTO Sightings (Bird_ID, Date, Type, state, site, notes, Outing_ID) "
                                "VALUES (?, ?, '', 2, 'Yard', ?, ?)",
                                {b, date, comment, o});
        }
        h->db().execute("INSERT INTO OtherRecords (Outing_ID, Name, sci_name, Category) VALUES (7, 'gull sp.', 'Larinae sp.', 'spuh')");
        tx.commit();
    }
    const QString big = h->folder.path() + "/big.csv";
    writeFile(h->folder.path() + "/big-2.csv", "an earlier export");
    h->platform.answers.push_back(Platform::Answer::Yes); // eBird's record format
    h->platform.answers.push_back(Platform::Answer::No);  // every sighting
    h->platform.answers.push_back(Platform::Answer::Yes); // replace big-2.csv
    h->platform.files.push_back(big);
    h->run(cmd::mnuFileExport);
    const QStringList texts = h->messageTexts();
    ASSERT_GE(texts.size(), 2);
    EXPECT_EQ(texts[texts.size() - 2], "The export is larger than eBird takes in one file, so it is written as several "
                                       "files. These exist already:\n\nbig-2.csv\n\nReplace them?");
    EXPECT_EQ(texts.last(), "1204 sightings and 1 record of no species were written in eBird's record format to 2 files "
                            "of at most 1 MB each, as eBird takes them, no outing split between two. They are in the "
                            "folder\n" + QDir::toNativeSeparators(h->folder.path()) +
                                ":\n\nbig-1.csv\nbig-2.csv\n\nUpload each of them to eBird.");
    EXPECT_FALSE(QFileInfo::exists(big));
    QFile second(h->folder.path() + "/big-2.csv");
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));
    EXPECT_GT(second.size(), 200000) << "replaced";
}

TEST(BackupCommands, BackUpThenRestoreShowsTheRestoredRegion)
{
    auto h = ontarioWithSightings();
    const QString folder = h->folder.path() + "/Backups";
    const QString backup = folder + "/" + defaultBackupName(QDate::currentDate());
    h->platform.files.push_back(backup);
    h->run(cmd::mnuFileBackup);
    EXPECT_EQ(h->platform.suggestedFiles.last(), backup) << "the default name in the Backups folder";
    EXPECT_EQ(h->messageTexts().last(), "The database was backed up to " + backup + ".");
    EXPECT_EQ(checkBackupFile(backup, QString::fromLatin1(kConnectString)), "");

    // Changes after the backup: a sighting, and North America as the region.
    h->db().execute("INSERT INTO Sightings (Bird_ID, Date, Type, site, notes) VALUES (9, '2025-01-01', '', 'Later', '')");
    h->state.rsOptions.edit();
    h->state.rsOptions.setField("Reg_ID", 1);
    h->state.rsOptions.setField("regname", "North America");
    h->state.rsOptions.update();

    // A file that is no backup is refused, and nothing changes.
    const QString bad = h->folder.path() + "/bad.mdb";
    writeFile(bad, QByteArray(4096, 'x'));
    h->platform.files.push_back(bad);
    h->run(cmd::mnuFileRestore);
    EXPECT_TRUE(h->messageTexts().last().startsWith("bad.mdb cannot be restored; nothing was changed."));
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings").toInt(), 5);

    // Answering No changes nothing either.
    h->platform.files.push_back(backup);
    h->platform.answers.push_back(Platform::Answer::No);
    h->run(cmd::mnuFileRestore);
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings").toInt(), 5);

    h->run(cmd::mnuViewLast);
    frmSightingsLog* log = openLog(*h);
    ASSERT_EQ(log->model->rowCount(), 5);
    h->platform.files.push_back(backup);
    h->platform.answers.push_back(Platform::Answer::Yes);
    h->run(cmd::mnuFileRestore);
    EXPECT_TRUE(h->messageTexts().last().startsWith("The database was restored from " + backup + ".\n\nThe database in "
                                                     "use before is kept as "))
        << qPrintable(h->messageTexts().last());
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings").toInt(), 4);
    EXPECT_EQ(h->state.regname, "Ontario");
    EXPECT_EQ(h->names().size(), 6) << "the restored region's list";
    EXPECT_EQ(h->shown(), "Canada Goose") << "its first species";
    EXPECT_EQ(h->panel("Region"), "Region : Ontario");
    EXPECT_EQ(log->model->rowCount(), 4) << "the open log reads the restored sightings";
    EXPECT_EQ(backupSeries(folder, kBeforeRestoreCopies).size(), 1) << "the database before, kept in the Backups folder";
    log->close();
    // The program goes on working on the restored file.
    h->run(cmd::mnuViewNext);
    EXPECT_EQ(h->shown(), "Wood Duck");
}

// Import and export start in the home folder, then in the folder one of them last went to;
// Back Up and Restore start in the data folder's Backups, where the automatic backups are.
// Never in the program's folder.
TEST(RecordsFileDialogs, StartAtHomeThenInTheLastFolderUsed)
{
    QTemporaryDir home, elsewhere;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    auto h = ontarioWithSightings();
    ScriptedPlatform& p = h->platform;
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    const QString backups = QDir(backupFolder(h->state.dataFolder)).absolutePath();
    // Every command once, each dialog cancelled.
    auto everyCommand = [&] {
        p.files.push_back(QString());
        h->run(cmd::mnuFileImport);
        p.answers.push_back(Platform::Answer::Yes); // eBird's record format
        p.answers.push_back(Platform::Answer::No);  // every sighting
        p.files.push_back(QString());
        h->run(cmd::mnuFileExport);
        p.files.push_back(QString());
        h->run(cmd::mnuFileBackup);
        p.files.push_back(QString());
        h->run(cmd::mnuFileRestore);
        if (p.fileDialogs.size() != 4 || p.suggestedFiles.size() != 2) {
            ADD_FAILURE() << "four dialogs, two of them for saving, expected";
            return QStringList();
        }
        const QStringList seen = {p.fileDialogs[0].folder, QFileInfo(p.suggestedFiles[0]).absolutePath(),
                                  QFileInfo(p.suggestedFiles[1]).absolutePath(), p.fileDialogs[3].folder};
        EXPECT_EQ(QFileInfo(p.suggestedFiles[0]).fileName(), "sightings-" + today + ".csv");
        EXPECT_EQ(QFileInfo(p.suggestedFiles[1]).fileName(), defaultBackupName(QDate::currentDate()));
        p.fileDialogs.clear();
        p.suggestedFiles.clear();
        return seen;
    };
    const QString atHome = QDir(home.path()).absolutePath();
    QStringList seen = everyCommand();
    EXPECT_EQ(seen.join('\n'), QStringList({atHome, atHome, backups, backups}).join('\n'))
        << "import, export, back up, restore";
    EXPECT_EQ(seen.join('\n'), everyCommand().join('\n')) << "a cancelled dialog changes nothing";

    // An export into another folder: import and export start there afterwards.
    const QString out = QDir(elsewhere.path()).filePath("may.csv");
    p.answers.push_back(Platform::Answer::Yes);
    p.answers.push_back(Platform::Answer::No);
    p.files.push_back(out);
    h->run(cmd::mnuFileExport);
    ASSERT_TRUE(QFileInfo::exists(out));
    p.suggestedFiles.clear();
    p.fileDialogs.clear();
    seen = everyCommand();
    const QString there = QDir(elsewhere.path()).absolutePath();
    EXPECT_EQ(seen.join('\n'), QStringList({there, there, backups, backups}).join('\n'));
    for (const QString& folder : seen) EXPECT_NE(folder, QDir(h->folder.path()).absolutePath());
    qputenv("HOME", oldHome);
}

// A backup that passes the checks but cannot be used once it is in place: the previous
// database is back in use, with every row as it was, and the message says so.
struct UnusableBackup {
    const char* name;
    void (*make)(const QString& path);
};

void PrintTo(const UnusableBackup& b, std::ostream* os) { *os << b.name; }

class RestoreOfAnUnusableFile : public ::testing::TestWithParam<UnusableBackup> {};

TEST_P(RestoreOfAnUnusableFile, PutsThePreviousDatabaseBackInUse)
{
    auto h = ontarioWithSightings();
    h->db().execute("INSERT INTO Sightings (Bird_ID, Date, Type, site, notes) VALUES (5, '2025-02-02', '', 'Later', '')");
    auto contents = [&] {
        return test::rowsOf(*h, {"SELECT Sight_ID, Bird_ID, Date, Type, Region, country, state, "
                                 "district, site, notes FROM Sightings ORDER BY Sight_ID",
                                 "SELECT regname, Reg_ID, coalesce(regType, ''), searchType, "
                                 "lifetotal, lifesum FROM Options",
                                 "SELECT ID, LifeList FROM Birds ORDER BY ID",
                                 "PRAGMA user_version"});
    };
    const QStringList before = contents();
    ASSERT_EQ(before.size(), 5 + 1 + 12 + 1);

    const QString file = h->folder.path() + "/unusable.mdb";
    GetParam().make(file);
    h->platform.files.push_back(file);
    h->platform.answers.push_back(Platform::Answer::Yes);
    h->run(cmd::mnuFileRestore);

    ASSERT_TRUE(h->state.dbBirds) << "a database is in use";
    EXPECT_EQ(contents(), before) << "the previous database, unchanged";
    const auto& m = h->platform.messages.last();
    EXPECT_EQ(m.title, "Restore From Backup");
    EXPECT_EQ(m.icon, Platform::Icon::Exclamation);
    EXPECT_TRUE(m.text.contains("the previous one is back in use") || m.text.contains("nothing was changed"))
        << qPrintable(m.text);
    EXPECT_FALSE(m.text.contains("was restored from")) << qPrintable(m.text);
    EXPECT_FALSE(QFileInfo::exists(h->state.databasePath() + ".restore"));
    // The main window shows the previous database and goes on working on it.
    EXPECT_EQ(h->state.regname, "Ontario");
    EXPECT_EQ(h->panel("Region"), "Region : Ontario");
    EXPECT_EQ(h->names().size(), 6);
    h->run(cmd::mnuViewNext);
    EXPECT_EQ(h->shown(), "Wood Duck");
    h->db().execute("INSERT INTO Sightings (Bird_ID, Date, Type, site, notes) VALUES (6, '2025-02-03', '', 'After', '')");
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings").toInt(), 6);
}

namespace {

std::unique_ptr<db::Database> newFile(const QString& path, int version)
{
    auto db = db::Database::create(path, db::passwordFromConnect(QString::fromLatin1(kConnectString)));
    createSchema(*db, version);
    test::insertFixture(*db);
    return db;
}

const UnusableBackup kUnusable[] = {
    {"NewerVersion",
     [](const QString& path) {
         auto db = newFile(path, currentSchemaVersion());
         db->executeScript(QStringLiteral("PRAGMA user_version = %1").arg(currentSchemaVersion() + 1));
     }},
    // An older file whose upgrade stops at a sighting without a valid date.
    {"UpgradeFails",
     [](const QString& path) {
         auto db = newFile(path, 0);
         db->execute("INSERT INTO Sightings (Bird_ID, Date, Type, site, notes) VALUES (1, 'spring', '', 'Pond', '')");
     }},
};

std::string unusableName(const ::testing::TestParamInfo<UnusableBackup>& info) { return info.param.name; }

} // namespace

INSTANTIATE_TEST_SUITE_P(Files, RestoreOfAnUnusableFile, ::testing::ValuesIn(kUnusable), unusableName);
