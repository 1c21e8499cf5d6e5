#pragma once

// What every test program sets up before its first test: the key cost of its databases and
// where its temporary files go.

namespace fl::test {

// Keys test databases cheaply and puts temporary files in memory (see below).
void prepareTestProcess();

// The cost of deriving a database's key from its password, for the files the tests make.
//
// The engine derives the key of an encrypted file with many rounds of hashing, on purpose
// slow (tens of milliseconds for every connection). The tests open thousands of connections
// to files nobody needs to protect, so each test program keys its files at a tiny cost
// instead: every file it creates, backs up or opens is keyed that way. The program and
// tools/makedb never call this; their files keep the engine's full cost (the KeyCost tests
// check the files they make).

inline constexpr int kTestKeyIterations = 64;

// From now on every connection of this process derives keys with kTestKeyIterations rounds.
// Call it first thing in main(), before any database is opened.
void useTestKeyCost();

// The rounds the engine uses unless told otherwise: what the program's files are keyed with.
int programKeyIterations();

// Whether the database file at `path` opens with `password` when its key is derived with
// `rounds` rounds (a file keyed with other rounds reads as no database).
bool keyedWithRounds(const char* path, const char* password, int rounds);

// Temporary files (QTemporaryDir, QTemporaryFile, mktemp) go to a file system in memory,
// /dev/shm, when it has room (1 GiB free) and TMPDIR does not already name a folder: what
// the tests write is thrown away, so waiting for it to reach the disk only slows them.
// No test depends on the disk itself: failing writes and syncs are made by FaultVfs, a
// full disk by a file size limit.
void keepTemporaryFilesInMemory();

} // namespace fl::test
