#include "TestDatabase.h"
#include "db/Connection.h"
#include "db/Database.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace fl;

namespace {

class CachedStatementTest : public ::testing::Test {
protected:
    test::TestFolder folder{false};
    std::unique_ptr<db::Database> db = folder.open();

    void SetUp() override { db->executeScript(QStringLiteral("CREATE TABLE Tally (n INTEGER); "
                                                             "INSERT INTO Tally VALUES (1), (2), (3)")); }
};

} // namespace

// A reading cut short by a failure of the caller's (one row read, two to come) lets go of the
// table: the same connection may change it straight away, which the engine refuses while a
// statement still reads it.
TEST_F(CachedStatementTest, AUseCutShortByAFailureLetsGoOfTheTable)
{
    const QString sql = QStringLiteral("SELECT n FROM Tally ORDER BY n");
    db::Statement* kept = nullptr;
    try {
        const db::CachedStatement st = db->connection()->cached(sql);
        kept = &*st;
        ASSERT_TRUE(st->step());
        EXPECT_TRUE(st->busy());
        throw std::runtime_error("the caller failed half-way");
    } catch (const std::runtime_error&) {
    }
    ASSERT_NE(kept, nullptr);
    EXPECT_FALSE(kept->busy());
    EXPECT_NO_THROW(db->executeScript(QStringLiteral("DROP TABLE Tally")));
}

// The statement is kept: the next use gets the same one, from its first row and with no value
// of the last use still bound.
TEST_F(CachedStatementTest, TheNextUseStartsAfresh)
{
    const QString sql = QStringLiteral("SELECT count(*) FROM Tally WHERE n >= ?");
    db::Statement* first = nullptr;
    {
        const db::CachedStatement st = db->connection()->cached(sql);
        first = &*st;
        st->bind({2});
        ASSERT_TRUE(st->step());
        EXPECT_EQ(st->value(0).toInt(), 2);
    }
    const db::CachedStatement again = db->connection()->cached(sql);
    EXPECT_EQ(&*again, first);
    EXPECT_FALSE(again->busy());
    ASSERT_TRUE(again->step()); // nothing bound: n >= NULL holds for no row
    EXPECT_EQ(again->value(0).toInt(), 0);
}
