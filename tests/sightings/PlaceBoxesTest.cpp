// The place boxes of the sighting and the outing window with every region of eBird's list:
// the chosen country's states and the chosen state's counties first, typing to filter, and
// the places of a saved sighting getting their checklists. Both windows behave alike.

#include "WindowSteps.h"

#include "regions/CodedRegions.h"
#include "sightings/OutingGridModel.h"
#include "sightings/frmOuting.h"
#include "sightings/frmSight.h"
#include "ui/RegionList.h"

#include <QCompleter>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>

using namespace fl;
using test::choose;
using test::Harness;
using test::regionOf;

namespace {

// Every region coded, the current region the state of `code` (none for an empty code).
std::unique_ptr<Harness> everyRegion(const char* current = "")
{
    const QString code = QString::fromLatin1(current);
    return std::make_unique<Harness>([code](test::TestFolder& f) {
        addEbirdRegions(*f.open());
        if (!code.isEmpty())
            f.exec("UPDATE Options SET Reg_ID = (SELECT Reg_ID FROM Regions WHERE Code = ?), "
                   "regname = (SELECT Name FROM Regions WHERE Code = ?), regType = 'State'",
                   {code, code});
    });
}

enum class Window { Sighting, Outing };

// A new sighting, or a new outing with its first species seen.
struct NewEntry {
    std::unique_ptr<QDialog> dialog;
    QComboBox* cmbPlace[4] = {};
    QToolButton* PicClear[4] = {};
    std::function<void()> save;
    QDialog* operator->() const { return dialog.get(); }
};

NewEntry openNewIn(Harness& h, Window window)
{
    NewEntry e;
    if (window == Window::Sighting) {
        auto d = std::make_unique<frmSight>(h.ctx, frmSight::Mode::NewSighting, h.w.get());
        std::copy(std::begin(d->cmbPlace), std::end(d->cmbPlace), e.cmbPlace);
        std::copy(std::begin(d->PicClear), std::end(d->PicClear), e.PicClear);
        e.save = [d = d.get()] { d->cmdSave_Click(); };
        e.dialog = std::move(d);
    } else {
        auto d = std::make_unique<frmOuting>(h.ctx, 0, h.w.get());
        std::copy(std::begin(d->cmbPlace), std::end(d->cmbPlace), e.cmbPlace);
        std::copy(std::begin(d->PicClear), std::end(d->PicClear), e.PicClear);
        e.save = [d = d.get()] {
            if (d->model->rowCount() > 0) d->model->setData(d->model->index(0, OutingGridModel::Count), "2", Qt::EditRole);
            d->cmdSave_Click();
        };
        e.dialog = std::move(d);
    }
    return e;
}

class PlaceBoxesOfWindow : public testing::TestWithParam<Window> {
protected:
    NewEntry openNew(Harness& h) { return openNewIn(h, GetParam()); }
};

QStringList items(const QComboBox* box, int first, int count)
{
    QStringList t;
    for (int i = first; i < first + count && i < box->count(); ++i) t << box->itemText(i);
    return t;
}

// How many of the box's first entries have codes under `code`, and whether the rest has none.
int leadingUnder(const QComboBox* box, const QString& code)
{
    int n = 0;
    while (n < box->count() && box->itemData(n, RegionListModel::CodeRole).toString().startsWith(code + "-")) ++n;
    for (int i = n; i < box->count(); ++i)
        if (box->itemData(i, RegionListModel::CodeRole).toString().startsWith(code + "-")) return -1;
    return n;
}

bool sortedIgnoringCase(const QStringList& names)
{
    for (int i = 1; i < names.size(); ++i)
        if (QString::compare(names[i - 1], names[i], Qt::CaseInsensitive) > 0) return false;
    return true;
}

} // namespace

TEST_P(PlaceBoxesOfWindow, TheCountrysStatesAndTheStatesCountiesComeFirst)
{
    auto h = everyRegion();
    auto d = openNew(*h);
    QComboBox* states = d.cmbPlace[2];
    QComboBox* counties = d.cmbPlace[3];
    EXPECT_EQ(states->count(), 96) << "the fixture's Ontario is eBird's";
    EXPECT_EQ(counties->count(), 5359 + 1) << "with Point Pelee of the fixture";
    EXPECT_TRUE(sortedIgnoringCase(items(counties, 0, counties->count()))) << "no place chosen: all in name order";

    choose(d.cmbPlace[1], "Mexico");
    EXPECT_EQ(leadingUnder(states, "MX"), 32);
    EXPECT_EQ(items(states, 0, 2), (QStringList{"Aguascalientes", "Baja California"}));
    EXPECT_EQ(leadingUnder(counties, "MX"), 1925) << "no state yet: the country's counties first";

    choose(d.cmbPlace[1], "United States");
    EXPECT_EQ(leadingUnder(states, "US"), 51);
    EXPECT_TRUE(sortedIgnoringCase(items(states, 0, 51)));
    EXPECT_TRUE(sortedIgnoringCase(items(states, 51, 46)));
    choose(states, "Texas");
    EXPECT_EQ(states->currentText(), "Texas");
    EXPECT_EQ(leadingUnder(counties, "US-TX"), 254);
    EXPECT_EQ(items(counties, 0, 2), (QStringList{"Anderson, Texas", "Andrews, Texas"}));
    EXPECT_GT(counties->findText("Cape May, New Jersey"), 253) << "a Texas sighting is not offered Cape May first";
    EXPECT_TRUE(sortedIgnoringCase(items(counties, 0, 254)));
    EXPECT_TRUE(sortedIgnoringCase(items(counties, 254, counties->count())));

    choose(counties, "Harris, Texas");
    choose(states, "Ohio");
    EXPECT_EQ(leadingUnder(counties, "US-OH"), 88);
    EXPECT_EQ(counties->currentText(), "Harris, Texas") << "a chosen county stays chosen";
    d.PicClear[2]->click();
    EXPECT_EQ(states->currentText(), "");
    EXPECT_EQ(leadingUnder(counties, "US"), 3140) << "the state cleared: the country's counties first";
}

TEST_P(PlaceBoxesOfWindow, TheCurrentStatesCountiesComeFirstWhenTheWindowOpens)
{
    auto h = everyRegion("US-OH");
    auto d = openNew(*h);
    EXPECT_EQ(d.cmbPlace[2]->currentText(), "Ohio");
    EXPECT_EQ(leadingUnder(d.cmbPlace[3], "US-OH"), 88);
    EXPECT_EQ(d.cmbPlace[3]->currentIndex(), -1);
}

TEST_P(PlaceBoxesOfWindow, TypingFiltersIgnoringCaseAndAccents)
{
    auto h = everyRegion();
    auto d = openNew(*h);
    QComboBox* counties = d.cmbPlace[3];
    counties->setFocus();
    QTest::keyClicks(counties->lineEdit(), "frank");
    QCompleter* c = counties->completer();
    ASSERT_NE(c, nullptr);
    QAbstractItemModel* shown = c->completionModel();
    ASSERT_GE(shown->rowCount(), 24);
    int texas = -1;
    for (int r = 0; r < shown->rowCount(); ++r) {
        const QString name = shown->index(r, 0).data().toString();
        EXPECT_TRUE(name.contains("Frank")) << qPrintable(name);
        if (name == "Franklin, Texas") texas = r;
    }
    ASSERT_GE(texas, 0);
    // Picking one from the list selects it in the box.
    c->popup()->setCurrentIndex(shown->index(texas, 0));
    QTest::keyClick(c->popup(), Qt::Key_Return);
    EXPECT_EQ(counties->currentText(), "Franklin, Texas");
    EXPECT_EQ(counties->currentData().toInt(), regionOf(*h, "US-TX-159"));

    counties->lineEdit()->clear();
    QTest::keyClicks(counties->lineEdit(), "QUEB");
    QStringList found;
    for (int r = 0; r < c->completionModel()->rowCount(); ++r) found << c->completionModel()->index(r, 0).data().toString();
    EXPECT_TRUE(found.contains("Québec, Quebec")) << qPrintable(found.join("; "));
    EXPECT_TRUE(found.contains("Abitibi, Quebec"));
}

TEST_P(PlaceBoxesOfWindow, TextThatNamesNoPlaceIsRefused)
{
    auto h = everyRegion();
    auto d = openNew(*h);
    d.cmbPlace[3]->setEditText("Frank");
    d.save();
    EXPECT_NE(d->result(), QDialog::Accepted);
    ASSERT_EQ(h->platform.messages.size(), 1);
    EXPECT_EQ(h->platform.messages[0].title, "Unknown Place");
    EXPECT_EQ(h->platform.messages[0].text,
              "There is no District/County named \"Frank\" in the list. Choose one from the list, or clear the box.");
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings").toInt(), 0);
    d.PicClear[3]->click();
    d.save();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(h->scalar("SELECT district FROM Sightings").toInt(), 0);
}

// Names typed in any case are saved as the places they name, and those places get their
// checklists on first use.
TEST_P(PlaceBoxesOfWindow, TypedNamesAreSavedAsThePlacesTheyNameAndGetTheirChecklists)
{
    auto h = everyRegion();
    auto d = openNew(*h);
    choose(d.cmbPlace[1], "United States");
    d.cmbPlace[2]->setEditText("ohio");
    d.cmbPlace[3]->setEditText("FRANKLIN, OHIO");
    d.save();
    ASSERT_EQ(d->result(), QDialog::Accepted) << qPrintable(h->messageTexts().join("; "));
    EXPECT_EQ(h->scalar("SELECT state || ':' || district FROM Sightings").toString(),
              QStringLiteral("%1:%2").arg(regionOf(*h, "US-OH")).arg(regionOf(*h, "US-OH-049")));
    const struct {
        const char* code;
        int from; // the region copied from
    } places[] = {{"US", test::kNorthAmerica}, {"US-OH", regionOf(*h, "US")}, {"US-OH-049", regionOf(*h, "US-OH")}};
    for (const auto& p : places) {
        EXPECT_EQ(h->scalar("SELECT count(*) FROM Checklists WHERE Reg_ID = ?", {regionOf(*h, p.code)}).toInt(), 12)
            << p.code;
        EXPECT_EQ(h->scalar("SELECT CopiedFrom FROM Regions WHERE Code = ?", {QString::fromLatin1(p.code)}).toInt(), p.from)
            << p.code;
    }
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Checklists WHERE Reg_ID = ?", {regionOf(*h, "US-TX")}).toInt(), 0);
}

// The lists are read once and kept: a region added, renamed or deleted since shows as it is
// now in the next window.
TEST_P(PlaceBoxesOfWindow, TheNextWindowListsTheRegionsAsTheyAreNow)
{
    auto h = everyRegion();
    {
        auto d = openNew(*h);
        EXPECT_EQ(d.cmbPlace[3]->findText("Nowhere, Ohio"), -1);
        EXPECT_GE(d.cmbPlace[3]->findText("Franklin, Texas"), 0);
    }
    db::Database& db = h->state.db();
    db.execute("INSERT INTO Regions (Name, Type, Code) VALUES ('Nowhere, Ohio', 'District', 'US-OH-999')");
    db.execute("UPDATE Regions SET Name = 'Franklin County, Ohio' WHERE Code = 'US-OH-049'");
    db.execute("DELETE FROM Regions WHERE Code = 'US-TX-159'");
    auto d = openNew(*h);
    QComboBox* counties = d.cmbPlace[3];
    EXPECT_EQ(counties->count(), 5359 + 1);
    EXPECT_GE(counties->findText("Nowhere, Ohio"), 0);
    EXPECT_GE(counties->findText("Franklin County, Ohio"), 0);
    EXPECT_EQ(counties->findText("Franklin, Ohio"), -1);
    EXPECT_EQ(counties->findText("Franklin, Texas"), -1);
    EXPECT_TRUE(sortedIgnoringCase(items(counties, 0, counties->count())));
}

INSTANTIATE_TEST_SUITE_P(Both, PlaceBoxesOfWindow, testing::Values(Window::Sighting, Window::Outing),
                         [](const testing::TestParamInfo<Window>& p) {
                             return p.param == Window::Sighting ? "Sighting" : "Outing";
                         });
