// Names the user gives (regions, sites, notes, files) and the names of the database are shown
// as they are written: text that looks like markup is never read as markup.

#include "Harness.h"

#include "checklists/frmChecklist.h"
#include "checklists/frmStatus.h"
#include "info/frmAbout.h"
#include "search/frmClass.h"
#include "sightings/SightingsLogModel.h"
#include "sightings/frmImportPreview.h"
#include "sightings/frmSight.h"
#include "sightings/frmSightingsLog.h"
#include "platform/QtPlatform.h"
#include "records/EbirdImport.h"
#include "ui/CommandIds.h"
#include "ui/ElidedLabel.h"
#include "ui/RowTableModel.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

const QString kRegion = QStringLiteral("<i>Lake</i> & <Pond>");
const QString kSpecies = QStringLiteral("<b>Odd</b> & <Goose>");
const QString kFamily = QStringLiteral("<u>Geese</u> & <Kin>");
const QString kSite = QStringLiteral("<b>Bolsa</b> & <Chica>");
const QString kDescription = QStringLiteral("<i>Big</i> & <small>");

// What a reader sees of a text that Qt shows as markup when it looks like markup.
QString asShown(const QString& text, Qt::TextFormat format)
{
    const bool markup = format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text));
    return markup ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
}
QString shown(const QLabel* label) { return asShown(label->text(), label->textFormat()); }
QString shownToolTip(const QString& tip) { return asShown(tip, Qt::AutoText); }

// The current region (North America, id 1), the first species (Canada Goose) and its family
// carry names that look like markup.
void markupNames(test::TestFolder& f)
{
    f.exec("UPDATE Regions SET Name = ? WHERE Reg_ID = 1", {kRegion});
    f.exec("UPDATE Options SET regname = ?", {kRegion});
    f.exec("UPDATE Birds SET Name = ?, Data = ? WHERE ID = 3", {kSpecies, kDescription});
    f.exec("UPDATE Families SET Family = ? WHERE Fam_ID = 1", {kFamily});
}

} // namespace

TEST(PlainText, MainWindowShowsNamesAsTheyAre)
{
    Harness h(markupNames);
    ASSERT_EQ(h.shown(), kSpecies);
    EXPECT_EQ(shown(h.page().label(0)), kSpecies);
    EXPECT_EQ(shown(h.page().label(1)), "Family : " + kFamily);
    EXPECT_EQ(h.page().description()->toPlainText(), kDescription) << "the description";
    for (const char* key : {"Region", "Type", "Hits", "Life"}) {
        const auto* panel = h.w->findChild<QLabel*>(QString::fromLatin1(key));
        ASSERT_NE(panel, nullptr) << key;
        EXPECT_EQ(shown(panel), panel->text()) << key;
    }
    EXPECT_EQ(shown(h.w->findChild<QLabel*>("Region")), "Region : " + kRegion);
    EXPECT_EQ(h.page().seen()->fullText(), "Not yet seen in " + kRegion);
    EXPECT_EQ(shown(h.page().seen()), h.page().seen()->text());

    // A sighting at a site that looks like markup, in that region.
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<frmSight*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(shown(d->lbltitle[8]), "First Sighting of the " + kSpecies) << "the heading of the sighting";
        d->txtDate->setText("2025-05-14");
        d->txtSite->setText(kSite);
        d->cmdSave->click();
    });
    h.run(cmd::mnuFileSighting);
    const QString line = h.page().seen()->fullText();
    EXPECT_TRUE(line.contains(", " + kSite + " (" + kRegion + ")")) << qPrintable(line);
    EXPECT_EQ(shown(h.page().seen()), h.page().seen()->text());
    EXPECT_TRUE(line.startsWith(h.page().seen()->text().remove(QChar(0x2026))));
    // How often the species was recorded names the region as it is too.
    EXPECT_EQ(h.page().seen()->note(), "Recorded once in " + kRegion);
    if (h.page().seen()->isElided()) {
        EXPECT_EQ(shownToolTip(h.page().seen()->toolTip()), line + "\n" + h.page().seen()->note());
    }
}

TEST(PlainText, DialogsShowNamesAsTheyAre)
{
    Harness h(markupNames);

    // The seasonal status: its heading names the species and the region.
    bool statusSeen = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<frmStatus*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        statusSeen = true;
        EXPECT_EQ(shown(d->lblHeading), kSpecies + " in " + kRegion);
        d->accept();
    });
    h.run(cmd::imgStatus);
    EXPECT_TRUE(statusSeen);

    // The checklist editor: its title names the region, its label the species.
    h.state.selReg_ID = 1;
    h.state.selRegname = kRegion;
    {
        frmChecklist editor(h.ctx, h.w.get());
        EXPECT_EQ(editor.windowTitle(), "Checklist Maintenance for " + kRegion);
        editor.setCurrentCell(0, frmChecklist::ColName);
        EXPECT_EQ(shown(editor.lbltitle[4]), kSpecies);
    }

    // The classification: a family's name.
    {
        frmClass classes(h.ctx, h.w.get());
        const auto found = classes.TrView->findItems(kFamily, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1);
        classes.TrView->setCurrentItem(found.first());
        EXPECT_EQ(shown(classes.lblCaption[0]), kFamily);
    }

    // The about box: the data folder, which the user may name.
    {
        frmAbout about(QStringLiteral("/home/<b>me</b> & <you>/birds"), h.w.get());
        EXPECT_TRUE(shown(about.lblData).endsWith("/home/<b>me</b> & <you>/birds")) << qPrintable(shown(about.lblData));
    }

    // The import preview: the file's name.
    {
        ImportPreview preview;
        preview.format = QStringLiteral("eBird download");
        frmImportPreview importing(h.ctx, preview, h.folder.path() + "/<i>my & <data>.csv", h.w.get());
        EXPECT_EQ(shown(importing.lblFile), "<i>my & <data>.csv (eBird download)");
    }
}

TEST(PlainText, MessagesAndQuestionsShowTheirTextAsItIs)
{
    QtPlatform platform;
    const QString question = "Export only the sightings in " + kRegion + "?\n\nChoose No to export every sighting.";
    QString seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        auto* label = box->findChild<QLabel*>("qt_msgbox_label");
        ASSERT_NE(label, nullptr);
        seen = shown(label);
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(platform.messageBox(question, "Export Sightings", Platform::Buttons::YesNoCancel,
                                  Platform::Icon::Question),
              Platform::Answer::Yes);
    EXPECT_EQ(seen, question);

    const QString prompt = "A new title for the picture of " + kSpecies + ":";
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen.clear();
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            if (!label->text().isEmpty()) seen = shown(label);
        dialog->findChild<QLineEdit*>()->setText(kSite);
        dialog->accept();
    });
    EXPECT_EQ(platform.inputBox(prompt, "Edit Image Title", "old"), std::optional<QString>(kSite));
    EXPECT_EQ(seen, prompt);
}

TEST(PlainText, ToolTipsShowNotesAndNamesAsTheyAre)
{
    Harness h([](test::TestFolder& f) {
        f.exec("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Type, Region, country, state, district, site, notes) "
               "VALUES (1, 3, '2024-05-01', '', 1, 0, 0, 0, ?, ?)",
               {kSite, QStringLiteral("<b>bold</b> & <b>not</b>")});
    });
    SightingsLogModel log;
    log.load(h.db(), {});
    ASSERT_EQ(log.rowCount(), 1);
    EXPECT_EQ(log.data(log.index(0, SightingsLog::Site), Qt::DisplayRole).toString(), kSite);
    EXPECT_EQ(shownToolTip(log.data(log.index(0, SightingsLog::Notes), Qt::ToolTipRole).toString()),
              "<b>bold</b> & <b>not</b>");

    RowTableModel grid({"Name", "Image"});
    grid.setPictureColumn(1);
    grid.setRows({{kFamily, QVariant()}});
    grid.setPictureText(0, kFamily);
    EXPECT_EQ(shownToolTip(grid.index(0, 1).data(Qt::ToolTipRole).toString()), kFamily);
    EXPECT_EQ(grid.index(0, 1).data(Qt::AccessibleTextRole).toString(), kFamily);
}
