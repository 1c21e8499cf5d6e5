#include "Synthetic.h"

#include "schema/Schema.h"

#include <QDate>
#include <random>

namespace fl::bench {

SyntheticDb::SyntheticDb(int species, int sightings)
{
    db = db::Database::create(dir.filePath("bird.mdb"), "qzmv");
    createSchema(*db);
    db::Transaction tx(*db);
    db->execute("INSERT INTO Orders VALUES (1, 'Order', 'Orderiformes', 1, '')");
    db->execute("INSERT INTO Families VALUES (1, 1, 'Family', 'Familiidae', 1, 7, '', '', 175)");
    db->execute("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (1, 'Everywhere', 'Region')");
    db->execute("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (2, 'Elsewhere', 'Region')");
    for (int i = 1; i <= species; ++i) {
        db->execute("INSERT INTO Birds (ID, Name, sci_name, Data, family_ID, sortOrder, LifeList) "
                    "VALUES (?, ?, 'Avis synthetica', 'A synthetic bird.', 1, ?, 0)",
                    {i, QStringLiteral("Bird %1").arg(i, 5, 10, QChar(u'0')), (species - i) * 10});
        db->execute("INSERT INTO Checklists VALUES (?, 1, 'B', 'FS/')", {i});
        if (i % 3 == 0) db->execute("INSERT INTO Checklists VALUES (?, 2, 'V', 'UW/')", {i});
    }
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> bird(1, species), day(0, 9000), place(0, 9);
    const QDate start(2000, 1, 1);
    for (int s = 0; s < sightings; ++s)
        db->execute("INSERT INTO Sightings (Bird_ID, Date, Type, Region) VALUES (?, ?, 'Adult', ?)",
                    {bird(rng), start.addDays(day(rng)), place(rng) < 7 ? 1 : 2});
    db->execute("INSERT INTO Options VALUES ('Everywhere', 1, 'Region', 'All Birds', ' Order By Birds.sortOrder', '', 0, 0, ?, 0)",
                {species});
    tx.commit();
}

} // namespace fl::bench
