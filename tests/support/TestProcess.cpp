#include "TestProcess.h"

#include <sqlcipher/sqlite3.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace fl::test {

namespace {

int defaultIterations(sqlite3* handle)
{
    sqlite3_stmt* st = nullptr;
    int rounds = 0;
    if (sqlite3_prepare_v2(handle, "PRAGMA cipher_default_kdf_iter", -1, &st, nullptr) == SQLITE_OK
        && sqlite3_step(st) == SQLITE_ROW)
        rounds = std::atoi(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return rounds;
}

// The engine's default, read before anything changes it.
int s_programIterations = 0;

template <class F>
auto withMemoryConnection(F f)
{
    sqlite3* handle = nullptr;
    if (sqlite3_open(":memory:", &handle) != SQLITE_OK) {
        sqlite3_close(handle);
        throw std::runtime_error("cannot open an in-memory database");
    }
    struct Close {
        sqlite3* h;
        ~Close() { sqlite3_close(h); }
    } close{handle};
    return f(handle);
}

} // namespace

void useTestKeyCost()
{
    withMemoryConnection([](sqlite3* handle) {
        if (s_programIterations == 0) s_programIterations = defaultIterations(handle);
        const std::string set = "PRAGMA cipher_default_kdf_iter = " + std::to_string(kTestKeyIterations);
        if (sqlite3_exec(handle, set.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK
            || defaultIterations(handle) != kTestKeyIterations)
            throw std::runtime_error("the engine did not take the tests' key cost");
    });
}

void keepTemporaryFilesInMemory()
{
    const char* chosen = std::getenv("TMPDIR");
    if (chosen && *chosen) return;
    const char* memory = "/dev/shm";
    struct statvfs fs {};
    if (statvfs(memory, &fs) != 0 || access(memory, W_OK | X_OK) != 0) return;
    if (static_cast<unsigned long long>(fs.f_bavail) * fs.f_frsize < (1ULL << 30)) return;
    setenv("TMPDIR", memory, 1);
}

bool keyedWithRounds(const char* path, const char* password, int rounds)
{
    sqlite3* handle = nullptr;
    const bool opened = sqlite3_open_v2(path, &handle, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK;
    std::string quoted;
    for (const char* c = password; *c; ++c) quoted += *c == '\'' ? std::string("''") : std::string(1, *c);
    const std::string sql = "PRAGMA key = '" + quoted + "'; PRAGMA kdf_iter = " + std::to_string(rounds)
        + "; SELECT count(*) FROM sqlite_master";
    const bool read = opened && sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(handle);
    return read;
}

void prepareTestProcess()
{
    useTestKeyCost();
    keepTemporaryFilesInMemory();
}

int programKeyIterations()
{
    if (s_programIterations == 0)
        s_programIterations = withMemoryConnection([](sqlite3* handle) { return defaultIterations(handle); });
    return s_programIterations;
}

} // namespace fl::test
