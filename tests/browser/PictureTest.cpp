#include "Harness.h"

#include "browser/frmZoom.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QComboBox>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

void picture(const QString& folder, const QString& name, int w, int h, QColor color = Qt::darkGreen)
{
    QDir(folder).mkpath("Images");
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    ASSERT_TRUE(img.save(folder + "/Images/" + name));
}

// Closes the next modal dialog as soon as it shows.
void closeNextDialog(QString* title = nullptr)
{
    QTimer::singleShot(0, [title] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            if (title) *title = w->windowTitle();
            w->close();
        }
    });
}

} // namespace

class Pictures : public ::testing::Test {
protected:
    // Canada Goose (ID 3) gets pictures before the program starts.
    std::unique_ptr<Harness> start(const QString& rows)
    {
        auto h = std::make_unique<Harness>([&](test::TestFolder& f) {
            if (!rows.isEmpty()) f.exec("INSERT INTO images VALUES " + rows);
            picture(f.path(), "small.png", 40, 30);
            picture(f.path(), "wide.png", 4000, 20);
            picture(f.path(), "tall.png", 20, 4000);
            QFile bad(f.path() + "/Images/bad.jpg");
            EXPECT_TRUE(bad.open(QIODevice::WriteOnly));
            bad.write("not a picture");
        });
        h->w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(h->w.get()));
        return h;
    }
};

TEST_F(Pictures, SmallPictureIsCentredWithoutZoomInAnyCapitalsAndAfterAResize)
{
    auto h = start("(3, 'SMALL.PNG', 'Adult')"); // the file's name in other capitals
    h->stubCommands({cmd::mnuFileImageDelete});
    EXPECT_EQ(h->page().label(3)->text(), "Adult");
    EXPECT_TRUE(h->page().icon(2)->isHidden()) << "one picture: no stepping";
    EXPECT_TRUE(h->page().icon(3)->isHidden());
    const QSize view = h->page().viewport()->size();
    EXPECT_EQ(h->page().picture()->size(), QSize(40, 30));
    EXPECT_EQ(h->page().picture()->pos(), QPoint((view.width() - 40) / 2, (view.height() - 30) / 2));
    EXPECT_TRUE(h->enabled(cmd::mnuFileImageDelete));
    EXPECT_TRUE(h->platform.messages.isEmpty());

    // Enlarging the window centres it again.
    h->w->resize(1400, 1000);
    h->w->Form_Resize();
    const QSize larger = h->page().viewport()->size();
    EXPECT_NE(larger, view);
    EXPECT_EQ(h->page().picture()->pos(),
              QPoint((larger.width() - 40) / 2, (larger.height() - 30) / 2));

    // A search that finds nothing leaves no picture and no title of the species before.
    h->state.Reg_ID = 4; // a region without a checklist
    h->run(cmd::mnuSearchBird);
    EXPECT_EQ(h->shown(), "");
    EXPECT_TRUE(h->page().picture()->isHidden());
    EXPECT_EQ(h->page().label(3)->text(), "");
}

TEST_F(Pictures, ZoomIconAndWindowWhenWiderOnlyOrTallerOnly)
{
    auto h = start("(3, 'wide.png', 'Wide'), (2, 'tall.png', 'Tall')");
    frmZoom zoom(h->page().label(0)->text(), h->page().label(3)->text(), h->page().picture()->pixmap(), h->w.get());
    EXPECT_EQ(zoom.windowTitle(), "Canada Goose  (Wide)");
    EXPECT_EQ(zoom.Picture1->size(), QSize(4000, 20));
    EXPECT_LE(zoom.width(), h->w->screen()->size().width()) << "the whole picture within the screen";
    QString title;
    closeNextDialog(&title);
    QTest::mouseClick(h->page().icon(3), Qt::LeftButton);
    EXPECT_EQ(title, "Canada Goose  (Wide)");
    EXPECT_TRUE(h->page().icon(3)->isVisible());
    EXPECT_EQ(h->page().picture()->x(), 0) << "a wider picture is shown from its left edge";
    EXPECT_EQ(h->page().picture()->y(), (h->page().viewport()->height() - 20) / 2);
    h->run(cmd::mnuViewNext);
    EXPECT_TRUE(h->page().icon(3)->isVisible());
    EXPECT_EQ(h->page().picture()->y(), 0);
}

TEST_F(Pictures, ThreePicturesCycleInFileOrder)
{
    auto h = start("(3, 'wide.png', 'C'), (3, 'small.png', 'B'), (3, 'tall.png', 'D')");
    EXPECT_TRUE(h->page().icon(2)->isVisible());
    QStringList titles{h->page().label(3)->text()};
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(h->page().icon(2), Qt::LeftButton);
        titles << h->page().label(3)->text();
    }
    EXPECT_EQ(titles, (QStringList{"B", "D", "C", "B"}));
}

TEST_F(Pictures, MissingFileAndBadPictureAreReported)
{
    auto h = start("(3, 'gone.jpg', 'Gone'), (2, 'bad.jpg', 'Bad')");
    ASSERT_EQ(h->platform.messages.size(), 1);
    EXPECT_EQ(h->platform.messages[0].text, "Cannot find Image file. Error:53");
    EXPECT_EQ(h->platform.messages[0].title, "Image Display Problem");
    EXPECT_EQ(h->platform.messages[0].icon, Platform::Icon::Exclamation);
    EXPECT_EQ(h->page().label(3)->text(), "Bad Image");
    EXPECT_TRUE(h->page().picture()->isVisible());
    EXPECT_TRUE(h->page().picture()->pixmap().isNull());
    h->run(cmd::mnuViewNext);
    ASSERT_EQ(h->platform.messages.size(), 2);
    EXPECT_TRUE(h->platform.messages[1].text.startsWith("Image Display problem. Error:"));
    EXPECT_EQ(h->page().label(3)->text(), "Bad Image");
}

TEST_F(Pictures, NoPicturesAndTheSeasonalIconOpensTheDetailWindowForTheCurrentCode)
{
    auto h = start({});
    EXPECT_TRUE(h->page().icon(2)->isHidden());
    EXPECT_TRUE(h->page().icon(3)->isHidden());
    EXPECT_EQ(h->page().label(3)->text(), "");
    EXPECT_FALSE(h->enabled(cmd::mnuFileImageDelete));
    EXPECT_FALSE(h->enabled(cmd::mnuFileEditTitle));
    h->db().execute("UPDATE Checklists SET scode = 'CPLUsI///' WHERE Bird_ID = 3 AND Reg_ID = 1");
    h->run(cmd::mnuViewNext);
    h->run(cmd::mnuViewFirst);
    QStringList lines;
    QTimer::singleShot(0, [&lines] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            for (int i = 0; i < 3; ++i)
                lines << w->findChild<QLabel*>(QStringLiteral("lblStatus(%1)").arg(i))->text();
            w->close();
        }
    });
    h->page().description()->setFocus();
    QTest::mouseClick(h->page().icon(1), Qt::LeftButton);
    EXPECT_EQ(lines, (QStringList{"Abundant Permanent Breeder  (Limited range)",
                                  "Uncommon Summer Non-breeder  (Irregular)", ""}));
    EXPECT_EQ(h->platform.beeps, 1);
    // The window's focus child (the offscreen platform does not activate it again by itself).
    EXPECT_EQ(h->w->focusWidget(), h->page().list()) << "focus goes back to the list";
}
