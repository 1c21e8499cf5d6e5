#pragma once

#include <QString>

namespace fl {

// The one place that decides where the user's data lives: the database bird.mdb and the
// folders Images, Songs, CD and Backups beside it.
//
//   1. --data FOLDER on the command line: that folder.
//   2. The program's own folder, when it can be written and holds bird.mdb (a build, or a
//      copy of the program kept together with its data, as on a memory stick).
//   3. Otherwise the user's own data folder: $XDG_DATA_HOME/featherlog, by default
//      ~/.local/share/featherlog.
//
// A chosen or per-user folder is made ready on first use: created, started with a copy of
// the sample database that comes with the program, and given its four folders.

enum class DataFolderKind {
    BesideProgram,
    Chosen,
    PerUser,
};

// What the choice rests on, read from the running program and its environment.
struct DataFolderFacts {
    QString programFolder;
    bool programFolderWritable = false;
    bool programFolderHasDatabase = false;
    QString dataOption;    // the folder given with --data, as given; empty when none
    QString workingFolder; // a relative --data folder is taken from here
    QString xdgDataHome;   // $XDG_DATA_HOME, empty when not set
    QString home;          // $HOME, empty when not set
};

struct DataFolder {
    DataFolderKind kind = DataFolderKind::BesideProgram;
    QString folder;  // absolute; empty when no folder can be named
    QString problem; // why not, for the user
};

// The decision itself, from the facts alone.
DataFolder chooseDataFolder(const DataFolderFacts& facts);

// Reads the facts: whether `programFolder` can be written and holds bird.mdb, the working
// folder, $XDG_DATA_HOME and $HOME.
DataFolderFacts readDataFolderFacts(const QString& programFolder, const QString& dataOption);

// The folder of the read-only files that come with the program (the report definitions and
// the sample database): "../share/featherlog" from the program's folder when there is one
// (an installed program), otherwise the program's folder itself (a build or portable copy).
QString shareFolderFor(const QString& programFolder);

// The sample database that starts a new data folder.
QString sampleDatabase(const QString& shareFolder);

// Makes a chosen or per-user data folder ready: creates it, copies the sample database
// into it when it holds no bird.mdb (a file of the user's is never replaced), and creates
// the Images, Songs, CD and Backups folders that are missing (in any letter case). The
// program's own folder is used as it is. Returns an empty text, or what went wrong.
QString prepareDataFolder(const DataFolder& data, const QString& shareFolder);

// Both folders of a run, decided and made ready.
struct RunFolders {
    QString data;
    QString share;
    QString problem; // empty when the program can go on
};
RunFolders settleRunFolders(const QString& programFolder, const QString& dataOption);

} // namespace fl
