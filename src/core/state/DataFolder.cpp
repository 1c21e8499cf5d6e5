#include "state/DataFolder.h"

#include "schema/Schema.h"
#include "state/AppFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <filesystem>
#include <system_error>

namespace fl {

namespace {

const QString kDatabase = QString::fromLatin1(kDatabaseFile);
const QString kAnotherFolder = QStringLiteral("Start Featherlog with --data FOLDER to keep your data in another folder.");

std::filesystem::path fsPath(const QString& path) { return std::filesystem::path(QFile::encodeName(path).toStdString()); }

QString reason(const std::error_code& ec) { return QString::fromLocal8Bit(ec.message().c_str()); }

// Creates `folder` with its parents; an empty text or why not.
QString makeFolder(const QString& folder)
{
    std::error_code ec;
    std::filesystem::create_directories(fsPath(folder), ec);
    if (!ec && QFileInfo(folder).isDir()) return {};
    return ec ? reason(ec) : QStringLiteral("a file of that name is in the way");
}

// Copies the sample database into `folder` as bird.mdb: written under another name first and
// then renamed, so that an interrupted first start never leaves half a database behind.
QString copySample(const QString& sample, const QString& folder)
{
    const QString target = joinPath(folder, kDatabase);
    const QString partial = target + QStringLiteral(".partial");
    QFile::remove(partial);
    QFile source(sample);
    if (!source.copy(partial)) {
        QFile::remove(partial);
        return QStringLiteral("The sample database %1 could not be copied into %2: %3.")
            .arg(sample, folder, source.errorString());
    }
    // The copy is the user's own file, whatever the permissions of the shipped one.
    QFile::setPermissions(partial, QFile::permissions(partial) | QFile::ReadOwner | QFile::WriteOwner);
    std::error_code ec;
    std::filesystem::rename(fsPath(partial), fsPath(target), ec);
    if (ec) {
        QFile::remove(partial);
        return QStringLiteral("The sample database could not be put in place as %1: %2.").arg(target, reason(ec));
    }
    return {};
}

} // namespace

DataFolder chooseDataFolder(const DataFolderFacts& facts)
{
    if (!facts.dataOption.isEmpty()) {
        const QString base = facts.workingFolder.isEmpty() ? QDir::rootPath() : facts.workingFolder;
        return {DataFolderKind::Chosen, QDir::cleanPath(QDir(base).absoluteFilePath(facts.dataOption)), {}};
    }
    if (facts.programFolderWritable && facts.programFolderHasDatabase)
        return {DataFolderKind::BesideProgram, QDir::cleanPath(facts.programFolder), {}};
    // A relative $XDG_DATA_HOME is not valid and counts as unset.
    if (!facts.xdgDataHome.isEmpty() && QDir::isAbsolutePath(facts.xdgDataHome))
        return {DataFolderKind::PerUser, QDir::cleanPath(facts.xdgDataHome + QStringLiteral("/featherlog")), {}};
    if (!facts.home.isEmpty() && QDir::isAbsolutePath(facts.home))
        return {DataFolderKind::PerUser, QDir::cleanPath(facts.home + QStringLiteral("/.local/share/featherlog")), {}};
    return {DataFolderKind::PerUser, {},
            QStringLiteral("Featherlog cannot tell where your home folder is (HOME is not set), so it has no folder "
                           "for your data.\n\n") + kAnotherFolder};
}

DataFolderFacts readDataFolderFacts(const QString& programFolder, const QString& dataOption)
{
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    DataFolderFacts facts;
    facts.programFolder = programFolder;
    facts.programFolderWritable = QFileInfo(programFolder).isWritable();
    facts.programFolderHasDatabase = QFileInfo(joinPath(programFolder, kDatabase)).isFile();
    facts.dataOption = dataOption;
    facts.workingFolder = QDir::currentPath();
    facts.xdgDataHome = env.value(QStringLiteral("XDG_DATA_HOME"));
    facts.home = env.value(QStringLiteral("HOME"));
    return facts;
}

QString shareFolderFor(const QString& programFolder)
{
    const QString installed = QDir::cleanPath(programFolder + QStringLiteral("/../share/featherlog"));
    return QFileInfo(installed).isDir() ? installed : QDir::cleanPath(programFolder);
}

QString sampleDatabase(const QString& shareFolder) { return joinPath(shareFolder, kDatabase); }

QString prepareDataFolder(const DataFolder& data, const QString& shareFolder)
{
    if (!data.problem.isEmpty()) return data.problem;
    if (data.kind == DataFolderKind::BesideProgram) return {};
    if (const QString why = makeFolder(data.folder); !why.isEmpty())
        return QStringLiteral("Featherlog cannot create its data folder %1: %2.\n\n").arg(data.folder, why) + kAnotherFolder;
    const QString database = joinPath(data.folder, kDatabase);
    if (!QFileInfo::exists(database)) {
        const QString sample = sampleDatabase(shareFolder);
        if (!QFileInfo(sample).isFile())
            return QStringLiteral("%1 holds no %2, and there is no sample database (%3) to start it with.")
                .arg(data.folder, kDatabase, sample);
        if (const QString why = copySample(sample, data.folder); !why.isEmpty()) return why;
    }
    for (const char* name : {"Images", "Songs", "CD", "Backups"}) {
        const QString sub = resolvePath(data.folder, QString::fromLatin1(name));
        if (QFileInfo(sub).isDir()) continue;
        if (const QString why = makeFolder(sub); !why.isEmpty())
            return QStringLiteral("Featherlog cannot create the folder %1: %2.").arg(sub, why);
    }
    return {};
}

RunFolders settleRunFolders(const QString& programFolder, const QString& dataOption)
{
    const DataFolder data = chooseDataFolder(readDataFolderFacts(programFolder, dataOption));
    RunFolders run;
    run.data = data.folder;
    run.share = shareFolderFor(programFolder);
    run.problem = prepareDataFolder(data, run.share);
    return run;
}

} // namespace fl
