#pragma once

#include <QString>
#include <array>

class QComboBox;

namespace fl {

// Shows one group of a detail code in a row of the checklist editor: each of the row's
// three boxes (abundance, seasonal status, qualifier) selects the word of its letter, or
// nothing for "/" or a letter it does not offer.
void SetUpRow(const QString& group, const std::array<QComboBox*, 3>& row);

// Shows a whole code in the editor's rows (a code of another length than 3, 6 or 9 selects nothing).
void showCodeInRows(const QString& scode, const std::array<std::array<QComboBox*, 3>, 3>& rows);

// The code the editor's rows stand for: always nine characters.
QString codeFromRows(const std::array<std::array<QComboBox*, 3>, 3>& rows);

} // namespace fl
