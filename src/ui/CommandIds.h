#pragma once

#include <QString>
#include <optional>
#include <string_view>

namespace fl {

// The id of a command: the name of its menu item ("mnuSearchRegion"), or of the bird page's
// icon for the two commands without one. The menu tables, the subsystems that handle the
// commands and the tests all use the constants below, so that a misspelt id does not compile;
// the command registry refuses any other id.
class CommandId {
public:
    constexpr CommandId() = default; // no command
    explicit constexpr CommandId(std::string_view name) : m_name(name) {}
    QString name() const { return QString::fromLatin1(m_name.data(), qsizetype(m_name.size())); }
    constexpr std::string_view view() const { return m_name; }
    friend constexpr bool operator==(CommandId a, CommandId b) { return a.m_name == b.m_name; }

private:
    std::string_view m_name;
};

namespace cmd {

// File menu
inline constexpr CommandId mnuFileSong{"mnuFileSong"};
inline constexpr CommandId mnuFileSongDelete{"mnuFileSongDelete"};
inline constexpr CommandId mnuFilePlay{"mnuFilePlay"};
inline constexpr CommandId mnuFilePlayCD{"mnuFilePlayCD"};
inline constexpr CommandId mnuFileImage{"mnuFileImage"};
inline constexpr CommandId mnuFileImageDelete{"mnuFileImageDelete"};
inline constexpr CommandId mnuFileEditTitle{"mnuFileEditTitle"};
inline constexpr CommandId mnuFileSighting{"mnuFileSighting"};
inline constexpr CommandId mnuFileOuting{"mnuFileOuting"};
inline constexpr CommandId mnuFileWeb{"mnuFileWeb"};
inline constexpr CommandId mnuFileImport{"mnuFileImport"};
inline constexpr CommandId mnuFileExport{"mnuFileExport"};
inline constexpr CommandId mnuFileBackup{"mnuFileBackup"};
inline constexpr CommandId mnuFileRestore{"mnuFileRestore"};
inline constexpr CommandId mnuFileTaxonomy{"mnuFileTaxonomy"};
inline constexpr CommandId mnuquit{"mnuquit"};
// View menu
inline constexpr CommandId mnuViewFirst{"mnuViewFirst"};
inline constexpr CommandId mnuViewPrevious{"mnuViewPrevious"};
inline constexpr CommandId mnuViewNext{"mnuViewNext"};
inline constexpr CommandId mnuViewLast{"mnuViewLast"};
inline constexpr CommandId mnuViewDetails{"mnuViewDetails"};
inline constexpr CommandId mnuViewLinks{"mnuViewLinks"};
inline constexpr CommandId mnuEditList{"mnuEditList"};
inline constexpr CommandId mnuViewOptions{"mnuViewOptions"};
inline constexpr CommandId mnuViewLog{"mnuViewLog"};
inline constexpr CommandId mnuViewLists{"mnuViewLists"};
// Searches menu
inline constexpr CommandId mnuSearchRegion{"mnuSearchRegion"};
inline constexpr CommandId mnuSortName{"mnuSortName"};
inline constexpr CommandId mnuSortList{"mnuSortList"};
inline constexpr CommandId mnuSearchBird{"mnuSearchBird"};
inline constexpr CommandId mnuSearchSongs{"mnuSearchSongs"};
inline constexpr CommandId mnuSearchCD{"mnuSearchCD"};
inline constexpr CommandId mnuSearchName{"mnuSearchName"};
inline constexpr CommandId mnuSearchClass{"mnuSearchClass"};
inline constexpr CommandId mnuSearchWizard{"mnuSearchWizard"};
inline constexpr CommandId mnuSearchLife{"mnuSearchLife"};
inline constexpr CommandId mnuMissingAll{"mnuMissingAll"};
inline constexpr CommandId mnuMissingRare{"mnuMissingRare"};
// Reports menu
inline constexpr CommandId mnuReportChecklist{"mnuReportChecklist"};
inline constexpr CommandId mnuReportLife{"mnuReportLife"};
inline constexpr CommandId mnuReportSeen{"mnuReportSeen"};
inline constexpr CommandId mnuReportYear{"mnuReportYear"};
// Help menu
inline constexpr CommandId mnuHelpContents{"mnuHelpContents"};
inline constexpr CommandId mnuHelpHelponhelp{"mnuHelpHelponhelp"};
inline constexpr CommandId mnuHelpCredits{"mnuHelpCredits"};
inline constexpr CommandId mnuHelpAbout{"mnuHelpAbout"};
// The bird page's clickable icons, without a menu item.
inline constexpr CommandId imgLinks{"imgLinks"};   // the species' web links
inline constexpr CommandId imgStatus{"imgStatus"}; // the seasonal status detail

// Every command of the program.
inline constexpr CommandId kAll[] = {
    mnuFileSong,     mnuFileSongDelete, mnuFilePlay,     mnuFilePlayCD,     mnuFileImage,      mnuFileImageDelete,
    mnuFileEditTitle, mnuFileSighting,  mnuFileOuting,   mnuFileWeb,      mnuFileImport,     mnuFileExport,     mnuFileBackup,
    mnuFileRestore,  mnuFileTaxonomy,   mnuquit,           mnuViewFirst,    mnuViewPrevious,   mnuViewNext,       mnuViewLast,
    mnuViewDetails,  mnuViewLinks,      mnuEditList,     mnuViewOptions,    mnuViewLog,        mnuViewLists,    mnuSearchRegion,
    mnuSortName,     mnuSortList,       mnuSearchBird,   mnuSearchSongs,    mnuSearchCD,       mnuSearchName,
    mnuSearchClass,  mnuSearchWizard,   mnuSearchLife,   mnuMissingAll,     mnuMissingRare,    mnuReportChecklist,
    mnuReportLife,   mnuReportSeen,     mnuReportYear,   mnuHelpContents,   mnuHelpHelponhelp, mnuHelpCredits,  mnuHelpAbout,      imgLinks,
    imgStatus,
};

// The commands that are shown but never run: they have no handler and stay disabled.
// "Add Web Page Link" in the File menu: links are added from the web link window.
inline constexpr CommandId kDisabledOnPurpose[] = {mnuFileWeb};

// The command of that name, if there is one.
inline std::optional<CommandId> byName(const QString& name)
{
    for (CommandId id : kAll)
        if (id.name() == name) return id;
    return std::nullopt;
}

} // namespace cmd

} // namespace fl
