#include "Harness.h"

#include "records/DataImport.h"
#include "search/WizardQueries.h"
#include "search/WizardWidgets.h"
#include "search/frmWizard.h"

#include <QRadioButton>

#include <QFile>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

// The shipped data: every kind of bird has breeders in North America, and every row the
// wizard lists has a name and a picture.
TEST(WizardSampleData, EveryBirdTypeHasBreedersInNorthAmerica)
{
    Harness h([](test::TestFolder& f) {
        buildDatabase(QStringLiteral(SAMPLE_DATA_DIR), f.databasePath(), true);
    });
    ASSERT_EQ(h.state.Reg_ID, 1);
    ASSERT_GT(h.names().size(), 900);
    frmWizard w(h.ctx);
    EXPECT_TRUE(h.platform.messages.isEmpty()) << "every bird-type picture loads";
    w.optType[4]->click();
    ASSERT_EQ(w.qryCriteria, " AND (Status = 'B') ");
    for (int type = 0; type < 8; ++type) {
        w.picBird_GotFocus(type);
        w.cmdNext_Click();
        ASSERT_TRUE(h.platform.messages.isEmpty()) << qPrintable(wizardBirdTypes()[size_t(type)].caption);
        EXPECT_GT(w.grid->rowCount(), 0);
        for (int r = 0; r < w.grid->rowCount(); ++r) {
            EXPECT_FALSE(w.grid->cell(r, 3).toString().isEmpty()) << type << " row " << r;
            EXPECT_FALSE(w.grid->index(r, 4).data(Qt::DecorationRole).value<QPixmap>().isNull())
                << qPrintable(w.grid->cell(r, 3).toString());
        }
        // All families of the kind reach the main list.
        w.cmdAll_Click();
        EXPECT_GT(h.names().size(), 0);
        EXPECT_EQ(h.panel("Hits"), QStringLiteral("Search Results : 1 of %1").arg(h.names().size()));
        w.cmdBack_Click();
    }
}
