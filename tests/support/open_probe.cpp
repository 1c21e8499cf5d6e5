// Tries to open a bird database the way the program does; exit 0 when it opened, 1 when
// not (with the message on standard output). Used by tests to open from another process.
//   open_probe FILE          prints "opened"
//   open_probe FILE SQL      runs SQL and prints the first value of its first row
// The file is keyed as the tests key theirs (KeyCost.h); with --program first, as the
// program keys its own (for the files of the installed program).
#include "TestProcess.h"
#include "schema/Schema.h"
#include "db/Database.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "--program") == 0) ++first;
    else fl::test::useTestKeyCost();
    if (argc < first + 1) return 2;
    try {
        auto db = fl::db::Database::open(QString::fromLocal8Bit(argv[first]), true, false,
                                         QString::fromLatin1(fl::kConnectString));
        if (argc > first + 1)
            std::printf("%s\n", qUtf8Printable(db->scalar(QString::fromLocal8Bit(argv[first + 1])).toString()));
        else std::printf("opened\n");
        return 0;
    } catch (const fl::db::DbError& e) {
        std::printf("%s\n", qPrintable(e.message()));
        return 1;
    }
}
