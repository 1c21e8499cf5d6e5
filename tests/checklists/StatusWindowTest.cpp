#include "status/StatusCodes.h"
#include "checklists/SetUpRow.h"
#include "checklists/frmStatus.h"
#include "platform/ScriptedPlatform.h"

#include <QComboBox>
#include <gtest/gtest.h>

using namespace fl;

TEST(StatusWindow, LinesAndBeep)
{
    ScriptedPlatform p;
    frmStatus w("CPLUsI///", p);
    EXPECT_EQ(w.windowTitle(), "Region Detailed Status and Abundance");
    EXPECT_EQ(w.lblStatus[0]->text(), "Abundant Permanent Breeder  (Limited range)");
    EXPECT_EQ(w.lblStatus[1]->text(), "Uncommon Summer Non-breeder  (Irregular)");
    EXPECT_EQ(w.lblStatus[2]->text(), "");
    EXPECT_EQ(p.beeps, 1);
    frmStatus empty("", p);
    EXPECT_EQ(empty.lblStatus[0]->text(), "Status details not available.");
    EXPECT_EQ(empty.cmdOK->text(), "&OK");
    EXPECT_EQ(p.beeps, 2);
}

namespace {
struct Rows {
    std::array<std::array<QComboBox*, 3>, 3> boxes;
    std::vector<std::unique_ptr<QComboBox>> owned;
    Rows()
    {
        for (auto& row : boxes) {
            for (int c = 0; c < 3; ++c) {
                owned.push_back(std::make_unique<QComboBox>());
                row[c] = owned.back().get();
                row[c]->addItems(c == 0 ? codes::abundanceWords() : c == 1 ? codes::seasonWords() : codes::qualifierWords());
            }
        }
    }
};
} // namespace

TEST(EditorRows, TheWordsOfTheLettersAreSelectedAndCodesRoundTrip)
{
    Rows r;
    SetUpRow("UsL", r.boxes[1]);
    EXPECT_EQ(r.boxes[1][0]->currentText(), "Uncommon");
    EXPECT_EQ(r.boxes[1][1]->currentText(), "Summer Non-breeder");
    EXPECT_EQ(r.boxes[1][2]->currentText(), "(Limited Range)");
    SetUpRow("cR/", r.boxes[1]);
    EXPECT_EQ(r.boxes[1][0]->currentIndex(), -1) << "unknown letters select nothing";
    EXPECT_EQ(r.boxes[1][1]->currentIndex(), -1) << "the editor has no word for R";
    EXPECT_EQ(r.boxes[1][2]->currentIndex(), -1);

    showCodeInRows("FS/UWI", r.boxes);
    EXPECT_EQ(codeFromRows(r.boxes), "FS/UWI///");
    showCodeInRows("FS/U", r.boxes);
    EXPECT_EQ(codeFromRows(r.boxes), "/////////") << "a code of another length selects nothing";
    showCodeInRows("XVIRpLCP/", r.boxes);
    EXPECT_EQ(codeFromRows(r.boxes), "XVIRpLCP/");
}
