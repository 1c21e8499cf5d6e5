#include "lists/ListQueries.h"

namespace fl {

ListSearchInfo listSearchInfo(ListSearch search)
{
    const QString missing = QStringLiteral("Every bird in the region has been sighted. Congratulations! ");
    switch (search) {
    case ListSearch::Birds: return {QStringLiteral("All Birds"), {}};
    case ListSearch::Songs: return {QStringLiteral("All Songs"), {}};
    case ListSearch::CdSongs: return {QStringLiteral("All CD Songs"), {}};
    case ListSearch::Life:
        return {QStringLiteral("Life Sightings"), QStringLiteral("There have not been any sightings in this region.")};
    case ListSearch::MissingAll: return {QStringLiteral("Missing Sightings"), missing};
    case ListSearch::MissingRare: return {QStringLiteral("Missing Sightings-No Rarities"), missing};
    }
    return {};
}

QString regionSpeciesQuery(int regId, const QString& conditions, const QString& qrySort)
{
    return QStringLiteral("SELECT Name from Birds, Checklists Where Birds.ID = Checklists.Bird_ID AND Reg_ID = ")
           + QString::number(regId) + conditions + qrySort;
}

QString listSearchQuery(ListSearch search, int regId, const QString& S)
{
    const QString R = QString::number(regId);
    const auto regionBirds = [regId, &S](const QString& conditions) { return regionSpeciesQuery(regId, conditions, S); };
    // Without a region, the missing species are those never sighted anywhere; there is no
    // checklist to tell rarities, so both missing searches list the same.
    const QString neverSighted = QStringLiteral(
        "SELECT Name FROM Birds WHERE NOT EXISTS (SELECT Sight_ID FROM Sightings WHERE Sightings.Bird_ID = Birds.ID)");
    switch (search) {
    case ListSearch::Birds:
        return regId != 0 ? regionBirds({}) : QStringLiteral("SELECT Birds.Name, Birds.ID FROM Birds") + S;
    case ListSearch::Songs:
        return regId != 0 ? regionBirds(QStringLiteral(" AND (Song >= 'A') "))
                          : QStringLiteral("SELECT Birds.ID, Birds.Name From Birds WHERE Birds.Song >= 'A'") + S;
    case ListSearch::CdSongs:
        return regId != 0
            ? QStringLiteral("SELECT Name from Birds, Checklists, cdSong Where ")
                  + QStringLiteral(" Birds.ID = Checklists.Bird_ID AND Reg_ID = ") + R
                  + QStringLiteral(" AND Birds.ID = cdsong.Bird_ID") + S
            : QStringLiteral("SELECT Birds.ID, Birds.Name From Birds inner join cdsong On Birds.ID = cdsong.Bird_ID ");
    case ListSearch::Life:
        return QStringLiteral("select name from birds where Lifelist > 0 ") + S;
    case ListSearch::MissingAll:
        return regId != 0 ? regionBirds(QStringLiteral(" AND Lifelist = 0 ")) : neverSighted + S;
    case ListSearch::MissingRare:
        return regId != 0 ? regionBirds(QStringLiteral(" AND Lifelist = 0 ") + QStringLiteral(" AND Status <> 'R' "))
                          : neverSighted + S;
    }
    return {};
}

} // namespace fl
