#include "state/CommandLine.h"

namespace fl {

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    bool help = false;
    bool version = false;
    QString error;
    auto fail = [&error](const QString& text) {
        if (error.isEmpty()) error = text;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == u"-h" || a == u"--help") {
            help = true;
        } else if (a == u"-V" || a == u"--version") {
            version = true;
        } else if (a == u"--data" || a.startsWith(QStringLiteral("--data="))) {
            QString folder;
            if (a == u"--data") {
                // "--data --help" lacks its folder (a folder named like an option is given
                // as --data=-name or ./-name).
                if (i + 1 >= arguments.size() || arguments[i + 1].startsWith(u'-')) {
                    fail(QStringLiteral("--data needs a folder."));
                    continue;
                }
                folder = arguments[++i];
            } else {
                folder = a.mid(7);
            }
            if (folder.isEmpty()) fail(QStringLiteral("--data needs a folder."));
            else if (!line.dataFolder.isEmpty() && line.dataFolder != folder) fail(QStringLiteral("--data is given twice."));
            else line.dataFolder = folder;
        } else if (a.startsWith(u'-')) {
            fail(QStringLiteral("Unknown option %1.").arg(a));
        } else {
            fail(QStringLiteral("Unexpected argument %1.").arg(a));
        }
    }
    if (help) line.action = CommandLine::Action::Help;
    else if (version) line.action = CommandLine::Action::Version;
    else if (!error.isEmpty()) {
        line.action = CommandLine::Action::Error;
        line.error = error;
    }
    return line;
}

QString commandLineHelp()
{
    return QStringLiteral(
        "Usage: featherlog [--data FOLDER]\n"
        "\n"
        "Featherlog, a field guide and bird-watching log for the birds of North America.\n"
        "\n"
        "Options:\n"
        "  --data FOLDER   keep the data (bird.mdb and the folders Images, Songs, CD and\n"
        "                  Backups) in FOLDER; a folder without bird.mdb is created and\n"
        "                  started with the sample database\n"
        "  -h, --help      show this help and exit\n"
        "  -V, --version   show the version and exit\n"
        "\n"
        "Without --data, the data is kept beside the program when the program's folder\n"
        "can be written and holds bird.mdb, otherwise in $XDG_DATA_HOME/featherlog\n"
        "(~/.local/share/featherlog when XDG_DATA_HOME is not set), which is created and\n"
        "started with the sample database on the first start.\n");
}

} // namespace fl
