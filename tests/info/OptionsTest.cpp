#include "Harness.h"

#include "info/frmOptions.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

const QColor kYellow(255, 255, 192);
const QColor kWhite(255, 255, 255);

// The program with the stored options given, and a log of every write to the options row.
std::unique_ptr<Harness> withOptions(bool wincolor, const char* songCD, const char* extra = nullptr)
{
    return std::make_unique<Harness>([&](test::TestFolder& f) {
        f.exec(QStringLiteral("UPDATE Options SET wincolor = %1, SongCD = %2").arg(wincolor ? 1 : 0).arg(QString::fromLatin1(songCD)));
        f.exec("CREATE TABLE OptionWrites (wincolor, SongCD)");
        f.exec("CREATE TRIGGER LogOptionWrites AFTER UPDATE ON Options "
               "BEGIN INSERT INTO OptionWrites VALUES (new.wincolor, new.SongCD); END");
        if (extra) f.exec(QString::fromLatin1(extra));
    });
}

QColor background(Harness& h) { return h.page().description()->palette().color(QPalette::Base); }

QStringList writes(Harness& h)
{
    QStringList w;
    auto rs = h.db().openRecordset(QStringLiteral("SELECT wincolor, SongCD FROM OptionWrites"),
                                   db::RecordsetKind::Snapshot);
    for (; !rs.eof(); rs.moveNext())
        w << QStringLiteral("%1/%2").arg(rs.field(0).toInt()).arg(rs.field(1).isNull() ? QStringLiteral("null")
                                                                                      : rs.field(1).toString());
    return w;
}

QString storedRow(Harness& h)
{
    return QStringLiteral("%1/%2")
        .arg(h.scalar("SELECT wincolor FROM Options").toInt())
        .arg(h.scalar("SELECT coalesce(SongCD, 'null') FROM Options").toString());
}

// Runs the menu command and answers the dialog with `answer` once it is up.
void runOptions(Harness& h, const std::function<void(frmOptions&)>& answer)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<frmOptions*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr) << "the options dialog is modal";
        seen = true;
        answer(*d);
        if (d->isVisible()) d->reject(); // never leave the test waiting
    });
    h.run(cmd::mnuViewOptions);
    EXPECT_TRUE(seen);
}

} // namespace

TEST(Options, DialogShowsTheCurrentOptions)
{
    for (const bool yellow : {false, true}) {
        for (const char* cd : {"0", "1"}) { // the file refuses a missing option
            auto h = withOptions(yellow, cd);
            frmOptions d(h->ctx, h->w.get());
            EXPECT_EQ(d.windowTitle(), "Options");
            EXPECT_EQ(d.chkOption[0]->text(), "Text box background color is yellow");
            EXPECT_EQ(d.chkOption[1]->text(), "Use Heronsong Eastern/Central Song CD");
            EXPECT_EQ(d.chkOption[0]->objectName(), "chkOption(0)");
            EXPECT_EQ(d.cmdOK->text(), "&OK");
            EXPECT_EQ(d.cmdCancel->text(), "&Cancel");
            EXPECT_EQ(d.chkOption[0]->isChecked(), yellow);
            EXPECT_EQ(d.chkOption[1]->isChecked(), QByteArray(cd) == "1") << cd;
        }
    }
}

TEST(Options, OkRewritesTheSameValuesInOneUpdateCancelWritesNothing)
{
    auto h = withOptions(true, "0");
    runOptions(*h, [](frmOptions& d) { d.cmdOK->click(); });
    EXPECT_EQ(writes(*h), QStringList{"1/0"}) << "one update carrying both values";
    EXPECT_TRUE(h->state.wincolor);
    EXPECT_FALSE(h->state.SongCD);
    EXPECT_EQ(background(*h), kYellow);

    // Cancel after changing both changes nothing.
    auto n = withOptions(false, "1");
    const QString shown = n->shown();
    runOptions(*n, [](frmOptions& d) {
        d.chkOption[0]->click();
        d.chkOption[1]->click();
        ASSERT_TRUE(d.chkOption[0]->isChecked());
        ASSERT_FALSE(d.chkOption[1]->isChecked());
        d.cmdCancel->click();
    });
    EXPECT_FALSE(n->state.wincolor);
    EXPECT_TRUE(n->state.SongCD);
    EXPECT_EQ(background(*n), kWhite);
    EXPECT_EQ(storedRow(*n), "0/1");
    EXPECT_TRUE(writes(*n).isEmpty());
    EXPECT_EQ(n->shown(), shown);

    // Escape is Cancel too.
    runOptions(*n, [](frmOptions& d) {
        d.chkOption[0]->click();
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_FALSE(n->state.wincolor);
    EXPECT_TRUE(writes(*n).isEmpty());

    // Enter confirms as OK does.
    runOptions(*n, [](frmOptions& d) { QTest::keyClick(&d, Qt::Key_Return); });
    EXPECT_EQ(writes(*n), QStringList{"0/1"});
}

TEST(Options, ColourChangesAtOnceBothWays)
{
    auto h = withOptions(false, "0");
    EXPECT_EQ(background(*h), kWhite);
    {
        frmOptions d(h->ctx, h->w.get());
        d.chkOption[0]->click();
        d.cmdOK->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    }
    EXPECT_EQ(background(*h), kYellow) << "the main window changes before anything else is shown";
    EXPECT_TRUE(h->state.wincolor);
    EXPECT_EQ(storedRow(*h), "1/0");
    {
        frmOptions d(h->ctx, h->w.get());
        EXPECT_TRUE(d.chkOption[0]->isChecked()) << "opened anew, the dialog reflects the state";
        // The greyed third state counts as checked.
        d.chkOption[1]->setTristate(true);
        d.chkOption[1]->setCheckState(Qt::PartiallyChecked);
        d.chkOption[0]->click();
        d.cmdOK->click();
    }
    EXPECT_EQ(background(*h), kWhite);
    EXPECT_FALSE(h->state.wincolor);
    EXPECT_TRUE(h->state.SongCD);
    EXPECT_EQ(storedRow(*h), "0/1");
    EXPECT_EQ(writes(*h), (QStringList{"1/0", "0/1"}));
}

TEST(Options, SwitchingTheCdOptionWaitsForTheNextSpecies)
{
    // Species 2 has a CD song; species 1 has none.
    auto h = withOptions(false, "0", "INSERT INTO cdSong VALUES (2, 7, 12.5, 30)");
    h->stubCommands({cmd::mnuFilePlayCD});
    h->run(cmd::mnuViewNext);
    ASSERT_FALSE(h->enabled(cmd::mnuFilePlayCD));
    const bool buttonBefore = h->buttonEnabled("CDSong");
    runOptions(*h, [](frmOptions& d) {
        d.chkOption[1]->click();
        d.cmdOK->click();
    });
    EXPECT_TRUE(h->state.SongCD);
    EXPECT_FALSE(h->enabled(cmd::mnuFilePlayCD)) << "the species on show keeps its command";
    EXPECT_EQ(h->buttonEnabled("CDSong"), buttonBefore);
    h->run(cmd::mnuViewFirst);
    EXPECT_FALSE(h->enabled(cmd::mnuFilePlayCD));
    h->run(cmd::mnuViewNext);
    EXPECT_TRUE(h->enabled(cmd::mnuFilePlayCD)) << "the next species is shown with the option on";
    EXPECT_TRUE(h->buttonEnabled("CDSong"));

    runOptions(*h, [](frmOptions& d) {
        d.chkOption[1]->click();
        d.cmdOK->click();
    });
    EXPECT_FALSE(h->state.SongCD);
    EXPECT_TRUE(h->enabled(cmd::mnuFilePlayCD)) << "switched off: left as it was";
    h->run(cmd::mnuViewFirst);
    EXPECT_TRUE(h->enabled(cmd::mnuFilePlayCD)) << "with the option off the page leaves the command alone";
}

TEST(Options, StoredOptionsApplyAtTheNextStart)
{
    auto h = withOptions(false, "0");
    runOptions(*h, [](frmOptions& d) {
        d.chkOption[0]->setChecked(true);
        d.chkOption[1]->setChecked(true);
        d.cmdOK->click();
    });
    h->w->close(); // the program closes the database
    AppState s;
    ScriptedPlatform p;
    Context ctx{s, p, nullptr};
    s.dataFolder = h->folder.path();
    openAndLoadOptions(s);
    EXPECT_TRUE(s.wincolor);
    EXPECT_TRUE(s.SongCD);
    frmDisplay w(ctx);
    w.Form_Load();
    EXPECT_EQ(test::MainWindowPage(&w).description()->palette().color(QPalette::Base), kYellow);
    w.close();
}

TEST(Options, RefusedWriteChangesNothingAndKeepsTheDialogOpen)
{
    auto h = withOptions(false, "0",
                         "CREATE TRIGGER RefuseOptions BEFORE UPDATE ON Options "
                         "BEGIN SELECT RAISE(ABORT, 'The options cannot be stored.'); END");
    frmOptions d(h->ctx, h->w.get());
    d.show();
    d.chkOption[0]->click();
    d.chkOption[1]->click();
    d.cmdOK->click();
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_TRUE(d.isVisible());
    ASSERT_EQ(h->platform.messages.size(), 1);
    EXPECT_TRUE(h->platform.messages[0].text.contains("cannot be stored"));
    EXPECT_FALSE(h->state.wincolor);
    EXPECT_FALSE(h->state.SongCD);
    EXPECT_EQ(background(*h), kWhite);
    EXPECT_EQ(storedRow(*h), "0/0");

    // The options row is still usable afterwards.
    h->db().execute("DROP TRIGGER RefuseOptions");
    d.cmdOK->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(storedRow(*h), "1/1");
}
