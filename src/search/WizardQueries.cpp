#include "WizardQueries.h"

namespace fl {

const std::array<WizardBirdType, 8>& wizardBirdTypes()
{
    static const std::array<WizardBirdType, 8> types{{
        {QStringLiteral("Duck or Goose-like"), 119},
        {QStringLiteral("Gulls and Sea Birds"), 129},
        {QStringLiteral("Long-legged Waders"), 131},
        {QStringLiteral("Small Wading Birds"), 157},
        {QStringLiteral("Fowl-like Birds"), 155},
        {QStringLiteral("Birds of Prey"), 130},
        {QStringLiteral("Other Land Birds"), 136},
        {QStringLiteral("Songbirds"), 175},
    }};
    return types;
}

const std::array<WizardCriterion, 7>& wizardCriteria()
{
    static const std::array<WizardCriterion, 7> criteria{{
        {QStringLiteral("All Birds"), QStringLiteral(" ")},
        {QStringLiteral("Abundant Birds"), QStringLiteral(" AND (scode LIKE '*C*') ")},
        {QStringLiteral("Abundant or Common"), QStringLiteral(" AND (scode LIKE '*C*' OR Scode like '*F*') ")},
        {QStringLiteral("All (Exclude Rarities)"), QStringLiteral(" AND (Status <> 'R') ")},
        {QStringLiteral("Breeders"), QStringLiteral(" AND (Status = 'B') ")},
        {QStringLiteral("Transients"), QStringLiteral(" AND (Status = 'T') ")},
        {QStringLiteral("Winter Birds"), QStringLiteral(" AND (scode LIKE '*W*' OR Scode like '*P*') ")},
    }};
    return criteria;
}

QString wizardFamilyQuery(int birdType, const QString& qryCriteria, int regId)
{
    // A species outside any subfamily may hold 0 or nothing: both read as 0, so that such
    // species of one family make a single row.
    return QStringLiteral("SELECT distinct birds.family_ID, IFNULL(birds.subfam_ID, 0) AS subfam_ID "
                          "FROM Birds, Checklists, Families ")
           + QStringLiteral("WHERE  Birds.id = Checklists.Bird_ID AND Birds.family_ID = families.fam_ID ")
           + QStringLiteral(" And Type = ") + QString::number(birdType) + qryCriteria + QStringLiteral(" AND REG_ID = ")
           + QString::number(regId) + QStringLiteral(" Order by birds.family_ID, subfam_ID");
}

QString wizardSpeciesQuery(int birdType, const QString& qryCriteria, int regId)
{
    return QStringLiteral("SELECT birds.Name FROM Birds, Checklists, Families ")
           + QStringLiteral("WHERE  Birds.id = Checklists.Bird_ID AND Birds.family_ID = families.fam_ID ")
           + QStringLiteral(" And families.Type = ") + QString::number(birdType) + qryCriteria
           + QStringLiteral(" AND REG_ID = ") + QString::number(regId);
}

} // namespace fl
