#include "MainMenus.h"

namespace fl::menus {

namespace {

constexpr Line command(CommandId id, const char* caption, const char* shortcut = "")
{
    return {Line::Command, id, nullptr, caption, shortcut};
}
constexpr Line separator(const char* name) { return {Line::Separator, CommandId{}, name, nullptr, nullptr}; }
constexpr Line submenu(const char* name, const char* caption) { return {Line::Submenu, CommandId{}, name, caption, nullptr}; }
constexpr Line endSubmenu() { return {Line::EndSubmenu, CommandId{}, nullptr, nullptr, nullptr}; }

using namespace cmd;

constexpr Line kFile[] = {
    command(mnuFileSong, "Add &New Song"),
    command(mnuFileSongDelete, "Remove &Current Song"),
    command(mnuFilePlay, "&Play Song", "F4"),
    command(mnuFilePlayCD, "Play CD &Song"),
    separator("mnuFileSep1"),
    command(mnuFileImage, "Add New &Image", "Ctrl+I"),
    command(mnuFileImageDelete, "&Remove Current Image"),
    command(mnuFileEditTitle, "E&dit Image Title"),
    separator("mnuFileSep2"),
    command(mnuFileSighting, "&Enter Sighting Details", "Ctrl+E"),
    command(mnuFileOuting, "New &Outing...", "Ctrl+Shift+E"),
    command(mnuFileWeb, "Add Web Page &Link", "Ctrl+L"),
    // Records: eBird import and export, backup and restore, taxonomy updates. Their Alt
    // letters are the ones the items above leave free.
    separator("mnuFileSep4"),
    command(mnuFileImport, "I&mport eBird Data..."),
    command(mnuFileExport, "Export Si&ghtings..."),
    command(mnuFileBackup, "&Back Up Database..."),
    command(mnuFileRestore, "Restore &From Backup..."),
    command(mnuFileTaxonomy, "Update &Taxonomy..."),
    // Exit stays last.
    separator("mnuFileSep3"),
    command(mnuquit, "E&xit", "Ctrl+Q"),
};

constexpr Line kView[] = {
    command(mnuViewFirst, "&First bird", "F5"),
    command(mnuViewPrevious, "&Previous Bird", "F6"),
    command(mnuViewNext, "&Next Bird", "F7"),
    command(mnuViewLast, "&Last Bird", "F8"),
    separator("mnuViewSep1"),
    command(mnuViewDetails, "&Sighting Details", "Ctrl+S"),
    command(mnuViewLinks, "&Web Page Links"),
    separator("mnuViewSep2"),
    command(mnuEditList, "&Region Checklists", "Ctrl+H"),
    command(mnuViewOptions, "&Options"),
    // Records: the sightings log and the user's lists.
    separator("mnuViewSep3"),
    command(mnuViewLog, "Si&ghtings Log", "Ctrl+G"),
    command(mnuViewLists, "&My Lists", "Ctrl+M"),
};

constexpr Line kSearch[] = {
    command(mnuSearchRegion, "Search &Region", "Ctrl+R"),
    submenu("mnuSearchSort", "Sort &Options"),
    command(mnuSortName, "By &Name"),
    command(mnuSortList, "By &Checklist Order"),
    endSubmenu(),
    separator("mnuSearchSep1"),
    command(mnuSearchBird, "Find All &Birds", "Ctrl+B"),
    command(mnuSearchSongs, "Find All &Songs"),
    command(mnuSearchCD, "Find All &CD Songs"),
    separator("mnuSearchSep2"),
    command(mnuSearchName, "Search By &Name", "Ctrl+N"),
    command(mnuSearchClass, "Search By Classi&fication", "Ctrl+F"),
    command(mnuSearchWizard, "Search &Wizard", "Ctrl+W"),
    separator("mnuSearchSep3"),
    command(mnuSearchLife, "Show &All Sightings"),
    submenu("mnuSearchMissing", "S&how Missing Sightings"),
    command(mnuMissingAll, "&All Missing"),
    command(mnuMissingRare, "&Exclude Rarities"),
    endSubmenu(),
};

constexpr Line kReports[] = {
    command(mnuReportChecklist, "&Checklist Report"),
    command(mnuReportLife, "&Life List Report"),
    command(mnuReportSeen, "&Seen Species Report"),
    command(mnuReportYear, "&Year List Report..."),
};

constexpr Line kHelp[] = {
    command(mnuHelpContents, "&Help Contents"),
    command(mnuHelpHelponhelp, "Help &on Help"),
    separator("mnuHelpSep1"),
    command(mnuHelpCredits, "&Credits"),
    separator("mnuHelpSep2"),
    command(mnuHelpAbout, "&About Featherlog"),
};

constexpr Menu kMenus[] = {
    {"mnuFile", "&File", kFile},          {"mnuView", "&View", kView},   {"mnuSearch", "&Searches", kSearch},
    {"mnuReports", "&Reports", kReports}, {"mnuHelp", "&Help", kHelp},
};

constexpr CommandId kStartDisabled[] = {mnuFileSong,   mnuFileSongDelete, mnuFilePlay,
                                        mnuFilePlayCD, mnuViewDetails,    mnuFileWeb};

constexpr ToolButton kToolbar[] = {
    {"Back", "Previous Bird", mnuViewPrevious, 1},
    {"Next", "Next Bird", mnuViewNext, 2},
    {"Region", "Search Region", mnuSearchRegion, 3},
    {"All", "Find All Birds", mnuSearchBird, 4},
    {"Name", "Search By Name", mnuSearchName, 7},
    {"Class", "Search By Classification", mnuSearchClass, 5},
    {"Wizard", "Search Wizard", mnuSearchWizard, 8},
    {"Add", "Add New Sighting", mnuFileSighting, 9},
    {"View", "Sighting Info", mnuViewDetails, 10},
    {"Play", "Play Song", mnuFilePlay, 11},
    {"CDSong", "Play CD Song", mnuFilePlayCD, 12},
    {"Links", "Web Links", mnuViewLinks, 6},
};

} // namespace

std::span<const Menu> menuBar() { return kMenus; }
std::span<const CommandId> startDisabled() { return kStartDisabled; }
std::span<const ToolButton> toolbar() { return kToolbar; }

} // namespace fl::menus
