#pragma once

#include <QString>
#include <array>

namespace fl {

// The eight kinds of bird of the wizard (Families.Type 0 to 7): caption and picture number.
struct WizardBirdType {
    QString caption;
    int picture;
};
const std::array<WizardBirdType, 8>& wizardBirdTypes();

// The seven criteria on the checklist codes: caption and the condition added to the queries.
struct WizardCriterion {
    QString caption;
    QString clause;
};
const std::array<WizardCriterion, 7>& wizardCriteria();

// The distinct (family_ID, subfam_ID) pairs of the region's checklist for a kind of bird and
// a criterion, in order of family and subfamily; a species without a subfamily gives 0.
QString wizardFamilyQuery(int birdType, const QString& qryCriteria, int regId);

// The names of the matching species, without a family condition or sort clause.
QString wizardSpeciesQuery(int birdType, const QString& qryCriteria, int regId);

} // namespace fl
