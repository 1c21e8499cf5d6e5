#include "state/CommandLine.h"

#include <gtest/gtest.h>

using namespace fl;
using Action = CommandLine::Action;

namespace {

struct LineCase {
    const char* name;
    QStringList arguments;
    Action action;
    const char* folder;
    const char* error;
};

const LineCase kLines[] = {
    {"Nothing", {}, Action::Run, "", ""},
    {"DataFolder", {"--data", "/media/STICK/birds"}, Action::Run, "/media/STICK/birds", ""},
    {"DataFolderWithEquals", {"--data=/srv/birds"}, Action::Run, "/srv/birds", ""},
    {"DataFolderWithBlanks", {"--data", "second collection"}, Action::Run, "second collection", ""},
    {"SameFolderTwice", {"--data", "a", "--data=a"}, Action::Run, "a", ""},
    {"DataWithoutFolder", {"--data"}, Action::Error, "", "--data needs a folder."},
    {"DataWithEmptyFolder", {"--data="}, Action::Error, "", "--data needs a folder."},
    {"DataFollowedByAnOption", {"--data", "-V2"}, Action::Error, "", "--data needs a folder."},
    {"TwoFolders", {"--data", "a", "--data", "b"}, Action::Error, "a", "--data is given twice."},
    {"UnknownOption", {"--colour"}, Action::Error, "", "Unknown option --colour."},
    {"FirstOfTwoErrors", {"-x", "birds.csv"}, Action::Error, "", "Unknown option -x."},
    {"FileArgument", {"birds.csv"}, Action::Error, "", "Unexpected argument birds.csv."},
    {"Help", {"--help"}, Action::Help, "", ""},
    {"ShortHelp", {"-h"}, Action::Help, "", ""},
    {"Version", {"--version"}, Action::Version, "", ""},
    {"ShortVersion", {"-V"}, Action::Version, "", ""},
    {"HelpWinsOverVersion", {"--version", "--help"}, Action::Help, "", ""},
    {"HelpWinsOverErrors", {"--colour", "--help"}, Action::Help, "", ""},
    {"VersionBesideToolkitOptions", {"-platform", "offscreen", "--version"}, Action::Version, "", ""},
    {"HelpAfterDataWithoutFolder", {"--data", "--help"}, Action::Help, "", ""},
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class CommandLineCases : public ::testing::TestWithParam<LineCase> {};

} // namespace

TEST_P(CommandLineCases, AreReadAsMeant)
{
    const LineCase& c = GetParam();
    const CommandLine line = parseCommandLine(c.arguments);
    EXPECT_EQ(line.action, c.action);
    EXPECT_EQ(line.dataFolder, QString::fromUtf8(c.folder));
    EXPECT_EQ(line.error, QString::fromUtf8(c.error));
}

INSTANTIATE_TEST_SUITE_P(Lines, CommandLineCases, ::testing::ValuesIn(kLines),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(CommandLineHelp, NamesEveryOptionAndWhereTheDataIs)
{
    const QString help = commandLineHelp();
    EXPECT_TRUE(help.startsWith("Usage: featherlog [--data FOLDER]\n"));
    for (const char* text : {"--data FOLDER", "-h, --help", "-V, --version", "$XDG_DATA_HOME/featherlog",
                             "~/.local/share/featherlog", "beside the program"})
        EXPECT_TRUE(help.contains(QLatin1String(text))) << text;
    for (const QString& line : help.split(u'\n')) EXPECT_LE(line.size(), 80) << qPrintable(line);
}
