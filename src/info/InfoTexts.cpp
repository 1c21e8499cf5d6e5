#include "InfoTexts.h"

#include <QDir>

#ifndef FEATHERLOG_VERSION
#error "FEATHERLOG_VERSION must be defined by the build"
#endif

namespace fl::info {

QString productName() { return QStringLiteral("Featherlog"); }

QString version() { return QStringLiteral(FEATHERLOG_VERSION); }

QString versionLine() { return QStringLiteral("Version ") + version(); }

QString copyrightLine() { return QStringLiteral("Copyright \u00A9 The Featherlog developers"); }

QString licenceNotice()
{
    return QStringLiteral(
        "Featherlog is free software under the MIT License: you may use, copy, change and pass it on, "
        "provided the copyright and licence notice go with it. It comes without any warranty. "
        "The full text is in the file LICENSE of the program's sources; an installed program has it in "
        "/usr/share/doc/featherlog/copyright.");
}

QString contactLine()
{
    return QStringLiteral(
        "Questions, problems and ideas: open an issue in the Featherlog source repository, where the "
        "program is developed.");
}

QString dataFolderLine(const QString& folder)
{
    return QStringLiteral("Your data (the database bird.mdb with your sightings and checklists, and the folders "
                          "Images, Songs, CD and Backups) is kept in\n%1").arg(QDir::toNativeSeparators(folder));
}

QString creditsThanks()
{
    return QStringLiteral(
        "Our thanks go to everyone who tried Featherlog, reported problems and suggested improvements, "
        "and to the ornithologists and bird-watchers whose published checklists and field work make "
        "any field guide possible.");
}

QString creditsTaxonomy()
{
    return QStringLiteral(
        "Common and scientific names and species codes follow the eBird/Clements Checklist of Birds of "
        "the World, v2025 (Cornell Lab of Ornithology); the four-letter codes are the alpha codes of the "
        "Institute for Bird Populations (2025). The sequence of the species follows the American "
        "Ornithological Society's Check-list of North American Birds, 7th edition, through its 65th "
        "Supplement (2024).");
}

QString creditsTexts()
{
    return QStringLiteral(
        "The species descriptions, the notes on orders, families and subfamilies and the silhouette "
        "pictures are the Featherlog developers' own work, written as sample content for the program.");
}

QString creditsCodes()
{
    return QStringLiteral(
        "The regional checklists with their status and abundance codes are also our own sample work. "
        "They are a starting point for your own checklists, not an authority on where birds occur.");
}

QString creditsMedia()
{
    return QStringLiteral(
        "No bird pictures or recorded songs come with Featherlog: the pictures and songs you see and "
        "hear are the files you link yourself, and the CD songs play from your own copy of the disc.");
}

} // namespace fl::info
