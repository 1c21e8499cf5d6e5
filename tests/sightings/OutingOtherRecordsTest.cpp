#include "Harness.h"
#include "outings/OutingStore.h"
#include "sightings/OutingGridModel.h"
#include "sightings/SightingsLogModel.h"
#include "sightings/frmOuting.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

// An eBird checklist's records of no species (a spuh, a hybrid) stay with their outing: the
// window and the log's heading tell them, editing the outing keeps them, and deleting it names
// them first.
TEST(OutingOtherRecords, AreShownKeptOnEditAndNamedBeforeTheOutingIsDeleted)
{
    Harness h([](test::TestFolder& f) {
        f.exec("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State', lifesum = 0, lifetotal = 6");
    });
    const LifeListScope ontario{test::kOntario, "State"};
    Outing o;
    o.date = QDate(2024, 5, 12);
    o.site = "Harbour";
    o.places[2] = test::kOntario;
    o.entries = {{3, 4, {}, {}, {}, 0}};
    saveOuting(h.db(), o, ontario, h.state.rsOptions);
    Outing plain = o;
    plain.id = 0;
    plain.date = QDate(2024, 5, 13);
    saveOuting(h.db(), plain, ontario, h.state.rsOptions);
    h.db().execute("INSERT INTO OtherRecords (Outing_ID, Name, sci_name, Category, TaxonOrder, Count) VALUES "
                   "(?, 'Mallard x American Black Duck (hybrid)', 'Anas platyrhynchos x rubripes', 'hybrid', 350, NULL), "
                   "(?, 'gull sp.', 'Larinae sp.', 'spuh', 120, 3)",
                   {o.id, o.id});

    {
        frmOuting w(h.ctx, o.id, h.w.get());
        w.show();
        EXPECT_TRUE(w.lblOther->isVisible());
        EXPECT_EQ(w.lblOther->text().toStdString(),
                  "Also recorded, counted in no list: gull sp.: 3; Mallard x American Black Duck (hybrid): X");
        // The grid opens on the first species recorded.
        EXPECT_EQ(w.grdSpecies->currentIndex().row(), w.model->shownRowOf(3));
        w.model->setData(w.model->index(w.model->shownRowOf(4), OutingGridModel::Count), "2", Qt::EditRole);
        w.cmdSave_Click();
        EXPECT_EQ(w.result(), QDialog::Accepted);
    }
    EXPECT_EQ(h.scalar("SELECT count(*) FROM OtherRecords WHERE Outing_ID = ?", {o.id}).toInt(), 2);
    {
        // The log's heading of the outing counts its species and tells the others on hovering.
        SightingsLogModel log;
        log.load(h.db(), {});
        log.setGrouped(true);
        QStringList headings, tips;
        for (int row = 0; row < log.rowCount(); ++row)
            if (log.isHeading(row)) {
                headings << log.index(row, SightingsLog::Species).data().toString();
                tips << log.index(row, SightingsLog::Species).data(Qt::ToolTipRole).toString();
            }
        EXPECT_EQ(headings, (QStringList{"Outing: 1 species", "Outing: 2 species"}));
        EXPECT_EQ(tips, (QStringList{"Enter or double-click opens the outing",
                                     "Also 2 records of no species, counted in no list.\nEnter or double-click "
                                     "opens the outing"}));
    }
    {
        frmOuting w(h.ctx, plain.id, h.w.get());
        w.show();
        EXPECT_FALSE(w.lblOther->isVisible()) << "an outing without such records has no line for them";
    }

    frmOuting w(h.ctx, o.id, h.w.get());
    w.show();
    h.platform.answers.push_back(Platform::Answer::No);
    QTest::mouseClick(w.cmdDelete, Qt::LeftButton);
    ASSERT_EQ(h.platform.messages.size(), 1u);
    EXPECT_EQ(h.platform.messages[0].text.toStdString(),
              "Delete this outing, its 2 sightings and its 2 records of no species?");
    QTest::mouseClick(w.cmdDelete, Qt::LeftButton); // Yes
    EXPECT_EQ(h.scalar("SELECT count(*) FROM OtherRecords").toInt(), 0);
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Outings").toInt(), 1);
}
