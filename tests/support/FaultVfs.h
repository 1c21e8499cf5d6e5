#pragma once

#include <QString>
#include <memory>

namespace fl::db { class Database; }

namespace fl::test {

// A file system layer for the database engine that passes everything on to the default one,
// but makes a chosen write or sync fail, to see what a failing disk leaves behind.
//
// Counting starts at arm(): the n-th write (or sync) of any file the engine opens through
// this layer (the database, its journal) reports an I/O error. With `sticky` every later
// write and sync fails as well, as on a full or vanished disk; otherwise only that one.
class FaultVfs {
public:
    enum class Kind { Write, Sync };

    // The name under which the layer is registered (it never becomes the default).
    static QString name();

    static void arm(Kind kind, int n, bool sticky = false);
    static void disarm();
    // Whether the armed fault has happened since arm().
    static bool fired();
    // Writes and syncs seen since arm() (or since the start).
    static int writes();
    static int syncs();
};

// Opens a bird database the way the program does, but through the faulty layer.
std::unique_ptr<db::Database> openFaulty(const QString& path);

} // namespace fl::test
