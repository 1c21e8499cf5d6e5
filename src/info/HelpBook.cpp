#include "HelpBook.h"

#include "ui/CommandIds.h"

#include <QFile>
#include <QHash>
#include <initializer_list>
#include <QRegularExpression>
#include <QTextDocumentFragment>

// The manual is compiled into the windows library; a static library has to register its
// resources itself.
static void initHelpResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    (void)done;
}

namespace fl::help {

const QList<Page>& pages()
{
    static const QList<Page> list = {
        {kContents, QStringLiteral("Contents")},
        {QStringLiteral("gettingstarted.html"), QStringLiteral("Getting started")},
        {QStringLiteral("browsing.html"), QStringLiteral("Browsing the birds")},
        {QStringLiteral("pictures.html"), QStringLiteral("Pictures")},
        {QStringLiteral("region.html"), QStringLiteral("Choosing a checklist region")},
        {QStringLiteral("searches.html"), QStringLiteral("Finding birds: list searches and sorting")},
        {QStringLiteral("findname.html"), QStringLiteral("Search by name")},
        {QStringLiteral("classification.html"), QStringLiteral("Search by classification")},
        {QStringLiteral("wizard.html"), QStringLiteral("The search wizard")},
        {QStringLiteral("sightings.html"), QStringLiteral("Sightings and the life list")},
        {QStringLiteral("outings.html"), QStringLiteral("Outings")},
        {QStringLiteral("sightingslog.html"), QStringLiteral("The sightings log")},
        {QStringLiteral("lists.html"), QStringLiteral("My lists, targets and seasonal charts")},
        {QStringLiteral("ebird.html"), QStringLiteral("Importing and exporting eBird data")},
        {QStringLiteral("taxonomy.html"), QStringLiteral("Names, codes and taxonomy updates")},
        {QStringLiteral("checklists.html"), QStringLiteral("Region checklists")},
        {QStringLiteral("codes.html"), QStringLiteral("Status and abundance codes")},
        {QStringLiteral("songs.html"), QStringLiteral("Songs and the song CD")},
        {QStringLiteral("weblinks.html"), QStringLiteral("Web links")},
        {QStringLiteral("reports.html"), QStringLiteral("Printing reports")},
        {QStringLiteral("options.html"), QStringLiteral("Options")},
        {QStringLiteral("datafolder.html"), QStringLiteral("Where your data is kept")},
        {QStringLiteral("database.html"), QStringLiteral("The database file and its backup")},
        {QStringLiteral("keyboard.html"), QStringLiteral("Keyboard shortcuts")},
        {kUsingHelp, QStringLiteral("Using the help window")},
    };
    return list;
}

QString titleOf(const QString& file)
{
    for (const Page& p : pages())
        if (p.file == file) return p.title;
    return {};
}

QUrl urlOf(const QString& file) { return QUrl(QStringLiteral("qrc:/help/") + file); }

QString html(const QString& file)
{
    initHelpResources();
    if (file.isEmpty() || file.contains(u'/')) return {};
    QFile f(QStringLiteral(":/help/") + file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

bool exists(const QString& file) { return !html(file).isEmpty(); }

QString plainText(const QString& file)
{
    // Pages are read again and again while searching; they never change during a run.
    static QHash<QString, QString> cache;
    const auto it = cache.constFind(file);
    if (it != cache.constEnd()) return *it;
    const QString text = QTextDocumentFragment::fromHtml(html(file)).toPlainText();
    cache.insert(file, text);
    return text;
}

QStringList links(const QString& file)
{
    static const QRegularExpression href(QStringLiteral(R"(href\s*=\s*"([^"]*)\")"),
                                         QRegularExpression::CaseInsensitiveOption);
    QStringList found;
    const QString text = html(file);
    for (auto m = href.globalMatch(text); m.hasNext();) found << m.next().captured(1);
    return found;
}

QStringList search(const QString& words)
{
    QList<QRegularExpression> wanted;
    for (const QString& w : words.split(QRegularExpression(QStringLiteral("\\W+")), Qt::SkipEmptyParts))
        wanted << QRegularExpression(QStringLiteral("\\b") + QRegularExpression::escape(w),
                                     QRegularExpression::CaseInsensitiveOption |
                                         QRegularExpression::UseUnicodePropertiesOption);
    QStringList found;
    if (wanted.isEmpty()) return found;
    for (const Page& p : pages()) {
        const QString text = plainText(p.file);
        bool all = true;
        for (const QRegularExpression& re : wanted) {
            if (!re.match(text).hasMatch()) {
                all = false;
                break;
            }
        }
        if (all) found << p.file;
    }
    return found;
}

QString topicForMenuItem(const QString& name)
{
    static const QHash<QString, QString> byItem = [] {
        QHash<QString, QString> m;
        auto put = [&m](const char* page, std::initializer_list<CommandId> items) {
            for (CommandId item : items) m.insert(item.name(), QString::fromLatin1(page));
        };
        using namespace cmd;
        put("songs.html", {mnuFileSong, mnuFileSongDelete, mnuFilePlay, mnuFilePlayCD, mnuSearchSongs,
                           mnuSearchCD});
        put("pictures.html", {mnuFileImage, mnuFileImageDelete, mnuFileEditTitle});
        put("sightings.html", {mnuFileSighting, mnuViewDetails});
        put("outings.html", {mnuFileOuting});
        put("weblinks.html", {mnuFileWeb, mnuViewLinks, imgLinks});
        put("ebird.html", {mnuFileImport, mnuFileExport});
        put("database.html", {mnuFileBackup, mnuFileRestore});
        put("taxonomy.html", {mnuFileTaxonomy});
        put("browsing.html", {mnuquit, mnuViewFirst, mnuViewPrevious, mnuViewNext, mnuViewLast});
        put("sightingslog.html", {mnuViewLog});
        put("lists.html", {mnuViewLists});
        put("checklists.html", {mnuEditList});
        put("options.html", {mnuViewOptions});
        put("region.html", {mnuSearchRegion});
        put("searches.html", {mnuSortName, mnuSortList, mnuSearchBird, mnuSearchLife, mnuMissingAll,
                              mnuMissingRare});
        put("findname.html", {mnuSearchName});
        put("classification.html", {mnuSearchClass});
        put("wizard.html", {mnuSearchWizard});
        put("reports.html", {mnuReportChecklist, mnuReportLife, mnuReportSeen, mnuReportYear});
        put("usinghelp.html", {mnuHelpContents, mnuHelpHelponhelp, mnuHelpCredits, mnuHelpAbout});
        put("codes.html", {imgStatus});
        return m;
    }();
    return byItem.value(name);
}

QString topicForWindow(const QString& objectName, const QString& runningCommand)
{
    static const QHash<QString, QString> byWindow = {
        {QStringLiteral("frmDisplay"), QStringLiteral("browsing.html")},
        {QStringLiteral("frmZoom"), QStringLiteral("pictures.html")},
        {QStringLiteral("frmRegion"), QStringLiteral("region.html")},
        {QStringLiteral("frmName"), QStringLiteral("findname.html")},
        {QStringLiteral("frmClass"), QStringLiteral("classification.html")},
        {QStringLiteral("frmWizard"), QStringLiteral("wizard.html")},
        {QStringLiteral("frmSight"), QStringLiteral("sightings.html")},
        {QStringLiteral("frmOuting"), QStringLiteral("outings.html")},
        {QStringLiteral("frmStatus"), QStringLiteral("codes.html")},
        {QStringLiteral("frmEditReg"), QStringLiteral("checklists.html")},
        {QStringLiteral("frmChecklist"), QStringLiteral("checklists.html")},
        {QStringLiteral("frmURL"), QStringLiteral("weblinks.html")},
        {QStringLiteral("frmWeblink"), QStringLiteral("weblinks.html")},
        {QStringLiteral("frmOptions"), QStringLiteral("options.html")},
        {QStringLiteral("frmHelp"), kUsingHelp},
        {QStringLiteral("frmSightingsLog"), QStringLiteral("sightingslog.html")},
        {QStringLiteral("frmMyLists"), QStringLiteral("lists.html")},
        {QStringLiteral("frmCustomList"), QStringLiteral("lists.html")},
        {QStringLiteral("frmImportPreview"), QStringLiteral("ebird.html")},
        {QStringLiteral("frmTaxonomyUpdate"), QStringLiteral("taxonomy.html")},
        {QStringLiteral("frmAbout"), kUsingHelp},
        {QStringLiteral("frmCredit"), kUsingHelp},
        {QStringLiteral("frmSplash"), QStringLiteral("gettingstarted.html")},
    };
    if (const auto it = byWindow.constFind(objectName); it != byWindow.constEnd()) return *it;
    const QString ofCommand = topicForMenuItem(runningCommand);
    return ofCommand.isEmpty() ? kContents : ofCommand;
}

QString topicForCommand(int command) { return command == kHelpOnHelp ? kUsingHelp : kContents; }

} // namespace fl::help
