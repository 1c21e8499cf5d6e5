#include "ErrorText.h"

#include <sqlcipher/sqlite3.h>

namespace fl::db {

bool isDamage(const DbError& e)
{
    const int primary = e.code() & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

QString plainDatabaseError(const DbError& e)
{
    if (isDamage(e))
        return QStringLiteral(
            "The database is damaged, so this could not be done. Your records up to your last backup are safe: "
            "choose File > Restore From Backup... and take the newest backup in the Backups folder (the damaged "
            "database is kept there as well).");
    switch (e.code() & 0xFF) {
    case SQLITE_FULL:
        return QStringLiteral("The disk is full, so the change could not be stored; nothing was changed. "
                              "Make room on the disk, then try again.");
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
        return QStringLiteral("The database or its folder cannot be written, so the change could not be stored; "
                              "nothing was changed. Featherlog needs a data folder it may write to.");
    case SQLITE_IOERR:
        return QStringLiteral("The database file could not be read or written (the disk or its connection failed); "
                              "nothing was changed. Check the disk, then try again.");
    default: return {};
    }
}

} // namespace fl::db
