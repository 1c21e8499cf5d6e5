#include "state/DataFolder.h"

#include "db/Database.h"
#include "schema/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

using namespace fl;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// The facts of a program in /opt/featherlog run by a user whose home is /home/ann.
DataFolderFacts facts()
{
    DataFolderFacts f;
    f.programFolder = QStringLiteral("/opt/featherlog");
    f.workingFolder = QStringLiteral("/home/ann/walks");
    f.xdgDataHome = QStringLiteral("/home/ann/.data");
    f.home = QStringLiteral("/home/ann");
    return f;
}

struct ChoiceCase {
    const char* name;
    void (*change)(DataFolderFacts&);
    DataFolderKind kind;
    const char* folder; // empty: no folder can be named
};

const ChoiceCase kChoiceCases[] = {
    {"WritableProgramFolderWithDatabase",
     [](DataFolderFacts& f) { f.programFolderWritable = f.programFolderHasDatabase = true; },
     DataFolderKind::BesideProgram, "/opt/featherlog"},
    {"ProgramFolderSpelledWithATrailingSlash",
     [](DataFolderFacts& f) {
         f.programFolder = QStringLiteral("/opt/featherlog/./");
         f.programFolderWritable = f.programFolderHasDatabase = true;
     },
     DataFolderKind::BesideProgram, "/opt/featherlog"},
    {"ReadOnlyProgramFolderWithDatabase", [](DataFolderFacts& f) { f.programFolderHasDatabase = true; },
     DataFolderKind::PerUser, "/home/ann/.data/featherlog"},
    {"WritableProgramFolderWithoutDatabase", [](DataFolderFacts& f) { f.programFolderWritable = true; },
     DataFolderKind::PerUser, "/home/ann/.data/featherlog"},
    {"InstalledProgram", [](DataFolderFacts&) {}, DataFolderKind::PerUser, "/home/ann/.data/featherlog"},
    {"XdgDataHomeNotSet", [](DataFolderFacts& f) { f.xdgDataHome.clear(); },
     DataFolderKind::PerUser, "/home/ann/.local/share/featherlog"},
    {"RelativeXdgDataHomeIsIgnored", [](DataFolderFacts& f) { f.xdgDataHome = QStringLiteral("data"); },
     DataFolderKind::PerUser, "/home/ann/.local/share/featherlog"},
    {"XdgDataHomeWithoutHome", [](DataFolderFacts& f) { f.home.clear(); },
     DataFolderKind::PerUser, "/home/ann/.data/featherlog"},
    {"NeitherXdgDataHomeNorHome",
     [](DataFolderFacts& f) {
         f.xdgDataHome.clear();
         f.home.clear();
     },
     DataFolderKind::PerUser, ""},
    {"RelativeHomeIsNoHome",
     [](DataFolderFacts& f) {
         f.xdgDataHome.clear();
         f.home = QStringLiteral("ann");
     },
     DataFolderKind::PerUser, ""},
    {"DataOptionWinsOverTheProgramFolder",
     [](DataFolderFacts& f) {
         f.programFolderWritable = f.programFolderHasDatabase = true;
         f.dataOption = QStringLiteral("/media/ann/STICK/birds");
     },
     DataFolderKind::Chosen, "/media/ann/STICK/birds"},
    {"DataOptionWinsOverThePerUserFolder", [](DataFolderFacts& f) { f.dataOption = QStringLiteral("/srv/birds/"); },
     DataFolderKind::Chosen, "/srv/birds"},
    {"RelativeDataOptionFromTheWorkingFolder",
     [](DataFolderFacts& f) { f.dataOption = QStringLiteral("../second collection"); },
     DataFolderKind::Chosen, "/home/ann/second collection"},
    {"DataOptionWithoutHome",
     [](DataFolderFacts& f) {
         f.xdgDataHome.clear();
         f.home.clear();
         f.dataOption = QStringLiteral("/srv/birds");
     },
     DataFolderKind::Chosen, "/srv/birds"},
};

void PrintTo(const ChoiceCase& c, std::ostream* os) { *os << c.name; }

class DataFolderChoice : public ::testing::TestWithParam<ChoiceCase> {};

} // namespace

TEST_P(DataFolderChoice, FollowsTheRules)
{
    const ChoiceCase& c = GetParam();
    DataFolderFacts f = facts();
    c.change(f);
    const DataFolder chosen = chooseDataFolder(f);
    EXPECT_EQ(chosen.kind, c.kind);
    EXPECT_EQ(chosen.folder, QString::fromUtf8(c.folder));
    if (chosen.folder.isEmpty()) {
        EXPECT_TRUE(chosen.problem.contains("HOME is not set")) << qPrintable(chosen.problem);
        EXPECT_TRUE(chosen.problem.contains("--data FOLDER")) << "says the way out";
    } else {
        EXPECT_TRUE(chosen.problem.isEmpty()) << qPrintable(chosen.problem);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DataFolderChoice, ::testing::ValuesIn(kChoiceCases),
                         [](const auto& param) { return std::string(param.param.name); });

namespace {

// A program unpacked as the package installs it: <root>/usr/bin and <root>/usr/share/featherlog
// with the sample database; a home folder beside it.
struct InstalledLayout {
    QTemporaryDir root;
    QString bin() const { return root.filePath("usr/bin"); }
    QString share() const { return root.filePath("usr/share/featherlog"); }
    QString home() const { return root.filePath("home/ann"); }
    QString sample() const { return share() + "/bird.mdb"; }
    InstalledLayout()
    {
        QDir().mkpath(bin());
        writeFile(sample(), QByteArray("the sample database ") + QByteArray(600, 's'));
        writeFile(share() + "/checklist.rpt", "report");
        QDir().mkpath(home());
    }
    DataFolder perUser(const QString& xdg) const { return {DataFolderKind::PerUser, xdg + "/featherlog", {}}; }
};

} // namespace

TEST(DataFolderPreparation, FirstStartCopiesTheSampleAndMakesTheFourFolders)
{
    InstalledLayout l;
    const QByteArray sample = bytesOf(l.sample());
    QFile::setPermissions(l.sample(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const DataFolder data = l.perUser(l.home() + "/.local/share");
    ASSERT_EQ(prepareDataFolder(data, l.share()), "");
    EXPECT_EQ(bytesOf(data.folder + "/bird.mdb"), sample);
    EXPECT_TRUE(QFileInfo(data.folder + "/bird.mdb").permissions() & QFile::WriteOwner)
        << "the user's copy can be written even though the shipped file cannot";
    EXPECT_EQ(entries(data.folder), (QStringList{"Backups", "CD", "Images", "Songs", "bird.mdb"}))
        << "nothing else, no half-copied file";
    EXPECT_EQ(bytesOf(l.sample()), sample);
    EXPECT_EQ(entries(l.share()), (QStringList{"bird.mdb", "checklist.rpt"})) << "the shipped folder is left alone";
}

TEST(DataFolderPreparation, LaterStartsKeepTheUsersFilesAndFolders)
{
    InstalledLayout l;
    const DataFolder data = l.perUser(l.home() + "/.local/share");
    writeFile(data.folder + "/bird.mdb", "the user's own database");
    writeFile(data.folder + "/images/heron.jpg", "picture");
    QDir().mkpath(data.folder + "/SONGS");
    ASSERT_EQ(prepareDataFolder(data, l.share()), "");
    EXPECT_EQ(bytesOf(data.folder + "/bird.mdb"), "the user's own database");
    EXPECT_EQ(entries(data.folder), (QStringList{"Backups", "CD", "SONGS", "bird.mdb", "images"}))
        << "folders found in another letter case are not made twice";
    EXPECT_EQ(bytesOf(data.folder + "/images/heron.jpg"), "picture");
    // Once more: nothing changes.
    ASSERT_EQ(prepareDataFolder(data, l.share()), "");
    EXPECT_EQ(entries(data.folder), (QStringList{"Backups", "CD", "SONGS", "bird.mdb", "images"}));
}

TEST(DataFolderPreparation, AFolderThatCannotBeMadeIsExplained)
{
    InstalledLayout l;
    writeFile(l.home() + "/.local", "a file where the folder should be");
    const DataFolder data = l.perUser(l.home() + "/.local/share");
    const QString problem = prepareDataFolder(data, l.share());
    EXPECT_TRUE(problem.startsWith("Featherlog cannot create its data folder " + data.folder + ": "))
        << qPrintable(problem);
    EXPECT_TRUE(problem.contains("--data FOLDER")) << qPrintable(problem);
    EXPECT_FALSE(QFileInfo::exists(data.folder));

    // The folder's own name taken by a file.
    writeFile(l.root.filePath("xdg/featherlog"), "file");
    const QString taken = prepareDataFolder(l.perUser(l.root.filePath("xdg")), l.share());
    EXPECT_TRUE(taken.startsWith("Featherlog cannot create its data folder")) << qPrintable(taken);
}

TEST(DataFolderPreparation, WithoutASampleNothingIsMade)
{
    InstalledLayout l;
    QFile::remove(l.sample());
    const DataFolder data = l.perUser(l.home() + "/.local/share");
    const QString problem = prepareDataFolder(data, l.share());
    EXPECT_TRUE(problem.contains(data.folder + " holds no bird.mdb")) << qPrintable(problem);
    EXPECT_TRUE(problem.contains(l.sample())) << qPrintable(problem);
    EXPECT_FALSE(QFileInfo::exists(data.folder + "/bird.mdb"));
}

TEST(DataFolderPreparation, AChoiceWithAProblemMakesNothing)
{
    InstalledLayout l;
    const DataFolder none = chooseDataFolder(DataFolderFacts{});
    EXPECT_EQ(prepareDataFolder(none, l.share()), none.problem);
    EXPECT_FALSE(none.problem.isEmpty());
}

namespace {

// Sets an environment variable for the life of the object (unset when `value` is empty).
class EnvVar {
public:
    EnvVar(const char* name, const QString& value) : m_name(name)
    {
        if (qEnvironmentVariableIsSet(name)) m_old = qgetenv(name);
        if (value.isEmpty()) qunsetenv(name);
        else qputenv(name, value.toLocal8Bit());
    }
    ~EnvVar()
    {
        if (m_old) qputenv(m_name, *m_old);
        else qunsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<QByteArray> m_old;
};

} // namespace

TEST(RunFolders, InstalledProgramUsesTheHomeFolderAndItsShareFolder)
{
    InstalledLayout l;
    EnvVar home("HOME", l.home());
    EnvVar xdg("XDG_DATA_HOME", {});
    const RunFolders run = settleRunFolders(l.bin(), {});
    EXPECT_EQ(run.problem, "");
    EXPECT_EQ(run.data, l.home() + "/.local/share/featherlog");
    EXPECT_EQ(run.share, l.share());
    EXPECT_EQ(bytesOf(run.data + "/bird.mdb"), bytesOf(l.sample()));
    EXPECT_EQ(settleRunFolders(l.bin() + "/", {}).share, l.share()) << "the program's folder with a trailing slash";

    EnvVar xdgSet("XDG_DATA_HOME", l.root.filePath("xdg"));
    EXPECT_EQ(settleRunFolders(l.bin(), {}).data, l.root.filePath("xdg/featherlog"));
    // A program folder that holds a database but is read by the user only is not written to.
    writeFile(l.bin() + "/bird.mdb", "x");
    QFile::setPermissions(l.bin(), QFile::ReadOwner | QFile::ExeOwner);
    if (!QFileInfo(l.bin()).isWritable()) { // as root every folder can be written
        EXPECT_EQ(settleRunFolders(l.bin(), {}).data, l.root.filePath("xdg/featherlog"));
    }
    QFile::setPermissions(l.bin(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(RunFolders, BuildTreeKeepsEverythingBesideTheProgram)
{
    QTemporaryDir build;
    writeFile(build.filePath("bird.mdb"), "the developer's database");
    EnvVar home("HOME", build.filePath("home"));
    const RunFolders run = settleRunFolders(build.path(), {});
    EXPECT_EQ(run.problem, "");
    EXPECT_EQ(run.data, build.path());
    EXPECT_EQ(run.share, build.path());
    EXPECT_FALSE(QFileInfo::exists(build.filePath("home"))) << "no per-user folder is made";
    EXPECT_EQ(entries(build.path()), QStringList{"bird.mdb"}) << "the build tree is used as it is";
}

TEST(RunFolders, DataOptionTakesAFolderRelativeToTheWorkingFolder)
{
    InstalledLayout l;
    EnvVar home("HOME", l.home());
    const QString before = QDir::currentPath();
    QDir::setCurrent(l.home());
    const RunFolders run = settleRunFolders(l.bin(), QStringLiteral("second"));
    QDir::setCurrent(before);
    EXPECT_EQ(run.problem, "");
    EXPECT_EQ(run.data, l.home() + "/second");
    EXPECT_EQ(bytesOf(run.data + "/bird.mdb"), bytesOf(l.sample())) << "started like the per-user folder";
    EXPECT_TRUE(QFileInfo(run.data + "/Backups").isDir());
    EXPECT_FALSE(QFileInfo::exists(l.home() + "/.local")) << "the per-user folder is not made";
}
