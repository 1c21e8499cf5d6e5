#include "FaultVfs.h"

#include "schema/Schema.h"
#include "db/Database.h"

#include <cstring>
#include <sqlcipher/sqlite3.h>
#include <stdexcept>

namespace fl::test {

namespace {

constexpr const char* kVfsName = "featherlog-fault";

struct State {
    FaultVfs::Kind kind = FaultVfs::Kind::Write;
    int failAt = 0; // 0: never
    bool sticky = false;
    bool fired = false;
    int writes = 0;
    int syncs = 0;
} g;

sqlite3_vfs* g_real = nullptr;

// Whether this write or sync should fail.
bool failNow(FaultVfs::Kind kind)
{
    int& count = kind == FaultVfs::Kind::Write ? g.writes : g.syncs;
    ++count;
    if (g.fired && g.sticky) return true;
    if (g.failAt > 0 && kind == g.kind && count == g.failAt) {
        g.fired = true;
        return true;
    }
    return false;
}

struct FaultFile {
    sqlite3_file base;
    sqlite3_file* real; // follows this struct in the same allocation
};

sqlite3_file* real(sqlite3_file* f) { return reinterpret_cast<FaultFile*>(f)->real; }

int xClose(sqlite3_file* f)
{
    sqlite3_file* r = real(f);
    return r->pMethods ? r->pMethods->xClose(r) : SQLITE_OK;
}
int xRead(sqlite3_file* f, void* buf, int amount, sqlite3_int64 offset)
{
    return real(f)->pMethods->xRead(real(f), buf, amount, offset);
}
int xWrite(sqlite3_file* f, const void* buf, int amount, sqlite3_int64 offset)
{
    if (failNow(FaultVfs::Kind::Write)) return SQLITE_IOERR_WRITE;
    return real(f)->pMethods->xWrite(real(f), buf, amount, offset);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    if (g.fired && g.sticky) return SQLITE_IOERR_TRUNCATE;
    return real(f)->pMethods->xTruncate(real(f), size);
}
int xSync(sqlite3_file* f, int flags)
{
    if (failNow(FaultVfs::Kind::Sync)) return SQLITE_IOERR_FSYNC;
    return real(f)->pMethods->xSync(real(f), flags);
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size) { return real(f)->pMethods->xFileSize(real(f), size); }
int xLock(sqlite3_file* f, int level) { return real(f)->pMethods->xLock(real(f), level); }
int xUnlock(sqlite3_file* f, int level) { return real(f)->pMethods->xUnlock(real(f), level); }
int xCheckReservedLock(sqlite3_file* f, int* out) { return real(f)->pMethods->xCheckReservedLock(real(f), out); }
int xFileControl(sqlite3_file* f, int op, void* arg) { return real(f)->pMethods->xFileControl(real(f), op, arg); }
int xSectorSize(sqlite3_file* f) { return real(f)->pMethods->xSectorSize(real(f)); }
int xDeviceCharacteristics(sqlite3_file* f) { return real(f)->pMethods->xDeviceCharacteristics(real(f)); }
int xShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out)
{
    return real(f)->pMethods->xShmMap(real(f), page, size, extend, out);
}
int xShmLock(sqlite3_file* f, int offset, int n, int flags) { return real(f)->pMethods->xShmLock(real(f), offset, n, flags); }
void xShmBarrier(sqlite3_file* f) { real(f)->pMethods->xShmBarrier(real(f)); }
int xShmUnmap(sqlite3_file* f, int deleteFlag) { return real(f)->pMethods->xShmUnmap(real(f), deleteFlag); }
int xFetch(sqlite3_file* f, sqlite3_int64 offset, int amount, void** out)
{
    *out = nullptr; // no memory-mapped reads: every page goes through xRead
    (void)f; (void)offset; (void)amount;
    return SQLITE_OK;
}
int xUnfetch(sqlite3_file* f, sqlite3_int64 offset, void* p)
{
    (void)f; (void)offset; (void)p;
    return SQLITE_OK;
}

const sqlite3_io_methods kMethods = {
    3, xClose, xRead, xWrite, xTruncate, xSync, xFileSize, xLock, xUnlock, xCheckReservedLock, xFileControl,
    xSectorSize, xDeviceCharacteristics, xShmMap, xShmLock, xShmBarrier, xShmUnmap, xFetch, xUnfetch,
};

int vOpen(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags)
{
    auto* ff = reinterpret_cast<FaultFile*>(f);
    ff->real = reinterpret_cast<sqlite3_file*>(ff + 1);
    const int rc = g_real->xOpen(g_real, name, ff->real, flags, outFlags);
    f->pMethods = ff->real->pMethods ? &kMethods : nullptr;
    return rc;
}
int vDelete(sqlite3_vfs*, const char* name, int syncDir) { return g_real->xDelete(g_real, name, syncDir); }
int vAccess(sqlite3_vfs*, const char* name, int flags, int* out) { return g_real->xAccess(g_real, name, flags, out); }
int vFullPathname(sqlite3_vfs*, const char* name, int n, char* out) { return g_real->xFullPathname(g_real, name, n, out); }
void* vDlOpen(sqlite3_vfs*, const char* name) { return g_real->xDlOpen(g_real, name); }
void vDlError(sqlite3_vfs*, int n, char* msg) { g_real->xDlError(g_real, n, msg); }
void (*vDlSym(sqlite3_vfs*, void* h, const char* sym))(void) { return g_real->xDlSym(g_real, h, sym); }
void vDlClose(sqlite3_vfs*, void* h) { g_real->xDlClose(g_real, h); }
int vRandomness(sqlite3_vfs*, int n, char* out) { return g_real->xRandomness(g_real, n, out); }
int vSleep(sqlite3_vfs*, int us) { return g_real->xSleep(g_real, us); }
int vCurrentTime(sqlite3_vfs*, double* out) { return g_real->xCurrentTime(g_real, out); }
int vGetLastError(sqlite3_vfs*, int n, char* out) { return g_real->xGetLastError ? g_real->xGetLastError(g_real, n, out) : 0; }
int vCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) { return g_real->xCurrentTimeInt64(g_real, out); }

sqlite3_vfs g_vfs;

void ensureRegistered()
{
    static const bool registered = [] {
        sqlite3_initialize();
        g_real = sqlite3_vfs_find(nullptr);
        if (!g_real) throw std::runtime_error("no default database file layer");
        std::memset(&g_vfs, 0, sizeof g_vfs);
        g_vfs.iVersion = 2;
        g_vfs.szOsFile = int(sizeof(FaultFile)) + g_real->szOsFile;
        g_vfs.mxPathname = g_real->mxPathname;
        g_vfs.zName = kVfsName;
        g_vfs.xOpen = vOpen;
        g_vfs.xDelete = vDelete;
        g_vfs.xAccess = vAccess;
        g_vfs.xFullPathname = vFullPathname;
        g_vfs.xDlOpen = vDlOpen;
        g_vfs.xDlError = vDlError;
        g_vfs.xDlSym = vDlSym;
        g_vfs.xDlClose = vDlClose;
        g_vfs.xRandomness = vRandomness;
        g_vfs.xSleep = vSleep;
        g_vfs.xCurrentTime = vCurrentTime;
        g_vfs.xGetLastError = vGetLastError;
        g_vfs.xCurrentTimeInt64 = vCurrentTimeInt64;
        if (sqlite3_vfs_register(&g_vfs, 0) != SQLITE_OK) throw std::runtime_error("cannot register the faulty layer");
        return true;
    }();
    (void)registered;
}

} // namespace

QString FaultVfs::name()
{
    ensureRegistered();
    return QString::fromLatin1(kVfsName);
}

void FaultVfs::arm(Kind kind, int n, bool sticky)
{
    ensureRegistered();
    g = State{};
    g.kind = kind;
    g.failAt = n;
    g.sticky = sticky;
}

void FaultVfs::disarm() { g = State{}; }
bool FaultVfs::fired() { return g.fired; }
int FaultVfs::writes() { return g.writes; }
int FaultVfs::syncs() { return g.syncs; }

std::unique_ptr<db::Database> openFaulty(const QString& path)
{
    return db::Database::open(path, true, false, QString::fromLatin1(kConnectString), FaultVfs::name());
}

} // namespace fl::test
