#include "Harness.h"

#include "media/ImageFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

constexpr int kGoose = 3; // the species on show at start

void picture(const QString& path, int w, int h, QColor color = Qt::darkRed)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    ASSERT_TRUE(img.save(path));
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Drags `files` over the picture area and drops them; true when the area took them.
bool drop(Harness& h, const QStringList& files)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& f : files) urls << QUrl::fromLocalFile(f);
    mime.setUrls(urls);
    const QPoint at = h.page().viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(h.page().viewport(), &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(h.page().viewport(), &dropped);
    QCoreApplication::processEvents();
    return dropped.isAccepted();
}

struct DropFixture {
    QTemporaryDir desktop;
    std::unique_ptr<Harness> h;
    explicit DropFixture(const QString& rows = {})
    {
        h = std::make_unique<Harness>([&](test::TestFolder& f) {
            if (!rows.isEmpty()) f.exec("INSERT INTO images VALUES " + rows);
            picture(f.path() + "/Images/robin.png", 20, 20, Qt::red);
            picture(f.path() + "/Images/kept.png", 25, 25);
        });
        h->w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(h->w.get()));
    }
    QString images() const { return h->folder.path() + "/Images/"; }
};

} // namespace

TEST(ImageDrop, OnlyAPictureWithATitleIsCopiedIfNeededTitledAndLinked)
{
    DropFixture d;
    Harness& h = *d.h;
    const QString text = d.desktop.path() + "/notes.png"; // a picture's name, not a picture
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("just some notes");
    f.close();
    const QString pic = d.desktop.path() + "/heron.png";
    picture(pic, 10, 10);

    // Other files and cancelled titles leave everything as it was.
    EXPECT_TRUE(drop(h, {text}));
    EXPECT_TRUE(h.platform.prompts.isEmpty()) << "no title is asked for a file that is not a picture";
    h.platform.inputs = {QString()};
    EXPECT_TRUE(drop(h, {pic}));
    EXPECT_EQ(h.platform.prompts.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(d.images() + "heron.png")) << "cancelled: nothing copied";
    EXPECT_FALSE(QFileInfo::exists(d.images() + "notes.png"));
    EXPECT_EQ(h.scalar("SELECT count(*) FROM images").toInt(), 0);

    QMimeData plain;
    plain.setText("not a file");
    QDragEnterEvent enter(h.page().viewport()->rect().center(), Qt::CopyAction, &plain, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(h.page().viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted()) << "text is not taken";
    EXPECT_TRUE(h.platform.messages.isEmpty());

    // A picture dropped and titled.
    h.platform.prompts.clear();
    const QString source = d.desktop.path() + "/goose in flight.png";
    picture(source, 70, 35);
    h.platform.inputs = {"In flight"};
    ASSERT_TRUE(drop(h, {source}));
    EXPECT_EQ(h.platform.prompts, (QStringList{"Please enter a  short title for the image."}));
    EXPECT_EQ(contents(d.images() + "goose in flight.png"), contents(source));
    EXPECT_TRUE(QFileInfo::exists(source)) << "copied, not moved";
    EXPECT_EQ(h.scalar("SELECT File || '|' || Title FROM images WHERE Bird_ID = ?", {kGoose}).toString(),
              "goose in flight.png|In flight");
    EXPECT_EQ(h.page().label(3)->text(), "In flight");
    EXPECT_EQ(h.page().picture()->pixmap().size(), QSize(70, 35));
    EXPECT_TRUE(h.enabled(cmd::mnuFileImageDelete));
    EXPECT_TRUE(h.platform.messages.isEmpty());

    // A picture already in the folder is linked without a copy.
    h.platform.inputs = {"Kept"};
    ASSERT_TRUE(drop(h, {d.images() + "kept.png"}));
    EXPECT_EQ(QDir(d.images()).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(h.scalar("SELECT group_concat(File, ',') FROM (SELECT File FROM images WHERE Bird_ID = ? ORDER BY rowid)",
                       {kGoose}).toString(),
              "goose in flight.png,kept.png");
    EXPECT_EQ(h.page().label(3)->text(), "Kept");
}

TEST(ImageDrop, ATakenNameGetsANumberAndNothingIsOverwritten)
{
    DropFixture d("(3, 'robin.png', 'Old robin')");
    Harness& h = *d.h;
    const QByteArray before = contents(d.images() + "robin.png");
    picture(d.images() + "ROBIN-1.png", 5, 5); // taken in other capitals too
    const QByteArray takenBefore = contents(d.images() + "ROBIN-1.png");
    const QString source = d.desktop.path() + "/robin.png";
    picture(source, 44, 33, Qt::green);
    h.platform.inputs = {"New robin"};
    ASSERT_TRUE(drop(h, {source}));
    EXPECT_EQ(contents(d.images() + "robin.png"), before);
    EXPECT_EQ(contents(d.images() + "ROBIN-1.png"), takenBefore);
    EXPECT_EQ(contents(d.images() + "robin-2.png"), contents(source));
    EXPECT_EQ(h.scalar("SELECT group_concat(File, ',') FROM (SELECT File FROM images WHERE Bird_ID = ? ORDER BY rowid)",
                       {kGoose}).toString(),
              "robin.png,robin-2.png");
    EXPECT_EQ(h.page().label(3)->text(), "New robin");
    EXPECT_EQ(h.page().picture()->pixmap().size(), QSize(44, 33));
}

TEST(ImageFiles, FolderComparisonIgnoresCaseOnly)
{
    EXPECT_TRUE(liesDirectlyIn("/app/Images/a.png", "/app/Images"));
    EXPECT_TRUE(liesDirectlyIn("/app/IMAGES/a.png", "/app/images/"));
    EXPECT_TRUE(liesDirectlyIn("/app/x/../Images/a.png", "/app/Images"));
    EXPECT_FALSE(liesDirectlyIn("/app/Images/sub/a.png", "/app/Images"));
    EXPECT_FALSE(liesDirectlyIn("/app/a.png", "/app/Images"));
    EXPECT_FALSE(liesDirectlyIn("/other/Images/a.png", "/app/Images"));
    EXPECT_FALSE(liesDirectlyIn("/app/Images/", "/app/Images"));
}
