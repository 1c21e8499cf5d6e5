#include "SetUpRow.h"

#include "status/StatusCodes.h"

#include <QComboBox>

namespace fl {

void SetUpRow(const QString& group, const std::array<QComboBox*, 3>& row)
{
    for (int pos = 0; pos < 3; ++pos) {
        const QString word = pos < group.size() ? codes::editorWord(pos, group[pos]) : QString();
        row[pos]->setCurrentIndex(word.isEmpty() ? -1 : row[pos]->findText(word));
    }
}

void showCodeInRows(const QString& scode, const std::array<std::array<QComboBox*, 3>, 3>& rows)
{
    for (const auto& row : rows)
        for (QComboBox* box : row) box->setCurrentIndex(-1);
    const QStringList groups = codes::groupsForEditor(scode);
    for (int i = 0; i < groups.size(); ++i) SetUpRow(groups[i], rows[i]);
}

QString codeFromRows(const std::array<std::array<QComboBox*, 3>, 3>& rows)
{
    std::array<std::array<QString, 3>, 3> words;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) words[r][c] = rows[r][c]->currentIndex() < 0 ? QString() : rows[r][c]->currentText();
    return codes::encodeRows(words);
}

} // namespace fl
