// The bird page's life-list line and the placeholder of a species without pictures.

#include "Harness.h"
#include "outings/OutingStore.h"
#include "search/frmRegion.h"
#include "sightings/frmSight.h"
#include "ui/ElidedLabel.h"
#include "ui/Silhouettes.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

// Enters a sighting of the species on show through its menu command, with the window's
// default places.
void enterSighting(Harness& h, const QString& date, const QString& site)
{
    bool saved = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<frmSight*>(QApplication::activeModalWidget());
        if (!d) return;
        d->txtDate->setText(date);
        d->txtSite->setText(site);
        d->cmdSave->click();
        saved = d->result() == QDialog::Accepted;
        if (!saved) d->reject();
    });
    h.run(cmd::mnuFileSighting);
    ASSERT_TRUE(saved);
}

QString may14() { return QStringLiteral("14 ") + QLocale::system().monthName(5) + QStringLiteral(" 2025"); }

} // namespace

TEST(SeenLine, FollowsSightingsAndTheRegion)
{
    Harness h; // North America current
    ASSERT_EQ(h.shown(), "Canada Goose");
    EXPECT_EQ(h.page().seen()->fullText(), "Not yet seen in North America");

    enterSighting(h, "2025-05-14", "Big Bend");
    EXPECT_EQ(h.page().seen()->fullText(), "Seen: " + may14() + ", Big Bend (North America)");
    h.run(cmd::mnuViewNext);
    EXPECT_EQ(h.page().seen()->fullText(), "Not yet seen in North America") << "another species";
    h.run(cmd::mnuViewFirst);
    EXPECT_EQ(h.page().seen()->fullText(), "Seen: " + may14() + ", Big Bend (North America)");

    // Ontario: the sighting names North America only.
    frmRegion d(h.ctx, h.w.get());
    d.optRegion_Click(3);
    d.cmdOK_Click();
    h.w->selectSpecies(0);
    ASSERT_EQ(h.shown(), "Canada Goose");
    EXPECT_EQ(h.page().seen()->fullText(), "Not yet seen in Ontario");

    // A sighting in Ontario, without a site, then deleting it again.
    enterSighting(h, "2024-06-02", "");
    EXPECT_EQ(h.page().seen()->fullText(), "Seen: 2 " + QLocale::system().monthName(6) + " 2024 (Ontario)");
    h.platform.answers.push_back(Platform::Answer::Yes);
    QTimer::singleShot(0, [] {
        if (auto* v = qobject_cast<frmSight*>(QApplication::activeModalWidget())) v->cmdDelete->click();
    });
    h.run(cmd::mnuViewDetails);
    EXPECT_EQ(h.page().seen()->fullText(), "Not yet seen in Ontario");
}

TEST(SeenLine, TheEarliestSightingInTheRegionAndHowOftenTheSpeciesWasRecorded)
{
    Harness h([](test::TestFolder& f) {
        f.exec("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State', lifesum = 0, lifetotal = 6");
    });
    ASSERT_EQ(h.shown(), "Canada Goose");
    EXPECT_EQ(h.page().seen()->note(), "") << "never recorded";
    LifeListScope ontario{2, "State"};
    auto outing = [&](QDate date, int state, const char* site) {
        Outing o;
        o.date = date;
        o.site = site;
        o.places[2] = state;
        o.places[1] = 3;
        o.entries = {{3, 2, {}, {}, {}, 0}};
        saveOuting(h.db(), o, ontario, h.state.rsOptions);
    };
    outing(QDate(2024, 6, 2), 2, "Harbour");
    outing(QDate(2023, 4, 9), 2, "Marsh");
    outing(QDate(2022, 1, 1), 0, "Elsewhere in Canada"); // earlier, but not in Ontario
    h.w->refreshSpecies();
    EXPECT_EQ(h.page().seen()->fullText(), "Seen: 9 " + QLocale::system().monthName(4) + " 2023, Marsh (Ontario)")
        << "the earliest in the region, whichever outing came first";
    EXPECT_EQ(h.page().seen()->note(), "Recorded 2 times in Ontario, 3 times in all");
    EXPECT_TRUE(h.page().seen()->toolTip().contains("Recorded 2 times in Ontario"));
    h.w->selectSpecies(1);
    EXPECT_EQ(h.page().seen()->note(), "");
}

TEST(SeenLine, WorldHasNoRegionName)
{
    Harness h([](test::TestFolder& f) {
        f.exec("UPDATE Options SET Reg_ID = 0, regname = 'World', regType = ''");
    });
    EXPECT_EQ(h.page().seen()->fullText(), "Not yet seen");
    enterSighting(h, "2025-05-14", "Big Bend");
    EXPECT_EQ(h.page().seen()->fullText(), "Seen: " + may14() + ", Big Bend");
}

TEST(PicturePlaceholder, SpeciesWithoutPicturesShowsItsFamilySilhouette)
{
    Harness h([](test::TestFolder& f) {
        QDir(f.path()).mkpath("Images");
        QImage img(30, 20, QImage::Format_RGB32);
        img.fill(Qt::darkGreen);
        ASSERT_TRUE(img.save(f.path() + "/Images/robin.png"));
        f.exec("INSERT INTO images VALUES (4, 'robin.png', 'Robin')");
    });
    ASSERT_EQ(h.shown(), "Canada Goose"); // a duck-family species without pictures
    EXPECT_TRUE(h.page().noPicture()->isVisibleTo(h.w.get()));
    EXPECT_FALSE(h.page().picture()->isVisibleTo(h.w.get()));
    EXPECT_EQ(h.page().noPictureText()->text(),
              QStringLiteral("No picture yet: File \u203A Add New Image, or drop a picture file here"));
    const QPixmap shape = h.page().silhouette()->pixmap();
    ASSERT_FALSE(shape.isNull());
    EXPECT_EQ(shape.size(), silhouette(119).size()) << "the silhouette of the duck family";
    const QImage grey = shape.toImage();
    bool allGrey = true, anyShape = false;
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x) {
            const QColor c = grey.pixelColor(x, y);
            if (c.alpha() == 0) continue;
            anyShape = true;
            allGrey = allGrey && c.red() == c.green() && c.green() == c.blue();
        }
    EXPECT_TRUE(anyShape);
    EXPECT_TRUE(allGrey);
    EXPECT_EQ(h.page().noPicture()->geometry(), h.page().viewport()->rect()) << "centred over the picture area";

    h.w->selectSpeciesByName("American Robin");
    EXPECT_FALSE(h.page().noPicture()->isVisibleTo(h.w.get())) << "a species with a picture shows it";
    EXPECT_TRUE(h.page().picture()->isVisibleTo(h.w.get()));

    h.w->selectSpeciesByName("Hermit Thrush");
    ASSERT_TRUE(h.page().noPicture()->isVisibleTo(h.w.get()));
    EXPECT_EQ(h.page().silhouette()->pixmap().size(), silhouette(176).size()) << "the thrushes' silhouette";
}

TEST(SeenLine, ALongLineEndsInAnEllipsisAndKeepsTheWholeTextAsTooltip)
{
    Harness h;
    h.w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(h.w.get()));
    enterSighting(h, "2025-12-07", "Bolsa Chica Ecological Reserve, north parking lot");
    const QString whole = QStringLiteral("Seen: 7 ") + QLocale::system().monthName(12)
                          + QStringLiteral(" 2025, Bolsa Chica Ecological Reserve, north parking lot (North America)");
    const QLabel* seen = h.page().seen();
    // What the label paints fits into it, ends in an ellipsis, and begins the whole line.
    EXPECT_LE(seen->fontMetrics().horizontalAdvance(seen->text()), seen->contentsRect().width()) << "nothing is cut";
    EXPECT_TRUE(seen->text().endsWith(QChar(0x2026))) << qPrintable(seen->text());
    EXPECT_TRUE(whole.startsWith(seen->text().chopped(1)));
    EXPECT_EQ(seen->toolTip(), whole + "\nRecorded once in North America") << "with how often it was recorded";
    EXPECT_EQ(seen->accessibleName(), whole);

    // A line that fits is shown whole, without a tooltip.
    h.run(cmd::mnuViewNext);
    EXPECT_EQ(seen->text(), "Not yet seen in North America");
    EXPECT_TRUE(seen->toolTip().isEmpty());
    EXPECT_EQ(seen->accessibleName(), "Not yet seen in North America");
}
