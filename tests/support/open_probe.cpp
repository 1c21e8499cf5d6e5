// Tries to open a bird database the way the program does; exit 0 when it opened, 1 when
// not (with the message on standard output). Used by tests to open from another process.
//   open_probe FILE          prints "opened"
//   open_probe FILE SQL      runs SQL and prints the first value of its first row
#include "schema/Schema.h"
#include "db/Database.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) return 2;
    try {
        auto db = fl::db::Database::open(QString::fromLocal8Bit(argv[1]), true, false,
                                         QString::fromLatin1(fl::kConnectString));
        if (argc > 2) std::printf("%s\n", qUtf8Printable(db->scalar(QString::fromLocal8Bit(argv[2])).toString()));
        else std::printf("opened\n");
        return 0;
    } catch (const fl::db::DbError& e) {
        std::printf("%s\n", qPrintable(e.message()));
        return 1;
    }
}
