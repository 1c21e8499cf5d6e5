#pragma once

#include <QString>
#include <QStringList>

namespace fl {

// What the user asked for on the command line.
struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    QString dataFolder; // --data FOLDER; empty when not given
    QString error;      // for Action::Error, what is wrong
};

// Reads the arguments after the program's name: --data FOLDER (or --data=FOLDER),
// -h/--help and -V/--version. Help and version win over anything else on the line, so that
// they answer even next to options of the windowing system.
CommandLine parseCommandLine(const QStringList& arguments);

// The text --help prints.
QString commandLineHelp();

} // namespace fl
