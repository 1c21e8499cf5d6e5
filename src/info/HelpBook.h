#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace fl::help {

// The user manual built into the program: HTML pages under qrc:/help.
struct Page {
    QString file;  // "sightings.html"
    QString title; // "Sightings and the life list"
};

// The page names the program asks for.
inline const QString kContents = QStringLiteral("index.html");
inline const QString kUsingHelp = QStringLiteral("usinghelp.html");

// Every page of the manual in contents order, the contents page first.
const QList<Page>& pages();
QString titleOf(const QString& file);
// The page as a URL the help window opens ("qrc:/help/sightings.html").
QUrl urlOf(const QString& file);
// The page's HTML, or an empty text when there is no such page.
QString html(const QString& file);
bool exists(const QString& file);
// The page's text without markup.
QString plainText(const QString& file);
// The targets of a page's links, as written (anchors and queries included).
QStringList links(const QString& file);

// The pages whose text holds every typed word (whole words or their beginnings, ignoring case),
// in contents order.
QStringList search(const QString& words);

// The page that explains a window, found by the window's object name. A window without a page
// of its own (a file chooser, a message, the print preview) gets the page of the command that
// shows it, `runningCommand`; without one, the contents page.
QString topicForWindow(const QString& objectName, const QString& runningCommand = {});
// The page that documents a command of the menus or of the bird page's icons, by its name
// ("mnuFileImage"); empty for a name the manual does not know.
QString topicForMenuItem(const QString& name);

// The help commands of the Help menu: 11 shows the contents, 4 the page on using help.
inline constexpr int kHelpContents = 11;
inline constexpr int kHelpOnHelp = 4;
QString topicForCommand(int command);

} // namespace fl::help
