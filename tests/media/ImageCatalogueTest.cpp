#include "Harness.h"

#include "media/ImageCatalogue.h"
#include "platform/QtPlatform.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QListView>
#include <QTimer>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

constexpr int kGoose = 3; // the species on show at start

void picture(const QString& path, int w, int h, const char* format = nullptr)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::darkBlue);
    ASSERT_TRUE(img.save(path, format));
}

// Canada Goose gets the pictures `rows` of the Images folder, which holds a.png, b.png,
// c.png, new.png, photo.jpg and a subfolder.
std::unique_ptr<Harness> start(const QString& rows = {}, const QString& folderName = "Images")
{
    auto h = std::make_unique<Harness>([&](test::TestFolder& f) {
        if (!rows.isEmpty()) f.exec("INSERT INTO images VALUES " + rows);
        const QString images = f.path() + "/" + folderName;
        picture(images + "/a.png", 30, 20);
        picture(images + "/b.png", 31, 21);
        picture(images + "/c.png", 32, 22);
        picture(images + "/new.png", 50, 40);
        picture(images + "/photo.jpg", 60, 45, "JPG");
        picture(images + "/sub/deep.png", 10, 10);
        picture(f.path() + "/Other/elsewhere.png", 10, 10);
    });
    h->w->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(h->w.get()));
    return h;
}

int pictureRows(Harness& h) { return h.scalar("SELECT count(*) FROM images WHERE Bird_ID = ?", {kGoose}).toInt(); }

QString title(Harness& h) { return h.page().label(3)->text(); }

} // namespace

TEST(ImageCatalogue, FileDialogAndRefusedChoices)
{
    auto h = start({}, "images");
    const QString app = h->folder.path();
    h->platform.files = {app + "/images/sub/deep.png", app + "/Other/elsewhere.png", app + "/images/", ""};
    for (int i = 0; i < 4; ++i) h->run(cmd::mnuFileImage);

    ASSERT_EQ(h->platform.fileDialogs.size(), 4);
    EXPECT_EQ(h->platform.fileDialogs[0].title, "Link an Image File");
    EXPECT_EQ(h->platform.fileDialogs[0].folder, app + "/images") << "the folder as it is spelled on disk";
    EXPECT_EQ(h->platform.fileDialogs[0].filter,
              "All Pictures(*.png, *.jpg, *.jpeg, *.gif, *.bmp)|*.png;*.jpg;*.jpeg;*.gif;*.bmp|"
              "Image Files(*.gif, *.jpg, *.bmp)|*.gif;*.jpg;*.bmp|All Files(*.*)|*.*");
    ASSERT_EQ(h->platform.messages.size(), 3) << "a cancelled dialog says nothing";
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(h->platform.messages[i].text, "The Image file must come from the Images folder in the main application.");
        EXPECT_EQ(h->platform.messages[i].title, "Wrong Folder");
        EXPECT_EQ(h->platform.messages[i].icon, Platform::Icon::Exclamation);
    }
    EXPECT_EQ(h->platform.messages[2].text, "You must select a File to Link.");
    EXPECT_EQ(h->platform.messages[2].title, "Missing File Name");
    EXPECT_EQ(h->platform.prompts.size(), 4) << "no title was asked";
    EXPECT_EQ(pictureRows(*h), 0);
}

TEST(ImageCatalogue, CancelledOrEmptyTitleStoresNothingTheFirstPictureIsShownAtOnce)
{
    auto h = start();
    const QString file = h->folder.path() + "/Images/new.png";
    h->platform.files = {file, file};
    h->platform.inputs = {QString(), QString("")};
    h->run(cmd::mnuFileImage);
    h->run(cmd::mnuFileImage);
    EXPECT_EQ(pictureRows(*h), 0);
    EXPECT_FALSE(h->enabled(cmd::mnuFileImageDelete));
    EXPECT_TRUE(h->platform.messages.isEmpty());

    // The first picture, in any capitals.
    h->platform.files = {h->folder.path() + "/IMAGES/new.png"};
    h->platform.inputs = {"Flying"};
    h->run(cmd::mnuFileImage);
    EXPECT_TRUE(h->platform.messages.isEmpty());
    EXPECT_EQ(h->platform.prompts.last(), "Please enter a  short title for the image.");
    EXPECT_EQ(h->scalar("SELECT File || '|' || Title FROM images WHERE Bird_ID = ?", {kGoose}).toString(),
              "new.png|Flying");
    EXPECT_EQ(title(*h), "Flying");
    EXPECT_TRUE(h->page().picture()->isVisible());
    EXPECT_EQ(h->page().picture()->pixmap().size(), QSize(50, 40));
    EXPECT_TRUE(h->enabled(cmd::mnuFileImageDelete));
    EXPECT_TRUE(h->enabled(cmd::mnuFileEditTitle));
    EXPECT_TRUE(h->page().icon(2)->isHidden());
}

TEST(ImageCatalogue, NewPictureComesLastAndIsShown)
{
    auto h = start("(3, 'b.png', 'B'), (3, 'c.png', 'C')");
    ASSERT_EQ(title(*h), "B");
    // A JPEG chosen through "All Files", whose name sorts first.
    h->platform.files = {h->folder.path() + "/Images/photo.jpg"};
    h->platform.inputs = {"Photo"};
    h->run(cmd::mnuFileImage);
    EXPECT_EQ(title(*h), "Photo");
    EXPECT_EQ(h->page().picture()->pixmap().size(), QSize(60, 45));
    EXPECT_TRUE(h->page().icon(2)->isVisible());
    QStringList order{title(*h)};
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(h->page().icon(2), Qt::LeftButton);
        order << title(*h);
    }
    EXPECT_EQ(order, (QStringList{"Photo", "B", "C", "Photo"})) << "the order the pictures were added";
}

TEST(ImageCatalogue, RemovingMovesToTheNextOrThePrevious)
{
    auto h = start("(3, 'a.png', 'A'), (3, 'b.png', 'B'), (3, 'c.png', 'C')");
    QTest::mouseClick(h->page().icon(2), Qt::LeftButton);
    ASSERT_EQ(title(*h), "B");

    h->platform.answers = {Platform::Answer::No};
    h->run(cmd::mnuFileImageDelete);
    ASSERT_EQ(h->platform.messages.size(), 1);
    EXPECT_EQ(h->platform.messages[0].text, "Do you really want to remove this image 'b.png' from the database?");
    EXPECT_EQ(h->platform.messages[0].title, "Remove Image");
    EXPECT_EQ(h->platform.messages[0].buttons, Platform::Buttons::YesNo);
    EXPECT_EQ(h->platform.messages[0].icon, Platform::Icon::Question);
    EXPECT_EQ(pictureRows(*h), 3);

    h->run(cmd::mnuFileImageDelete); // the middle one: the next is shown
    EXPECT_EQ(title(*h), "C");
    EXPECT_EQ(pictureRows(*h), 2);
    EXPECT_TRUE(QFileInfo::exists(h->folder.path() + "/Images/b.png")) << "the file stays";

    h->run(cmd::mnuFileImageDelete); // the last one: the one before it is shown
    EXPECT_EQ(title(*h), "A");
    EXPECT_TRUE(h->page().icon(2)->isHidden());
    EXPECT_TRUE(h->enabled(cmd::mnuFileEditTitle));

    h->run(cmd::mnuFileImageDelete); // the only one
    EXPECT_EQ(pictureRows(*h), 0);
    EXPECT_EQ(title(*h), "");
    EXPECT_TRUE(h->page().picture()->pixmap().isNull());
    EXPECT_TRUE(h->page().icon(2)->isHidden());
    EXPECT_TRUE(h->page().icon(3)->isHidden());
    EXPECT_FALSE(h->enabled(cmd::mnuFileImageDelete));
    EXPECT_FALSE(h->enabled(cmd::mnuFileEditTitle));
    EXPECT_EQ(h->platform.messages.size(), 4);
}

TEST(ImageCatalogue, RetitlingKeepsTheOldTitleOnAnEmptyAnswer)
{
    auto h = start("(3, 'a.png', 'Old'), (1, 'b.png', 'Mallard')");
    h->platform.inputs = {QString(""), QString()};
    h->run(cmd::mnuFileEditTitle);
    h->run(cmd::mnuFileEditTitle);
    EXPECT_EQ(title(*h), "Old");
    EXPECT_EQ(h->scalar("SELECT Title FROM images WHERE Bird_ID = ?", {kGoose}).toString(), "Old");
    EXPECT_EQ(h->platform.prompts.last(), "Please enter the new title for the current image.");

    h->platform.inputs = {"Juvenile \"grey\""};
    h->run(cmd::mnuFileEditTitle);
    EXPECT_EQ(title(*h), "Juvenile \"grey\"");
    EXPECT_EQ(h->scalar("SELECT Title FROM images WHERE Bird_ID = ?", {kGoose}).toString(), "Juvenile \"grey\"");
    EXPECT_EQ(h->scalar("SELECT Title FROM images WHERE Bird_ID = 1").toString(), "Mallard");
}

namespace {

// The scripted platform, with the program's real file dialog.
struct RealFileDialogPlatform : ScriptedPlatform {
    QtPlatform qt;
    QString openFileDialog(const QString& title, const QString& folder, const QString& filter) override
    {
        fileDialogs << FileDialog{title, folder, filter};
        return qt.openFileDialog(title, folder, filter);
    }
};

} // namespace

// Add New Image's dialog offers every kind of picture first, so PNG pictures are listed.
TEST(ImageCatalogue, TheFileDialogListsEveryKindOfPictureFirst)
{
    test::TestFolder folder;
    const QString images = folder.path() + "/Images";
    picture(images + "/a.png", 30, 20);
    picture(images + "/photo.jpg", 60, 45, "JPG");
    picture(images + "/drawing.bmp", 10, 10, "BMP");
    QFile(images + "/old.gif").open(QIODevice::WriteOnly); // listed by its name only
    QFile(images + "/notes.txt").open(QIODevice::WriteOnly);
    AppState state;
    state.dataFolder = folder.path();
    openAndLoadOptions(state);
    RealFileDialogPlatform platform;
    Context ctx{state, platform, nullptr};
    auto main = createMainWindow(ctx);
    main->Form_Load();
    platform.qt.setParentWindow(main.get());

    QStringList filters, listed;
    QString selected;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d) {
            ADD_FAILURE() << "no file dialog";
            return;
        }
        filters = d->nameFilters();
        selected = d->selectedNameFilter();
        auto* view = d->findChild<QListView*>(QStringLiteral("listView"));
        (void)QTest::qWaitFor([&] {
            listed.clear();
            if (!view || !view->model()) return false;
            const QModelIndex root = view->rootIndex();
            for (int r = 0; r < view->model()->rowCount(root); ++r)
                listed << view->model()->index(r, 0, root).data().toString();
            return listed.size() >= 4;
        }, 5000);
        d->reject();
    });
    ImageCatalogue(ctx).mnuFileImage_Click();
    ASSERT_GE(filters.size(), 3);
    EXPECT_EQ(filters[0], "All Pictures (*.png *.jpg *.jpeg *.gif *.bmp)");
    EXPECT_EQ(filters[1], "Image Files (*.gif *.jpg *.bmp)");
    EXPECT_EQ(filters[2], "All Files (*)");
    EXPECT_EQ(selected, filters[0]);
    listed.sort();
    EXPECT_EQ(listed.join(", "), "a.png, drawing.bmp, old.gif, photo.jpg") << "every picture and nothing else";
    main->close();
}
