// Builds the encrypted bird database from the CSV files of a data folder.
//
//   makedb --data DIR --out FILE [--force]

#include "records/DataImport.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString data = QStringLiteral("data");
    QString out = QStringLiteral("bird.mdb");
    bool force = false;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == u"--data" && i + 1 < args.size()) data = args[++i];
        else if (args[i] == u"--out" && i + 1 < args.size()) out = args[++i];
        else if (args[i] == u"--force") force = true;
        else {
            std::fprintf(stderr, "usage: makedb [--data DIR] [--out FILE] [--force]\n");
            return 2;
        }
    }
    try {
        const int rows = fl::buildDatabase(data, out, force);
        std::printf("%s: %d rows\n", qPrintable(out), rows);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "makedb: %s\n", e.what());
        return 1;
    }
}
